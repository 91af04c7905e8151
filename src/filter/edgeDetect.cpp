#include "filter/edgeDetect.h"

#include "core/errors.h"
#include "core/operationFrame.h"
#include "filter/convolve.h"
#include "filter/edgeMask.h"
#include "filter/filterRows.h"

#include <cstring>

namespace vellora {

namespace {

int squaredMagnitude(const std::uint8_t* bgr) {
    return bgr[0] * bgr[0] + bgr[1] * bgr[1] + bgr[2] * bgr[2];
}

bool validSettings(int mode, int direction, int edgeOperator, int nonDirection) {
    if (mode == kEdgeModeNonDirection)
        return nonDirection >= 0 && nonDirection < kNonDirectionMaskCount;
    return mode == kEdgeModeDirection && direction >= 0 && direction <= kBothDirections &&
           edgeOperator >= 0 && edgeOperator < kEdgeOperatorCount;
}

// The source convolved into `result` (24 bpp, the source's size) with one edge mask.
int convolveWithEdgeMask(Session& session, DibImage& result, int family, int index) {
    FilterMask mask;
    mask.coefficients.assign(25, 0.0);
    makeEdgeMask(mask, family, index);
    return convolve(session, result, session.sourceImage, mask);
}

// One temporary picture per direction; both are released when this returns.
int bothDirections(Session& session, int edgeOperator) {
    const DibImage& source = session.sourceImage;
    DibImage vertical;
    DibImage horizontal;
    if (createDib(session.frontend, vertical, source.width, source.height, 24, 0) != 0)
        return kFailed;
    convolveWithEdgeMask(session, vertical, kDirectionFamily, 3 * edgeOperator);
    if (createDib(session.frontend, horizontal, source.width, source.height, 24, 0) != 0)
        return kFailed;
    convolveWithEdgeMask(session, horizontal, kDirectionFamily, 3 * edgeOperator + 1);
    return strongerOfTwo(session, session.targetImage, vertical, horizontal);
}

int edgePicture(Session& session, int mode, int direction, int edgeOperator, int nonDirection) {
    if (mode == kEdgeModeDirection && direction == kBothDirections)
        return bothDirections(session, edgeOperator);
    if (mode == kEdgeModeDirection)
        return convolveWithEdgeMask(session, session.targetImage, kDirectionFamily,
                                    3 * edgeOperator + direction);
    return convolveWithEdgeMask(session, session.targetImage, kNonDirectionFamily, nonDirection);
}

} // namespace

int strongerOfTwo(Session& session, DibImage& target, const DibImage& vertical,
                  const DibImage& horizontal) {
    runRowBands(session, target.height, rowBandScratchCount(), [&](int y, int) {
        const std::uint8_t* first = vertical.row(y);
        const std::uint8_t* second = horizontal.row(y);
        std::uint8_t* out = target.row(y);
        for (int x = 0; x < target.width; ++x) {
            const bool verticalStronger =
                squaredMagnitude(first + 3 * x) > squaredMagnitude(second + 3 * x);
            std::memcpy(out + 3 * x, verticalStronger ? first + 3 * x : second + 3 * x, 3);
        }
    });
    return 0;
}

int detectEdges(Session& session, int mode, int direction, int edgeOperator, int nonDirection) {
    if (!validSettings(mode, direction, edgeOperator, nonDirection)) return kFailed;
    if (readSourceImage(session) != 0) return kFailed;
    DibImage& source = session.sourceImage;
    DibImage& target = session.targetImage;
    int result = createDib(session.frontend, target, source.width, source.height, 24, 0);
    if (result == 0) result = edgePicture(session, mode, direction, edgeOperator, nonDirection);
    if (result == 0) result = writeBitmapFile(session.frontend, session.nextPath, target);
    target.release();
    source.release();
    return result == 0 ? 0 : kFailed;
}

int edgeDetectHandler(Session& session) {
    const ParameterBlock& block = session.workingBlock;
    const int mode = int(block.edgeDetectMode);
    const int direction = int(block.edgeDetectChoice[0]);
    const int edgeOperator = int(block.edgeDetectChoice[1]);
    const int nonDirection = int(block.edgeDetectChoice[2]);
    return runOperationFrame(session, Operation::EdgeDetect, [=](Session& s) {
        return detectEdges(s, mode, direction, edgeOperator, nonDirection);
    });
}

} // namespace vellora
