#include "color/posterize.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <vector>

namespace vellora {
namespace {

struct FormatCase {
    LevelCounts levels; // blue, green, red
    int depth, colors;
};

class PosterFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PosterFormats, FromTheProductOfTheCounts) {
    const FormatCase c = GetParam();
    const PosterFormat format = posterResultFormat(c.levels);
    EXPECT_EQ(format.depth, c.depth);
    EXPECT_EQ(format.colors, c.colors);
}

INSTANTIATE_TEST_SUITE_P(
    Products, PosterFormats,
    ::testing::Values(FormatCase{{1, 1, 2}, 1, 2}, FormatCase{{1, 1, 3}, 4, 3},
                      FormatCase{{2, 2, 2}, 4, 8}, FormatCase{{4, 2, 2}, 4, 16},
                      FormatCase{{17, 1, 1}, 8, 17}, FormatCase{{6, 6, 6}, 8, 216},
                      FormatCase{{1, 15, 17}, 8, 255}, FormatCase{{16, 16, 1}, 8, 256},
                      FormatCase{{257, 1, 1}, 24, 257}, FormatCase{{7, 7, 7}, 24, 343}));

struct ComponentCase {
    int value, levels;
    int component, levelIndex;
};

class PosterChannels : public ::testing::TestWithParam<ComponentCase> {};

TEST_P(PosterChannels, RoundedQuotientOfTheStep) {
    const ComponentCase c = GetParam();
    EXPECT_EQ(posterComponent(c.value, c.levels), c.component);
    EXPECT_EQ(posterLevelIndex(c.value, c.levels), c.levelIndex);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PosterChannels,
    ::testing::Values(ComponentCase{127, 2, 0, 0}, ComponentCase{128, 2, 255, 1},   // step 255
                      ComponentCase{255, 3, 254, 2}, ComponentCase{190, 3, 127, 1}, // step 127
                      ComponentCase{191, 3, 254, 2}, ComponentCase{255, 7, 252, 6}, // step 42
                      ComponentCase{255, 17, 255, 16}, // step 15: quotient 17 is above the top
                      ComponentCase{240, 17, 240, 16}, ComponentCase{200, 1, 16, 0},
                      ComponentCase{255, 128, 254, 127}, ComponentCase{3, 128, 2, 1}));

// Colour of row 0 pixel x as 0xRRGGBB.
std::vector<std::uint32_t> colors(const DibImage& image) {
    std::vector<std::uint32_t> out;
    for (int x = 0; x < image.width; ++x)
        out.push_back(test::rgbAt(image, x, 0));
    return out;
}

DibImage posterize(const std::vector<std::uint32_t>& pixels, const LevelCounts& levels) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    const DibImage source = test::makeTrueColorImage(
        int(pixels.size()), 1, [&](int x, int) { return pixels[std::size_t(x)]; });
    DibImage target;
    EXPECT_EQ(posterizeToImage(session, source, target, levels), 0);
    return target;
}

TEST(Posterize, DefaultLevelsGiveOneBitSplitOnRed) {
    const DibImage result = posterize({0x7FFFFF, 0x800000, 0xFF0000, 0x000000}, {1, 1, 2});
    ASSERT_EQ(result.bitsPerPixel, 1);
    EXPECT_EQ(result.colorsUsed, 2u);
    const std::uint8_t* e0 = result.paletteEntry(0);
    const std::uint8_t* e1 = result.paletteEntry(1);
    EXPECT_EQ(std::vector<int>({e0[0], e0[1], e0[2], e1[0], e1[1], e1[2]}),
              std::vector<int>({16, 16, 0, 16, 16, 255}));
    EXPECT_EQ(colors(result), std::vector<std::uint32_t>({0x001010, 0xFF1010, 0xFF1010, 0x001010}));
}

TEST(Posterize, CommonLevelTwoIsEightColoursInFourBits) {
    const DibImage result = posterize({0x7F7F7F, 0x808080, 0x80007F, 0x0080FF}, {2, 2, 2});
    ASSERT_EQ(result.bitsPerPixel, 4);
    EXPECT_EQ(result.colorsUsed, 8u);
    EXPECT_EQ(colors(result), std::vector<std::uint32_t>({0x000000, 0xFFFFFF, 0xFF0000, 0x00FFFF}));
    EXPECT_EQ(result.paletteEntry(8)[0], 0); // past the eight combinations
}

TEST(Posterize, CommonLevelSixMapsWhiteToTheLastEntry) {
    const DibImage result = posterize({0xFFFFFF, 0x000000, 0x336699}, {6, 6, 6});
    ASSERT_EQ(result.bitsPerPixel, 8);
    std::uint8_t index = 0;
    getIndex(result, index, 0, 0, 8);
    EXPECT_EQ(index, 215);
    EXPECT_EQ(colors(result), std::vector<std::uint32_t>({0xFFFFFF, 0x000000, 0x336699}));
}

TEST(Posterize, CommonLevelSevenIsTrueColourAndWhiteBecomes252) {
    const DibImage result = posterize({0xFFFFFF, 0x2B0015}, {7, 7, 7});
    ASSERT_EQ(result.bitsPerPixel, 24);
    EXPECT_EQ(result.colorsUsed, 343u);
    // 43 → 42, 21 → 0 (remainder 21 is not above the half step 21)
    EXPECT_EQ(colors(result), std::vector<std::uint32_t>({0xFCFCFC, 0x2A0000}));
}

TEST(Posterize, RedSeventeenLimitsTheQuotientToTheTopLevel) {
    const DibImage result = posterize({0xFF0000, 0x0F0000}, {1, 15, 17});
    ASSERT_EQ(result.bitsPerPixel, 8);
    std::uint8_t index = 0;
    getIndex(result, index, 0, 0, 8);
    EXPECT_EQ(index, 16 * 15); // red level 16, green level 0, one blue level
    EXPECT_EQ(colors(result), std::vector<std::uint32_t>({0xFF0010, 0x0F0010}));
}

// Every pixel of a picture, from true colour and from a palette, at indexed and 24 bpp results:
// the index is (red level × green levels + green level) × blue levels + blue level, the colour
// each channel's component.
TEST(Posterize, EveryPixelFromItsChannelLevels) {
    const auto rgb = [](int x, int y) {
        return std::uint32_t((x * 37 + y * 11) % 256) << 16 | std::uint32_t((x * 5 + y * 53) % 256)
               << 8 | std::uint32_t((x * y + 91) % 256);
    };
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < 200; ++i)
        palette.push_back(rgb(i % 29, i / 29 * 7));
    const DibImage sources[] = {test::makeTrueColorImage(131, 13, rgb),
                                test::makeIndexedImage(131, 13, 8, palette,
                                                       [](int x, int y) { return (x * 13 + y) % 200; })};
    for (const DibImage& source : sources)
        for (const LevelCounts levels : {LevelCounts{3, 5, 4}, LevelCounts{2, 1, 1},
                                         LevelCounts{2, 2, 3}, LevelCounts{7, 7, 7},
                                         LevelCounts{7, 8, 9}}) {
            test::RecordingFrontend frontend;
            Session session(frontend);
            DibImage target;
            ASSERT_EQ(posterizeToImage(session, source, target, levels), 0);
            for (int y = 0; y < source.height; ++y)
                for (int x = 0; x < source.width; ++x) {
                    const std::uint32_t c = test::rgbAt(source, x, y);
                    const int channel[3] = {int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16)};
                    if (target.isIndexed()) {
                        std::uint8_t index = 0;
                        getIndex(target, index, y, x, target.bitsPerPixel);
                        const int expected = (posterLevelIndex(channel[2], levels[2]) * levels[1] +
                                              posterLevelIndex(channel[1], levels[1])) *
                                                 levels[0] +
                                             posterLevelIndex(channel[0], levels[0]);
                        ASSERT_EQ(index, expected) << x << "," << y;
                    } else {
                        const std::uint32_t expected =
                            std::uint32_t(posterComponent(channel[2], levels[2])) << 16 |
                            std::uint32_t(posterComponent(channel[1], levels[1])) << 8 |
                            posterComponent(channel[0], levels[0]);
                        ASSERT_EQ(test::rgbAt(target, x, y), expected) << x << "," << y;
                    }
                }
        }
}

struct ValidityCase {
    bool common;
    int rgb, red, green, blue;
    bool valid;
};

class PosterDialogValues : public ::testing::TestWithParam<ValidityCase> {};

TEST_P(PosterDialogValues, LevelsOneTo128NotAllOne) {
    const ValidityCase c = GetParam();
    EXPECT_EQ(posterLevelsValid(c.common, c.rgb, c.red, c.green, c.blue), c.valid);
}

INSTANTIATE_TEST_SUITE_P(Rules, PosterDialogValues,
                         ::testing::Values(ValidityCase{false, 2, 1, 1, 1, false},
                                           ValidityCase{true, 1, 2, 2, 2, false},
                                           ValidityCase{true, 2, 1, 1, 1, true},
                                           ValidityCase{true, 128, 1, 1, 1, true},
                                           ValidityCase{true, 129, 1, 1, 1, false},
                                           ValidityCase{false, 1, 2, 1, 1, true},
                                           ValidityCase{false, 1, 1, 1, 128, true},
                                           ValidityCase{false, 1, 0, 2, 2, false},
                                           ValidityCase{false, 1, 2, 129, 2, false}));

TEST(PosterizeCommand, AllLevelsOneIsRefusedWithTheDialogMessage) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, test::makeImage(3, 3, 24));
    const std::string before = session.currentPath;
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.posterLevelRed = 1;
    EXPECT_EQ(runCommandHandler(session, posterizeHandler), 1);
    EXPECT_EQ(session.currentPath, before);
    EXPECT_EQ(frontend.messages, (std::vector<test::Message>{
                                     {"alert", "each level must be 1 ~ 128 and not 1 same all"},
                                     {"error", "failed to posterization the image"}}));
}

} // namespace
} // namespace vellora
