#include "shell/shellServices.h"

#include "core/errors.h"
#include "shell/commandTable.h"
#include "shell/parameterFile.h"
#include "shell/pictureExport.h"
#include "shell/pictureImport.h"
#include "shell/rotateFlip.h"

#include "tiling/expressTable.h"
#include "tiling/saveTableCsv.h"

namespace vellora {

namespace {

int openWithRepaint(Session& session, const std::string& path,
                    const ShellServices::Repaint& repaint) {
    const OpenOutcome outcome = openPicture(session, path, repaint);
    if (!outcome.reason.empty()) showError(session.frontend, kOpenConversionFailedText);
    return outcome.result;
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
    services.buildTableText = expressTilingTable;
    services.saveTableCsv = [](Session& session) {
        return saveTilingTableCsv(session, session.saveAsPath);
    };
    for (const CommandSpec& command : commandTable())
        if (command.kind == CommandKind::DialogOperation)
            services.setHandler(command.id, command.handler);
    return services;
}

} // namespace vellora
