#include "shell/rotateFlip.h"

#include "core/operationFrame.h"
#include "core/trueColor.h"
#include "imageio/pictureLibrary.h"
#include "shell/pictureConvert.h"

namespace vellora {

namespace {
constexpr int kTransformQuality = 100;

bool isQuarterTurnArgument(int value) {
    return value >= 0 && value <= 3;
}
} // namespace

int transformPicture(Session& session, const std::string& source, int colorDepth, int turns,
                     int flip) {
    if ((turns == 0 && flip == 0) || !isQuarterTurnArgument(turns) || !isQuarterTurnArgument(flip))
        return 1;
    const std::string& destination = session.nextPath;
    const std::string_view mime = encoderMimeType(destination);
    if (!isUsablePicturePath(source) || mime.empty() || !imageio::hasEncoder(mime)) return 1;
    DibImage loaded;
    DibImage turned;
    std::string error;
    if (!imageio::loadPicture(source, loaded, error)) return 1;
    if (!imageio::rotateFlip(loaded, turned, turns, flip, error)) return 1;
    loaded.release();
    // The destination is the next intermediate picture of the run.
    return imageio::savePicture(destination, turned, mime, kTransformQuality, colorDepth, error,
                                FileDurability::scratch)
               ? 0
               : 1;
}

int rotateFlipPicture(Session& session, int turns, int flip) {
    return runOperationFrame(session, Operation::RotateFlip, [turns, flip](Session& s) {
        return transformPicture(s, s.currentPath, s.currentInfo.bitsPerPixel, turns, flip);
    });
}

int rotateQuarterTurns(Session& session, int turns, bool trueColor) {
    if (turns < 1 || turns > 3) return 1; // a whole turn is no rotation
    if (readBitmapFile(session.frontend, session.currentPath, session.sourceImage) != 0) return 1;
    DibImage* rotationSource = &session.sourceImage;
    DibImage copy;
    if (trueColor) {
        // The 24 bpp copy is kept in memory rather than as an intermediate file of its own.
        if (makeTrueColorHeader(session.frontend, copy, session.sourceImage) != 0) return 1;
        copyAsTrueColor(copy, session.sourceImage);
        session.sourceImage.release();
        rotationSource = &copy;
    }
    std::string error;
    if (!imageio::rotateFlip(*rotationSource, session.targetImage, turns, 0, error)) return 1;
    return writeBitmapFile(session.frontend, session.nextPath, session.targetImage) == 0 ? 0 : 1;
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
