#pragma once
// The interpolated resize in whole numbers, for coordinates whose weights are short binary
// fractions: enlarging by 2 or 4, reducing by a power of two, or keeping a size, away from the
// borders, where renormalising divides by sums such as 73 / 64.
//
// When every row weight is a whole multiple of 2^-qr and every column weight one of 2^-qc, each
// product row weight × column weight × channel is a whole multiple of 2^-(qr + qc), and so is
// every partial sum of them. While those multiples stay below 2^31 (fixedPlanFits), each such
// value is exact in a double, so the double sum of a pixel's taps is the exact sum whatever the
// order of its additions. The same exact sum is then formed in 32-bit integers, across each
// source row once and down the rows after, and clamped and truncated as the double sum would be.
#include "core/dibImage.h"
#include "geometry/resampleWeights.h"

#include <cstdint>
#include <vector>

namespace vellora {

// One axis of the table in whole numbers: weights scaled by 2^shift, `stride` per coordinate,
// all 0 for a coordinate whose weights are not whole multiples of 2^-shift.
struct FixedAxis {
    int shift = 0;
    int stride = 0;
    std::vector<int> firsts;           // first source tap per coordinate
    std::vector<std::int32_t> weights;
    std::vector<bool> exact;         // per coordinate: held exactly
    std::vector<int> inexact;        // the other coordinates, ascending
    std::int64_t largestWeightSum = 0; // the most any exact coordinate's |weights| add up to
    const std::int32_t* weightsOf(int i) const {
        return weights.data() + std::size_t(i) * std::size_t(stride);
    }
};

FixedAxis makeFixedAxis(const AxisTable& table);

struct FixedPlan {
    FixedAxis rows, columns;
};

FixedPlan makeFixedPlan(const AxisTable& rows, const AxisTable& columns);
// True when both axes are mostly exact and no sum of the integer pass can leave 32 bits.
bool fixedPlanFits(const FixedPlan& plan);

// Source rows filtered across in whole numbers, three values (blue, green, red) per target
// column, kept for the few target rows that read them. Row y lives in slot y mod capacity, as
// the colour bytes it came from (padded with zero pixels for the column taps) and its sums.
class FixedRows {
  public:
    FixedRows(const DibImage& source, const FixedAxis& columns, int capacity);
    // The sums across source row y; computes them unless the slot holds them already.
    const std::int32_t* sums(int y);
    // The colour bytes of source row y, which sums(y) has loaded.
    const std::uint8_t* row(int y) const;
    // Pointers to the sums of one target row's source rows.
    const std::int32_t** pointers() { return pointers_.data(); }

  private:
    const DibImage* source_;
    const FixedAxis* columns_;
    std::size_t capacity_, byteStride_, sumStride_;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::int32_t> sums_;
    std::vector<int> held_;
    std::vector<const std::int32_t*> pointers_;
};

// Target bytes of one row from the sums of its source rows: for every value, the weighted sum
// down the rows, shifted by `shift`, clamped to 0 … 255.
void filterDown(const std::int32_t* const* rows, const std::int32_t* weights, int count,
                int shift, std::uint8_t* out, std::size_t values);

// Target row y, whose row weights are exact, as 24 bpp bytes at `out`: the integer pass for
// every column, then the double sums of the tables for the columns held inexactly.
void fixedTargetRow(FixedRows& source, const FixedPlan& plan, const AxisTable& rows,
                    const AxisTable& columns, int y, std::uint8_t* out);

} // namespace vellora
