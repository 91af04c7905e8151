#include "color/colorTestImages.h"
#include "color/posterize.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <vector>

namespace vellora {
namespace {

using test::rgbAt;

TEST(Posterize, FormatFromTheProductOfTheCountsAndLevelsAsRoundedQuotients) {
    const int formats[][5] = {{1, 1, 2, 1, 2},     {1, 1, 3, 4, 3},     {2, 2, 2, 4, 8},
                              {4, 2, 2, 4, 16},    {17, 1, 1, 8, 17},   {6, 6, 6, 8, 216},
                              {1, 15, 17, 8, 255}, {16, 16, 1, 8, 256}, {257, 1, 1, 24, 257},
                              {7, 7, 7, 24, 343}};
    for (const auto& [blue, green, red, depth, colors] : formats) {
        const PosterFormat format = posterResultFormat({blue, green, red});
        EXPECT_EQ(format.depth, depth) << blue << " " << green << " " << red;
        EXPECT_EQ(format.colors, colors) << blue << " " << green << " " << red;
    }
    // value, levels, component, level index; the steps are 255, 127, 42, 15 (the quotient 17
    // of 255 / 15 lies above the top level and is limited to it), 2.
    const int channels[][4] = {{127, 2, 0, 0},       {128, 2, 255, 1},   {255, 3, 254, 2},
                               {190, 3, 127, 1},     {191, 3, 254, 2},   {255, 7, 252, 6},
                               {255, 17, 255, 16},   {240, 17, 240, 16}, {200, 1, 16, 0},
                               {255, 128, 254, 127}, {3, 128, 2, 1}};
    for (const auto& [value, levels, component, index] : channels) {
        EXPECT_EQ(posterComponent(value, levels), component) << value << " " << levels;
        EXPECT_EQ(posterLevelIndex(value, levels), index) << value << " " << levels;
    }
}

DibImage posterize(const DibImage& source, const LevelCounts& levels) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    DibImage target;
    EXPECT_EQ(posterizeToImage(session, source, target, levels), 0);
    return target;
}

TEST(Posterize, HandWorkedPictures) {
    const struct {
        LevelCounts levels; // blue, green, red
        std::vector<std::uint32_t> pixels, colors;
        int depth, firstIndex;
    } cases[] = {
        // One level is the 16 of a single division; the default splits red only.
        {{1, 1, 2},
         {0x7FFFFF, 0x800000, 0xFF0000, 0},
         {0x001010, 0xFF1010, 0xFF1010, 0x001010},
         1,
         0},
        {{2, 2, 2},
         {0x7F7F7F, 0x808080, 0x80007F, 0x0080FF},
         {0, 0xFFFFFF, 0xFF0000, 0x00FFFF},
         4,
         0},
        {{6, 6, 6}, {0xFFFFFF, 0x000000, 0x336699}, {0xFFFFFF, 0x000000, 0x336699}, 8, 215},
        // 43 → 42, 21 → 0 (the remainder 21 is not above the half step 21)
        {{7, 7, 7}, {0xFFFFFF, 0x2B0015}, {0xFCFCFC, 0x2A0000}, 24, -1},
        // red level 16, green level 0, one blue level: index 16 × 15
        {{1, 15, 17}, {0xFF0000, 0x0F0000}, {0xFF0010, 0x0F0010}, 8, 240},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.depth);
        const DibImage result =
            posterize(test::makeTrueColorImage(int(c.pixels.size()), 1,
                                               [&](int x, int) { return c.pixels[x]; }),
                      c.levels);
        ASSERT_EQ(result.bitsPerPixel, c.depth);
        EXPECT_EQ(test::rowColors(result), c.colors);
        if (c.firstIndex < 0) continue;
        std::uint8_t index = 0;
        getIndex(result, index, 0, 0, c.depth);
        EXPECT_EQ(index, c.firstIndex);
        const int combinations = c.levels[0] * c.levels[1] * c.levels[2];
        EXPECT_EQ(result.colorsUsed, std::uint32_t(combinations));
        EXPECT_TRUE(combinations >= int(result.paletteEntries) ||
                    result.paletteEntry(combinations)[0] == 0); // past the combinations
    }
}

// A palette picture posterizes as its colours do.
TEST(Posterize, IndexedPicturesAsTheirColours) {
    const DibImage indexed = test::noiseImage(37, 5, 8, 3);
    const DibImage colours =
        test::makeTrueColorImage(37, 5, [&](int x, int y) { return rgbAt(indexed, x, y); });
    for (const LevelCounts levels : {LevelCounts{3, 5, 4}, LevelCounts{7, 8, 9}})
        EXPECT_EQ(posterize(indexed, levels).data, posterize(colours, levels).data);
}

TEST(Posterize, LevelsOneTo128NotAllOne) {
    // common, levels, red, green, blue, valid
    const int cases[][6] = {{0, 2, 1, 1, 1, 0},   {1, 1, 2, 2, 2, 0},   {1, 2, 1, 1, 1, 1},
                            {1, 128, 1, 1, 1, 1}, {1, 129, 1, 1, 1, 0}, {0, 1, 2, 1, 1, 1},
                            {0, 1, 1, 1, 128, 1}, {0, 1, 0, 2, 2, 0},   {0, 1, 2, 129, 2, 0}};
    for (const auto& [common, rgb, red, green, blue, valid] : cases)
        EXPECT_EQ(posterLevelsValid(common, rgb, red, green, blue), bool(valid))
            << common << " " << rgb << " " << red << green << blue;
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
