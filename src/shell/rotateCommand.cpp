#include "shell/rotateCommand.h"

#include "core/errors.h"
#include "core/operationFrame.h"
#include "core/trueColor.h"
#include "geometry/rotate.h"
#include "imageio/pictureLibrary.h"

#include <string>

namespace vellora {

namespace {

int finishQuarterTurn(Session& session, int result) {
    session.sourceImage.release();
    session.targetImage.release();
    if (result != 0) {
        showError(session.frontend, operationTraits(Operation::RotateArbitrary).failureText);
        return 1;
    }
    session.currentInfo.state = kStateZoom;
    session.dialogInfo.state = kStateZoom;
    return 0;
}

} // namespace

int normalizeAngle(int angle) {
    const int a = angle % 360;
    return a < 0 ? a + 360 : a;
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

int rotateArbitraryHandler(Session& session) {
    const ParameterBlock& block = session.workingBlock;
    const int angle = normalizeAngle(block.rotateAngle);
    if (angle % 90 == 0)
        return finishQuarterTurn(
            session, rotateQuarterTurns(session, angle / 90, block.rotateDepthIndex == 1));
    const RotateRequest request{angle, block.rotateBicubic != 0, int(block.rotateDepthIndex),
                                blankGray(int(block.rotateBlankIndex))};
    return runOperationFrame(session, Operation::RotateArbitrary, [&](Session& s) {
        if (readBitmapFile(s.frontend, s.currentPath, s.sourceImage) != 0) return 1;
        return rotateImage(s, request);
    });
}

} // namespace vellora
