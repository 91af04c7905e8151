#pragma once
// The hidden menu (Ctrl+Shift+U), "save quality and even color palette": the depth and quality
// pictures are saved with, and the divisions of an even colour palette the user can make at
// once. Its rules are in color/hiddenMenuRules.h.
#include "app/operationDialog.h"
#include "shell/dialogs/hiddenMenuRules.h"

#include <array>

namespace vellora::app {

class HiddenMenuDialog final : public OperationDialog {
    Q_OBJECT
  public:
    HiddenMenuDialog(QWidget* owner, Session& session);

  protected:
    bool store(ParameterBlock& block) override;

  private:
    void buildSaveSetup();
    void buildDivisions();
    HiddenMenuChoice selectedChoice() const;

    QComboBox* depth_ = nullptr;
    QComboBox* quality_ = nullptr;
    std::array<QComboBox*, 3> divisions_{}; // red, green, blue
};

} // namespace vellora::app
