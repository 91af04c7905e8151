// The whole-number plan of the interpolated resize: which coordinates it holds exactly, at what
// scale, and when it gives way to the double sums.
#include "geometry/fixedResample.h"
#include "geometry/resampleWeights.h"

#include <gtest/gtest.h>

#include <vector>

namespace vellora {
namespace {

FixedAxis fixedAxisOf(int sourceSize, int targetSize) {
    return makeFixedAxis(makeAxisTable(makeAxisPlan(sourceSize, targetSize), targetSize));
}

std::vector<int> weightsOf(const FixedAxis& axis, int i) {
    return std::vector<int>(axis.weightsOf(i), axis.weightsOf(i) + axis.stride);
}

TEST(FixedAxis, DoublingHoldsTheInteriorInSixtyFourths) {
    // Positions i / 2 + 0.25: distances 0.25, 0.75, 1.25, 1.75 give 57, 19, −9, −3 sixty-fourths.
    // The border coordinates lose taps and are renormalised: by 48 sixty-fourths at either end
    // (19 / 16 and −3 / 16, still exact), by 73 and 67 next to it (no longer binary fractions).
    const FixedAxis axis = fixedAxisOf(8, 16);
    EXPECT_EQ(axis.shift, 6);
    EXPECT_EQ(axis.inexact, (std::vector<int>{1, 2, 13, 14}));
    EXPECT_EQ(weightsOf(axis, 3), (std::vector<int>{-9, 57, 19, -3}));
    EXPECT_EQ(weightsOf(axis, 4), (std::vector<int>{-3, 19, 57, -9}));
    EXPECT_EQ(weightsOf(axis, 0), (std::vector<int>{76, -12, 0, 0}));
    EXPECT_EQ(weightsOf(axis, 1), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(axis.largestWeightSum, 88);
    EXPECT_EQ(axis.firsts[4], 0);
}

TEST(FixedAxis, QuarteringHoldsEveryCoordinateInQuarters) {
    // Footprints 4i … 4i + 4: four whole pixels and a fifth tap of weight 0; the last footprint
    // is clipped to the source and keeps four.
    const FixedAxis axis = fixedAxisOf(16, 4);
    EXPECT_EQ(axis.shift, 2);
    EXPECT_TRUE(axis.inexact.empty());
    EXPECT_EQ(weightsOf(axis, 0), (std::vector<int>{1, 1, 1, 1, 0, 0}));
    EXPECT_EQ(weightsOf(axis, 3), (std::vector<int>{1, 1, 1, 1, 0, 0}));
    EXPECT_EQ(axis.largestWeightSum, 4);
}

TEST(FixedAxis, KeptSizeIsOneWholeTap) {
    const FixedAxis axis = fixedAxisOf(5, 5);
    EXPECT_EQ(axis.shift, 0);
    EXPECT_TRUE(axis.inexact.empty());
    EXPECT_EQ(weightsOf(axis, 2), std::vector<int>{1});
}

TEST(FixedPlan, FitsOnlyWhereMostWeightsAreShortBinaryFractions) {
    const auto fits = [](int sourceWidth, int width, int sourceHeight, int height) {
        const AxisTable rows = makeAxisTable(makeAxisPlan(sourceHeight, height), height);
        const AxisTable columns = makeAxisTable(makeAxisPlan(sourceWidth, width), width);
        return fixedPlanFits(makeFixedPlan(rows, columns));
    };
    EXPECT_TRUE(fits(100, 200, 50, 100));   // doubled
    EXPECT_TRUE(fits(100, 400, 50, 50));    // four times as wide, height kept
    EXPECT_TRUE(fits(100, 25, 64, 128));    // quartered across, doubled down
    EXPECT_FALSE(fits(100, 300, 50, 100));  // thirds across
    EXPECT_FALSE(fits(100, 200, 50, 70));   // 50 → 70 down
    EXPECT_FALSE(fits(3, 6, 3, 6));         // too small: the borders are most of it
    // Eight times: positions in sixteenths, weights in 2^-12, past the 32-bit sums.
    EXPECT_FALSE(fits(100, 800, 50, 400));
}

} // namespace
} // namespace vellora
