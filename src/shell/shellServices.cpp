#include "shell/shellServices.h"

#include "core/errors.h"
#include "sheet/saveSheet.h"
#include "sheet/sheetSummary.h"
#include "shell/commandTable.h"
#include "shell/parameterFile.h"
#include "shell/pictureExport.h"
#include "shell/pictureImport.h"
#include "shell/rotateFlip.h"
#include "shell/sheetSetup.h"

#include "tiling/expressTable.h"
#include "tiling/runTiling.h"
#include "tiling/saveTableCsv.h"

namespace vellora {

namespace {

int openWithRepaint(Session& session, const std::string& path,
                    const ShellServices::Repaint& repaint) {
    const OpenOutcome outcome = openPicture(session, path, repaint);
    if (!outcome.reason.empty()) showError(session.frontend, kOpenConversionFailedText);
    return outcome.result;
}

// The tile line is read afresh for every tiling: its file may have changed since it was set.
int tileWithDesignTileLine(Session& session) {
    if (applyDesignTileLine(session) != 0) {
        showError(session.frontend, operationTraits(Operation::Tiling).failureText);
        return kFailed;
    }
    return tilingHandler(session);
}

// The table, then the build sheet's lines where a sheet setting asks for them.
int tableWithSheetSummary(Session& session, std::string& text) {
    if (expressTilingTable(session, text) != 0) return kFailed;
    if (!sheetSummaryShown(session.design)) return 0;
    std::string summary;
    if (sheetSummary(session, summary) != 0) {
        text.clear();
        return kFailed;
    }
    text += summary;
    return 0;
}

} // namespace

ShellServices defaultShellServices() {
    ShellServices services;
    services.openPicture = openWithRepaint;
    services.savePicture = savePictureHandler;
    services.savePictureAs = savePictureAsHandler;
    services.rotateFlipPicture = rotateFlipPicture;
    services.mergeSavedDefaults = [](Session& session) {
        mergeSavedDefaults(session.savedBlock, session.workingBlock);
    };
    services.buildTableText = tableWithSheetSummary;
    services.saveTableCsv = [](Session& session) {
        return saveTilingTableCsv(session, session.saveAsPath);
    };
    services.saveChart = [](Session& session, const std::string& path) {
        return saveChart(session, path);
    };
    services.saveShoppingList = [](Session& session, const std::string& path) {
        return saveShoppingList(session, path);
    };
    for (const CommandSpec& command : commandTable())
        if (command.kind == CommandKind::DialogOperation)
            services.setHandler(command.id, command.handler);
    services.setHandler(kCmdTiling, tileWithDesignTileLine);
    return services;
}

} // namespace vellora
