#include "app/dialogRegistry.h"
#include "app/filterDialogs.h"
#include "app/operationDialogs.h"
#include "shell/commandTable.h"

namespace vellora::app {

void registerFilterDialogs() {
    registerDialog(kCmdSmoothing, runModalDialog<SmoothingDialog>);
    registerDialog(kCmdSharpening, runModalDialog<SharpeningDialog>);
    registerDialog(kCmdEdgePreserving, runModalDialog<EdgePreservingDialog>);
    registerDialog(kCmdEdgeDetect, runModalDialog<EdgeDetectDialog>);
    registerDialog(kCmdDeNoise, runModalDialog<DeNoiseDialog>);
    registerDialog(kCmdUserFilter, runModalDialog<UserFilterDialog>);
}

} // namespace vellora::app
