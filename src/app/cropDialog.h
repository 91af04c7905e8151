#pragma once
// The "crop image" dialog: the first and last column and row to keep, 1-based, opening on the
// whole picture; no "save as default". Its rules are in geometry/geometryDialogRules.h.
#include "app/geometryDialogParts.h"

namespace vellora::app {

class CropDialog final : public GeometryDialog {
    Q_OBJECT
  public:
    CropDialog(QWidget* owner, Session& session);

  protected:
    bool store(ParameterBlock& block) override;

  private:
    void step(CropField field, bool up);
    void showCropSize();

    CropDialogValues values_;
    std::array<ValueField*, 4> fields_{}; // in CropField order
    QLabel* cropSize_ = nullptr;
};

} // namespace vellora::app
