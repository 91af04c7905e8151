#include "app/dialogRegistry.h"
#include "app/operationDialogs.h"
#include "app/sheetSetupDialog.h"
#include "app/tilingDialog.h"
#include "shell/commandTable.h"

namespace vellora::app {

void registerTilingDialogs() {
    registerDialog(kCmdTiling, runModalDialog<TilingDialog>);
    registerDialog(kCmdSheetSetup, runModalDialog<SheetSetupDialog>);
}

} // namespace vellora::app
