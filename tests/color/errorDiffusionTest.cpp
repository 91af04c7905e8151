#include "color/errorDiffusion.h"

#include <gtest/gtest.h>

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

TEST(DiffusionRows, ErrorGoesToTheFourNeighboursAndNeverWraps) {
    DiffusionRows rows;
    ASSERT_TRUE(rows.allocate(3, 1));
    rows.spread(0, 0, 16);            // left edge: no lower-left share
    rows.spread(2, 0, 32);            // right edge: the right share is dropped
    EXPECT_EQ(rows.waiting(1, 0), 7); // (7·16 + 8) / 16
    EXPECT_EQ(rows.waiting(2, 0), 0);
    rows.nextRow();
    // Column 0 gets (80 + 8) / 16 = 5 from pixel 0 and nothing of pixel 2's right share (14),
    // which would have wrapped; column 1 gets (16 + 8) / 16 = 1 from pixel 0 and
    // (96 + 8) / 16 = 6 from pixel 2; column 2 gets (160 + 8) / 16 = 10.
    EXPECT_EQ(rows.waiting(0, 0), 5);
    EXPECT_EQ(rows.waiting(1, 0), 1 + 6);
    EXPECT_EQ(rows.waiting(2, 0), 10);
    rows.nextRow();
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(rows.waiting(c, 0), 0) << c;
}

TEST(DiffusionRows, ChannelsStayApart) {
    DiffusionRows rows;
    ASSERT_TRUE(rows.allocate(2, 3));
    rows.spread(0, 1, 16);
    EXPECT_EQ(rows.waiting(1, 0), 0);
    EXPECT_EQ(rows.waiting(1, 1), 7);
    EXPECT_EQ(rows.waiting(1, 2), 0);
}

} // namespace
} // namespace vellora::test
