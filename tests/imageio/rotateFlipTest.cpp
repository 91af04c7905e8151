// Quarter turns and flips against a forward mapping of every pixel, at every depth.
#include "imageioTestSupport.h"

#include "imageio/pictureLibrary.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vellora::test {
namespace {

DibImage pictureAt(int depth, int width, int height) {
    return depth <= 8 ? makePatternIndexed(width, height, depth)
                      : makePhotoLike(width, height, depth);
}

DibImage turned(const DibImage& source, int turns, int flip) {
    DibImage target;
    std::string error;
    EXPECT_TRUE(imageio::rotateFlip(source, target, turns, flip, error)) << error;
    return target;
}

// Where source pixel (x, y) (screen coordinates) lands: each quarter turn clockwise sends it
// to (h − 1 − y, x) of the turned picture; the flips mirror the result.
void forward(int& x, int& y, int width, int height, int turns, int flip) {
    for (int t = 0; t < turns; ++t) {
        const int nx = height - 1 - y, ny = x;
        x = nx, y = ny;
        std::swap(width, height);
    }
    if (flip & 1) x = width - 1 - x;
    if (flip & 2) y = height - 1 - y;
}

class RotateFlipTest : public ::testing::TestWithParam<int> {};

TEST_P(RotateFlipTest, EveryTurnAndFlipMovesEachPixelWhereExpected) {
    const int depth = GetParam();
    const DibImage source = pictureAt(depth, 13, 6);
    for (int turns = 0; turns < 4; ++turns)
        for (int flip = 0; flip < 4; ++flip) {
            SCOPED_TRACE("turns " + std::to_string(turns) + " flip " + std::to_string(flip));
            const DibImage target = turned(source, turns, flip);
            ASSERT_EQ(target.bitsPerPixel, depth);
            ASSERT_EQ(target.width, turns % 2 ? 6 : 13);
            ASSERT_EQ(target.height, turns % 2 ? 13 : 6);
            EXPECT_EQ(target.colorsUsed, source.colorsUsed);
            EXPECT_EQ(0, std::memcmp(target.paletteEntry(0), source.paletteEntry(0),
                                     source.paletteBytes));
            for (int y = 0; y < source.height; ++y)
                for (int x = 0; x < source.width; ++x) {
                    int tx = x, ty = y;
                    forward(tx, ty, source.width, source.height, turns, flip);
                    ASSERT_EQ(screenRgb(target, tx, ty), screenRgb(source, x, y)) << x << "," << y;
                }
        }
}

TEST_P(RotateFlipTest, OppositeStepsGiveBackTheSameBytes) {
    const int depth = GetParam();
    const DibImage source = pictureAt(depth, 11, 7);
    struct Pair {
        int turns1, flip1, turns2, flip2;
    };
    for (const Pair pair : {Pair{0, 1, 0, 1}, Pair{0, 2, 0, 2}, Pair{1, 0, 3, 0}, Pair{2, 0, 2, 0},
                            Pair{0, 3, 2, 0}, Pair{1, 1, 1, 1}}) {
        const DibImage back =
            turned(turned(source, pair.turns1, pair.flip1), pair.turns2, pair.flip2);
        ASSERT_EQ(back.fileSize, source.fileSize);
        EXPECT_TRUE(std::equal(source.data.begin(), source.data.begin() + source.fileSize,
                               back.data.begin()));
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, RotateFlipTest, ::testing::Values(1, 4, 8, 24, 32));

TEST(RotateFlip, RefusesOutOfRangeArgumentsAndLeavesTheTarget) {
    const DibImage source = makePatternIndexed(3, 3, 8);
    DibImage target = makeImage(2, 2, 24);
    const DibImage before = target;
    for (const auto& [turns, flip] : {std::pair{4, 0}, std::pair{0, 4}, std::pair{-1, 0}}) {
        std::string error;
        EXPECT_FALSE(imageio::rotateFlip(source, target, turns, flip, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(target.data, before.data);
    }
}

TEST(ViewPixels, GivesOpaqueColoursTopDown) {
    const DibImage image = makeIndexedImage(3, 2, 4, {0x102030, 0xA0B0C0, 0xFFFFFF},
                                            [](int x, int y) { return (x + y) % 3; });
    std::vector<std::uint32_t> argb;
    imageio::viewPixels(image, argb);
    ASSERT_EQ(argb.size(), 6u);
    // Stored row 1 is the top row as seen.
    const std::uint32_t palette[3] = {0x102030, 0xA0B0C0, 0xFFFFFF};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(argb[std::size_t(3 * y + x)], 0xFF000000u | palette[(x + 1 - y) % 3]);
}

} // namespace
} // namespace vellora::test
