// Pixel access at every depth and the copy to true colour.
#include "core/intermediateFiles.h"
#include "core/pixelAccess.h"
#include "core/trueColor.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

namespace vellora {
namespace {

// An index pattern that uses every value of the depth and changes inside every byte.
int patternIndex(int x, int y, int bpp) {
    return (x * 5 + y * 3 + 1) % (1 << std::min(bpp, 8));
}

// Hand-worked bytes: bit 7 is the first pixel of a 1 bpp byte, the high nibble the first of 4 bpp.
TEST(PixelAccess, BitsAndNibblesOfHandWorkedBytes) {
    DibImage one = test::makeImage(10, 1, 1), four = test::makeImage(3, 1, 4);
    std::uint8_t *bits = one.row(0), *nibbles = four.row(0), index = 7;
    bits[1] = 0x40;
    getIndex(one, index, 0, 9, 1);
    EXPECT_EQ(index, 1);
    for (int x = 0; x < 8; ++x) { // setIndex keeps the other bits
        bits[0] = 0xFF, setIndex(one, 0, 0, x, 1);
        EXPECT_EQ(bits[0], std::uint8_t(~(0x80 >> x))) << x;
        bits[0] = 0x00, setIndex(one, 1, 0, x, 1);
        EXPECT_EQ(bits[0], 0x80 >> x) << x;
    }
    setIndex(four, 3, 0, 0, 4), setIndex(four, 5, 0, 1, 4);
    EXPECT_EQ(nibbles[0], 0x35);
    setIndex(four, 7, 0, 0, 4);
    EXPECT_EQ(nibbles[0], 0x75);
    // Sequential writes over bytes that are not zero: each byte's first pixel overwrites it whole.
    bits[0] = bits[1] = nibbles[0] = nibbles[1] = 0xFF;
    for (int x = 0; x < 9; ++x)
        putIndexSequential(one, std::uint8_t(x == 2 || x == 8), 0, x, 1);
    for (int x = 0; x < 3; ++x)
        putIndexSequential(four, std::uint8_t(x * x * 3 % 13), 0, x, 4); // 0, 3, 12
    EXPECT_EQ(std::tuple(bits[0], bits[1], nibbles[0], nibbles[1]),
              std::tuple(0x20, 0x80, 0x03, 0xC0));
}

// Random-order setIndex, sequential writes and whole-row writes all give the same bytes, and
// every reader, the colour readers through the table included, gives back what was written.
TEST(PixelAccess, IndexedWritersAgreeAndReadersReturnTheIndicesAndColours) {
    for (const int bpp : {1, 4, 8}) {
        SCOPED_TRACE(bpp);
        const int width = 13, height = 3;
        std::vector<std::uint32_t> palette;
        for (int i = 0; i < (1 << bpp); ++i)
            palette.push_back(0x010203u * std::uint32_t(i) + 0x100000);
        DibImage random =
            test::makeIndexedImage(width, height, bpp, palette, [](int, int) { return 0; });
        DibImage sequential = random, rows = random;
        for (int y = 0; y < height; ++y) {
            std::vector<std::uint8_t> indices(width);
            for (int x = width - 1; x >= 0; --x)
                setIndex(random, std::uint8_t(patternIndex(x, y, bpp)), y, x, bpp);
            for (int x = 0; x < width; ++x) {
                indices[x] = std::uint8_t(patternIndex(x, y, bpp));
                putIndexSequential(sequential, indices[x], y, x, bpp);
            }
            writeRowIndices(rows, y, indices.data());
        }
        EXPECT_EQ(random.data, sequential.data);
        EXPECT_EQ(random.data, rows.data);
        for (int y = 0; y < height; ++y) {
            std::vector<std::uint8_t> indices(width), bgr(3 * width);
            readRowIndices(random, y, indices.data());
            readRowColors(random, y, bgr.data());
            for (int x = 0; x < width; ++x) {
                std::uint8_t index = 0xEE, one[3];
                getIndex(random, index, y, x, bpp);
                ASSERT_EQ(index, patternIndex(x, y, bpp)) << x << "," << y;
                ASSERT_EQ(indices[x], index);
                ASSERT_EQ(bgr[3 * x] | bgr[3 * x + 1] << 8 | bgr[3 * x + 2] << 16,
                          int(palette[index]))
                    << x;
                getColor(random, one, y, x, bpp);
                ASSERT_EQ(0, std::memcmp(one, &bgr[3 * x], 3));
            }
            // Padding after the last pixel stays zero.
            for (int b = (width * bpp + 7) / 8; b < random.stride; ++b)
                ASSERT_EQ(random.row(y)[b], 0);
        }
    }
}

// A whole-row write puts blue, green, red in place and leaves the fourth bytes, the padding
// and the other rows as they were; getColor reads the pixels back.
TEST(PixelAccess, TrueColourRowWritesTouchOnlyTheirPixels) {
    for (const int bpp : {24, 32}) {
        SCOPED_TRACE(bpp);
        DibImage image = test::makeImage(5, 2, bpp);
        std::fill(image.data.begin() + image.bitsOffset, image.data.end(), 0x77);
        std::uint8_t bgr[15], one[3];
        for (int i = 0; i < 15; ++i)
            bgr[i] = std::uint8_t(i + 1);
        writeRowColors(image, 0, bgr);
        std::vector<std::uint8_t> expected(std::size_t(image.stride), 0x77);
        for (int x = 0; x < 5; ++x) {
            std::memcpy(&expected[std::size_t(bpp / 8 * x)], bgr + 3 * x, 3);
            getColor(image, one, 0, x, bpp);
            EXPECT_EQ(0, std::memcmp(one, bgr + 3 * x, 3)) << x;
        }
        EXPECT_EQ(std::vector<std::uint8_t>(image.row(0), image.row(0) + image.stride), expected);
        EXPECT_EQ(std::count(image.row(1), image.row(1) + image.stride, 0x77), image.stride);
    }
}

// Expected colours worked out from the palette and the index pattern, not through getColor; the
// fourth bytes and the padding of the target stay zero.
TEST(CopyAsTrueColor, EveryPixelKeepsItsColourAtEveryDepthPair) {
    const int width = 11, height = 4;
    const auto paletteRgb = [](int i) {
        return std::uint32_t(i * 9 + 3) % 256 << 16 | std::uint32_t(200 - i) << 8 |
               std::uint32_t(i);
    };
    const auto trueRgb = [](int x, int y) {
        return std::uint32_t(x * 20) << 16 | std::uint32_t(y * 30) << 8 | 0x5Au;
    };
    for (int sourceBpp : {1, 4, 8, 24, 32}) {
        std::vector<std::uint32_t> palette;
        for (int i = 0; sourceBpp < 24 && i < (1 << sourceBpp); ++i)
            palette.push_back(paletteRgb(i));
        const auto index = [sourceBpp](int x, int y) { return patternIndex(x, y, sourceBpp); };
        DibImage source = sourceBpp < 24
                              ? test::makeIndexedImage(width, height, sourceBpp, palette, index)
                              : test::makeTrueColorImage(width, height, trueRgb, sourceBpp);
        for (int y = 0; sourceBpp == 32 && y < height; ++y)
            for (int x = 0; x < width; ++x)
                source.row(y)[4 * x + 3] = 0xAA; // never copied
        for (int targetBpp : {24, 32}) {
            SCOPED_TRACE(std::to_string(sourceBpp) + " to " + std::to_string(targetBpp));
            DibImage target = test::makeImage(width, height, targetBpp);
            EXPECT_EQ(copyAsTrueColor(target, source), 0);
            const int pixelBytes = targetBpp / 8;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const std::uint32_t rgb =
                        sourceBpp >= 24 ? trueRgb(x, y) : paletteRgb(index(x, y));
                    const std::uint8_t* p = target.row(y) + pixelBytes * x;
                    ASSERT_EQ(p[0] | p[1] << 8 | p[2] << 16, int(rgb)) << x << "," << y;
                    ASSERT_TRUE(targetBpp == 24 || p[3] == 0);
                }
                for (int b = pixelBytes * width; b < target.stride; ++b)
                    ASSERT_EQ(target.row(y)[b], 0);
            }
        }
    }
}

} // namespace
} // namespace vellora
