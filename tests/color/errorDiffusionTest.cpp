#include "color/errorDiffusion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vellora::test {
namespace {

TEST(FloydSteinberg, SharesRoundAsymmetricallyAndTruncateTowardZero) {
    const struct {
        int e;
        DiffusionShares shares;
    } cases[] = {
        {3, {1, 1, 1, 0}},  // (21 + 8) / 16 = 1, (9 + 8) / 16 = 1, (15 + 8) / 16 = 1, 11 / 16 = 0
        {-3, {0, 0, 0, 0}}, // (−21 + 8) / 16 = −13 / 16 truncates to 0
        {10, {4, 2, 3, 1}}, // 78 / 16, 38 / 16, 58 / 16, 18 / 16
        {-10, {-3, -1, -2, 0}}, // −62 / 16, −22 / 16, −42 / 16, −2 / 16
        {0, {0, 0, 0, 0}},      {255, {112, 48, 80, 16}}, {-255, {-111, -47, -79, -15}},
    };
    for (const auto& c : cases) {
        const DiffusionShares s = floydSteinbergShares(c.e);
        EXPECT_EQ(s.right, c.shares.right) << c.e;
        EXPECT_EQ(s.lowerLeft, c.shares.lowerLeft) << c.e;
        EXPECT_EQ(s.below, c.shares.below) << c.e;
        EXPECT_EQ(s.lowerRight, c.shares.lowerRight) << c.e;
    }
}

TEST(DiffusionWalk, ErrorGoesToTheFourNeighboursAndNeverWraps) {
    DiffusionRows rows;
    ASSERT_TRUE(rows.allocate(3, 1));
    {
        DiffusionWalk<1> walk(rows);
        walk.spread(0, 0, 16);            // left edge: no lower-left share
        EXPECT_EQ(walk.waiting(1, 0), 7); // (7·16 + 8) / 16
        walk.spread(1, 0, 0);
        EXPECT_EQ(walk.waiting(2, 0), 0);
        walk.spread(2, 0, 32); // right edge: the right share is dropped
        walk.finish(3);
    }
    rows.nextRow();
    {
        // Column 0 gets (80 + 8) / 16 = 5 from pixel 0 and nothing of pixel 2's right share
        // (14), which would have wrapped; column 1 gets (16 + 8) / 16 = 1 from pixel 0 and
        // (96 + 8) / 16 = 6 from pixel 2; column 2 gets (160 + 8) / 16 = 10.
        DiffusionWalk<1> walk(rows);
        EXPECT_EQ(walk.waiting(0, 0), 5);
        walk.spread(0, 0, 0);
        EXPECT_EQ(walk.waiting(1, 0), 1 + 6);
        walk.spread(1, 0, 0);
        EXPECT_EQ(walk.waiting(2, 0), 10);
        walk.spread(2, 0, 0);
        walk.finish(3);
    }
    rows.nextRow();
    DiffusionWalk<1> walk(rows);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(walk.waiting(c, 0), 0) << c; // every cell rewritten: nothing left over
}

// The walk against a whole-picture error array filled by the plain rule, with errors from a
// fixed pseudo-random sequence over several rows and three channels (one column too).
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
        ASSERT_EQ(got.right, expected.right) << sum;
        ASSERT_EQ(got.lowerLeft, expected.lowerLeft) << sum;
        ASSERT_EQ(got.below, expected.below) << sum;
        ASSERT_EQ(got.lowerRight, expected.lowerRight) << sum;
    }
}

} // namespace
} // namespace vellora::test
