#include "app/dialogRegistry.h"
#include "app/operationDialogs.h"
#include "app/toneDialogs.h"
#include "shell/commandTable.h"

namespace vellora::app {

void registerToneDialogs() {
    registerDialog(kCmdGrayScale, runModalDialog<GrayScaleDialog>);
    registerDialog(kCmdBlackWhite, runModalDialog<BlackWhiteDialog>);
    registerDialog(kCmdInvert, runModalDialog<InvertDialog>);
    registerDialog(kCmdPosterization, runModalDialog<PosterizationDialog>);
    registerDialog(kCmdHistogram, runModalDialog<HistogramDialog>);
}

} // namespace vellora::app
