#include "color/colorTestImages.h"
#include "color/grayScale.h"
#include "color/referenceColor.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace vellora {
namespace {

TEST(GrayScale, LevelsFormatsAndCounts) {
    const std::pair<std::uint32_t, int> levels[] = {
        {0xFFFFFF, 255}, {0x00FF00, 150}, {0xFF0000, 76}, {0x0000FF, 27},
        {0x000000, 0},   {0x808080, 128}, {0x010101, 1}}; // weighted and truncated
    for (const auto& [rgb, gray] : levels) {
        const std::uint8_t bgr[3] = {std::uint8_t(rgb), std::uint8_t(rgb >> 8),
                                     std::uint8_t(rgb >> 16)};
        EXPECT_EQ(grayLevel(bgr), gray) << std::hex << rgb;
    }
    constexpr int C = int(GrayPath::PaletteConversion), R = int(GrayPath::Reduction),
                  D = int(GrayPath::Direct);
    // source depth, levels, depth, entries, path
    const int formats[][5] = {{1, 2, 1, 2, C},      {1, 256, 1, 2, C},   {4, 2, 1, 2, R},
                              {4, 4, 4, 4, R},      {4, 8, 4, 8, R},     {4, 16, 4, 16, C},
                              {4, 256, 4, 16, C},   {8, 2, 1, 2, R},     {8, 16, 4, 16, R},
                              {8, 32, 8, 32, R},    {8, 128, 8, 128, R}, {8, 256, 8, 256, C},
                              {24, 2, 1, 2, R},     {24, 4, 4, 4, R},    {32, 64, 8, 64, R},
                              {24, 256, 8, 256, D}, {32, 256, 8, 256, D}};
    for (const auto& [sourceDepth, count, depth, entries, path] : formats) {
        const GrayFormat format = grayResultFormat(sourceDepth, count);
        EXPECT_EQ(format.depth, depth) << sourceDepth << " " << count;
        EXPECT_EQ(format.entries, entries) << sourceDepth << " " << count;
        EXPECT_EQ(int(format.path), path) << sourceDepth << " " << count;
    }
    for (const auto& [index, count] : {std::pair{0, 2}, {-3, 2}, {3, 16}, {7, 256}})
        EXPECT_EQ(grayLevelCount(index), count) << index;
}

struct Gray {
    DibImage image;
    test::RecordingFrontend frontend;
    Gray(const DibImage& source, bool diffusion, int levels) {
        Session session(frontend);
        EXPECT_EQ(grayScaleToImage(session, source, image, diffusion, levels), 0);
    }
    std::vector<int> indices(int y = 0) const {
        std::vector<int> out;
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t i = 0;
            getIndex(image, i, y, x, image.bitsPerPixel);
            out.push_back(i);
        }
        return out;
    }
    std::vector<int> entries() const {
        std::vector<int> out;
        for (std::uint32_t i = 0; i < image.colorsUsed; ++i)
            out.push_back(image.paletteEntry(int(i))[0]);
        return out;
    }
};

TEST(GrayScale, HandWorkedReductions) {
    const struct {
        std::vector<int> values;
        int levels;
        bool diffusion;
        std::vector<int> entries, indices;
    } cases[] = {
        {{90, 90, 90, 90, 90}, 2, false, {0, 90}, {1, 1, 1, 1, 1}}, // uniform: the upper label
        {{0, 0, 0, 0, 0}, 2, false, {0, 0}, {0, 0, 0, 0, 0}}, // the first of two equal entries
        // Mean 120: {10, 20} below (mean 15), {200, 250} at or above (mean 225).
        {{10, 200, 20, 250}, 2, false, {15, 225}, {0, 1, 0, 1}},
        // Two grays at four levels leave the lower labels black.
        {{60, 180, 60, 180, 60, 180}, 4, false, {0, 60, 0, 180}, {1, 3, 1, 3, 1, 3}},
        // Mean 202.9: {0, 200, 200} below (mean 133), the 255s above. Diffused, 0 leaves −133:
        // 200 − 57 = 143 takes 133 and passes 10 on; 204 takes 255.
        {{0, 200, 200, 255, 255, 255, 255}, 2, false, {133, 255}, {0, 1, 1, 1, 1, 1, 1}},
        {{0, 200, 200, 255, 255, 255, 255}, 2, true, {133, 255}, {0, 0, 1, 1, 1, 1, 1}},
    };
    for (const auto& c : cases) {
        const Gray g(test::grayRows(c.values, 3), c.diffusion, c.levels);
        EXPECT_EQ(g.image.bitsPerPixel, c.levels == 2 ? 1 : 4);
        EXPECT_EQ(g.entries(), c.entries) << c.values[1];
        EXPECT_EQ(g.indices(c.diffusion ? 0 : 2), c.indices) << c.values[1];
    }
    // True colour at 256 levels is the ramp, each pixel its own gray.
    const std::uint32_t colors[4] = {0xFFFFFF, 0x00FF00, 0xFF0000, 0x0000FF};
    const Gray ramp(test::makeTrueColorImage(4, 1, [&](int x, int) { return colors[x]; }), true,
                    256);
    ASSERT_EQ(ramp.image.bitsPerPixel, 8);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(ramp.entries()[i], i);
    EXPECT_EQ(ramp.indices(), std::vector<int>({255, 150, 76, 27}));
}

// Diffused reductions of noise against the full-buffer reference, choosing the nearest level
// of the result's palette (a level 255 or more away never, keeping the one before); three
// values a channel give many blacks, which errors push below 0.
TEST(GrayScale, DiffusionMatchesTheFullBufferReference) {
    for (const auto& [levels, values] : {std::pair{2, 256}, {8, 256}, {64, 256}, {2, 3}, {4, 3}}) {
        const DibImage source = test::noiseImage(97, 61, 24, std::uint32_t(levels), values);
        const Gray g(source, true, levels);
        // Its grays as a picture: diffusing three equal channels is diffusing the gray.
        const DibImage grays = test::makeTrueColorImage(97, 61, [&](int x, int y) {
            std::uint8_t bgr[3];
            getColor(source, bgr, y, x, 24);
            return std::uint32_t(grayLevel(bgr)) * 0x010101u;
        });
        int chosen = 0;
        EXPECT_EQ(test::indicesOf(g.image),
                  test::referenceDiffused(
                      g.image, grays,
                      [&](const int* v) {
                          for (int i = 0, best = 255; i < int(g.image.colorsUsed); ++i)
                              if (std::abs(*v - g.image.paletteEntry(i)[0]) < best)
                                  best = std::abs(*v - g.image.paletteEntry(i)[0]), chosen = i;
                          return chosen;
                      }))
            << levels;
    }
}

TEST(GrayScale, PaletteConversionKeepsThePixelBytesAndGraysThePalette) {
    for (const auto& [depth, levels] : {std::pair{8, 256}, {4, 16}, {4, 128}, {1, 2}, {1, 64}}) {
        std::vector<std::uint32_t> palette;
        for (int i = 0; i < (1 << depth); ++i)
            palette.push_back(std::uint32_t(i * 0x0B1D07 + 0x00FF00 * (i % 2)));
        const DibImage source = test::makeIndexedImage(
            9, 4, depth, palette, [&](int x, int y) { return (x * 5 + y) % (1 << depth); });
        const Gray g(source, true, levels);
        ASSERT_EQ(g.image.bitsPerPixel, depth);
        EXPECT_EQ(0, std::memcmp(g.image.row(0), source.row(0), std::size_t(source.stride) * 4));
        for (int i = 0; i < (1 << depth); ++i) {
            const std::uint8_t* entry = g.image.paletteEntry(i);
            EXPECT_EQ(entry[0], grayLevel(source.paletteEntry(i))) << depth << " " << i;
            EXPECT_EQ(entry[1], entry[0]);
            EXPECT_EQ(entry[2], entry[0]);
        }
    }
}

TEST(GrayScale, ProgressOfTheSplitsAndTheRows) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, test::makeTrueColorImage(3, 4, [](int x, int y) {
                                return std::uint32_t(x * 40 + y) * 0x010101u;
                            }));
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.grayLevelIndex = 0;
    ASSERT_EQ(runCommandHandler(session, grayScaleHandler), 0);
    // One split (0 → 100), then four rows.
    EXPECT_EQ(frontend.progressPositions, std::vector<int>({0, 100, 25, 50, 75, 100}));
    // 256 different grays at 16 levels: every cluster is split, 15 units in all; the levels
    // rise with their index and every pixel's label is its level.
    DibImage target;
    ASSERT_EQ(createDib(frontend, target, 256, 1, 4, 16), 0);
    std::vector<int> ramp(256);
    for (int i = 0; i < 256; ++i)
        ramp[i] = i;
    ASSERT_EQ(reduceGrayLevels(session, target, test::grayRows(ramp)), 0);
    EXPECT_EQ(session.progress.progressNow, 15);
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
        std::vector<std::uint32_t> palette;
        for (int i = 0; i < (1 << depth); ++i)
            palette.push_back(std::uint32_t(i * 97 % 256) << 16 | std::uint32_t(i * 31 % 256) << 8 |
                              std::uint32_t(255 - i * 53 % 256));
        const DibImage indexed = test::makeIndexedImage(
            29, 13, depth, palette, [&](int x, int y) { return (x * 7 + y * 13) % (1 << depth); });
        const DibImage colours = test::makeTrueColorImage(
            29, 13, [&](int x, int y) { return test::rgbAt(indexed, x, y); });
        EXPECT_EQ(gatherGrayClusters(indexed).counts, gatherGrayClusters(colours).counts);
        test::RecordingFrontend frontend;
        Session session(frontend);
        DibImage fromIndexed, fromColours;
        const std::uint16_t bits = depth == 1 ? 1 : 4;
        ASSERT_EQ(createDib(frontend, fromIndexed, 29, 13, bits, std::min(4, 1 << depth)), 0);
        ASSERT_EQ(createDib(frontend, fromColours, 29, 13, bits, std::min(4, 1 << depth)), 0);
        ASSERT_EQ(reduceGrayLevels(session, fromIndexed, indexed), 0);
        ASSERT_EQ(reduceGrayLevels(session, fromColours, colours), 0);
        EXPECT_EQ(fromIndexed.data, fromColours.data);
    }
}

} // namespace
} // namespace vellora
