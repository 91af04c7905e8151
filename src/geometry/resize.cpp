#include "geometry/resize.h"

#include "core/errors.h"
#include "core/operationFrame.h"
#include "core/pictureStep.h"
#include "core/pixelAccess.h"
#include "core/progress.h"
#include "core/rowBands.h"
#include "geometry/resampleWeights.h"
#include "geometry/sourceColors.h"
#include "geometry/weightedColor.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <string_view>
#include <vector>

namespace vellora {

namespace {

// Source column of every target column, x × w / W in 64 bits.
std::vector<int> nearestColumns(int sourceWidth, int targetWidth) {
    std::vector<int> columns(static_cast<std::size_t>(targetWidth));
    for (int x = 0; x < targetWidth; ++x)
        columns[std::size_t(x)] = int(std::int64_t(sourceWidth) * x / targetWidth);
    return columns;
}

// One interpolated target row; the column taps come from the table, laid out once per pass.
void interpolateRow(const SourceColors& colors, const AxisTable& columns, Taps rowTaps,
                    const double* rowWeights, std::uint8_t* out, int targetWidth) {
    for (int x = 0; x < targetWidth; ++x)
        weightedColor(colors, rowTaps, rowWeights, columns.taps[std::size_t(x)],
                      columns.weightsOf(x), out + 3 * x);
}

int makeResizeTarget(Session& session, const DibImage& source, DibImage& target,
                     const ResizeRequest& request) {
    const bool trueColor = request.interpolate || request.depthIndex == 1;
    const std::uint16_t depth = trueColor ? 24 : source.bitsPerPixel;
    return createDib(session.frontend, target, request.width, request.height, depth, 0, &source);
}

} // namespace

void resizeNearest(Session& session, const DibImage& source, DibImage& target) {
    const bool copyIndices = source.isIndexed() && target.isIndexed();
    const std::vector<int> columns = nearestColumns(source.width, target.width);
    const int workers = rowWorkerCount(target.height);
    // One source row and one target row of scratch per worker, three bytes per pixel.
    const std::size_t rowBytes = 3 * std::size_t(std::max(source.width, target.width));
    std::vector<std::uint8_t> scratch(2 * rowBytes * std::size_t(workers));
    progressBegin(session, target.height);
    forRowsWithProgress(session, target.height, workers, [&](int worker, int begin, int end) {
        std::uint8_t* in = scratch.data() + 2 * rowBytes * std::size_t(worker);
        std::uint8_t* out = in + rowBytes;
        for (int y = begin; y < end; ++y) {
            const int sourceRow = int(std::int64_t(y) * source.height / target.height);
            if (copyIndices) {
                readRowIndices(source, sourceRow, in);
                for (int x = 0; x < target.width; ++x)
                    out[x] = in[columns[std::size_t(x)]];
                writeRowIndices(target, y, out);
                continue;
            }
            readRowColors(source, sourceRow, in);
            for (int x = 0; x < target.width; ++x)
                std::copy_n(in + 3 * std::size_t(columns[std::size_t(x)]), 3, out + 3 * x);
            writeRowColors(target, y, out);
        }
    });
}

int resizeInterpolated(Session& session, const DibImage& source, DibImage& target) {
    try {
        const AxisPlan rowPlan = makeAxisPlan(source.height, target.height);
        const AxisTable rows = makeAxisTable(rowPlan, target.height);
        const AxisTable columns =
            makeAxisTable(makeAxisPlan(source.width, target.width), target.width);
        const SourceColors colors(source);
        progressBegin(session, target.height);
        forRowsWithProgress(session, target.height, rowWorkerCount(target.height),
                            [&](int, int begin, int end) {
                                for (int y = begin; y < end; ++y)
                                    interpolateRow(colors, columns, rows.taps[std::size_t(y)],
                                                   rows.weightsOf(y), target.row(y), target.width);
                            });
    } catch (const std::bad_alloc&) {
        return reportError(session.frontend, kErrorAllocate);
    } catch (const std::length_error&) {
        return reportError(session.frontend, kErrorAllocate);
    }
    return 0;
}

int resizeToImage(Session& session, const DibImage& source, DibImage& target,
                  const ResizeRequest& request) {
    if (const int code = makeResizeTarget(session, source, target, request); code != 0) return code;
    if (request.interpolate) return resizeInterpolated(session, source, target);
    try {
        resizeNearest(session, source, target);
    } catch (const std::bad_alloc&) {
        return reportError(session.frontend, kErrorAllocate);
    }
    return 0;
}

int resizeImage(Session& session, const ResizeRequest& request) {
    return runPictureStep(session, [&](const DibImage& source, DibImage& target) {
        if (!resizeValuesValid(request.width, request.height, source.width, source.height)) {
            session.frontend.showMessage("alert", kInvalidSizeText);
            return 1;
        }
        return resizeToImage(session, source, target, request);
    });
}

int resizeHandler(Session& session) {
    const ParameterBlock& block = session.workingBlock;
    const ResizeRequest request{block.resizeWidth, block.resizeHeight, int(block.resizeDepthIndex),
                                block.resizeInterpolate != 0};
    return runOperationFrame(session, Operation::Resize,
                             [&](Session& s) { return resizeImage(s, request); });
}

bool resizeValuesValid(int width, int height, int currentWidth, int currentHeight) {
    return width >= 1 && std::int64_t(width) <= std::int64_t(kMaxResizeFactor) * currentWidth &&
           height >= 1 && std::int64_t(height) <= std::int64_t(kMaxResizeFactor) * currentHeight;
}

int keepRatioHeight(int width, int currentWidth, int currentHeight) {
    return int(std::int64_t(width) * currentHeight / currentWidth);
}

int keepRatioWidth(int height, int currentWidth, int currentHeight) {
    return int(std::int64_t(height) * currentWidth / currentHeight);
}

} // namespace vellora
