#include "shell/pictureExport.h"

#include "core/dibImage.h"
#include "core/history.h"
#include "core/operationFrame.h"
#include "core/trueColor.h"
#include "imageio/pictureLibrary.h"
#include "shell/pictureConvert.h"

namespace vellora {

namespace {
constexpr std::uint32_t kSaveDepthTrueColor = 1;

// Step 1 of a save: the intermediate file rewritten as 24 bpp. Returns the depth the file has
// afterwards, or 0 on failure.
int prepareSaveDepth(Session& session) {
    const int depth = session.currentInfo.bitsPerPixel;
    if (session.workingBlock.saveDepthIndex != kSaveDepthTrueColor || depth == 24) return depth;
    if (readBitmapFile(session.frontend, session.currentPath, session.sourceImage) != 0) return 0;
    if (saveAsTrueColor(session, session.currentPath) != 0) return 0;
    return 24;
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
        return 1;
    }
    // Checked before the in-place conversion, so a save that cannot happen changes nothing.
    const std::string_view mime = encoderMimeType(destination);
    if (mime.empty() || !imageio::hasEncoder(mime)) return 1;
    const int depth = prepareSaveDepth(session);
    if (depth == 0) return 1;
    const int quality = clampedQuality(session.workingBlock.saveQuality);
    return convertPicture(destination, session.currentPath, depth, quality);
}

int savePictureHandler(Session& session) {
    const int result = runOperationFrame(session, Operation::Save, [](Session& s) {
        return saveCurrentPicture(s, s.picturePath);
    });
    if (result == 0) markSaved(session);
    return result;
}

int savePictureAsHandler(Session& session) {
    const int result = runOperationFrame(session, Operation::Save, [](Session& s) {
        return saveCurrentPicture(s, s.saveAsPath);
    });
    if (result != 0) return result;
    session.picturePath = session.saveAsPath;
    markSaved(session);
    return 0;
}

} // namespace vellora
