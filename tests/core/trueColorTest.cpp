#include "core/intermediateFiles.h"
#include "core/pixelAccess.h"
#include "core/trueColor.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

namespace vellora {
namespace {

struct CopyCase {
    int sourceBpp;
    int targetBpp;
};

// Expected colours worked out from the palette and index pattern, not through getColor.
std::uint32_t paletteRgb(int i) { return std::uint32_t(i * 9 + 3) << 16 | std::uint32_t(200 - i) << 8 | std::uint32_t(i); }
int indexAt(int x, int y, int bpp) { return (x + 2 * y) % (1 << std::min(bpp, 8)); }
std::uint32_t trueRgb(int x, int y) { return std::uint32_t(x * 20) << 16 | std::uint32_t(y * 30) << 8 | 0x5Au; }

DibImage sourceImage(int bpp, int width, int height) {
    if (bpp >= 24) {
        DibImage image = test::makeImage(width, height, bpp);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint32_t rgb = trueRgb(x, y);
                const std::uint8_t bgr[3] = {std::uint8_t(rgb), std::uint8_t(rgb >> 8),
                                             std::uint8_t(rgb >> 16)};
                setColor(image, bgr, y, x, bpp);
                if (bpp == 32) image.row(y)[4 * x + 3] = 0xAA; // never copied
            }
        return image;
    }
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < (1 << bpp); ++i) palette.push_back(paletteRgb(i));
    return test::makeIndexedImage(width, height, bpp, palette,
                                  [bpp](int x, int y) { return indexAt(x, y, bpp); });
}

class CopyAsTrueColorTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyAsTrueColorTest, EveryPixelKeepsItsColour) {
    const CopyCase c = GetParam();
    const int width = 11, height = 4;
    DibImage source = sourceImage(c.sourceBpp, width, height);
    DibImage target = test::makeImage(width, height, c.targetBpp);
    EXPECT_EQ(copyAsTrueColor(target, source), 0);
    const int pixelBytes = c.targetBpp / 8;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t rgb =
                c.sourceBpp >= 24 ? trueRgb(x, y) : paletteRgb(indexAt(x, y, c.sourceBpp));
            const std::uint8_t* p = target.row(y) + pixelBytes * x;
            ASSERT_EQ(p[0], std::uint8_t(rgb)) << x << "," << y;
            ASSERT_EQ(p[1], std::uint8_t(rgb >> 8));
            ASSERT_EQ(p[2], std::uint8_t(rgb >> 16));
            if (c.targetBpp == 32) {
                ASSERT_EQ(p[3], 0);
            }
        }
        for (int b = pixelBytes * width; b < target.stride; ++b) ASSERT_EQ(target.row(y)[b], 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, CopyAsTrueColorTest,
                         ::testing::Values(CopyCase{1, 24}, CopyCase{4, 24}, CopyCase{8, 24},
                                           CopyCase{24, 24}, CopyCase{32, 24}, CopyCase{1, 32},
                                           CopyCase{4, 32}, CopyCase{8, 32}, CopyCase{24, 32},
                                           CopyCase{32, 32}));

TEST(CopyAsTrueColor, BlackAndWhiteTableGivesBlackAndWhite) {
    DibImage source = test::makeIndexedImage(2, 1, 1, {0x000000, 0xFFFFFF},
                                             [](int x, int) { return x; });
    DibImage target = test::makeImage(2, 1, 24);
    copyAsTrueColor(target, source);
    EXPECT_EQ(test::rgbAt(target, 0, 0), 0x000000u);
    EXPECT_EQ(test::rgbAt(target, 1, 0), 0xFFFFFFu);
}

TEST(MakeTrueColorHeader, EightBitSourceGivesTheTableFreeHeader) {
    test::RecordingFrontend frontend;
    DibImage source = test::makeImage(10, 10, 8, 256);
    DibImage target;
    ASSERT_EQ(makeTrueColorHeader(frontend, target, source), 0);
    EXPECT_EQ(target.data.size(), 374u);
    EXPECT_EQ(target.bitsPerPixel, 24);
    EXPECT_EQ(readLe32(target.data.data() + 46), 256u);
    EXPECT_EQ(readLe32(target.data.data() + 10), 54u);
    EXPECT_EQ(readLe32(target.data.data() + 2), 374u);
}

TEST(SaveAsTrueColor, ConvertsTheCurrentFileInPlace) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, sourceImage(4, 6, 3));
    ASSERT_EQ(readBitmapFile(frontend, session.currentPath, session.sourceImage), 0);
    EXPECT_EQ(saveAsTrueColor(session, session.currentPath), 0);
    EXPECT_TRUE(session.sourceImage.data.empty());
    EXPECT_TRUE(session.targetImage.data.empty());
    const DibImage result = test::readImage(session.currentPath);
    EXPECT_EQ(result.bitsPerPixel, 24);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) ASSERT_EQ(test::rgbAt(result, x, y), paletteRgb(indexAt(x, y, 4)));
    EXPECT_TRUE(frontend.messages.empty());
}

TEST(SaveAsTrueColor, WriteFailureGives1AndReleasesBoth) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    session.sourceImage = sourceImage(8, 3, 3);
    EXPECT_EQ(saveAsTrueColor(session, "/nonexistent-folder/x.dib"), 1);
    EXPECT_EQ(frontend.texts(), std::vector<std::string>{"failed to create the file\ncannot write "
                                                          "\"/nonexistent-folder/x.dib\": No "
                                                          "such file or directory"});
    EXPECT_TRUE(session.sourceImage.data.empty());
    EXPECT_TRUE(session.targetImage.data.empty());
}

} // namespace
} // namespace vellora
