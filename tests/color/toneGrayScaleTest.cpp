#include "color/grayScale.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace vellora {
namespace {

struct LevelCase {
    std::uint32_t rgb;
    int gray;
};

class GrayLevels : public ::testing::TestWithParam<LevelCase> {};

TEST_P(GrayLevels, WeightedAndTruncated) {
    const std::uint32_t rgb = GetParam().rgb;
    const std::uint8_t bgr[3] = {std::uint8_t(rgb), std::uint8_t(rgb >> 8),
                                 std::uint8_t(rgb >> 16)};
    EXPECT_EQ(grayLevel(bgr), GetParam().gray);
}

INSTANTIATE_TEST_SUITE_P(Colors, GrayLevels,
                         ::testing::Values(LevelCase{0xFFFFFF, 255}, LevelCase{0x00FF00, 150},
                                           LevelCase{0xFF0000, 76}, LevelCase{0x0000FF, 27},
                                           LevelCase{0x000000, 0}, LevelCase{0x808080, 128},
                                           LevelCase{0x010101, 1}));

struct FormatCase {
    int sourceDepth, levels;
    int depth, entries;
    GrayPath path;
};

class GrayFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(GrayFormats, DepthEntriesAndPath) {
    const FormatCase c = GetParam();
    const GrayFormat format = grayResultFormat(c.sourceDepth, c.levels);
    EXPECT_EQ(format.depth, c.depth);
    EXPECT_EQ(format.entries, c.entries);
    EXPECT_EQ(format.path, c.path);
}

constexpr auto kConvert = GrayPath::PaletteConversion;
constexpr auto kReduce = GrayPath::Reduction;

INSTANTIATE_TEST_SUITE_P(
    Table, GrayFormats,
    ::testing::Values(FormatCase{1, 2, 1, 2, kConvert}, FormatCase{1, 256, 1, 2, kConvert},
                      FormatCase{4, 2, 1, 2, kReduce}, FormatCase{4, 4, 4, 4, kReduce},
                      FormatCase{4, 8, 4, 8, kReduce}, FormatCase{4, 16, 4, 16, kConvert},
                      FormatCase{4, 256, 4, 16, kConvert}, FormatCase{8, 2, 1, 2, kReduce},
                      FormatCase{8, 16, 4, 16, kReduce}, FormatCase{8, 32, 8, 32, kReduce},
                      FormatCase{8, 128, 8, 128, kReduce}, FormatCase{8, 256, 8, 256, kConvert},
                      FormatCase{24, 2, 1, 2, kReduce}, FormatCase{24, 4, 4, 4, kReduce},
                      FormatCase{32, 64, 8, 64, kReduce},
                      FormatCase{24, 256, 8, 256, GrayPath::Direct},
                      FormatCase{32, 256, 8, 256, GrayPath::Direct}));

TEST(GrayLevelCount, PowersOfTwoFromTheListIndex) {
    EXPECT_EQ(grayLevelCount(0), 2);
    EXPECT_EQ(grayLevelCount(-3), 2);
    EXPECT_EQ(grayLevelCount(3), 16);
    EXPECT_EQ(grayLevelCount(7), 256);
}

DibImage grays(int width, int height, const std::function<int(int, int)>& grayAt) {
    return test::makeTrueColorImage(
        width, height, [&](int x, int y) { return std::uint32_t(grayAt(x, y)) * 0x010101u; });
}

struct Gray {
    DibImage image;
    test::RecordingFrontend frontend;
    Gray(const DibImage& source, bool diffusion, int levels) {
        Session session(frontend);
        EXPECT_EQ(grayScaleToImage(session, source, image, diffusion, levels), 0);
    }
    int index(int x, int y = 0) const {
        std::uint8_t i = 0;
        getIndex(image, i, y, x, image.bitsPerPixel);
        return i;
    }
    int entry(int i) const { return image.paletteEntry(i)[0]; }
};

TEST(GrayScale, TrueColourAt256LevelsIsTheRamp) {
    const std::uint32_t colors[4] = {0xFFFFFF, 0x00FF00, 0xFF0000, 0x0000FF};
    const Gray g(test::makeTrueColorImage(4, 1, [&](int x, int) { return colors[x]; }), true, 256);
    ASSERT_EQ(g.image.bitsPerPixel, 8);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(g.entry(i), i);
        ASSERT_EQ(g.image.paletteEntry(i)[3], 0);
    }
    EXPECT_EQ(g.index(0), 255);
    EXPECT_EQ(g.index(1), 150);
    EXPECT_EQ(g.index(2), 76);
    EXPECT_EQ(g.index(3), 27);
}

struct ConversionCase {
    int depth, levels;
};

class GrayPaletteConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(GrayPaletteConversion, KeepsThePixelBytesAndGraysThePalette) {
    const ConversionCase c = GetParam();
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < (1 << c.depth); ++i)
        palette.push_back(std::uint32_t(i * 0x0B1D07 + 0x00FF00 * (i % 2)));
    const DibImage source = test::makeIndexedImage(
        9, 4, c.depth, palette, [&](int x, int y) { return (x * 5 + y) % (1 << c.depth); });
    const Gray g(source, true, c.levels);
    ASSERT_EQ(g.image.bitsPerPixel, c.depth);
    EXPECT_EQ(0, std::memcmp(g.image.row(0), source.row(0), std::size_t(source.stride) * 4));
    for (int i = 0; i < (1 << c.depth); ++i) {
        const std::uint8_t* entry = g.image.paletteEntry(i);
        EXPECT_EQ(entry[0], grayLevel(source.paletteEntry(i)));
        EXPECT_EQ(entry[1], entry[0]);
        EXPECT_EQ(entry[2], entry[0]);
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, GrayPaletteConversion,
                         ::testing::Values(ConversionCase{8, 256}, ConversionCase{4, 16},
                                           ConversionCase{4, 128}, ConversionCase{1, 2},
                                           ConversionCase{1, 64}));

TEST(GrayScale, UniformGrayGoesToTheUpperLabel) {
    const Gray g(grays(5, 3, [](int, int) { return 90; }), false, 2);
    EXPECT_EQ(g.image.bitsPerPixel, 1);
    EXPECT_EQ(g.entry(0), 0);
    EXPECT_EQ(g.entry(1), 90);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(g.index(x, 2), 1);
}

TEST(GrayScale, UniformBlackMapsToTheFirstOfTwoEqualEntries) {
    const Gray g(grays(5, 3, [](int, int) { return 0; }), false, 2);
    EXPECT_EQ(g.entry(0), 0);
    EXPECT_EQ(g.entry(1), 0);
    EXPECT_EQ(g.index(4, 1), 0);
}

TEST(GrayScale, TwoLevelsAreTheMeansBelowAndAboveTheOverallMean) {
    // Mean 120: {10, 20} below (mean 15), {200, 250} at or above (mean 225).
    const int values[4] = {10, 200, 20, 250};
    const Gray g(grays(4, 1, [&](int x, int) { return values[x]; }), false, 2);
    EXPECT_EQ(g.entry(0), 15);
    EXPECT_EQ(g.entry(1), 225);
    EXPECT_EQ(std::vector<int>({g.index(0), g.index(1), g.index(2), g.index(3)}),
              std::vector<int>({0, 1, 0, 1}));
}

TEST(GrayScale, TwoGraysAtFourLevelsLeaveTheLowerLabelsBlack) {
    const Gray g(grays(6, 2, [](int x, int) { return x % 2 ? 180 : 60; }), false, 4);
    EXPECT_EQ(g.image.bitsPerPixel, 4);
    EXPECT_EQ(g.image.colorsUsed, 4u);
    EXPECT_EQ(std::vector<int>({g.entry(0), g.entry(1), g.entry(2), g.entry(3)}),
              std::vector<int>({0, 60, 0, 180}));
    EXPECT_EQ(g.index(0), 1);
    EXPECT_EQ(g.index(1), 3);
}

TEST(GrayScale, DiffusionCarriesTheErrorAlongTheRow) {
    // Mean 202.9: {0, 200, 200} below (mean 133), the 255s above; levels 133 and 255.
    const int values[7] = {0, 200, 200, 255, 255, 255, 255};
    const DibImage source = grays(7, 1, [&](int x, int) { return values[x]; });
    const Gray plain(source, false, 2);
    const Gray diffused(source, true, 2);
    ASSERT_EQ(diffused.entry(0), 133);
    ASSERT_EQ(diffused.entry(1), 255);
    std::vector<int> p, d;
    for (int x = 0; x < 7; ++x) {
        p.push_back(plain.index(x));
        d.push_back(diffused.index(x));
    }
    EXPECT_EQ(p, std::vector<int>({0, 1, 1, 1, 1, 1, 1}));
    // 0 leaves −133: 200 − 57 = 143 takes 133 and passes 10 on; 204 takes 255.
    EXPECT_EQ(d, std::vector<int>({0, 0, 1, 1, 1, 1, 1}));
}

TEST(GrayScale, ReductionRunsTheProgressBarTwice) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, grays(3, 4, [](int x, int y) { return x * 40 + y; }));
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.grayLevelIndex = 0;
    ASSERT_EQ(runCommandHandler(session, grayScaleHandler), 0);
    // One split (0 → 100), then four rows.
    EXPECT_EQ(frontend.progressPositions, std::vector<int>({0, 100, 25, 50, 75, 100}));
}

TEST(GrayScale, SixteenLevelsSplitUpToFifteenTimes) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    DibImage target;
    ASSERT_EQ(createDib(frontend, target, 256, 1, 4, 16), 0);
    // 256 different grays: every cluster is split, 15 progress units in all.
    const DibImage source = grays(256, 1, [](int x, int) { return x; });
    ASSERT_EQ(reduceGrayLevels(session, target, source), 0);
    EXPECT_EQ(session.progress.progressNow, 15);
    // The levels rise with their index and every pixel's label is its level.
    for (int i = 1; i < 16; ++i)
        EXPECT_LT(target.paletteEntry(i - 1)[0], target.paletteEntry(i)[0]);
    std::uint8_t first = 0, last = 0;
    getIndex(target, first, 0, 0, 4);
    getIndex(target, last, 0, 255, 4);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 15);
}

// An indexed picture is counted and labelled by index; the result must be what its colours,
// read one by one from a true-colour copy, give.
TEST(GrayScale, IndexedPicturesReduceAsTheirColoursDo) {
    for (int depth : {1, 4, 8}) {
        SCOPED_TRACE(depth);
        const int w = 29, h = 13;
        std::vector<std::uint32_t> palette;
        for (int i = 0; i < (1 << depth); ++i)
            palette.push_back(std::uint32_t(i * 97 % 256) << 16 | std::uint32_t(i * 31 % 256) << 8 |
                              std::uint32_t(255 - i * 53 % 256));
        const DibImage indexed = test::makeIndexedImage(
            w, h, depth, palette, [&](int x, int y) { return (x * 7 + y * 13) % (1 << depth); });
        const DibImage colours = test::makeTrueColorImage(
            w, h, [&](int x, int y) { return test::rgbAt(indexed, x, y); });
        EXPECT_EQ(gatherGrayClusters(indexed).counts, gatherGrayClusters(colours).counts);
        const int entries = std::min(4, 1 << depth);
        const int targetDepth = depth == 1 ? 1 : 4;
        DibImage fromIndexed, fromColours;
        test::RecordingFrontend frontend;
        Session session(frontend);
        ASSERT_EQ(createDib(frontend, fromIndexed, w, h, std::uint16_t(targetDepth),
                            std::uint32_t(entries)),
                  0);
        ASSERT_EQ(createDib(frontend, fromColours, w, h, std::uint16_t(targetDepth),
                            std::uint32_t(entries)),
                  0);
        ASSERT_EQ(reduceGrayLevels(session, fromIndexed, indexed), 0);
        ASSERT_EQ(reduceGrayLevels(session, fromColours, colours), 0);
        EXPECT_TRUE(std::equal(fromIndexed.data.begin(), fromIndexed.data.end(),
                               fromColours.data.begin(), fromColours.data.end()));
    }
}

} // namespace
} // namespace vellora
