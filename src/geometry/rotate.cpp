#include "geometry/rotate.h"

#include "core/errors.h"
#include "core/pixelAccess.h"
#include "core/progress.h"
#include "core/rowBands.h"
#include "core/simdLevel.h"
#include "geometry/bicubicQuad.h"
#include "geometry/resampleWeights.h"
#include "geometry/rotationFrame.h"
#include "geometry/sourceColors.h"
#include "geometry/weightedColor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <numbers>
#include <optional>
#include <utility>
#include <vector>

namespace vellora {

namespace {

struct Turn {
    double sine;
    double cosine;
};

Turn turnOf(int angle) {
    const double theta = angle * std::numbers::pi / 180;
    return {std::sin(theta), std::cos(theta)};
}

// A span too large for an int becomes INT_MAX, which createDib refuses with code 16.
int sizeFrom(double span) {
    return span >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                           : int(span);
}

// The first colour-table entry at the smallest squared distance from the blank colour.
std::uint8_t nearestEntry(const DibImage& image, const BlankColor& blank) {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < int(image.paletteEntries); ++i) {
        const std::uint8_t* entry = image.paletteEntry(i);
        const int db = entry[0] - blank[0], dg = entry[1] - blank[1], dr = entry[2] - blank[2];
        const int distance = db * db + dg * dg + dr * dr;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return std::uint8_t(best);
}

// `f` is a copy, so the compiler may keep it in registers across the stores into the row.
template <class Store>
void nearestRow(const DibImage& source, const RotationFrame f, int y, int width, Store store) {
    const double v = y - f.cy;
    const int shiftRow = int(f.dy), shiftColumn = int(f.dx);
    for (int x = 0; x < width; ++x) {
        const double u = x - f.cx;
        const int sr = int(u * f.sine + v * f.cosine + f.cy + 0.5) - shiftRow;
        const int sc = int(u * f.cosine - v * f.sine + f.cx + 0.5) - shiftColumn;
        const bool inside = sr >= 0 && sr < source.height && sc >= 0 && sc < source.width;
        store(x, inside, sr, sc);
    }
}

void nearestIndexRow(const DibImage& source, const RotationFrame& f, int y, int width,
                     std::uint8_t* out, std::uint8_t blankIndex) {
    nearestRow(source, f, y, width, [&](int x, bool inside, int sr, int sc) {
        if (inside)
            getIndex(source, out[x], sr, sc, source.bitsPerPixel);
        else
            out[x] = blankIndex;
    });
}

void nearestColorRow(const SourceColors& colors, const DibImage& source, const RotationFrame& f,
                     int y, int width, std::uint8_t* out, const BlankColor& blank) {
    const std::uint8_t blankPixel[] = {blank[0], blank[1], blank[2]};
    nearestRow(source, f, y, width, [&](int x, bool inside, int sr, int sc) {
        std::memcpy(out + 3 * x, inside ? colors.row(sr) + 3 * std::size_t(sc) : blankPixel, 3);
    });
}

// The tap weights of every worker of the interpolated pass, in one block. Each worker's share
// is followed by a cache line of its own, so two workers writing weights for every pixel never
// write into the same line.
class TapBuffers {
  public:
    TapBuffers(int workers, int rowTaps, int columnTaps)
        : rowTaps_(roundUp(rowTaps)), share_(rowTaps_ + roundUp(columnTaps) + kLineDoubles),
          weights_(std::size_t(workers) * share_) {}
    double* rowWeights(int worker) { return weights_.data() + std::size_t(worker) * share_; }
    double* columnWeights(int worker) { return rowWeights(worker) + rowTaps_; }

  private:
    static constexpr std::size_t kLineDoubles = 64 / sizeof(double);
    static std::size_t roundUp(int taps) {
        return (std::size_t(taps) + kLineDoubles - 1) / kLineDoubles * kLineDoubles;
    }
    std::size_t rowTaps_, share_;
    std::vector<double> weights_;
};

// Target pixels begin … end − 1 of the row at v, one at a time.
void interpolatedPixels(const SourceColors& colors, const DibImage& source, const RotationFrame& f,
                        const AxisPlan& rowPlan, const AxisPlan& columnPlan, double v, int begin,
                        int end, std::uint8_t* out, const BlankColor& blank, double* rowWeights,
                        double* columnWeights) {
    for (int x = begin; x < end; ++x) {
        const double u = x - f.cx;
        const double tr = u * f.sine + v * f.cosine + f.cy - f.dy + 0.5;
        const double tc = u * f.cosine - v * f.sine + f.cx - f.dx + 0.5;
        const int row = int(tr);
        const int column = int(tc);
        if (row < 0 || row >= source.height || column < 0 || column >= source.width) {
            std::copy(blank.begin(), blank.end(), out + 3 * x);
            continue;
        }
        const Taps rowTaps = planTaps(rowPlan, tr, rowWeights);
        const Taps columnTaps = planTaps(columnPlan, tc, columnWeights);
        weightedColor(colors, rowTaps, rowWeights, columnTaps, columnWeights, out + 3 * x);
    }
}

// What every row of the interpolated pass reads.
struct InterpolatedPass {
    const SourceColors& colors;
    const DibImage& source;
    RotationFrame f;
    AxisPlan rowPlan, columnPlan;
    BlankColor blank;

    // Target pixels begin … end − 1 of row y into out[3 × begin …].
    void row(int y, int begin, int end, std::uint8_t* out, double* rowWeights,
             double* columnWeights) const;
};

// The pass's pixels one at a time.
void passPixels(const InterpolatedPass& pass, double v, int begin, int end, std::uint8_t* out,
                double* rowWeights, double* columnWeights) {
    interpolatedPixels(pass.colors, pass.source, pass.f, pass.rowPlan, pass.columnPlan, v, begin,
                       end, out, pass.blank, rowWeights, columnWeights);
}

// Inside the source, where both axes are bicubic, kQuadPixels at a time (AVX2 and wider only);
// a group that does not fit goes pixel by pixel.
void passQuads(const InterpolatedPass& pass, double v, int begin, int end, std::uint8_t* out,
               double* rowWeights, double* columnWeights) {
    if (pass.rowPlan.method != AxisMethod::Bicubic ||
        pass.columnPlan.method != AxisMethod::Bicubic) {
        passPixels(pass, v, begin, end, out, rowWeights, columnWeights);
        return;
    }
    const QuadSource quadSource{pass.colors.row(0), pass.colors.stride(), pass.source.width,
                                pass.source.height};
    for (int x = begin; x < end; x += kQuadPixels) {
        if (x + kQuadPixels <= end &&
            bicubicQuads(quadSource, pass.f, v, x, pass.blank.data(), out + 3 * x))
            continue;
        passPixels(pass, v, x, std::min(end, x + kQuadPixels), out, rowWeights, columnWeights);
    }
}

void InterpolatedPass::row(int y, int begin, int end, std::uint8_t* out, double* rowWeights,
                           double* columnWeights) const {
    kSimdKernelUpToAvx2<&passPixels, &passQuads>(*this, y - f.cy, begin, end, out, rowWeights,
                                                 columnWeights);
}

// Target columns per strip of the interpolated pass. A slice of rows is walked strip by strip,
// so the source lines one target row reads on its slant (half as many rows as the strip has
// columns, at 30 degrees) are still cached for the next row. Wider strips read more lines than
// the cache holds; narrower ones pay the strip's start more often.
constexpr int kStripColumns = 100 * kQuadPixels;

// Writes the pixel buffer of one target row at the target's depth.
void storeRow(DibImage& target, int y, const std::uint8_t* pixels, bool indices) {
    if (indices)
        writeRowIndices(target, y, pixels);
    else
        writeRowColors(target, y, pixels);
}

int makeRotateTarget(Session& session, const RotateRequest& request) {
    const DibImage& source = session.sourceImage;
    const RotatedSize size = rotatedSize(source, request.angle);
    const bool trueColor = request.bicubic || request.depthIndex == 1;
    return createDib(session.frontend, session.targetImage, size.width, size.height,
                     trueColor ? 24 : source.bitsPerPixel, 0, &source);
}

} // namespace

BlankColor blankGray(int blankIndex) {
    const auto value = std::uint8_t(51 * (5 - std::clamp(blankIndex, 0, 5)));
    return {value, value, value};
}

RotatedSize rotatedSize(const DibImage& source, int angle) {
    const Turn turn = turnOf(angle);
    const double w = source.width, h = source.height;
    // The corner at the origin stays where it is; the other three widen the box.
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (const auto& [cx, cy] : {std::pair{w, 0.0}, {0.0, h}, {w, h}}) {
        const double x = cx * turn.cosine - cy * turn.sine;
        const double y = cx * turn.sine + cy * turn.cosine;
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    return {sizeFrom(maxX - minX + 0.5), sizeFrom(maxY - minY + 0.5)};
}

int rotateNearest(Session& session, DibImage& target, const DibImage& source, int angle,
                  const BlankColor& blank) {
    const Turn turn = turnOf(angle);
    const RotationFrame f{turn.sine,
                          turn.cosine,
                          target.width * 0.5,
                          target.height * 0.5,
                          double((target.width - source.width) / 2),
                          double((target.height - source.height) / 2)};
    const bool copyIndices = source.isIndexed() && target.isIndexed();
    const std::uint8_t blankIndex = target.isIndexed() ? nearestEntry(target, blank) : 0;
    const int workers = rowWorkerCount(target.height);
    WorkerRows scratch;
    if (!scratch.allocate(workers, 3 * std::size_t(target.width)))
        return reportError(session.frontend, kErrorAllocate);
    std::optional<SourceColors> colors;
    try {
        if (!copyIndices) colors.emplace(source);
    } catch (const std::bad_alloc&) {
        return reportError(session.frontend, kErrorAllocate);
    }
    progressBegin(session, target.height);
    forRowsWithProgress(session, target.height, workers, [&](int worker, int begin, int end) {
        std::uint8_t* out = scratch.row(worker);
        for (int y = begin; y < end; ++y) {
            if (copyIndices)
                nearestIndexRow(source, f, y, target.width, out, blankIndex);
            else
                nearestColorRow(*colors, source, f, y, target.width, out, blank);
            storeRow(target, y, out, copyIndices);
        }
    });
    return 0;
}

int rotateInterpolated(Session& session, DibImage& target, const DibImage& source, int angle,
                       const BlankColor& blank) {
    const Turn turn = turnOf(angle);
    const RotationFrame f{turn.sine,
                          turn.cosine,
                          target.width * 0.5,
                          target.height * 0.5,
                          (target.width - source.width) * 0.5,
                          (target.height - source.height) * 0.5};
    const AxisPlan rowPlan = makeAxisPlan(source.height, target.height);
    const AxisPlan columnPlan = makeAxisPlan(source.width, target.width);
    const int workers = rowWorkerCount(target.height);
    try {
        const SourceColors colors(source);
        TapBuffers buffers(workers, maxTaps(rowPlan), maxTaps(columnPlan));
        progressBegin(session, target.height);
        const InterpolatedPass pass{colors, source, f, rowPlan, columnPlan, blank};
        forRowsWithProgress(session, target.height, workers, [&](int worker, int begin, int end) {
            for (int x = 0; x < target.width; x += kStripColumns)
                for (int y = begin; y < end; ++y)
                    pass.row(y, x, std::min(target.width, x + kStripColumns), target.row(y),
                             buffers.rowWeights(worker), buffers.columnWeights(worker));
        });
    } catch (const std::bad_alloc&) {
        return reportError(session.frontend, kErrorAllocate);
    }
    return 0;
}

int rotateImage(Session& session, const RotateRequest& request) {
    int result = makeRotateTarget(session, request);
    if (result == 0) {
        result = request.bicubic
                     ? rotateInterpolated(session, session.targetImage, session.sourceImage,
                                          request.angle, request.blank)
                     : rotateNearest(session, session.targetImage, session.sourceImage,
                                     request.angle, request.blank);
    }
    if (result == 0)
        result = writeBitmapFile(session.frontend, session.nextPath, session.targetImage);
    session.sourceImage.release();
    session.targetImage.release();
    return result == 0 ? 0 : kFailed;
}

} // namespace vellora
