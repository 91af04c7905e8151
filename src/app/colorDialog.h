#pragma once
// The "color image" dialog of Color Processing: median cut, a basic, even or user palette, or a
// plain change of pixel format, with or without error diffusion. Its rules are in
// color/colorDialogRules.h.
#include "app/operationDialog.h"
#include "shell/dialogs/colorDialogRules.h"

#include <array>

class QButtonGroup;
class QLabel;

namespace vellora::app {

class ColorDialog final : public OperationDialog {
    Q_OBJECT
  public:
    ColorDialog(QWidget* owner, Session& session,
                PaletteFileChooser chooser = chooseUserPaletteFile);

  protected:
    bool store(ParameterBlock& block) override;

  private:
    void buildDiffusion();
    // The class's radio (its note beneath for "decrease") and, indented, its list or name.
    void addClass(QBoxLayout* into, std::uint32_t colorClass);
    void chooseClass(std::uint32_t colorClass);
    void updateControls();

    ColorDialogValues values_;
    std::string userPath_;
    PaletteFileChooser chooser_;
    QCheckBox* diffusion_ = nullptr;
    QLabel* diffusionNote_ = nullptr;
    QButtonGroup* classes_ = nullptr;
    std::array<QWidget*, 5> classControls_{}; // the four lists, the user palette name
    QLabel* userName_ = nullptr;
};

} // namespace vellora::app
