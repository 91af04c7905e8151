#include "shell/rotateFlip.h"

#include "core/errors.h"
#include "core/operationFrame.h"
#include "core/trueColor.h"
#include "imageio/pictureLibrary.h"
#include "shell/pictureConvert.h"

namespace vellora {

namespace {
constexpr int kTransformQuality = 100;
} // namespace

int transformPicture(Session& session, const std::string& source, int colorDepth, int turns,
                     int flip) {
    if (turns == 0 && flip == 0) return kFailed; // rotateFlip refuses others than 0 … 3
    const std::string& destination = session.nextPath;
    const std::string_view mime = encoderMimeType(destination);
    if (!isUsablePicturePath(source) || !imageio::hasEncoder(mime)) return kFailed;
    DibImage loaded;
    DibImage turned;
    std::string error;
    if (!imageio::loadPicture(source, loaded, error)) return kFailed;
    if (!imageio::rotateFlip(loaded, turned, turns, flip, error)) return kFailed;
    loaded.release();
    // The destination is the next intermediate picture of the run.
    return imageio::savePicture(destination, turned, mime, kTransformQuality, colorDepth, error,
                                FileDurability::scratch)
               ? 0
               : kFailed;
}

int rotateFlipPicture(Session& session, int turns, int flip) {
    return runOperationFrame(session, Operation::RotateFlip, [turns, flip](Session& s) {
        return transformPicture(s, s.currentPath, s.currentInfo.bitsPerPixel, turns, flip);
    });
}

int rotateQuarterTurns(Session& session, int turns, bool trueColor) {
    if (turns == 0) return kFailed; // no rotation; rotateFlip refuses others than 0 … 3
    if (readBitmapFile(session.frontend, session.currentPath, session.sourceImage) != 0)
        return kFailed;
    DibImage* rotationSource = &session.sourceImage;
    DibImage copy;
    if (trueColor) {
        // The 24 bpp copy is kept in memory rather than as an intermediate file of its own.
        if (makeTrueColorHeader(session.frontend, copy, session.sourceImage) != 0) return kFailed;
        copyAsTrueColor(copy, session.sourceImage);
        session.sourceImage.release();
        rotationSource = &copy;
    }
    std::string error;
    if (!imageio::rotateFlip(*rotationSource, session.targetImage, turns, 0, error)) return kFailed;
    if (writeBitmapFile(session.frontend, session.nextPath, session.targetImage) != 0)
        return kFailed;
    return 0;
}

int rotateRight90Handler(Session& session) {
    return rotateFlipPicture(session, 1, 0);
}
int rotate180Handler(Session& session) {
    return rotateFlipPicture(session, 2, 0);
}
int rotateLeft90Handler(Session& session) {
    return rotateFlipPicture(session, 3, 0);
}
int flipHorizontalHandler(Session& session) {
    return rotateFlipPicture(session, 0, 1);
}
int flipVerticalHandler(Session& session) {
    return rotateFlipPicture(session, 0, 2);
}

} // namespace vellora
