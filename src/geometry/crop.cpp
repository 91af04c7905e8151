#include "geometry/crop.h"

#include "core/errors.h"
#include "core/operationFrame.h"
#include "core/pictureStep.h"
#include "core/pixelAccess.h"
#include "core/progress.h"
#include "core/rowBands.h"

#include <string_view>

namespace vellora {

namespace {

bool rectInside(const CropRect& rect, const DibImage& image) {
    const auto [left, bottom, right, top] = rect;
    return left >= 0 && bottom >= 0 && left <= right && bottom <= top && right < image.width &&
           top < image.height;
}

// One result row from a source row, pixel by pixel at the source's depth, so a rectangle may
// start inside a byte of a 1 or 4 bpp row.
void cropRow(const DibImage& source, DibImage& target, int sourceRow, int targetRow, int left) {
    const int depth = source.bitsPerPixel;
    if (source.isIndexed()) {
        std::uint8_t index = 0;
        for (int x = 0; x < target.width; ++x) {
            getIndex(source, index, sourceRow, left + x, depth);
            putIndexSequential(target, index, targetRow, x, depth);
        }
        return;
    }
    const int bytes = depth / 8;
    const std::uint8_t* in = source.row(sourceRow) + std::size_t(bytes) * left;
    std::uint8_t* out = target.row(targetRow);
    for (int x = 0; x < target.width; ++x)
        for (int c = 0; c < 3; ++c)
            out[bytes * x + c] = in[bytes * x + c];
}

} // namespace

int cropToImage(Session& session, const DibImage& source, DibImage& target, const CropRect& rect) {
    const auto [left, bottom, right, top] = rect;
    if (!rectInside(rect, source)) {
        // The dialog never lets this through; a parameter file or the command line can.
        session.frontend.showMessage("alert", kInvalidCropText);
        return kFailed;
    }
    if (const int code = createDib(session.frontend, target, right - left + 1, top - bottom + 1,
                                   source.bitsPerPixel, source.colorsUsed, &source);
        code != 0)
        return code;
    progressBegin(session, target.height);
    forRowsWithProgress(session, target.height, rowWorkerCount(target.height),
                        [&, bottom = bottom, left = left](int, int begin, int end) {
                            for (int y = begin; y < end; ++y)
                                cropRow(source, target, bottom + y, y, left);
                        });
    return 0;
}

int cropImage(Session& session, const CropRect& rect) {
    return runPictureStep(session, [&](const DibImage& source, DibImage& target) {
        return cropToImage(session, source, target, rect);
    });
}

int cropHandler(Session& session) {
    const CropRect rect{session.workingBlock.cropRect[0], session.workingBlock.cropRect[1],
                        session.workingBlock.cropRect[2], session.workingBlock.cropRect[3]};
    return runOperationFrame(session, Operation::Crop,
                             [&](Session& s) { return cropImage(s, rect); });
}

bool cropValuesValid(int left, int bottom, int right, int top, int width, int height) {
    return left >= 1 && right <= width && right >= left && bottom >= 1 && top <= height &&
           top >= bottom;
}

} // namespace vellora
