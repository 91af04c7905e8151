// Vectors exist only inside the kernels' copies and the always-inlined formulas they use, so no
// vector is ever passed across a call: the ABI note does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

#include "color/medianCut.h"

#include "color/rowWorkers.h"
#include "core/errors.h"
#include "core/parallel.h"
#include "core/pictureBytes.h"
#include "core/pixelAccess.h"
#include "core/progress.h"
#include "core/simdLevel.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

namespace vellora {

namespace {

// How a box is to be cut: on which axis, at which mean; not done for a box without members.
struct MedianCutSplit {
    bool done = false;
    CutAxis axis = CutAxis::Luma;
    double mean = 0;
};

// The members of every box: colours packed as blue | green << 8 | red << 16, each box a
// contiguous run in storage order. Splitting partitions a run stably, so no box is ever
// scanned beyond its own members.
struct MedianCutBoxes {
    std::vector<std::uint32_t, ZeroedAllocator<std::uint32_t>> colors;
    std::vector<std::uint32_t, ZeroedAllocator<std::uint32_t>> scratch;
    std::vector<std::size_t> begin; // per box number
    std::vector<std::size_t> end;
    int depth = 0; // k
};

struct Bgr {
    int blue, green, red;
};
Bgr unpack(std::uint32_t c) {
    return {int(c & 255), int((c >> 8) & 255), int(c >> 16)};
}
std::uint32_t pack(const std::uint8_t* bgr) {
    return std::uint32_t(bgr[0]) | std::uint32_t(bgr[1]) << 8 | std::uint32_t(bgr[2]) << 16;
}

template <CutAxis Axis, class T> [[gnu::always_inline]] inline T valueOn(T blue, T green, T red) {
    if constexpr (Axis == CutAxis::Luma) return lumaOfValues(blue, green, red);
    if constexpr (Axis == CutAxis::BlueDifference) return blueDifferenceOfValues(blue, green, red);
    if constexpr (Axis == CutAxis::RedDifference) return redDifferenceOfValues(blue, green, red);
}

template <CutAxis Axis> double valueOf(std::uint32_t packed) {
    const Bgr c = unpack(packed);
    return valueOn<Axis, double>(c.blue, c.green, c.red);
}

struct AxisRanges {
    double min[3], max[3];
};

template <class T> [[gnu::always_inline]] inline void widen(const T& values, T& low, T& high) {
    low = values < low ? values : low;
    high = values > high ? values : high;
}

// The channels of as many packed colours as Doubles holds lanes; Words holds as many packed
// colours. Only pointers and references cross it, so it serves any instruction set.
template <class Doubles, class Words>
[[gnu::always_inline]] inline void unpackLanes(const std::uint32_t* packedColors, Doubles& blue,
                                               Doubles& green, Doubles& red) {
    Words packed;
    std::memcpy(&packed, packedColors, sizeof packed);
    blue = __builtin_convertvector(packed & 255, Doubles);
    green = __builtin_convertvector((packed >> 8) & 255, Doubles);
    red = __builtin_convertvector(packed >> 16, Doubles);
}

// The least and greatest Y, Cb, Cr of the members (at least one). Taking a minimum or a
// maximum does not depend on the order, so the members are taken a vector at a time; Words
// holds as many packed colours as Doubles holds lanes.
template <class Doubles, class Words>
[[gnu::always_inline]] inline AxisRanges rangesOf(const std::uint32_t* members, std::size_t count) {
    constexpr std::size_t kLanes = sizeof(Doubles) / sizeof(double);
    static_assert(sizeof(Words) == kLanes * sizeof(std::uint32_t));
    const Bgr first = unpack(members[0]);
    const double firstValues[3] = {lumaOf(first.blue, first.green, first.red),
                                   blueDifferenceOf(first.blue, first.green, first.red),
                                   redDifferenceOf(first.blue, first.green, first.red)};
    Doubles low[3], high[3];
    for (int k = 0; k < 3; ++k)
        low[k] = high[k] = Doubles{} + firstValues[k];
    std::size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        Doubles blue, green, red;
        unpackLanes<Doubles, Words>(members + i, blue, green, red);
        widen(lumaOfValues(blue, green, red), low[0], high[0]);
        widen(blueDifferenceOfValues(blue, green, red), low[1], high[1]);
        widen(redDifferenceOfValues(blue, green, red), low[2], high[2]);
    }
    AxisRanges ranges;
    for (int k = 0; k < 3; ++k) {
        ranges.min[k] = ranges.max[k] = firstValues[k];
        for (std::size_t lane = 0; lane < kLanes; ++lane) {
            ranges.min[k] = std::min(ranges.min[k], low[k][lane]);
            ranges.max[k] = std::max(ranges.max[k], high[k][lane]);
        }
    }
    for (; i < count; ++i) {
        const Bgr c = unpack(members[i]);
        const double values[3] = {lumaOf(c.blue, c.green, c.red),
                                  blueDifferenceOf(c.blue, c.green, c.red),
                                  redDifferenceOf(c.blue, c.green, c.red)};
        for (int k = 0; k < 3; ++k)
            widen(values[k], ranges.min[k], ranges.max[k]);
    }
    return ranges;
}

// Two lanes at the baseline level, four from AVX2 on.
using Doubles2 = double __attribute__((vector_size(16)));
using Words2 = std::int32_t __attribute__((vector_size(8)));
using Doubles4 = double __attribute__((vector_size(32)));
using Words4 = std::int32_t __attribute__((vector_size(16)));

AxisRanges measureRanges(const std::uint32_t* members, std::size_t count) {
    return kSimdKernelUpToAvx2<&rangesOf<Doubles2, Words2>, &rangesOf<Doubles4, Words4>>(members,
                                                                                         count);
}

// Every value on an axis is exact in double: the weights are floats (24 significant bits), so
// each product of a weight and a byte, and each sum or difference of the three, is a multiple of
// 2^-27 below 256 in magnitude. A sum of at most 2^18 such values is a multiple of 2^-27 below
// 2^26, exact again, however it is grouped. So the first 2^18 members of a box are summed many
// lanes at a time, and the sum member after member goes on from the very bits it would have
// reached by then.
constexpr std::size_t kExactlySummed = std::size_t(1) << 18;

// Adds the values on the given axes of members [from, to) to the sums, member after member.
template <CutAxis... Axes>
[[gnu::always_inline]] inline void addInOrder(const std::uint32_t* members, std::size_t from,
                                              std::size_t to, double* sums) {
    for (std::size_t i = from; i < to; ++i) {
        const Bgr c = unpack(members[i]);
        std::size_t k = 0;
        ((sums[k++] += valueOn<Axes, double>(c.blue, c.green, c.red)), ...);
    }
}

// The sums on the given axes of at most kExactlySummed members, in any grouping.
template <class Doubles, class Words, CutAxis... Axes>
[[gnu::always_inline]] inline void exactSumsOf(const std::uint32_t* members, std::size_t count,
                                               double* sums) {
    constexpr std::size_t kLanes = sizeof(Doubles) / sizeof(double);
    static_assert(sizeof(Words) == kLanes * sizeof(std::uint32_t));
    Doubles total[sizeof...(Axes)] = {};
    std::size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        Doubles blue, green, red;
        unpackLanes<Doubles, Words>(members + i, blue, green, red);
        std::size_t k = 0;
        ((total[k++] += valueOn<Axes, Doubles>(blue, green, red)), ...);
    }
    for (std::size_t k = 0; k < sizeof...(Axes); ++k) {
        sums[k] = 0;
        for (std::size_t lane = 0; lane < kLanes; ++lane)
            sums[k] += total[k][lane];
    }
    addInOrder<Axes...>(members, i, count, sums);
}

// The sums on the given axes of the first kExactlySummed members (all of them if fewer).
template <CutAxis... Axes>
void sumsOfHead(const std::uint32_t* members, std::size_t count, double* sums) {
    const std::size_t head = std::min(count, kExactlySummed);
    kSimdKernelUpToAvx2<&exactSumsOf<Doubles2, Words2, Axes...>,
                        &exactSumsOf<Doubles4, Words4, Axes...>>(members, head, sums);
}

// addInOrder with the values of a vector's worth of members at a time formed as its lanes
// (each exact, as one at a time), then added to the sums one lane after the other.
template <class Doubles, class Words, CutAxis... Axes>
[[gnu::always_inline]] inline void addInOrderWide(const std::uint32_t* members, std::size_t from,
                                                  std::size_t to, double* sums) {
    constexpr std::size_t kLanes = sizeof(Doubles) / sizeof(double);
    constexpr std::size_t kAxes = sizeof...(Axes);
    double total[kAxes];
    std::copy(sums, sums + kAxes, total);
    std::size_t i = from;
    for (; i + kLanes <= to; i += kLanes) {
        Doubles blue, green, red;
        unpackLanes<Doubles, Words>(members + i, blue, green, red);
        const Doubles values[kAxes] = {valueOn<Axes, Doubles>(blue, green, red)...};
        // Unrolled whole, so the totals stay in registers: as a loop, GCC keeps them on the
        // stack and every addition of the three chains waits on a store and a load.
#pragma GCC unroll 8
        for (std::size_t lane = 0; lane < kLanes; ++lane)
#pragma GCC unroll 3
            for (std::size_t k = 0; k < kAxes; ++k)
                total[k] += values[k][lane];
    }
    addInOrder<Axes...>(members, i, to, total);
    std::copy(total, total + kAxes, sums);
}

template <CutAxis... Axes>
void addInOrderAnywhere(const std::uint32_t* members, std::size_t from, std::size_t to,
                        double* sums) {
    kSimdKernelUpToAvx2<&addInOrder<Axes...>, &addInOrderWide<Doubles4, Words4, Axes...>>(
        members, from, to, sums);
}

// The sums on the given axes as formed member after member in storage order. No value is −0,
// so starting from +0 gives the same bits as starting from the first value.
template <CutAxis... Axes>
void sumsInOrder(const std::uint32_t* members, std::size_t count, double* sums) {
    sumsOfHead<Axes...>(members, count, sums);
    addInOrderAnywhere<Axes...>(members, kExactlySummed, count, sums);
}

template <CutAxis Axis> double sumOn(const std::uint32_t* members, std::size_t count) {
    double sum;
    sumsInOrder<Axis>(members, count, &sum);
    return sum;
}

// Members below the mean stay at the front, the others follow, both in their old order. Every
// member is written to both places and only the right cursor moves, so there is no branch to
// mispredict; the front is written no further than it has been read.
// Members from `i` on, the lows so far ending at lowEnd and upperCount highs in `upper`; at
// the end the highs follow the lows. Returns where the lows end.
template <CutAxis Axis>
std::size_t finishPartition(std::uint32_t* colors, std::uint32_t* upper, std::size_t i,
                            std::size_t end, std::size_t lowEnd, std::size_t upperCount,
                            double mean) {
    for (; i < end; ++i) {
        const std::uint32_t c = colors[i];
        const bool high = valueOf<Axis>(c) >= mean;
        colors[lowEnd] = c;
        upper[upperCount] = c;
        lowEnd += std::size_t(!high);
        upperCount += std::size_t(high);
    }
    std::copy(upper, upper + upperCount, colors + lowEnd);
    return lowEnd;
}

template <CutAxis Axis>
std::size_t partitionOn(std::uint32_t* colors, std::uint32_t* upper, std::size_t begin,
                        std::size_t end, double mean) {
    return finishPartition<Axis>(colors, upper, begin, end, begin, 0, mean);
}

// For every 8-bit mask of chosen lanes, the lanes in their order followed by the others: a
// vector permuted by it has the chosen members first, as a stable partition needs.
struct LaneOrders {
    alignas(32) std::int32_t order[256][8];
    constexpr LaneOrders() : order{} {
        for (int mask = 0; mask < 256; ++mask) {
            int next = 0;
            for (int lane = 0; lane < 8; ++lane)
                if (mask & (1 << lane)) order[mask][next++] = lane;
            for (int lane = 0; lane < 8; ++lane)
                if (!(mask & (1 << lane))) order[mask][next++] = lane;
        }
    }
};
constexpr LaneOrders kLaneOrders;

// The values on the axis of as many packed members as Doubles holds lanes, into `values`. Only
// pointers cross this call, so it serves any instruction set the caller is built for.
template <CutAxis Axis, class Doubles, class Words>
[[gnu::always_inline]] inline void valuesInLanes(const std::uint32_t* packed, Doubles* values) {
    Doubles blue, green, red;
    unpackLanes<Doubles, Words>(packed, blue, green, red);
    *values = valueOn<Axis, Doubles>(blue, green, red);
}

// partitionOn eight members at a time: their values on the axis four lanes at a time (the
// same arithmetic as valueOf), the members below the mean and those at or above it each moved
// together by one permutation and written as a whole vector, of which only the first lanes
// count; the next write starts where they end. The lows are written no further than read.

template <CutAxis Axis>
VELLORA_TARGET_AVX2 std::size_t partitionAvx2(std::uint32_t* colors, std::uint32_t* upper,
                                              std::size_t begin, std::size_t end, double mean) {
    using Doubles = double __attribute__((vector_size(32)));
    using Words = std::int32_t __attribute__((vector_size(16)));
    using Lanes8 = std::int32_t __attribute__((vector_size(32)));
    const Doubles threshold = Doubles{} + mean;
    std::size_t lowEnd = begin, upperCount = 0, i = begin;
    for (; i + 8 <= end; i += 8) {
        Lanes8 eight;
        std::memcpy(&eight, colors + i, sizeof eight);
        // No lambda here: on some compilers it would not share this function's instruction set.
        int high = 0;
        for (int half = 0; half < 2; ++half) {
            Doubles value;
            valuesInLanes<Axis, Doubles, Words>(colors + i + 4 * half, &value);
            high |= __builtin_ia32_movmskpd256(Doubles(value >= threshold)) << (4 * half);
        }
        Lanes8 highOrder, lowOrder;
        std::memcpy(&highOrder, kLaneOrders.order[high], sizeof highOrder);
        std::memcpy(&lowOrder, kLaneOrders.order[~high & 255], sizeof lowOrder);
        const Lanes8 highs = __builtin_ia32_permvarsi256(eight, highOrder);
        const Lanes8 lows = __builtin_ia32_permvarsi256(eight, lowOrder);
        std::memcpy(colors + lowEnd, &lows, sizeof lows);
        std::memcpy(upper + upperCount, &highs, sizeof highs);
        const int highCount = __builtin_popcount(unsigned(high));
        upperCount += std::size_t(highCount);
        lowEnd += std::size_t(8 - highCount);
    }
    return finishPartition<Axis>(colors, upper, i, end, lowEnd, upperCount, mean);
}

using AxisSum = double (*)(const std::uint32_t*, std::size_t);
using AxisPartition =
    SimdKernel<std::size_t (*)(std::uint32_t*, std::uint32_t*, std::size_t, std::size_t, double)>;
constexpr AxisSum kAxisSums[3] = {sumOn<CutAxis::Luma>, sumOn<CutAxis::BlueDifference>,
                                  sumOn<CutAxis::RedDifference>};
template <CutAxis Axis>
constexpr AxisPartition kPartitionOn = kSimdKernel<&partitionOn<Axis>, &partitionAvx2<Axis>>;
constexpr AxisPartition kAxisPartitions[] = {kPartitionOn<CutAxis::Luma>,
                                             kPartitionOn<CutAxis::BlueDifference>,
                                             kPartitionOn<CutAxis::RedDifference>};

// Later axis of a compared pair on ties.
CutAxis chooseAxis(double rY, double rCb, double rCr) {
    if (rY > rCb) return rY > rCr ? CutAxis::Luma : CutAxis::RedDifference;
    return rCb > rCr ? CutAxis::BlueDifference : CutAxis::RedDifference;
}

CutAxis widestAxis(const AxisRanges& r) {
    return chooseAxis((r.max[0] - r.min[0]) * 1.4, (r.max[1] - r.min[1]) * 1.2,
                      r.max[2] - r.min[2]);
}

MedianCutSplit measureBox(const std::uint32_t* members, std::size_t count) {
    const CutAxis axis = widestAxis(measureRanges(members, count));
    const double sum = kAxisSums[int(axis)](members, count);
    return {true, axis, sum / double(count)};
}

// Members from … to − 1 of both a and b, a vector's worth at a time, their values formed as
// its lanes; returns the first member not added.
template <class Doubles, class Words, CutAxis AxisA, CutAxis AxisB>
[[gnu::always_inline]] inline std::size_t
addSideBySideWide(const std::uint32_t* a, const std::uint32_t* b, std::size_t from, std::size_t to,
                  double& sumA, double& sumB) {
    constexpr std::size_t kLanes = sizeof(Doubles) / sizeof(double);
    double sa = sumA, sb = sumB;
    std::size_t i = from;
    for (; i + kLanes <= to; i += kLanes) {
        Doubles blue, green, red;
        unpackLanes<Doubles, Words>(a + i, blue, green, red);
        const Doubles valuesA = valueOn<AxisA, Doubles>(blue, green, red);
        unpackLanes<Doubles, Words>(b + i, blue, green, red);
        const Doubles valuesB = valueOn<AxisB, Doubles>(blue, green, red);
        for (std::size_t lane = 0; lane < kLanes; ++lane) {
            sa += valuesA[lane];
            sb += valuesB[lane];
        }
    }
    sumA = sa;
    sumB = sb;
    return i;
}

// Two sums side by side: each is still formed member after member, but the two chains of
// additions overlap instead of each waiting on its own previous addition alone.
template <CutAxis AxisA, CutAxis AxisB>
void sumSideBySide(const std::uint32_t* a, std::size_t countA, const std::uint32_t* b,
                   std::size_t countB, double& sumA, double& sumB) {
    double sa, sb;
    sumsOfHead<AxisA>(a, countA, &sa);
    sumsOfHead<AxisB>(b, countB, &sb);
    const std::size_t both = std::min(countA, countB);
    std::size_t i = kExactlySummed;
    if (i < both)
        i = kSimdKernelUpToAvx2<&addSideBySideWide<Doubles2, Words2, AxisA, AxisB>,
                                &addSideBySideWide<Doubles4, Words4, AxisA, AxisB>>(a, b, i, both,
                                                                                    sa, sb);
    for (; i < both; ++i) {
        sa += valueOf<AxisA>(a[i]);
        sb += valueOf<AxisB>(b[i]);
    }
    addInOrderAnywhere<AxisA>(a, i, countA, &sa);
    addInOrderAnywhere<AxisB>(b, i, countB, &sb);
    sumA = sa;
    sumB = sb;
}

using SideBySideSum = void (*)(const std::uint32_t*, std::size_t, const std::uint32_t*, std::size_t,
                               double&, double&);
template <CutAxis AxisA>
constexpr auto
    kSideBySideRow = std::to_array<SideBySideSum>({sumSideBySide<AxisA, CutAxis::Luma>,
                                                   sumSideBySide<AxisA, CutAxis::BlueDifference>,
                                                   sumSideBySide<AxisA, CutAxis::RedDifference>});
constexpr std::array<std::array<SideBySideSum, 3>, 3> kSideBySideSums = {
    kSideBySideRow<CutAxis::Luma>, kSideBySideRow<CutAxis::BlueDifference>,
    kSideBySideRow<CutAxis::RedDifference>};

std::size_t partitionBox(MedianCutBoxes& boxes, std::size_t begin, std::size_t end,
                         const MedianCutSplit& split) {
    // The scratch from `begin` on is this box's alone, so boxes may split in parallel.
    return kAxisPartitions[int(split.axis)](boxes.colors.data(), boxes.scratch.data() + begin,
                                            begin, end, split.mean);
}

bool allocateBoxes(MedianCutBoxes& boxes, std::size_t pixels, int depth) {
    const std::size_t boxCount = std::size_t(1) << depth;
    try {
        boxes.colors.resize(pixels); // zeroed by the allocator, filled before use
        boxes.scratch.resize(pixels);
        boxes.begin.assign(boxCount, 0);
        boxes.end.assign(boxCount, 0);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    boxes.depth = depth;
    boxes.end[0] = pixels;
    return true;
}

// Progress of the splits: reported to the session, or counted on a helper thread (which must
// not touch the frontend) and reported after it joins.
struct SplitProgress {
    Session* session = nullptr;
    int counted = 0;
    void advance() {
        if (session)
            progressAdvance(*session);
        else
            ++counted;
    }
};

// Measures a box on its own; false when it is not split (depth below 1 or no members).
bool measureAlone(const MedianCutBoxes& boxes, std::uint32_t box, int depth,
                  MedianCutSplit& split) {
    if (depth < 1 || boxes.colors.empty()) return false;
    const std::size_t begin = boxes.begin[box], end = boxes.end[box];
    if (begin == end) return false;
    split = measureBox(boxes.colors.data() + begin, end - begin);
    return true;
}

// Records the cut of a box whose members are now partitioned at `middle`: the lows keep the
// box number, the highs take the new one.
void recordCut(MedianCutBoxes& boxes, std::uint32_t box, int depth, std::size_t middle) {
    const std::uint32_t newBox = box + (1u << (depth - 1));
    boxes.begin[newBox] = middle;
    boxes.end[newBox] = boxes.end[box];
    boxes.end[box] = middle;
}

void cutOnce(MedianCutBoxes& boxes, std::uint32_t box, int depth, const MedianCutSplit& split) {
    recordCut(boxes, box, depth, partitionBox(boxes, boxes.begin[box], boxes.end[box], split));
}

// Measures the two halves of a box just cut; a half without members gets no split.
void measureHalves(const MedianCutBoxes& boxes, std::uint32_t low, std::uint32_t high,
                   MedianCutSplit& lowSplit, MedianCutSplit& highSplit) {
    const std::size_t lowCount = boxes.end[low] - boxes.begin[low];
    const std::size_t highCount = boxes.end[high] - boxes.begin[high];
    const std::uint32_t* lowMembers = boxes.colors.data() + boxes.begin[low];
    const std::uint32_t* highMembers = boxes.colors.data() + boxes.begin[high];
    if (lowCount == 0 || highCount == 0) {
        if (lowCount != 0) lowSplit = measureBox(lowMembers, lowCount);
        if (highCount != 0) highSplit = measureBox(highMembers, highCount);
        return;
    }
    lowSplit.done = highSplit.done = true;
    lowSplit.axis = widestAxis(measureRanges(lowMembers, lowCount));
    highSplit.axis = widestAxis(measureRanges(highMembers, highCount));
    kSideBySideSums[int(lowSplit.axis)][int(highSplit.axis)](
        lowMembers, lowCount, highMembers, highCount, lowSplit.mean, highSplit.mean);
    lowSplit.mean /= double(lowCount);
    highSplit.mean /= double(highCount);
}

// Cuts a measured box and the boxes below it, depth first, the lower box to the bottom before
// the upper one.
void cutTree(MedianCutBoxes& boxes, std::uint32_t box, int depth, const MedianCutSplit& split,
             SplitProgress& progress) {
    cutOnce(boxes, box, depth, split);
    progress.advance();
    if (depth < 2) return;
    const std::uint32_t high = box + (1u << (depth - 1));
    MedianCutSplit lowSplit, highSplit;
    measureHalves(boxes, box, high, lowSplit, highSplit);
    if (lowSplit.done) cutTree(boxes, box, depth - 1, lowSplit, progress);
    if (highSplit.done) cutTree(boxes, high, depth - 1, highSplit, progress);
}

void splitTree(MedianCutBoxes& boxes, std::uint32_t box, int depth, SplitProgress& progress) {
    MedianCutSplit split;
    if (!measureAlone(boxes, box, depth, split)) return;
    cutTree(boxes, box, depth, split, progress);
}

// The first box, all members: its ranges on one worker while the other sums every axis member
// after member, so the long in-order sum need not wait for the axis to be known. Each sum has
// the bits of the one-axis sum, being the same additions in the same order.
bool measureRoot(const MedianCutBoxes& boxes, MedianCutSplit& split) {
    const std::size_t count = boxes.colors.size();
    const std::uint32_t* members = boxes.colors.data();
    AxisRanges r;
    double sums[3];
    parallelRows(
        2,
        [&](int first, int end) {
            for (int job = first; job < end; ++job)
                if (job == 0)
                    r = measureRanges(members, count);
                else
                    sumPackedColors(members, count, sums);
        },
        1);
    const CutAxis axis = widestAxis(r);
    split = {true, axis, sums[int(axis)] / double(count)};
    return true;
}

// The first cut, its partition in two halves at once. Each half partitions its own members,
// its highs passing through its own part of the scratch, which still holds them afterwards;
// then the second half's lows move down after the first half's and the first half's highs
// follow them, before the second half's highs, which are already in place. That is the order
// one stable partition of all the members gives.
void cutRoot(MedianCutBoxes& boxes, int depth, const MedianCutSplit& split) {
    std::uint32_t* colors = boxes.colors.data();
    const std::size_t count = boxes.colors.size(), middle = count / 2;
    std::size_t lowEnds[2];
    parallelRows(
        2,
        [&](int first, int end) {
            for (int h = first; h < end; ++h)
                lowEnds[h] = h == 0 ? partitionBox(boxes, 0, middle, split)
                                    : partitionBox(boxes, middle, count, split);
        },
        1);
    const std::size_t firstLows = lowEnds[0], secondLows = lowEnds[1] - middle;
    std::memmove(colors + firstLows, colors + middle, secondLows * sizeof *colors);
    std::copy(boxes.scratch.data(), boxes.scratch.data() + (middle - firstLows),
              colors + firstLows + secondLows);
    recordCut(boxes, 0, depth, firstLows + secondLows);
}

// Below this many pixels a helper thread is not worth starting.
constexpr std::size_t kParallelCutPixels = std::size_t(1) << 20;

// After the first split the two halves share no members and no box numbers, so the upper half
// is cut on another thread while this one cuts the lower half; every box still sums its own
// members in storage order, so the palette is the same. The upper half's progress is reported
// when both are done.
void splitAll(MedianCutBoxes& boxes, int depth, Session& session) {
    SplitProgress progress{&session};
    if (depth < 2 || workerThreadCount() < 2 || boxes.colors.size() < kParallelCutPixels) {
        splitTree(boxes, 0, depth, progress);
        return;
    }
    MedianCutSplit first;
    if (!measureRoot(boxes, first)) return;
    cutRoot(boxes, depth, first);
    progress.advance();
    SplitProgress upperProgress;
    parallelRows(
        2,
        [&](int first, int end) {
            for (int half = first; half < end; ++half)
                splitTree(boxes, std::uint32_t(half) << (depth - 1), depth - 1,
                          half == 0 ? progress : upperProgress);
        },
        1);
    progressAdvanceBy(session, upperProgress.counted);
}

void collectColors(MedianCutBoxes& boxes, const DibImage& source,
                   std::vector<std::vector<std::uint8_t>>& rows) {
    const std::size_t width = std::size_t(source.width);
    runColorRows(source.height, int(rows.size()), [&](int worker, int begin, int end) {
        std::uint8_t* bgr = rows[std::size_t(worker)].data();
        for (int y = begin; y < end; ++y) {
            readRowColors(source, y, bgr);
            std::uint32_t* out = boxes.colors.data() + std::size_t(y) * width;
            for (std::size_t x = 0; x < width; ++x)
                out[x] = pack(bgr + 3 * x);
        }
    });
}

// Every box sums its own members in their order, so the boxes are shared out between the
// workers (the lower half of the box numbers holds the first cut's lower half).
void writePalette(const MedianCutBoxes& boxes, DibImage& target) {
    parallelRows(
        int(target.colorsUsed),
        [&](int firstBox, int endBox) {
            for (int box = firstBox; box < endBox; ++box) {
                const std::uint32_t* members = boxes.colors.data() + boxes.begin[std::size_t(box)];
                const std::size_t count =
                    boxes.end[std::size_t(box)] - boxes.begin[std::size_t(box)];
                if (count == 0) continue;
                double sums[3];
                sumPackedColors(members, count, sums);
                const double n = double(count);
                meanToColor(sums[0] / n, sums[1] / n, sums[2] / n, target.paletteEntry(box));
            }
        },
        1);
    for (std::uint32_t i = target.colorsUsed; i < target.paletteEntries; ++i)
        std::fill(target.paletteEntry(int(i)), target.paletteEntry(int(i)) + 3, 0);
}

// A colour lies in one box, so a table of every colour's box, filled from the boxes' members,
// answers for any pixel in one look. Only entries of colours that occur are ever read, and each
// of those is written first, so the table needs no clearing: once the cut is done the partition
// scratch is free and, on pictures of 4 megapixels and more, large enough to hold it. Smaller
// pictures get a block of their own, `own`, allocated before the cut.
constexpr std::size_t kBoxTableBytes = std::size_t(1) << 24;
using BoxTable = std::vector<std::uint8_t, ZeroedAllocator<std::uint8_t>>;

std::uint8_t* boxOfEveryColor(MedianCutBoxes& boxes, std::uint32_t boxCount, BoxTable& own) {
    std::uint8_t* table =
        own.empty() ? reinterpret_cast<std::uint8_t*>(boxes.scratch.data()) : own.data();
    // The boxes share no colour, so they can be shared out between the workers.
    parallelRows(
        int(boxCount),
        [&](int firstBox, int endBox) {
            for (int box = firstBox; box < endBox; ++box)
                for (std::size_t i = boxes.begin[std::size_t(box)]; i < boxes.end[std::size_t(box)];
                     ++i)
                    table[boxes.colors[i]] = std::uint8_t(box);
        },
        1);
    return table;
}

void writeIndices(MedianCutBoxes& boxes, DibImage& target, const DibImage& source,
                  std::vector<std::vector<std::uint8_t>>& rows, BoxTable& own) {
    const int width = source.width;
    const std::uint8_t* boxOf = boxOfEveryColor(boxes, target.colorsUsed, own);
    runColorRows(source.height, int(rows.size()), [&](int worker, int begin, int end) {
        std::uint8_t* bgr = rows[std::size_t(worker)].data();
        std::uint8_t* indices = bgr + 3 * std::size_t(width);
        for (int y = begin; y < end; ++y) {
            readRowColors(source, y, bgr);
            for (int x = 0; x < width; ++x)
                indices[x] = boxOf[pack(bgr + 3 * x)];
            writeRowIndices(target, y, indices);
        }
    });
}

} // namespace

int medianCutDepth(std::uint32_t colors) {
    int depth = 0;
    while (colors > 1) {
        colors >>= 1;
        ++depth;
    }
    return depth;
}

int medianCutPalette(Session& session, DibImage& target, const DibImage& source) {
    const int depth = medianCutDepth(target.colorsUsed);
    const std::size_t pixels = std::size_t(source.width) * std::size_t(source.height);
    MedianCutBoxes boxes;
    std::vector<std::vector<std::uint8_t>> rows;
    BoxTable ownTable;
    try {
        rows.assign(std::size_t(colorRowWorkers(source.height)),
                    std::vector<std::uint8_t>(4 * std::size_t(source.width)));
        if (pixels * sizeof(std::uint32_t) < kBoxTableBytes) ownTable.resize(kBoxTableBytes);
    } catch (const std::bad_alloc&) {
        return reportError(session.frontend, kErrorAllocate);
    }
    if (!allocateBoxes(boxes, pixels, depth)) return reportError(session.frontend, kErrorAllocate);
    collectColors(boxes, source, rows);
    progressBegin(session, double((1u << depth) - 1));
    splitAll(boxes, depth, session);
    writePalette(boxes, target);
    writeIndices(boxes, target, source, rows, ownTable);
    return kOk;
}

std::size_t partitionPackedColors(CutAxis axis, std::uint32_t* colors, std::uint32_t* scratch,
                                  std::size_t count, double mean) {
    return kAxisPartitions[int(axis)](colors, scratch, 0, count, mean);
}

double sumPackedColors(CutAxis axis, const std::uint32_t* colors, std::size_t count) {
    return kAxisSums[int(axis)](colors, count);
}

void sumPackedColors(const std::uint32_t* colors, std::size_t count, double sums[3]) {
    sumsInOrder<CutAxis::Luma, CutAxis::BlueDifference, CutAxis::RedDifference>(colors, count,
                                                                                sums);
}

void sumPackedColorsSideBySide(CutAxis axisA, const std::uint32_t* a, std::size_t countA,
                               CutAxis axisB, const std::uint32_t* b, std::size_t countB,
                               double& sumA, double& sumB) {
    kSideBySideSums[int(axisA)][int(axisB)](a, countA, b, countB, sumA, sumB);
}

bool reduceTo256Colors(const DibImage& trueColor, DibImage& indexed8) {
    SilentFrontend frontend;
    Session session(frontend);
    DibImage result;
    if (createDib(frontend, result, trueColor.width, trueColor.height, 8, 256) != 0) return false;
    if (medianCutPalette(session, result, trueColor) != 0) return false;
    indexed8 = std::move(result);
    return true;
}

} // namespace vellora
