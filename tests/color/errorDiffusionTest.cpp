#include "color/errorDiffusion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vellora::test {
namespace {

TEST(FloydSteinberg, SharesRoundAsymmetricallyAndTruncateTowardZero) {
    // e: right (7e + 8) / 16, lower left (3e + 8) / 16, below (5e + 8) / 16, lower right
    // (e + 8) / 16, each truncated toward zero: −13 / 16 is 0.
    const int cases[][5] = {
        {3, 1, 1, 1, 0}, {-3, 0, 0, 0, 0},       {10, 4, 2, 3, 1},           {-10, -3, -1, -2, 0},
        {0, 0, 0, 0, 0}, {255, 112, 48, 80, 16}, {-255, -111, -47, -79, -15}};
    for (const auto& [e, right, lowerLeft, below, lowerRight] : cases) {
        const DiffusionShares s = floydSteinbergShares(e);
        EXPECT_EQ(std::vector<int>({s.right, s.lowerLeft, s.below, s.lowerRight}),
                  std::vector<int>({right, lowerLeft, below, lowerRight}))
            << e;
    }
}

// The walk against a whole-picture error array filled by the plain rule, with errors from a
// fixed pseudo-random sequence over several rows and three channels (one column too): the
// right share past the last column is dropped, never wrapped, and every cell is rewritten.
TEST(DiffusionWalk, AgreesWithPlainSpreadingOverAWholePicture) {
    for (const int width : {1, 2, 7}) {
        const int height = 5, channels = 3;
        std::vector<int> plain(std::size_t((width + 1) * (height + 1) * channels), 0);
        const auto at = [&](int x, int y, int k) -> int& {
            return plain[std::size_t((y * (width + 1) + x) * channels + k)];
        };
        DiffusionRows rows;
        ASSERT_TRUE(rows.allocate(width, channels));
        std::uint32_t state = 99;
        for (int y = 0; y < height; ++y) {
            DiffusionWalk<3> walk(rows);
            for (int x = 0; x < width; ++x)
                for (int k = 0; k < channels; ++k) {
                    ASSERT_EQ(walk.waiting(x, k), at(x, y, k)) << x << "," << y << "," << k;
                    state = state * 1664525u + 1013904223u;
                    const int e = int(state >> 23) - 256; // −256 … 255
                    walk.spread(x, k, e);
                    const DiffusionShares s = floydSteinbergShares(e);
                    at(x + 1, y, k) += s.right;
                    if (x > 0) at(x - 1, y + 1, k) += s.lowerLeft;
                    at(x, y + 1, k) += s.below;
                    at(x + 1, y + 1, k) += s.lowerRight;
                }
            walk.finish(width);
            rows.nextRow();
        }
    }
}

// A value of 0 … 255 plus everything one row and the left neighbour can send it (the four
// shares of errors of ±255) must stay inside the table; each entry is the shares of the clamped
// sum less its entry.
TEST(DiffusionShareTable, CoversEverySumAPixelCanReachWithTheSharesOfItsError) {
    const DiffusionShares up = floydSteinbergShares(255), down = floydSteinbergShares(-255);
    const int most = up.right + up.lowerLeft + up.below + up.lowerRight;
    const int least = down.right + down.lowerLeft + down.below + down.lowerRight;
    EXPECT_EQ(most, 256);
    EXPECT_EQ(least, -252);
    EXPECT_LE(DiffusionShareTable::kLowestSum, 0 + least);
    EXPECT_GT(DiffusionShareTable::kLowestSum + DiffusionShareTable::kSums, 255 + most);
    std::uint8_t entryOf[256];
    for (int v = 0; v < 256; ++v)
        entryOf[v] = std::uint8_t(v < 100 ? 0 : v < 200 ? 150 : 255);
    const DiffusionShareTable table(entryOf);
    for (int sum = least; sum <= 255 + most; ++sum) {
        const int value = std::clamp(sum, 0, 255);
        const DiffusionShares expected = floydSteinbergShares(value - entryOf[value]);
        const DiffusionShares& got = table[sum];
        ASSERT_EQ(std::vector<int>({got.right, got.lowerLeft, got.below, got.lowerRight}),
                  std::vector<int>(
                      {expected.right, expected.lowerLeft, expected.below, expected.lowerRight}))
            << sum;
    }
}

} // namespace
} // namespace vellora::test
