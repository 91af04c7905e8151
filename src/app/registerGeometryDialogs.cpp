#include "app/cropDialog.h"
#include "app/dialogRegistry.h"
#include "app/operationDialogs.h"
#include "app/resizeDialog.h"
#include "app/rotateDialog.h"
#include "shell/commandTable.h"

namespace vellora::app {

void registerGeometryDialogs() {
    registerDialog(kCmdCrop, runModalDialog<CropDialog>);
    registerDialog(kCmdResize, runModalDialog<ResizeDialog>);
    registerDialog(kCmdRotateArbitrary, runModalDialog<RotateDialog>);
}

} // namespace vellora::app
