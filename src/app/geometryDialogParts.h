#pragma once
// What the crop, resize and rotate dialogs share beyond every operation dialog: the picture's
// current size, fields with a label in a grid, a list with a note under its label, and the depth
// list that an interpolation check overrides (geometry/geometryDialogRules.h).
#include "app/operationDialog.h"
#include "shell/dialogs/geometryDialogRules.h"

class QGridLayout;
class QLabel;

namespace vellora::app {

class GeometryDialog : public OperationDialog {
    Q_OBJECT
  public:
    // Without a save flag the dialog has no "save as default" box.
    GeometryDialog(QWidget* owner, Session& session, const char* title,
                   std::uint32_t ParameterBlock::*saveFlag = nullptr, int saveCheckId = 0);

  protected:
    // The size of the picture the dialog was opened on.
    std::int32_t currentWidth() const { return session_.dialogInfo.width; }
    std::int32_t currentHeight() const { return session_.dialogInfo.height; }

    // The dialog's own name at the top, then "current image size : w x h" (its text `staticId`).
    void addHeading(const char* text, int staticId);
    // A label and a field in cells (row, column) and (row, column + 1) of `grid`.
    ValueField* addGridField(QGridLayout* grid, int row, int column, const char* label, int editId,
                             int upDownId, std::int32_t value);
    // `label` with `note` under it, beside a list of `items` selecting `selected`.
    QComboBox* addNotedCombo(const char* label, const char* note, int id,
                             std::span<const std::string_view> items, std::uint32_t selected);
    // Keeps `check` and the depth list `list` showing `choice`, which they edit.
    void bindDepthChoice(QCheckBox* check, QComboBox* list, DepthChoice& choice);
    QLabel* addStatic(QBoxLayout* into, const QString& text, int id);

  private:
    Session& session_;
};

} // namespace vellora::app
