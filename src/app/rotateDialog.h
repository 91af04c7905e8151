#pragma once
// The "rotate image" dialog: the angle to the right (any integer, negative to the left), the
// bicubic check and the output depth list it overrides, and the blank colour of the corners.
// Its rules are in geometry/geometryDialogRules.h.
#include "app/geometryDialogParts.h"

namespace vellora::app {

class RotateDialog final : public GeometryDialog {
    Q_OBJECT
  public:
    RotateDialog(QWidget* owner, Session& session);

  protected:
    bool store(ParameterBlock& block) override;

  private:
    RotateDialogValues values_;
    ValueField* angle_ = nullptr;
};

} // namespace vellora::app
