// Gray scale and black and white.
#include "color/blackWhite.h"
#include "color/colorTestImages.h"
#include "color/grayScale.h"
#include "color/referenceColor.h"
#include "core/operationFrame.h"
#include "support/recordingFrontend.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

namespace vellora::test {
namespace {

using Ints = std::vector<int>;

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
        EXPECT_EQ(Ints({format.depth, format.entries, int(format.path)}),
                  Ints({depth, entries, path}))
            << sourceDepth << " " << count;
    }
    for (const auto& [index, count] : {std::pair{0, 2}, {-3, 2}, {3, 16}, {7, 256}})
        EXPECT_EQ(grayLevelCount(index), count) << index;
}

struct Gray {
    DibImage image;
    Gray(const DibImage& source, bool diffusion, int levels) {
        RecordingFrontend frontend;
        Session session(frontend);
        EXPECT_EQ(grayScaleToImage(session, source, image, diffusion, levels), 0);
    }
    Ints row(int y) const { // the indices
        const std::vector<std::uint8_t> all = indicesOf(image);
        return Ints(all.begin() + y * image.width, all.begin() + (y + 1) * image.width);
    }
    Ints entries() const { // the grays of the colours used
        Ints out;
        for (std::uint32_t i = 0; i < image.colorsUsed; ++i)
            out.push_back(image.paletteEntry(int(i))[0]);
        return out;
    }
};

TEST(GrayScale, HandWorkedReductions) {
    const struct {
        Ints values;
        int levels;
        bool diffusion;
        Ints entries, indices;
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
        const Gray g(grayRows(c.values, 3), c.diffusion, c.levels);
        EXPECT_EQ(g.image.bitsPerPixel, c.levels == 2 ? 1 : 4);
        EXPECT_EQ(g.entries(), c.entries) << c.values[1];
        EXPECT_EQ(g.row(c.diffusion ? 0 : 2), c.indices) << c.values[1];
    }
    // True colour at 256 levels is the ramp, each pixel its own gray.
    const std::uint32_t colors[4] = {0xFFFFFF, 0x00FF00, 0xFF0000, 0x0000FF};
    const Gray ramp(makeTrueColorImage(4, 1, [&](int x, int) { return colors[x]; }), true, 256);
    ASSERT_EQ(ramp.image.bitsPerPixel, 8);
    Ints all(256);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(ramp.entries(), all);
    EXPECT_EQ(ramp.row(0), Ints({255, 150, 76, 27}));
}

// Diffused reductions of noise against the full-buffer reference, choosing the nearest level
// of the result's palette (a level 255 or more away never, keeping the one before); three
// values a channel give many blacks, which errors push below 0.
TEST(GrayScale, DiffusionMatchesTheFullBufferReference) {
    for (const auto& [levels, values] : {std::pair{2, 256}, {8, 256}, {64, 256}, {2, 3}, {4, 3}}) {
        const DibImage source = randomPicture(97, 61, 24, std::uint32_t(levels), values);
        const Gray g(source, true, levels);
        // Its grays as a picture: diffusing three equal channels is diffusing the gray.
        const DibImage grays = makeTrueColorImage(97, 61, [&](int x, int y) {
            std::uint8_t bgr[3];
            getColor(source, bgr, y, x, 24);
            return std::uint32_t(grayLevel(bgr)) * 0x010101u;
        });
        int chosen = 0;
        EXPECT_EQ(indicesOf(g.image),
                  referenceDiffused(g.image, grays,
                                    [&](const int* v) {
                                        for (int i = 0, best = 255; i < int(g.image.colorsUsed);
                                             ++i)
                                            if (std::abs(*v - g.image.paletteEntry(i)[0]) < best)
                                                best = std::abs(*v - g.image.paletteEntry(i)[0]),
                                                chosen = i;
                                        return chosen;
                                    }))
            << levels;
    }
}

TEST(GrayScale, PaletteConversionKeepsThePixelBytesAndGraysThePalette) {
    for (const auto& [depth, levels] : {std::pair{8, 256}, {4, 16}, {4, 128}, {1, 2}, {1, 64}}) {
        const DibImage source = randomPicture(9, 4, depth, unsigned(levels));
        const Gray g(source, true, levels);
        ASSERT_EQ(g.image.bitsPerPixel, depth);
        EXPECT_EQ(0, std::memcmp(g.image.row(0), source.row(0), std::size_t(source.stride) * 4));
        for (int i = 0; i < (1 << depth); ++i) {
            const std::uint8_t* entry = g.image.paletteEntry(i);
            EXPECT_EQ(Ints(entry, entry + 3), Ints(3, grayLevel(source.paletteEntry(i)))) << i;
        }
    }
}

TEST(GrayScale, ProgressOfTheSplitsAndTheRows) {
    RecordingFrontend frontend;
    Session session(frontend);
    setCurrentPicture(session, makeTrueColorImage(3, 4, [](int x, int y) {
                          return std::uint32_t(x * 40 + y) * 0x010101u;
                      }));
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.grayLevelIndex = 0;
    ASSERT_EQ(runCommandHandler(session, grayScaleHandler), 0);
    // One split (0 → 100), then four rows.
    EXPECT_EQ(frontend.progressPositions, Ints({0, 100, 25, 50, 75, 100}));
    // 256 different grays at 16 levels: every cluster is split, 15 units in all; the levels
    // rise with their index and every pixel's label is its level.
    DibImage target;
    ASSERT_EQ(createDib(frontend, target, 256, 1, 4, 16), 0);
    Ints ramp(256);
    std::iota(ramp.begin(), ramp.end(), 0);
    ASSERT_EQ(reduceGrayLevels(session, target, grayRows(ramp)), 0);
    EXPECT_EQ(session.progress.progressNow, 15);
    for (int i = 1; i < 16; ++i)
        EXPECT_LT(target.paletteEntry(i - 1)[0], target.paletteEntry(i)[0]);
    EXPECT_EQ(indicesOf(target)[0], 0);
    EXPECT_EQ(indicesOf(target)[255], 15);
}

// An indexed picture is counted and labelled by index; the result must be what its colours,
// read one by one from a true-colour copy, give.
TEST(GrayScale, IndexedPicturesReduceAsTheirColoursDo) {
    for (int depth : {1, 4, 8}) {
        SCOPED_TRACE(depth);
        const DibImage indexed = randomPicture(29, 13, depth, unsigned(depth));
        const DibImage colours =
            makeTrueColorImage(29, 13, [&](int x, int y) { return rgbAt(indexed, x, y); });
        EXPECT_EQ(gatherGrayClusters(indexed).counts, gatherGrayClusters(colours).counts);
        RecordingFrontend frontend;
        Session session(frontend);
        DibImage reduced[2];
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(createDib(frontend, reduced[i], 29, 13, depth == 1 ? 1 : 4,
                                std::min(4, 1 << depth)),
                      0);
            ASSERT_EQ(reduceGrayLevels(session, reduced[i], i ? colours : indexed), 0);
        }
        EXPECT_EQ(reduced[0].data, reduced[1].data);
    }
}

// Pixels are counted by weighted sum in bands of rows, one per worker: every thread count
// gives each colour its own count.
TEST(GrayScale, ClustersCountEveryPixelOnAnyThreadCount) {
    const DibImage picture = makeTrueColorImage(3, 200, [](int x, int y) {
        return y < 150 ? 0x00FF00u : x ? 0xFFFFFFu : 0u;
    });
    const std::uint8_t green[3] = {0, 255, 0}, white[3] = {255, 255, 255};
    for (const char* threads : {"1", "2", "3"}) {
        setenv("VELLORA_THREADS", threads, 1);
        const std::vector<std::uint64_t> counts = gatherGrayClusters(picture).counts;
        EXPECT_EQ(counts[std::size_t(grayWeightedSum(green))], 450u) << threads;
        EXPECT_EQ(counts[std::size_t(grayWeightedSum(white))], 100u) << threads;
        EXPECT_EQ(counts[0], 50u) << threads;
        EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), std::uint64_t(0)), 600u);
    }
    unsetenv("VELLORA_THREADS");
}

// Row 0 of the black and white result: 1 white, 0 black.
Ints whites(const DibImage& source, const BlackWhiteRequest& request) {
    RecordingFrontend frontend;
    Session session(frontend);
    DibImage result;
    EXPECT_EQ(blackWhiteToImage(session, source, result, request), 0);
    EXPECT_EQ(result.bitsPerPixel, 1);
    EXPECT_TRUE(frontend.messages.empty());
    Ints out;
    for (const std::uint32_t rgb : rowColors(result))
        out.push_back(rgb == 0xFFFFFFu);
    return out;
}

TEST(BlackWhite, HandWorkedRows) {
    // diffusion, median cut, threshold, stretch, outset, endset
    const BlackWhiteRequest threshold0{false, false, 0}, threshold255{false, false, 255},
        threshold128{false, false, 128}, stretched{false, false, 101, true, 100, 100};
    const struct {
        Ints grays;
        BlackWhiteRequest request;
        Ints whites;
    } cases[] = {
        {{10, 200, 60, 150, 100}, {}, {0, 1, 0, 1, 0}},         // median cut: the mean 105 splits
        {{0, 127, 128, 254, 255}, threshold0, {1, 1, 1, 1, 1}}, // white at or above
        {{0, 127, 128, 254, 255}, threshold255, {0, 0, 0, 0, 1}},
        {{0, 127, 128, 254, 255}, threshold128, {0, 0, 1, 1, 1}},
        // Diffusion decides at 128 whatever the threshold: 100 → black, +44 → 144 white,
        // −48 → 52 black, +23 → 123 black.
        {{100, 100, 100, 100}, {true, false, 0}, {0, 1, 0, 0}},
        {{100, 100, 100, 100}, {true, false, 200}, {0, 1, 0, 0}},
        {{0, 40, 255}, stretched, {0, 0, 0}}, // every gray becomes 100, below the threshold
    };
    for (const auto& c : cases)
        EXPECT_EQ(whites(grayRows(c.grays), c.request), c.whites);
    // Pure green (150) and pure blue (27) from a palette: the mean 88.5 splits them.
    EXPECT_EQ(
        whites(makeIndexedImage(4, 1, 4, {0x00FF00, 0x0000FF}, [](int x, int) { return x % 2; }),
               {}),
        Ints({1, 0, 1, 0}));
    // Uniform black keeps index 1 with the palette white, black.
    RecordingFrontend frontend;
    Session session(frontend);
    DibImage black;
    ASSERT_EQ(blackWhiteToImage(session, grayRows({0, 0, 0, 0}, 3), black, {}), 0);
    EXPECT_EQ(black.paletteEntry(0)[0], 255);
    EXPECT_EQ(black.paletteEntry(1)[0], 0);
    EXPECT_EQ(indicesOf(black)[11], 1);
}

TEST(BlackWhite, StretchMapsTheGraysOntoOutsetEndset) {
    // colours used 3: entries 20, 100, 200 → 10 … 190 by (v − 20) × 1 + 10
    DibImage image =
        makeIndexedImage(2, 1, 4, {0x141414, 0x646464, 0xC8C8C8}, [](int x, int) { return x; });
    stretchGrayPalette(image, 10, 190);
    EXPECT_EQ(image.paletteEntry(0)[0], 10);
    EXPECT_EQ(image.paletteEntry(1)[2], 90);
    EXPECT_EQ(image.paletteEntry(2)[1], 190);
    EXPECT_EQ(image.paletteEntry(3)[0], 0); // beyond the colours used
    // A single gray takes the outset instead of dividing by zero.
    DibImage single = makeIndexedImage(2, 1, 1, {0x323232, 0x323232}, [](int x, int) { return x; });
    stretchGrayPalette(single, 10, 200);
    EXPECT_EQ(single.paletteEntry(0)[0], 10);
    EXPECT_EQ(single.paletteEntry(1)[0], 10);
}

TEST(BlackWhite, RangeThenOrderAndTheCommandRefuses) {
    const std::string_view range = "out of range, which must be 0 ~ 255";
    const std::string_view order = "outset must be smaller than endset";
    const struct {
        std::int64_t threshold, outset, endset;
        std::string_view message;
    } cases[] = {{300, 1, 255, range}, {-1, 1, 255, range}, {128, 256, 255, range},
                 {128, 9, 8, order},   {128, 9, 9, ""},     {255, 0, 255, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(blackWhiteValuesError(c.threshold, c.outset, c.endset), c.message) << c.threshold;
    RecordingFrontend frontend;
    Session session(frontend);
    setCurrentPicture(session, grayRows({1, 2, 3}));
    const std::string before = session.currentPath;
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.bwThreshold = 300;
    EXPECT_EQ(runCommandHandler(session, blackWhiteHandler), 1);
    EXPECT_EQ(session.currentPath, before);
    EXPECT_EQ(frontend.messages, (std::vector<Message>{{"alart", std::string(range)}}));
}

} // namespace
} // namespace vellora::test
