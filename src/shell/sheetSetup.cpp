#include "shell/sheetSetup.h"

#include "core/errors.h"
#include "core/userFolders.h"
#include "sheet/saveSheet.h"
#include "sheet/sheetFields.h"
#include "sheet/sheetSettingsFile.h"

#include <optional>

namespace vellora {

namespace {
constexpr std::string_view kCaption = "alert";
} // namespace

int applyDesignTileLine(Session& session) {
    std::optional<TileLine> line;
    if (loadDesignTileLine(session, line) != 0) return kFailed;
    if (line)
        useTileLine(session, *line);
    else
        session.designPalette.colors.clear();
    return 0;
}

std::filesystem::path sheetSettingsPathBeside(const std::filesystem::path& parameterFile) {
    return parameterFile.parent_path() / kSheetSettingsFileName;
}

int loadSessionSheetSettings(Session& session, const std::filesystem::path& path) {
    std::string error;
    if (readSheetSettings(path, session.design, error)) return 0;
    // Through the field table, so that a field added to it is reset as well.
    const DesignSettings defaults;
    std::string unused; // the defaults always parse
    for (const SheetField& field : sheetFields())
        field.parse(field.format(defaults), session.design, unused);
    session.frontend.showMessage(kCaption, error + "\nthe build sheet settings are the defaults");
    return kFailed;
}

int saveSessionSheetSettings(Session& session, const std::filesystem::path& path) {
    std::error_code folderError;
    if (makeUserFolder(path.parent_path(), folderError) && writeSheetSettings(path, session.design))
        return 0;
    session.frontend.showMessage(kCaption,
                                 "failed to save the build sheet settings\n" + path.string());
    return kFailed;
}

} // namespace vellora
