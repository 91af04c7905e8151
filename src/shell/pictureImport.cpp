#include "shell/pictureImport.h"

#include "core/errors.h"
#include "core/failureCause.h"
#include "core/history.h"
#include "core/intermediateFiles.h"
#include "imageio/pictureLibrary.h"
#include "shell/pictureConvert.h"

#include <algorithm>
#include <array>

namespace vellora {

namespace {
void setState(Session& session, std::int32_t state) {
    session.currentInfo.state = state;
    session.dialogInfo.state = state;
}

// What a failed open puts back.
struct PictureBefore {
    ImageInfo currentInfo, dialogInfo;
    std::string currentPath, picturePath, saveAsPath;
};

PictureBefore rememberPicture(const Session& session) {
    return {session.currentInfo, session.dialogInfo, session.currentPath, session.picturePath,
            session.saveAsPath};
}

void restorePicture(Session& session, const PictureBefore& before) {
    session.currentInfo = before.currentInfo;
    session.dialogInfo = before.dialogInfo;
    session.currentPath = before.currentPath;
    session.picturePath = before.picturePath;
    session.saveAsPath = before.saveAsPath;
}

bool convertIntoFirstIntermediate(Session& session, OpenOutcome& outcome) {
    if (nextIntermediatePath(session, session.currentPath) != 0) {
        // Never convert over whatever the old name held.
        session.currentPath.clear();
        outcome.reason = "no intermediate file name is free";
        noteFailureCause("cannot load \"" + session.picturePath + "\": " + outcome.reason);
        return false;
    }
    const int quality = clampedQuality(session.workingBlock.saveQuality);
    return convertPicture(session.currentPath, session.picturePath,
                          session.currentInfo.bitsPerPixel, quality, &outcome.reason,
                          FileDurability::scratch) == 0;
}
} // namespace

bool isRecognisedDepth(int bitsPerPixel) {
    constexpr auto kDepths = std::to_array<int>({1, 4, 8, 24, 32});
    return std::ranges::find(kDepths, bitsPerPixel) != kDepths.end();
}

int probePicture(ImageInfo& info, const std::string& path) {
    if (!isUsablePicturePath(path)) return 1;
    imageio::PictureInfo picture;
    std::string error;
    if (!imageio::probePictureFile(path, picture, error)) return 0;
    if (isRecognisedDepth(picture.bitsPerPixel)) info.bitsPerPixel = picture.bitsPerPixel;
    return 0;
}

OpenOutcome openPicture(Session& session, const std::string& path,
                        const std::function<void(Session&)>& repaint) {
    OpenOutcome outcome;
    forgetFailureCause();
    if (!isUsablePicturePath(path)) reportUnusablePath(session.frontend, path);
    const PictureBefore before = rememberPicture(session);
    if (probePicture(session.currentInfo, path) != 0) {
        showError(session.frontend, "failed to open the image file not supported");
        return outcome;
    }
    session.picturePath = path;
    setState(session, kStateFit);
    session.saveAsPath = session.picturePath;
    outcome.intermediateWritten = convertIntoFirstIntermediate(session, outcome);
    if (!outcome.intermediateWritten) {
        // The old picture, its file and its undo steps are still whole: it stays the current one.
        restorePicture(session, before);
        return outcome;
    }
    if (repaint) repaint(session);
    setState(session, kStateZoom);
    session.dialogInfo.zoomIndex = session.currentInfo.zoomIndex;
    clearHistory(session);
    outcome.result = 0;
    return outcome;
}

void refreshPictureInfo(Session& session) {
    imageio::PictureInfo picture;
    std::string error;
    if (!imageio::probePictureFile(session.currentPath, picture, error)) return;
    session.currentInfo.bitsPerPixel = picture.bitsPerPixel;
    session.currentInfo.width = picture.width;
    session.currentInfo.height = picture.height;
}

} // namespace vellora
