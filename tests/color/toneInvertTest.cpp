#include "color/invert.h"
#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vellora {
namespace {

DibImage invert(const DibImage& source, int depth) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    DibImage target;
    EXPECT_EQ(invertToImage(session, source, target, depth), 0);
    return target;
}

TEST(Invert, OneBitBlackWhiteKeepsItsBytesWithPaletteWhiteBlack) {
    const DibImage source = test::makeIndexedImage(13, 3, 1, {0x000000, 0xFFFFFF},
                                                   [](int x, int y) { return (x + y) % 3 == 0; });
    const DibImage result = invert(source, 0);
    ASSERT_EQ(result.bitsPerPixel, 1);
    EXPECT_EQ(test::rgbAt(result, 0, 0), 0x000000u); // index 1 was white
    EXPECT_EQ(result.paletteEntry(0)[0], 255);
    EXPECT_EQ(result.paletteEntry(1)[0], 0);
    EXPECT_EQ(0, std::memcmp(result.row(0), source.row(0), std::size_t(source.stride) * 3));
}

TEST(Invert, EightBitsToTrueColourGivesComplementsAndKeepsColorsUsed) {
    const DibImage source = test::makeIndexedImage(5, 2, 8, {0x102030, 0xFF8001, 0x00FF7F},
                                                   [](int x, int y) { return (x + y) % 3; });
    const DibImage result = invert(source, 24);
    ASSERT_EQ(result.bitsPerPixel, 24);
    EXPECT_EQ(result.colorsUsed, 3u);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(test::rgbAt(result, x, y), 0xFFFFFFu - test::rgbAt(source, x, y));
}

TEST(Invert, ThirtyTwoBitsWritesZeroFourthBytes) {
    DibImage source = test::makeImage(3, 2, 32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const std::uint8_t bgr[3] = {std::uint8_t(x), std::uint8_t(y * 100), 200};
            setColor(source, bgr, y, x, 32);
            source.row(y)[4 * x + 3] = 0x5A;
        }
    const DibImage result = invert(source, 0);
    ASSERT_EQ(result.bitsPerPixel, 32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(result.row(y)[4 * x + 3], 0);
            EXPECT_EQ(test::rgbAt(result, x, y), 0xFFFFFFu - test::rgbAt(source, x, y));
        }
}

TEST(Invert, WideTrueColourRowsGiveEachComplementAndZeroPadding) {
    // 37 pixels: a row of 111 bytes plus one padding byte, longer than any vector width.
    const DibImage source = test::makeTrueColorImage(37, 4, [](int x, int y) {
        return std::uint32_t(x * 0x030507 + y * 0x405060 + 0x0A0B0C) & 0xFFFFFF;
    });
    const DibImage result = invert(source, 0);
    ASSERT_EQ(result.bitsPerPixel, 24);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 37; ++x)
            ASSERT_EQ(test::rgbAt(result, x, y), 0xFFFFFFu - test::rgbAt(source, x, y)) << x;
        EXPECT_EQ(result.row(y)[111], 0);
    }
}

TEST(Invert, TwiceGivesTheSamePixelsBack) {
    const DibImage source = test::makeTrueColorImage(7, 5, [](int x, int y) {
        return std::uint32_t(x * 37 + y * 1000 + x * y * 70001) & 0xFFFFFF;
    });
    EXPECT_EQ(invert(invert(source, 0), 0).data, source.data);
}

TEST(Invert, DepthIndexChoosesTheResultDepth) {
    EXPECT_EQ(invertResultDepth(0), 0);
    EXPECT_EQ(invertResultDepth(1), 24);
    EXPECT_EQ(invertResultDepth(2), 32);
}

} // namespace
} // namespace vellora
