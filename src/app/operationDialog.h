#pragma once
// What every operation dialog shares: the title, the "save as default" check that starts
// unchecked, "Okay" (the default button, so Enter presses it) and "Cancel" (Escape), numeric
// fields with up-down arrows, validation messages through the session's frontend, and the
// user palette file chooser. A dialog stores into the working block only from `store`.
#include "core/session.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace vellora::app {

// Edits `path` to the chosen file; false when the user cancelled (`path` unchanged).
using PaletteFileChooser = std::function<bool(QWidget* owner, std::string& path)>;
// The open-file dialog "open file selected" for .ecp and CSV palette files.
bool chooseUserPaletteFile(QWidget* owner, std::string& path);

// A numeric edit with an up and a down arrow beside it.
class ValueField final : public QWidget {
    Q_OBJECT
  public:
    ValueField(QWidget* parent, int editId, int upDownId);
    // The leading integer of the text.
    std::int32_t value() const;
    void setValue(std::int32_t value);
    QLineEdit* edit() const { return edit_; }

  signals:
    void stepped(bool up);
    void edited();

  private:
    QLineEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
};

class OperationDialog : public QDialog {
    Q_OBJECT
  public:
    // `saveFlag` is the dialog's save-as-default field; null for a dialog without the check.
    OperationDialog(QWidget* owner, Session& session, const char* title,
                    std::uint32_t ParameterBlock::*saveFlag, int saveCheckId);

    void accept() override;

  protected:
    // The controls go here, top to bottom; `finishLayout` then adds the check and buttons.
    QBoxLayout* body() const { return body_; }
    // Adds `inner` to the body at its own width, at the left; the room to its right stays empty.
    void addLeftAligned(QLayout* inner);
    void finishLayout();
    // The same with the save check's own text ("save methods as default").
    void finishLayout(const char* saveText);
    // "Okay": checks and stores; false keeps the dialog open (after its message).
    virtual bool store(ParameterBlock& block) = 0;
    bool saveAsDefault() const;
    void alert(std::string_view caption, std::string_view text);
    Session& session() { return session_; }

    // Small builders shared by the dialogs; each control gets an object name and its id.
    QComboBox* addCombo(QBoxLayout* into, const char* label, int id,
                        std::span<const std::string_view> items, std::uint32_t selected);
    // A field shown later (value 0 until then) needs no value now.
    ValueField* addField(QBoxLayout* into, const char* label, int editId, int upDownId,
                         std::int32_t value = 0);

  private:
    Session& session_;
    std::uint32_t ParameterBlock::*saveFlag_;
    QBoxLayout* body_;
    QCheckBox* saveCheck_ = nullptr;
    int saveCheckId_;
};

// A note or list under a radio button or check box is indented this far, a label that names the
// control beside it under such a box's text (not its square) this far.
constexpr int kNoteIndent = 24;
constexpr int kLabelIndent = 20;
// The least width of the label that shows the user palette's file name.
constexpr int kPaletteNameWidth = 160;

// "Okay" (the default button, accepting) and "Cancel" (rejecting) at the end of `into`.
void addOkayCancel(QDialog& dialog, QBoxLayout* into);

// Names a control "<kind><id>" and keeps the numeric id as the property "controlId".
void tagControl(QWidget* widget, const char* kind, int id);

// After a cancelled palette chooser: the radio of the class chosen before is checked again, or,
// when that class has none, no radio is (the user's, just clicked, unchecked).
void recheckClass(QButtonGroup* classes, int previous, int user);

// The factory the dialog registry keeps for dialog class `D` (constructed from owner and
// session).
template <class D> bool runModalDialog(QWidget* owner, int, Session& session) {
    D dialog(owner, session);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace vellora::app
