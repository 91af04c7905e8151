#pragma once
// The "tiling" dialog: colour conversion before tiling, the tile sizing method and its two
// values, the slit width and the two slit grays. Its rules are in tiling/tilingDialogRules.h.
#include "app/operationDialog.h"
#include "shell/dialogs/tilingDialogRules.h"

#include <array>

class QButtonGroup;
class QLabel;
class QRadioButton;

namespace vellora::app {
class ExclusionList;
}

namespace vellora::app {

class TilingDialog final : public OperationDialog {
    Q_OBJECT
  public:
    TilingDialog(QWidget* owner, Session& session,
                 PaletteFileChooser chooser = chooseUserPaletteFile);

  protected:
    bool store(ParameterBlock& block) override;

  private:
    void buildPaletteChoice();
    void buildExclusion();
    void showExclusion();
    void buildTileSetup();
    void choosePaletteClass(std::uint32_t paletteClass);
    void updateEnabling();
    void showSizing();
    void readEdits();
    void step(int edit, bool up);

    TilingDialogValues values_;
    std::string userPath_;
    PaletteFileChooser chooser_;
    QCheckBox* convert_ = nullptr;
    QButtonGroup* classes_ = nullptr;
    std::array<QWidget*, 3> paletteControls_{}; // median-cut list, even list, user file name
    QLabel* userName_ = nullptr;
    QLabel* sizingLabel_ = nullptr;
    std::array<ValueField*, 3> edits_{}; // the two sizing values, the slit width
    ExclusionList* exclusion_ = nullptr;
};

} // namespace vellora::app
