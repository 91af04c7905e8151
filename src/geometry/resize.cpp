#include "geometry/resize.h"

#include "core/errors.h"
#include "core/operationFrame.h"
#include "core/pictureStep.h"
#include "core/pixelAccess.h"
#include "core/progress.h"
#include "core/rowBands.h"
#include "core/simdLevel.h"
#include "geometry/fixedResample.h"
#include "geometry/resampleWeights.h"
#include "geometry/weightedColor.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

namespace vellora {

namespace {

// Source column of every target column, x × w / W in 64 bits.
std::vector<int> nearestColumns(int sourceWidth, int targetWidth) {
    std::vector<int> columns(static_cast<std::size_t>(targetWidth));
    for (std::int64_t x = 0; int& column : columns)
        column = int(sourceWidth * x++ / targetWidth);
    return columns;
}

// Blue, green, red of every pixel as the first three of four doubles; the fourth stays 0.
// Each pixel is read as four bytes, the next pixel's first one masked off; the last pixel of
// the row, whose fourth byte may lie past the picture, is read alone.
void widenRow(const std::uint8_t* bgr, double* values, std::size_t pixels) {
    using Lanes = double __attribute__((vector_size(32)));
    using Bytes = std::uint8_t __attribute__((vector_size(4)));
    using Words = std::int32_t __attribute__((vector_size(16)));
    const Bytes keep = {255, 255, 255, 0};
    for (std::size_t x = 0; x + 1 < pixels; ++x, bgr += 3, values += 4) {
        Bytes pixel;
        std::memcpy(&pixel, bgr, sizeof pixel);
        const Lanes wide =
            __builtin_convertvector(__builtin_convertvector(pixel & keep, Words), Lanes);
        std::memcpy(values, &wide, sizeof wide);
    }
    if (pixels > 0) {
        const Lanes last = {double(bgr[0]), double(bgr[1]), double(bgr[2]), 0.0};
        std::memcpy(values, &last, sizeof last);
    }
}

// Source rows as four doubles per pixel (blue, green, red and a zero), converted once and kept
// for the few target rows that read them. Row y lives in slot y mod capacity, so any run of up
// to `capacity` consecutive rows is held at once. `padding` zero pixels follow every row.
class DoubleRows {
  public:
    DoubleRows(const DibImage& source, int capacity, int padding)
        : source_(&source), capacity_(std::size_t(capacity)),
          stride_(4 * (std::size_t(source.width) + std::size_t(padding))),
          values_(capacity_ * stride_), held_(capacity_, -1),
          bytes_(3 * std::size_t(source.width)) {}

    const double* row(int y) {
        const std::size_t slot = std::size_t(y) % capacity_;
        double* values = values_.data() + slot * stride_;
        if (held_[slot] != y) {
            // A 24 bpp row already is the colour row.
            const std::uint8_t* bgr = source_->row(y);
            if (source_->bitsPerPixel != 24) {
                readRowColors(*source_, y, bytes_.data());
                bgr = bytes_.data();
            }
            kSimdKernelUpToAvx2<&widenRow>(bgr, values, std::size_t(source_->width));
            held_[slot] = y;
        }
        return values;
    }

  private:
    const DibImage* source_;
    std::size_t capacity_, stride_;
    std::vector<double> values_; // the fourth value of every pixel stays 0
    std::vector<int> held_;
    std::vector<std::uint8_t> bytes_;
};

constexpr int kSideBySide = 4;

// N neighbouring target pixels of one row, which share its row taps. For every row tap i, then
// every column tap j, each channel adds rowWeights[i] × columnWeights[j] × the channel. The
// channels are the lanes of one vector and the N pixels' sums are formed side by side, so each
// channel of each pixel takes its products in that order while the N chains of additions
// overlap. Every pixel runs over as many column taps as the most any of them has (never more
// than the table's stride): the weights past its own taps are 0 and the pixels they read are the
// rows' zero padding or real pixels, so the extra products are ±0, which leave every sum as it was
// (at most −0 becomes +0, and both clamp to 0). Vectors stay local: none crosses a call.
template <int N>
[[gnu::always_inline]] inline void
interpolatePixels(const double* const* rows, Taps rowTaps, const double* rowWeights,
                  const AxisTable& columns, int x, std::uint8_t* out) {
    using Lanes = double __attribute__((vector_size(32)));
    Lanes sums[N];
#pragma GCC unroll 4
    for (int p = 0; p < N; ++p)
        sums[p] = Lanes{};
    int columnCount = 0;
    for (int p = 0; p < N; ++p)
        columnCount = std::max(columnCount, columns.taps[std::size_t(x + p)].count);
    for (int i = 0; i < rowTaps.count; ++i) {
        const double rowWeight = rowWeights[i];
        for (int j = 0; j < columnCount; ++j)
#pragma GCC unroll 4
            for (int p = 0; p < N; ++p) {
                const double weight = rowWeight * columns.weightsOf(x + p)[j];
                Lanes value;
                std::memcpy(&value,
                            rows[i] + 4 * std::size_t(columns.taps[std::size_t(x + p)].first + j),
                            sizeof value);
                sums[p] += weight * value;
            }
    }
#pragma GCC unroll 4
    for (int p = 0; p < N; ++p)
        for (int k = 0; k < 3; ++k)
            out[3 * (x + p) + k] = clampToByte(sums[p][k]);
}

// One interpolated target row; the column taps come from the table, laid out once per pass.
void interpolateRow(const double* const* rows, const AxisTable& columns, Taps rowTaps,
                    const double* rowWeights, std::uint8_t* out, int targetWidth) {
    int x = 0;
    for (; x + kSideBySide <= targetWidth; x += kSideBySide)
        interpolatePixels<kSideBySide>(rows, rowTaps, rowWeights, columns, x, out);
    for (; x < targetWidth; ++x)
        interpolatePixels<1>(rows, rowTaps, rowWeights, columns, x, out);
}

// Scratch of one worker: its converted rows and the row pointers of one target row for the
// double pass, and its rows filtered across for the integer one.
struct InterpolationScratch {
    DoubleRows rows;
    std::vector<const double*> pointers;
    std::optional<FixedRows> fixed; // empty when the plan does not fit in whole numbers
};

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
    WorkerRows scratch;
    if (!scratch.allocate(workers, 3 * std::size_t(std::max(source.width, target.width)), 2))
        throw std::bad_alloc();
    progressBegin(session, target.height);
    forRowsWithProgress(session, target.height, workers, [&](int worker, int begin, int end) {
        std::uint8_t* in = scratch.row(worker);
        std::uint8_t* out = scratch.row(worker, 1);
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
        const FixedPlan fixed = makeFixedPlan(rows, columns);
        const bool useFixed = fixedPlanFits(fixed);
        const int workers = rowWorkerCount(target.height);
        const int capacity = maxTaps(rowPlan);
        std::vector<InterpolationScratch> scratch;
        scratch.reserve(std::size_t(workers));
        for (int w = 0; w < workers; ++w) {
            scratch.push_back({DoubleRows(source, capacity, columns.stride),
                               std::vector<const double*>(std::size_t(capacity)),
                               {}});
            if (useFixed) scratch.back().fixed.emplace(source, fixed.columns, capacity);
        }
        progressBegin(session, target.height);
        forRowsWithProgress(session, target.height, workers, [&](int worker, int begin, int end) {
            InterpolationScratch& s = scratch[std::size_t(worker)];
            for (int y = begin; y < end; ++y) {
                if (useFixed && fixed.rows.exact[std::size_t(y)]) {
                    fixedTargetRow(*s.fixed, fixed, rows, columns, y, target.row(y));
                    continue;
                }
                const Taps rowTaps = rows.taps[std::size_t(y)];
                for (int i = 0; i < rowTaps.count; ++i)
                    s.pointers[std::size_t(i)] = s.rows.row(rowTaps.first + i);
                kSimdKernelUpToAvx2<&interpolateRow>(s.pointers.data(), columns, rowTaps,
                                                     rows.weightsOf(y), target.row(y),
                                                     target.width);
            }
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
            return kFailed;
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
