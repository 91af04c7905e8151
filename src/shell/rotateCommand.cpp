#include "shell/rotateCommand.h"

#include "core/errors.h"
#include "core/operationFrame.h"
#include "geometry/rotate.h"
#include "shell/rotateFlip.h"

#include <string>

namespace vellora {

namespace {

int finishQuarterTurn(Session& session, int result) {
    session.sourceImage.release();
    session.targetImage.release();
    if (result != 0) {
        showError(session.frontend, operationTraits(Operation::RotateArbitrary).failureText);
        return kFailed;
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

bool isWholeTurn(const ParameterBlock& block) {
    return normalizeAngle(block.rotateAngle) == 0;
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
        if (readBitmapFile(s.frontend, s.currentPath, s.sourceImage) != 0) return kFailed;
        return rotateImage(s, request);
    });
}

} // namespace vellora
