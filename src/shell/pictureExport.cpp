#include "shell/pictureExport.h"

#include "core/dibImage.h"
#include "core/errors.h"
#include "core/history.h"
#include "core/intermediateFiles.h"
#include "core/operationFrame.h"
#include "core/trueColor.h"
#include "imageio/pictureLibrary.h"
#include "shell/pictureConvert.h"

#include <filesystem>
#include <system_error>

namespace vellora {

namespace {
constexpr std::uint32_t kSaveDepthTrueColor = 1;

bool needsTrueColor(const Session& session) {
    return session.workingBlock.saveDepthIndex == kSaveDepthTrueColor &&
           session.currentInfo.bitsPerPixel != 24;
}

// The "24 bpp" choice: the picture as 24 bpp is written beside the current file and saved from
// there; only once the save has succeeded does it replace the current file, so a failed save
// leaves the current picture as it was.
int saveThroughTrueColor(Session& session, const std::string& destination, int quality) {
    if (readBitmapFile(session.frontend, session.currentPath, session.sourceImage) != 0)
        return kFailed;
    std::string staging;
    if (nextIntermediatePath(session, staging) != 0) return kFailed;
    std::error_code fileError;
    if (saveAsTrueColor(session, staging) != 0 ||
        convertPicture(destination, staging, 24, quality, nullptr, session.saveDurability) != 0) {
        std::filesystem::remove(staging, fileError);
        return kFailed;
    }
    std::filesystem::rename(staging, session.currentPath, fileError);
    if (fileError) std::filesystem::remove(staging, fileError); // saved all the same
    return 0;
}

void markSaved(Session& session) {
    session.currentInfo.state = kStateSaved;
    session.dialogInfo.state = kStateSaved;
    clearHistory(session);
}
} // namespace

int saveCurrentPicture(Session& session, const std::string& destination) {
    if (!isUsablePicturePath(destination)) {
        reportUnusablePath(session.frontend, destination);
        return kFailed;
    }
    const std::string_view mime = encoderMimeType(destination);
    if (!imageio::hasEncoder(mime)) {
        noteUnknownExtension(destination);
        return kFailed;
    }
    const int quality = clampedQuality(session.workingBlock.saveQuality);
    if (needsTrueColor(session)) return saveThroughTrueColor(session, destination, quality);
    return convertPicture(destination, session.currentPath, session.currentInfo.bitsPerPixel,
                          quality, nullptr, session.saveDurability);
}

int savePictureHandler(Session& session) {
    const int result = runOperationFrame(
        session, Operation::Save, [](Session& s) { return saveCurrentPicture(s, s.picturePath); });
    if (result == 0) markSaved(session);
    return result;
}

int savePictureAsHandler(Session& session) {
    const int result = runOperationFrame(
        session, Operation::Save, [](Session& s) { return saveCurrentPicture(s, s.saveAsPath); });
    if (result != 0) return result;
    session.picturePath = session.saveAsPath;
    markSaved(session);
    return 0;
}

} // namespace vellora
