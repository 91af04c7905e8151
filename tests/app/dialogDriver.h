#pragma once
// The desktop test program: test classes (each *Test.cpp adds its own with TestClass), a prompter
// with queued answers, and dialogs driven through their widgets, found by object name ("edit2660",
// "combo2640", "radio2620", "check516", "okay", "cancel"). Text is typed as a user types it; "Okay"
// is pressed with the messages it raised recorded by the session's frontend.
#include "app/prompter.h"
#include "core/session.h"
#include "support/recordingFrontend.h"

#include <QDialog>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vellora::test {

using TestFactory = std::unique_ptr<QObject> (*)();
void addTestClass(TestFactory make);
template <class T> struct TestClass {
    TestClass() {
        addTestClass([]() -> std::unique_ptr<QObject> { return std::make_unique<T>(); });
    }
};

class ScriptedPrompter final : public app::Prompter {
  public:
    void showMessage(const std::string& caption, const std::string& text) override;
    bool chooseFile(FileChooserKind kind, std::string& path) override;
    SaveChangesAnswer askSaveChanges(const std::string& fileName) override;
    bool confirmExit() override;
    void showAbout(const std::string& line) override;

    std::deque<std::string> files; // chosen paths in order; "" cancels
    SaveChangesAnswer saveAnswer = SaveChangesAnswer::Cancel;
    std::vector<std::string> messages;  // "caption: text"
    std::vector<std::string> questions; // what was asked, in order
};

// A session recording messages, default working block; `width` > 0 adds a 24 bpp picture that size.
struct DialogSession {
    explicit DialogSession(int width = 0, int height = 0);
    ParameterBlock& block() { return session->workingBlock; }
    RecordingFrontend frontend;
    std::unique_ptr<Session> session;
};

// Runs `act` on the modal dialog once the next one is open (then rejects it if still open).
void onNextModal(std::function<void(QDialog&)> act);

QWidget* findControl(QWidget* dialog, const QString& name); // null without one
// Replaces the text of the line edit as typing would (textEdited is emitted).
void typeText(QWidget* dialog, const QString& editName, const QString& text);
// The text of a line edit, label or button.
QString textOf(QWidget* dialog, const QString& name);
// Clicks a button, check box, radio button or up/down arrow.
void click(QWidget* dialog, const QString& name);
// Chooses item `index` of a combo box as the user would (activated is emitted).
void chooseItem(QWidget* dialog, const QString& comboName, int index);
// Presses "Okay"; true when the dialog accepted (closed with Accepted).
bool pressOkay(QDialog& dialog);

bool checked(QWidget* dialog, const QString& name);
bool enabled(QWidget* dialog, const QString& name);
int selected(QWidget* dialog, const QString& comboName); // -2 without such a combo
// The text of the label whose buddy is the control (or the control's edit).
QString labelOf(QWidget* dialog, const QString& name);
bool sameBlock(const ParameterBlock& a, const ParameterBlock& b);

} // namespace vellora::test
