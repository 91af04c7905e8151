#include "core/pixelAccess.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <vector>

namespace vellora {
namespace {

// An index pattern that uses every value of the depth and changes inside every byte.
int patternIndex(int x, int y, int bpp) { return (x * 5 + y * 3 + 1) % (1 << std::min(bpp, 8)); }

TEST(PixelAccess, OneBitPixelNineIsByteOneBitSix) {
    DibImage image = test::makeImage(10, 1, 1);
    image.row(0)[1] = 0x40;
    std::uint8_t index = 7;
    getIndex(image, index, 0, 9, 1);
    EXPECT_EQ(index, 1);
    getIndex(image, index, 0, 8, 1);
    EXPECT_EQ(index, 0);
}

TEST(PixelAccess, FourBitSequentialAndRandomWrites) {
    DibImage image = test::makeImage(2, 1, 4);
    putIndexSequential(image, 3, 0, 0, 4);
    putIndexSequential(image, 5, 0, 1, 4);
    EXPECT_EQ(image.row(0)[0], 0x35);
    setIndex(image, 7, 0, 1, 4);
    EXPECT_EQ(image.row(0)[0], 0x37);
    image.row(0)[0] = 0x35;
    setIndex(image, 7, 0, 0, 4);
    EXPECT_EQ(image.row(0)[0], 0x75);
}

TEST(PixelAccess, SequentialWriteStartsEveryByteFresh) {
    // Bytes that are not zero: the first pixel of each byte overwrites them whole.
    DibImage one = test::makeImage(9, 1, 1);
    one.row(0)[0] = 0xFF;
    one.row(0)[1] = 0xFF;
    for (int x = 0; x < 9; ++x) putIndexSequential(one, std::uint8_t(x == 2 || x == 8), 0, x, 1);
    EXPECT_EQ(one.row(0)[0], 0x20);
    EXPECT_EQ(one.row(0)[1], 0x80);
    DibImage four = test::makeImage(3, 1, 4);
    four.row(0)[0] = 0xFF;
    four.row(0)[1] = 0xFF;
    putIndexSequential(four, 0, 0, 0, 4);
    putIndexSequential(four, 9, 0, 1, 4);
    putIndexSequential(four, 4, 0, 2, 4);
    EXPECT_EQ(four.row(0)[0], 0x09);
    EXPECT_EQ(four.row(0)[1], 0x40);
}

TEST(PixelAccess, OneBitSetIndexKeepsTheOtherBits) {
    const std::uint8_t masks[8] = {0x7F, 0xBF, 0xDF, 0xEF, 0xF7, 0xFB, 0xFD, 0xFE};
    for (int x = 0; x < 8; ++x) {
        DibImage image = test::makeImage(8, 1, 1);
        image.row(0)[0] = 0xFF;
        setIndex(image, 0, 0, x, 1);
        EXPECT_EQ(image.row(0)[0], masks[x]) << x;
        image.row(0)[0] = 0x00;
        setIndex(image, 1, 0, x, 1);
        EXPECT_EQ(image.row(0)[0], std::uint8_t(~masks[x])) << x;
    }
}

TEST(PixelAccess, IndexedColourComesFromTheColourTable) {
    DibImage image = test::makeImage(3, 2, 8);
    for (std::size_t i = 54; i < 54 + 1024; ++i) image.data[i] = std::uint8_t(i);
    image.row(1)[2] = 2;
    std::uint8_t bgr[3] = {};
    getColor(image, bgr, 1, 2, 8);
    EXPECT_EQ(bgr[0], std::uint8_t(54 + 8));
    EXPECT_EQ(bgr[1], std::uint8_t(54 + 9));
    EXPECT_EQ(bgr[2], std::uint8_t(54 + 10));
}

class IndexedDepth : public ::testing::TestWithParam<int> {};

// Random-order setIndex, sequential writes and whole-row writes all give the same bytes, and
// every reader gives back what was written.
TEST_P(IndexedDepth, WritersAgreeAndReadersReturnTheIndices) {
    const int bpp = GetParam();
    const int width = 13, height = 3;
    DibImage random = test::makeImage(width, height, bpp);
    DibImage sequential = test::makeImage(width, height, bpp);
    DibImage rows = test::makeImage(width, height, bpp);
    for (int y = 0; y < height; ++y) {
        for (int x = width - 1; x >= 0; --x)
            setIndex(random, std::uint8_t(patternIndex(x, y, bpp)), y, x, bpp);
        std::vector<std::uint8_t> indices(width);
        for (int x = 0; x < width; ++x) {
            indices[x] = std::uint8_t(patternIndex(x, y, bpp));
            putIndexSequential(sequential, indices[x], y, x, bpp);
        }
        writeRowIndices(rows, y, indices.data());
    }
    EXPECT_EQ(random.data, sequential.data);
    EXPECT_EQ(random.data, rows.data);
    for (int y = 0; y < height; ++y) {
        std::vector<std::uint8_t> indices(width);
        readRowIndices(random, y, indices.data());
        for (int x = 0; x < width; ++x) {
            std::uint8_t index = 0xEE;
            getIndex(random, index, y, x, bpp);
            ASSERT_EQ(index, patternIndex(x, y, bpp)) << x << "," << y;
            ASSERT_EQ(indices[x], index);
        }
        // Padding after the last pixel stays zero.
        const int usedBytes = (width * bpp + 7) / 8;
        for (int b = usedBytes; b < random.stride; ++b) ASSERT_EQ(random.row(y)[b], 0);
    }
}

TEST_P(IndexedDepth, RowColoursGoThroughTheColourTable) {
    const int bpp = GetParam();
    const int width = 11;
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < (1 << bpp); ++i) palette.push_back(0x010203u * std::uint32_t(i) + 0x100000);
    DibImage image = test::makeIndexedImage(width, 2, bpp, palette,
                                            [&](int x, int y) { return patternIndex(x, y, bpp); });
    for (int y = 0; y < 2; ++y) {
        std::vector<std::uint8_t> bgr(3 * width);
        readRowColors(image, y, bgr.data());
        for (int x = 0; x < width; ++x) {
            const std::uint32_t rgb = palette[std::size_t(patternIndex(x, y, bpp))];
            ASSERT_EQ(bgr[3 * x], std::uint8_t(rgb)) << x;
            ASSERT_EQ(bgr[3 * x + 1], std::uint8_t(rgb >> 8));
            ASSERT_EQ(bgr[3 * x + 2], std::uint8_t(rgb >> 16));
            std::uint8_t one[3];
            getColor(image, one, y, x, bpp);
            ASSERT_EQ(0, std::memcmp(one, &bgr[3 * x], 3));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, IndexedDepth, ::testing::Values(1, 4, 8));

class TrueColorDepth : public ::testing::TestWithParam<int> {};

TEST_P(TrueColorDepth, ColoursRoundTripAndTheFourthByteIsLeftAlone) {
    const int bpp = GetParam();
    const int width = 5, height = 2;
    DibImage image = test::makeImage(width, height, bpp);
    std::fill(image.data.begin() + image.bitsOffset, image.data.end(), 0x77);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t bgr[3] = {std::uint8_t(x), std::uint8_t(y), std::uint8_t(x + 40)};
            setColor(image, bgr, y, x, bpp);
        }
    const int pixelBytes = bpp / 8;
    for (int y = 0; y < height; ++y) {
        std::vector<std::uint8_t> bgr(3 * width);
        readRowColors(image, y, bgr.data());
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = image.row(y) + pixelBytes * x;
            EXPECT_EQ(p[0], x);
            EXPECT_EQ(p[1], y);
            EXPECT_EQ(p[2], x + 40);
            if (bpp == 32) {
                EXPECT_EQ(p[3], 0x77);
            }
            std::uint8_t one[3];
            getColor(image, one, y, x, bpp);
            EXPECT_EQ(0, std::memcmp(one, &bgr[3 * x], 3));
            EXPECT_EQ(0, std::memcmp(one, p, 3));
        }
        // Writing the row back changes nothing, the fourth byte and the padding included.
        const PictureBytes before = image.data;
        writeRowColors(image, y, bgr.data());
        EXPECT_EQ(image.data, before);
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, TrueColorDepth, ::testing::Values(24, 32));

TEST(PixelAccess, UnhandledDepthsDoNothing) {
    DibImage image = test::makeImage(4, 1, 24);
    const PictureBytes before = image.data;
    const std::uint8_t bgr[3] = {1, 2, 3};
    setIndex(image, 1, 0, 0, 24);
    putIndexSequential(image, 1, 0, 0, 24);
    setColor(image, bgr, 0, 0, 8);
    EXPECT_EQ(image.data, before);
    std::uint8_t index = 42;
    getIndex(image, index, 0, 0, 24);
    EXPECT_EQ(index, 42);
}

} // namespace
} // namespace vellora
