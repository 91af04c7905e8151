#pragma once
// The "resize image" dialog: the new width and height (up to 64 times the current size), "keep
// ratio", the interpolation check and the output depth list it overrides. Its rules are in
// geometry/geometryDialogRules.h.
#include "app/geometryDialogParts.h"

namespace vellora::app {

class ResizeDialog final : public GeometryDialog {
    Q_OBJECT
  public:
    ResizeDialog(QWidget* owner, Session& session);

  protected:
    bool store(ParameterBlock& block) override;

  private:
    void buildSizeFields();
    void buildMethods();
    void edited(ResizeDimension dimension);
    void step(ResizeDimension dimension, bool up);
    void keepRatioPressed();

    ResizeDialogValues values_;
    ValueField* width_ = nullptr;
    ValueField* height_ = nullptr;
};

} // namespace vellora::app
