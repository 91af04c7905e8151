#include "app/dialogRegistry.h"
#include "app/operationDialogs.h"
#include "app/tilingDialog.h"
#include "shell/commandTable.h"

namespace vellora::app {

void registerTilingDialogs() {
    registerDialog(kCmdTiling, runModalDialog<TilingDialog>);
}

} // namespace vellora::app
