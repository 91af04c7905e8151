#include "geometry/fixedResample.h"

#include "core/pixelAccess.h"
#include "core/simdLevel.h"
#include "geometry/weightedColor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace vellora {

namespace {

// Weights finer than 2^-10 are left to the double pass: the integer sums would outgrow 32 bits.
constexpr int kMaxShift = 10;
constexpr std::int64_t kLargestSum = std::int64_t(1) << 31;
constexpr double kLargestWeight = 1 << 20; // scaled; far above any normalised weight

// The smallest q for which every weight is a whole multiple of 2^-q, or −1 past kMaxShift.
int binaryPlaces(const double* weights, int count) {
    for (int q = 0; q <= kMaxShift; ++q) {
        const auto whole = [q](double weight) {
            const double scaled = std::ldexp(weight, q);
            return scaled == std::trunc(scaled) && std::fabs(scaled) <= kLargestWeight;
        };
        if (std::all_of(weights, weights + count, whole)) return q;
    }
    return -1;
}

// Every target column's sums across one padded source row: three 32-bit lanes per column (the
// fourth, the next pixel's blue masked off, adds zeros and is overwritten by the next column).
// Weights past a column's own taps are 0, so the padding pixels they reach add nothing. Inlined,
// a constant tap count gives a loop of its own, unrolled.
[[gnu::always_inline]] inline void filterAcrossBy(const std::uint8_t* bgr, const FixedAxis& columns,
                                                  int taps, std::int32_t* out) {
    using Words = std::int32_t __attribute__((vector_size(16)));
    using Bytes = std::uint8_t __attribute__((vector_size(4)));
    const Bytes keep = {255, 255, 255, 0};
    const std::size_t count = columns.exact.size();
    for (std::size_t x = 0; x < count; ++x) {
        const std::uint8_t* in = bgr + 3 * std::size_t(columns.firsts[x]);
        const std::int32_t* weights = columns.weightsOf(int(x));
        Words sum = {};
#pragma GCC unroll 4
        for (int j = 0; j < taps; ++j) {
            Bytes four;
            std::memcpy(&four, in + 3 * j, sizeof four);
            sum += weights[j] * __builtin_convertvector(four & keep, Words);
        }
        std::memcpy(out + 3 * x, &sum, sizeof sum);
    }
}

void filterAcross(const std::uint8_t* bgr, const FixedAxis& columns, std::int32_t* out) {
    if (columns.stride == 4)
        filterAcrossBy(bgr, columns, 4, out);
    else
        filterAcrossBy(bgr, columns, columns.stride, out);
}

std::int32_t downToByte(std::int32_t sum, int shift) {
    return std::clamp(sum >> shift, 0, 255);
}

} // namespace

FixedAxis makeFixedAxis(const AxisTable& table) {
    FixedAxis axis;
    const std::size_t size = table.taps.size();
    axis.stride = table.stride;
    std::vector<int> places(size);
    for (std::size_t i = 0; i < size; ++i) {
        places[i] = binaryPlaces(table.weightsOf(int(i)), table.taps[i].count);
        axis.shift = std::max(axis.shift, places[i]);
    }
    axis.firsts.resize(size);
    axis.weights.assign(size * std::size_t(axis.stride), 0);
    axis.exact.assign(size, false);
    for (std::size_t i = 0; i < size; ++i) {
        axis.firsts[i] = table.taps[i].first;
        if (places[i] < 0) {
            axis.inexact.push_back(int(i));
            continue;
        }
        std::int64_t sum = 0;
        for (int k = 0; k < table.taps[i].count; ++k) {
            // Exact: a whole number of at most 2^shift times a weight's size.
            const auto weight = std::int32_t(std::ldexp(table.weightsOf(int(i))[k], axis.shift));
            axis.weights[i * std::size_t(axis.stride) + std::size_t(k)] = weight;
            sum += std::abs(weight);
        }
        axis.exact[i] = true;
        axis.largestWeightSum = std::max(axis.largestWeightSum, sum);
    }
    return axis;
}

FixedPlan makeFixedPlan(const AxisTable& rows, const AxisTable& columns) {
    return FixedPlan{makeFixedAxis(rows), makeFixedAxis(columns)};
}

bool fixedPlanFits(const FixedPlan& plan) {
    const FixedAxis& rows = plan.rows;
    const FixedAxis& columns = plan.columns;
    const auto mostlyExact = [](const FixedAxis& axis) {
        return 2 * axis.inexact.size() <= axis.exact.size();
    };
    // Every partial sum across is at most 255 × the column sum, every one down at most the row
    // sum times that; the doubles' multiples of 2^-(qr + qc) obey the same bound.
    const std::int64_t across = 255 * columns.largestWeightSum;
    return mostlyExact(rows) && mostlyExact(columns) && across < kLargestSum &&
           (rows.largestWeightSum == 0 || across < kLargestSum / rows.largestWeightSum);
}

FixedRows::FixedRows(const DibImage& source, const FixedAxis& columns, int capacity)
    : source_(&source), columns_(&columns), capacity_(std::size_t(capacity)),
      byteStride_(3 * (std::size_t(source.width) + std::size_t(columns.stride) + 1)),
      sumStride_(3 * columns.exact.size() + 1), bytes_(capacity_ * byteStride_),
      sums_(capacity_ * sumStride_), held_(capacity_, -1), pointers_(capacity_) {}

const std::int32_t* FixedRows::sums(int y) {
    const std::size_t slot = std::size_t(y) % capacity_;
    std::int32_t* sums = sums_.data() + slot * sumStride_;
    if (held_[slot] != y) {
        std::uint8_t* bytes = bytes_.data() + slot * byteStride_;
        readRowColors(*source_, y, bytes); // the padding past the row stays zero
        kSimdKernelUpToAvx2<&filterAcross>(bytes, *columns_, sums);
        held_[slot] = y;
    }
    return sums;
}

const std::uint8_t* FixedRows::row(int y) const {
    return bytes_.data() + (std::size_t(y) % capacity_) * byteStride_;
}

void filterDown(const std::int32_t* const* rows, const std::int32_t* weights, int count, int shift,
                std::uint8_t* out, std::size_t values) {
    using Eight = std::int32_t __attribute__((vector_size(32)));
    using EightBytes = std::uint8_t __attribute__((vector_size(8)));
    using SumBytes = std::uint8_t __attribute__((vector_size(32)));
    const Eight zero = {};
    const Eight top = zero + 255;
    std::size_t e = 0;
    for (; e + 8 <= values; e += 8) {
        Eight sum = {};
        for (int i = 0; i < count; ++i) {
            Eight value;
            std::memcpy(&value, rows[i] + e, sizeof value);
            sum += weights[i] * value;
        }
        sum = sum >> shift;
        sum = sum < zero ? zero : sum;
        sum = sum > top ? top : sum;
        // Each value is 0 … 255, so its low byte is the value; the shuffle picks the eight.
        SumBytes all;
        std::memcpy(&all, &sum, sizeof all);
        const EightBytes bytes = __builtin_shufflevector(all, all, 0, 4, 8, 12, 16, 20, 24, 28);
        std::memcpy(out + e, &bytes, sizeof bytes);
    }
    for (; e < values; ++e) {
        std::int32_t sum = 0;
        for (int i = 0; i < count; ++i)
            sum += weights[i] * rows[i][e];
        out[e] = std::uint8_t(downToByte(sum, shift));
    }
}

void fixedTargetRow(FixedRows& source, const FixedPlan& plan, const AxisTable& rows,
                    const AxisTable& columns, int y, std::uint8_t* out) {
    const Taps rowTaps = rows.taps[std::size_t(y)];
    const std::int32_t** pointers = source.pointers();
    for (int i = 0; i < rowTaps.count; ++i)
        pointers[i] = source.sums(rowTaps.first + i);
    kSimdKernelUpToAvx2<&filterDown>(pointers, plan.rows.weightsOf(y), rowTaps.count,
                                     plan.rows.shift + plan.columns.shift, out,
                                     3 * plan.columns.exact.size());
    for (const int x : plan.columns.inexact)
        weightedColor(source, rowTaps, rows.weightsOf(y), columns.taps[std::size_t(x)],
                      columns.weightsOf(x), out + 3 * x);
}

} // namespace vellora
