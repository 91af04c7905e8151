#include "app/colorDialog.h"
#include "app/dialogRegistry.h"
#include "app/hiddenMenuDialog.h"
#include "app/operationDialogs.h"
#include "shell/commandTable.h"

namespace vellora::app {

void registerColorDialogs() {
    registerDialog(kCmdColorProcessing, runModalDialog<ColorDialog>);
    registerDialog(kCmdHiddenMenu, runModalDialog<HiddenMenuDialog>);
}

} // namespace vellora::app
