#include "filter/edgePreserving.h"

#include "core/errors.h"
#include "core/operationFrame.h"
#include "core/simdLevel.h"
#include "filter/convolve.h"
#include "filter/filterRows.h"
#include "filter/windowLuminance.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace vellora {

const std::array<SubWindow, kSubWindows> subWindowTable = {{
    {7, {0, 1, 5, 6, 7, 11, 12}},
    {7, {1, 2, 3, 6, 7, 8, 12}},
    {7, {3, 4, 7, 8, 9, 12, 13}},
    {7, {5, 6, 10, 11, 12, 15, 16}},
    {9, {6, 7, 8, 11, 12, 13, 16, 17, 18}},
    {7, {8, 9, 12, 13, 14, 18, 19}},
    {7, {11, 12, 15, 16, 17, 20, 21}},
    {7, {12, 16, 17, 18, 21, 22, 23}},
    {7, {12, 13, 17, 18, 19, 23, 24}},
}};

namespace {

constexpr int kWindow = 5;
constexpr int kHalf = 2;
constexpr int kBlock = 128;

double criterionValue(const double* luminances, const SubWindow& window, int criterion) {
    double largest = luminances[window.positions[0]];
    double smallest = largest;
    double sum = 0;
    double squares = 0;
    for (int q = 0; q < window.count; ++q) {
        const double value = luminances[window.positions[std::size_t(q)]];
        largest = std::max(largest, value);
        smallest = std::min(smallest, value);
        sum += value;
        squares += value * value;
    }
    if (criterion == kCriterionRange) return largest - smallest;
    const double m = window.count;
    const double variance = (squares - sum * sum / m) / (m - 1);
    return criterion == kCriterionVariance ? variance : std::sqrt(variance);
}

// A sub-window as horizontal runs of one window row each, so that run sums prepared once per
// source row serve every sub-window and every target row that reads that source row.
struct Run {
    int row, column, length;
};
struct SubWindowRuns {
    double count;
    int runCount;
    std::array<Run, kWindow> runs;
};

std::array<SubWindowRuns, kSubWindows> makeSubWindowRuns() {
    std::array<SubWindowRuns, kSubWindows> result{};
    for (std::size_t n = 0; n < kSubWindows; ++n) {
        const SubWindow& window = subWindowTable[n];
        SubWindowRuns& runs = result[n];
        runs.count = window.count;
        for (int q = 0; q < window.count; ++q) {
            const int p = window.positions[std::size_t(q)];
            Run* last = runs.runCount ? &runs.runs[std::size_t(runs.runCount - 1)] : nullptr;
            if (last && last->row == p / kWindow && last->column + last->length == p % kWindow)
                ++last->length;
            else
                runs.runs[std::size_t(runs.runCount++)] = {p / kWindow, p % kWindow, 1};
        }
    }
    return result;
}

const std::array<SubWindowRuns, kSubWindows> kSubWindowRuns = makeSubWindowRuns();

// One source row, padded by two replicated pixels each side, with its luminance run
// statistics: entry x of the run arrays covers padded columns x … x + length − 1.
struct PreparedRow {
    std::vector<std::uint8_t> colors;
    std::array<std::vector<double>, kWindow> sums;             // run sums of the luminance
    std::array<std::vector<double>, kWindow> squares;          // run sums of its square
    std::array<std::vector<float>, kWindow> largest;           // run maxima of 256 x luminance
    std::array<std::vector<float>, kWindow> smallest;          // run minima
    std::array<std::vector<std::uint16_t>, kWindow> colorSums; // run sums per channel, interleaved
};

// Luminances are multiples of 1/256 below 256, so every run sum, square sum and sub-window
// sum below is exact in double and equals the sum taken position by position.
struct VarianceStatistic {
    bool deviation;

    void prepare(PreparedRow& row, const int* numerators, int width) const {
        for (int x = 0; x < width; ++x) {
            const double value = numerators[x] / 256.0;
            row.sums[0][std::size_t(x)] = value;
            row.squares[0][std::size_t(x)] = value * value;
        }
        for (std::size_t length = 1; length < 3; ++length)
            for (int x = 0; x + int(length) < width; ++x) {
                row.sums[length][std::size_t(x)] =
                    row.sums[length - 1][std::size_t(x)] + row.sums[0][std::size_t(x) + length];
                row.squares[length][std::size_t(x)] = row.squares[length - 1][std::size_t(x)] +
                                                      row.squares[0][std::size_t(x) + length];
            }
    }

    [[gnu::always_inline]] void values(const PreparedRow* const* rows, const SubWindowRuns& window,
                                       int x0, int n, double* out) const {
        double sum[kBlock];
        double squares[kBlock];
        const auto runStart = [&](int r, bool ofSquares) {
            const Run& run = window.runs[std::size_t(r)];
            const PreparedRow& row = *rows[run.row];
            const auto& arrays = ofSquares ? row.squares : row.sums;
            return arrays[std::size_t(run.length - 1)].data() + x0 + run.column;
        };
        std::copy(runStart(0, false), runStart(0, false) + n, sum);
        std::copy(runStart(0, true), runStart(0, true) + n, squares);
        for (int r = 1; r < window.runCount; ++r) {
            const double* s = runStart(r, false);
            const double* q = runStart(r, true);
            for (int t = 0; t < n; ++t) {
                sum[t] += s[t];
                squares[t] += q[t];
            }
        }
        const double m = window.count;
        for (int t = 0; t < n; ++t)
            out[t] = (squares[t] - sum[t] * sum[t] / m) / (m - 1);
        if (deviation)
            for (int t = 0; t < n; ++t)
                out[t] = std::sqrt(out[t]);
    }
};

// Ranges compared on 256 x luminance order exactly as the luminance ranges do; the integers
// below 2^16 are exact in single precision.
struct RangeStatistic {
    void prepare(PreparedRow& row, const int* numerators, int width) const {
        for (int x = 0; x < width; ++x)
            row.largest[0][std::size_t(x)] = row.smallest[0][std::size_t(x)] = float(numerators[x]);
        for (std::size_t length = 1; length < 3; ++length)
            for (int x = 0; x + int(length) < width; ++x) {
                const float next = row.largest[0][std::size_t(x) + length];
                row.largest[length][std::size_t(x)] =
                    std::max(row.largest[length - 1][std::size_t(x)], next);
                row.smallest[length][std::size_t(x)] =
                    std::min(row.smallest[length - 1][std::size_t(x)], next);
            }
    }

    [[gnu::always_inline]] void values(const PreparedRow* const* rows, const SubWindowRuns& window,
                                       int x0, int n, double* out) const {
        float largest[kBlock];
        float smallest[kBlock];
        const auto runStart = [&](int r, bool ofMaxima) {
            const Run& run = window.runs[std::size_t(r)];
            const PreparedRow& row = *rows[run.row];
            const auto& arrays = ofMaxima ? row.largest : row.smallest;
            return arrays[std::size_t(run.length - 1)].data() + x0 + run.column;
        };
        std::copy(runStart(0, true), runStart(0, true) + n, largest);
        std::copy(runStart(0, false), runStart(0, false) + n, smallest);
        for (int r = 1; r < window.runCount; ++r) {
            const float* high = runStart(r, true);
            const float* low = runStart(r, false);
            for (int t = 0; t < n; ++t) {
                largest[t] = std::max(largest[t], high[t]);
                smallest[t] = std::min(smallest[t], low[t]);
            }
        }
        for (int t = 0; t < n; ++t)
            out[t] = double(largest[t] - smallest[t]);
    }
};

struct EdgeScratch {
    WindowRowCache<PreparedRow> cache;
    std::vector<int> numerators;
};

PreparedRow blankRow(int paddedWidth, bool ranges) {
    PreparedRow row;
    row.colors.resize(3 * std::size_t(paddedWidth));
    for (std::size_t length = 0; length < 3; ++length) {
        row.colorSums[length].resize(3 * std::size_t(paddedWidth));
        if (ranges) {
            row.largest[length].resize(std::size_t(paddedWidth));
            row.smallest[length].resize(std::size_t(paddedWidth));
        } else {
            row.sums[length].resize(std::size_t(paddedWidth));
            row.squares[length].resize(std::size_t(paddedWidth));
        }
    }
    return row;
}

// Channel run sums of a padded colour row: entry 3x + c of length L sums channel c over padded
// columns x … x + L − 1.
void prepareColorSums(PreparedRow& row, int paddedWidth) {
    const std::size_t count = 3 * std::size_t(paddedWidth);
    std::copy(row.colors.begin(), row.colors.begin() + std::ptrdiff_t(count),
              row.colorSums[0].begin());
    for (std::size_t length = 1; length < 3; ++length)
        for (std::size_t t = 0; t + 3 * length < count; ++t)
            row.colorSums[length][t] =
                std::uint16_t(row.colorSums[length - 1][t] + row.colors[t + 3 * length]);
}

// The truncated mean sum / m of the integer channel sums (at most 9 × 255) as a multiplication:
// with r = ⌈2^32 / m⌉, (sum × r) >> 32 is the integer quotient for every such sum, since r
// exceeds 2^32 / m by less than 1 / m of a unit and sum × that excess stays below 2^32 / m. No
// branch on the sub-window's size, which changes from pixel to pixel.
constexpr std::uint32_t reciprocalOf(int m) {
    return std::uint32_t(((std::uint64_t(1) << 32) + std::uint64_t(m) - 1) / std::uint64_t(m));
}
constexpr std::uint32_t kSevenths = reciprocalOf(7);
constexpr std::uint32_t kNinths = reciprocalOf(9);
constexpr bool quotientsAreExact() {
    for (std::uint64_t sum = 0; sum <= 9 * 255; ++sum)
        if (((sum * kSevenths) >> 32) != sum / 7 || ((sum * kNinths) >> 32) != sum / 9)
            return false;
    return true;
}
static_assert(quotientsAreExact());

// Where each run of each sub-window starts in this target row's prepared source rows, and the
// reciprocal of each sub-window's size: found once per row, not once per pixel.
struct RowRuns {
    const std::uint16_t* start[kSubWindows][kWindow];
    int runCount[kSubWindows];
    std::uint32_t reciprocal[kSubWindows];
};

RowRuns rowRuns(const PreparedRow* const* rows) {
    RowRuns result{};
    for (std::size_t n = 0; n < kSubWindows; ++n) {
        const SubWindowRuns& window = kSubWindowRuns[n];
        result.runCount[n] = window.runCount;
        result.reciprocal[n] = window.count == 9 ? kNinths : kSevenths;
        for (int r = 0; r < window.runCount; ++r) {
            const Run& run = window.runs[std::size_t(r)];
            result.start[n][r] = rows[run.row]->colorSums[std::size_t(run.length - 1)].data() +
                                 3 * std::size_t(run.column);
        }
    }
    return result;
}

void writeMeanColors(const RowRuns& runs, const int* chosen, int x0, int n, std::uint8_t* out) {
    for (int t = 0; t < n; ++t) {
        const std::size_t window = std::size_t(chosen[t]);
        const std::size_t at = 3 * std::size_t(x0 + t);
        std::uint32_t sums[3] = {};
        for (int r = 0; r < runs.runCount[window]; ++r) {
            const std::uint16_t* s = runs.start[window][r] + at;
            sums[0] += s[0];
            sums[1] += s[1];
            sums[2] += s[2];
        }
        const std::uint64_t reciprocal = runs.reciprocal[window];
        for (int c = 0; c < 3; ++c)
            out[at + std::size_t(c)] = std::uint8_t((sums[c] * reciprocal) >> 32);
    }
}

template <class Statistic>
[[gnu::always_inline]] inline void edgePreservingRow(const PreparedRow* const* rows,
                                                     const Statistic& statistic, int width,
                                                     std::uint8_t* out) {
    const RowRuns runs = rowRuns(rows);
    for (int x0 = 0; x0 < width; x0 += kBlock) {
        const int n = std::min(kBlock, width - x0);
        double best[kBlock];
        double value[kBlock];
        int chosen[kBlock];
        std::fill(chosen, chosen + n, 0);
        statistic.values(rows, kSubWindowRuns[0], x0, n, best);
        for (int number = 1; number < kSubWindows; ++number) {
            statistic.values(rows, kSubWindowRuns[std::size_t(number)], x0, n, value);
            for (int t = 0; t < n; ++t) {
                // Only a strictly smaller value replaces the choice: the lowest number wins ties.
                const bool smaller = value[t] < best[t];
                best[t] = smaller ? value[t] : best[t];
                chosen[t] = smaller ? number : chosen[t];
            }
        }
        writeMeanColors(runs, chosen, x0, n, out);
    }
}

void rangeRow(const PreparedRow* const* rows, int width, std::uint8_t* out) {
    edgePreservingRow(rows, RangeStatistic{}, width, out);
}

void varianceRow(const PreparedRow* const* rows, bool deviation, int width, std::uint8_t* out) {
    edgePreservingRow(rows, VarianceStatistic{deviation}, width, out);
}

void statisticRow(const PreparedRow* const* rows, const RangeStatistic&, int width,
                  std::uint8_t* out) {
    kSimdKernel<&rangeRow>(rows, width, out);
}

void statisticRow(const PreparedRow* const* rows, const VarianceStatistic& statistic, int width,
                  std::uint8_t* out) {
    kSimdKernel<&varianceRow>(rows, statistic.deviation, width, out);
}

template <class Statistic>
void edgePreservingAs(Session& session, DibImage& target, const DibImage& source,
                      const Statistic& statistic, bool ranges) {
    const int paddedWidth = source.width + 2 * kHalf;
    const auto prepare = [&](EdgeScratch& s) {
        return [&](int r, PreparedRow& row) {
            readPaddedColors(source, r, kHalf, row.colors.data());
            for (int x = 0; x < paddedWidth; ++x)
                s.numerators[std::size_t(x)] = luminanceNumerator(row.colors.data() + 3 * x);
            statistic.prepare(row, s.numerators.data(), paddedWidth);
            prepareColorSums(row, paddedWidth);
        };
    };
    forEachTargetRow<EdgeScratch>(
        session, target.height,
        [&] {
            return EdgeScratch{WindowRowCache<PreparedRow>(kWindow, blankRow(paddedWidth, ranges)),
                               std::vector<int>(std::size_t(paddedWidth))};
        },
        [&](int y, EdgeScratch& s) {
            const PreparedRow* rows[kWindow];
            for (int j = 0; j < kWindow; ++j)
                rows[j] = &s.cache.row(windowRow(y, kHalf, j, source.height), prepare(s));
            statisticRow(rows, statistic, target.width, target.row(y));
        });
}

} // namespace

void selectSubWindow(const double (*colors)[3], const double* luminances, int criterion,
                     std::uint8_t* bgr) {
    int chosen = 0;
    double best = criterionValue(luminances, subWindowTable[0], criterion);
    for (int n = 1; n < kSubWindows; ++n) {
        const double value = criterionValue(luminances, subWindowTable[std::size_t(n)], criterion);
        if (value < best) {
            best = value;
            chosen = n;
        }
    }
    const SubWindow& window = subWindowTable[std::size_t(chosen)];
    for (int c = 0; c < 3; ++c) {
        double sum = 0;
        for (int q = 0; q < window.count; ++q)
            sum += colors[window.positions[std::size_t(q)]][c];
        bgr[c] = finishChannel(sum / window.count);
    }
}

int edgePreservingPass(Session& session, DibImage& target, const DibImage& source, int criterion) {
    if (criterion == kCriterionRange)
        edgePreservingAs(session, target, source, RangeStatistic{}, true);
    else
        edgePreservingAs(session, target, source,
                         VarianceStatistic{criterion == kCriterionDeviation}, false);
    return 0;
}

int edgePreservingSmooth(Session& session, int criterion) {
    DibImage& source = session.sourceImage;
    DibImage& target = session.targetImage;
    int result = 1;
    if (criterion >= kCriterionRange && criterion <= kCriterionDeviation &&
        createDib(session.frontend, target, source.width, source.height, 24, 0) == 0) {
        edgePreservingPass(session, target, source, criterion);
        result = writeBitmapFile(session.frontend, session.nextPath, target) == 0 ? 0 : kFailed;
    }
    target.release();
    source.release();
    return result;
}

int edgePreservingHandler(Session& session) {
    const int criterion = int(session.workingBlock.edgePreservingIndex);
    return runOperationFrame(session, Operation::EdgePreserving, [criterion](Session& s) {
        return readSourceImage(s) != 0 ? kFailed : edgePreservingSmooth(s, criterion);
    });
}

} // namespace vellora
