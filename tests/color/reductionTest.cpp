// The median cut, and mapping to a palette: nearest entry, even lookup, error diffusion.
#include "color/basicColors.h"
#include "color/colorTestImages.h"
#include "color/evenPaletteFile.h"
#include "color/mapToPalette.h"
#include "color/medianCut.h"
#include "color/nearestPalette.h"
#include "color/referenceColor.h"
#include "support/recordingFrontend.h"
#include "support/simdLevels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vellora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct CutRun {
    DibImage target;
    double splits = 0;
    std::vector<int> positions;
};

CutRun runCut(const DibImage& source, std::uint32_t colors) {
    RecordingFrontend frontend;
    Session session(frontend);
    CutRun run;
    const int bits[] = {1, 4, 8}; // for 2, up to 16 and more colours
    run.target = makeImage(source.width, source.height, bits[(colors > 2) + (colors > 16)], colors);
    EXPECT_EQ(medianCutPalette(session, run.target, source), 0);
    run.splits = session.progress.progressNow;
    run.positions = frontend.progressPositions;
    EXPECT_TRUE(frontend.messages.empty());
    return run;
}

// At every vector level, every box's partitions and sums, wide or narrow, keep the members' order.
void expectReferenceCut(const DibImage& source, std::uint32_t colors) {
    SCOPED_TRACE(colors);
    ReferenceCut expected;
    atEveryLevel([&](SimdLevel level) {
        const CutRun run = runCut(source, colors);
        if (level == SimdLevel::Baseline)
            expected = referenceMedianCut(source, colors, run.target.bitsPerPixel);
        EXPECT_EQ(
            Bytes(run.target.paletteEntry(0), run.target.paletteEntry(0) + run.target.paletteBytes),
            expected.palette)
            << simdLevelName(level);
        EXPECT_EQ(indicesOf(run.target), expected.indices) << simdLevelName(level);
        EXPECT_EQ(run.splits, expected.splits);
    });
}

// Palette, indices and progress as the whole-list reference gives them, at every colour count,
// for awkward sizes, every source depth and few levels (ties at the cut).
TEST(MedianCut, MatchesTheFullScanReference) {
    // width, height, depth, levels, stream
    const int cases[][5] = {{1, 1, 24, 256, 1},   {1, 7, 24, 256, 2},   {7, 1, 32, 256, 3},
                            {11, 13, 24, 256, 4}, {11, 13, 24, 3, 5},   {64, 48, 24, 256, 6},
                            {64, 48, 24, 5, 7},   {33, 17, 8, 256, 8},  {33, 17, 4, 256, 9},
                            {33, 17, 1, 256, 10}, {301, 31, 32, 16, 11}};
    for (const auto& [width, height, depth, levels, stream] : cases) {
        SCOPED_TRACE(stream);
        const DibImage source = randomPicture(width, height, depth, std::uint32_t(stream), levels);
        for (std::uint32_t colors = 2; colors <= 256; colors *= 2)
            expectReferenceCut(source, colors);
    }
    // The 256-colour reduction of other steps is the same cut.
    const DibImage source = randomPicture(37, 21, 24, 99, 256);
    DibImage indexed;
    ASSERT_TRUE(reduceTo256Colors(source, indexed));
    EXPECT_EQ(indexed.colorsUsed, 256u);
    const ReferenceCut expected = referenceMedianCut(source, 256, 8);
    EXPECT_EQ(Bytes(indexed.paletteEntry(0), indexed.paletteEntry(0) + indexed.paletteBytes),
              expected.palette);
    EXPECT_EQ(indicesOf(indexed), expected.indices);
    for (const auto& [colors, depth] : {std::pair{2u, 1}, {4u, 2}, {16u, 4}, {256u, 8}, {1u, 0}})
        EXPECT_EQ(medianCutDepth(colors), depth) << colors;
    // From 2^20 pixels on 2 workers the first cut is measured and split in halves at once, members
    // in one stable partition's order; quarters past 2^18 members are summed side by side, wide.
    // Green < 16, blue ≥ 240: Cr widest, with Cb lying above it and Y below.
    setenv("VELLORA_THREADS", "2", 1);
    const DibImage noise = randomPicture(2048, 1025, 24, 21, 256);
    const auto masked = [&](int x, int y) { return (rgbAt(noise, x, y) & 0xFF0F0F) | 0xF0; };
    expectReferenceCut(makeTrueColorImage(2048, 1025, masked), 16);
    unsetenv("VELLORA_THREADS");
}

TEST(MedianCut, HandWorkedCuts) {
    // One colour: at every split all members equal the mean and move up, so only box 2^k − 1
    // has members; the empty lower boxes report no progress: k splits of 2^k − 1 units.
    for (const std::uint32_t rgb : {0xFFFFFFu, 0x204080u})
        for (const auto& [colors, lastPosition] :
             {std::pair{2u, 100}, {4u, 66}, {8u, 42}, {16u, 26}, {256u, 3}}) {
            SCOPED_TRACE(colors);
            const CutRun run =
                runCut(makeTrueColorImage(5, 3, [&](int, int) { return rgb; }), colors);
            for (std::uint32_t i = 0; i < run.target.paletteEntries; ++i) {
                const std::uint8_t* e = run.target.paletteEntry(int(i));
                EXPECT_EQ(std::uint32_t(e[2] << 16 | e[1] << 8 | e[0]), i == colors - 1 ? rgb : 0u)
                    << i;
            }
            EXPECT_EQ(indicesOf(run.target), Bytes(15, std::uint8_t(colors - 1)));
            EXPECT_EQ(run.positions.empty() ? -1 : run.positions.back(), lastPosition);
        }
    // Red and blue split on Cb, black and white on Y; inverting with +0.49 gives them back exactly.
    for (const auto& [lower, upper] : {std::pair{0xFF0000u, 0x0000FFu}, {0x000000u, 0xFFFFFFu}}) {
        const CutRun run =
            runCut(makeTrueColorImage(4, 2, [&](int x, int) { return x % 2 ? upper : lower; }), 2);
        EXPECT_EQ(std::tuple(rgbAt(run.target, 0, 0), rgbAt(run.target, 1, 0), run.splits),
                  std::tuple(lower, upper, 1));
        EXPECT_EQ(indicesOf(run.target), (Bytes{0, 1, 0, 1, 0, 1, 0, 1}));
    }
}

// A target of the given size whose palette is the file's first entries.
DibImage paletteTarget(const DibImage& source, int bits, std::uint32_t colors,
                       const Bytes& palette) {
    DibImage target = makeImage(source.width, source.height, bits, colors);
    std::memcpy(target.paletteEntry(0), palette.data(),
                std::min<std::size_t>(palette.size(), 1024));
    return target;
}

int map(DibImage& target, const DibImage& source, bool diffuse,
        const EvenPaletteRecord& record = {}, int code = 256,
        std::vector<int>* positions = nullptr) {
    RecordingFrontend frontend;
    Session session(frontend);
    EXPECT_EQ(mapToPalette(session, target, source, diffuse, record, code), 0);
    if (positions) *positions = frontend.progressPositions;
    return int(session.progress.progressNow);
}

// The reference diffusion to the nearest entry (itself checked by hand below).
Bytes diffusedNearest(const DibImage& target, const DibImage& source) {
    return referenceDiffused(target, source, [&](const int* a) {
        return nearestPaletteIndex(target, std::uint8_t(a[0]), std::uint8_t(a[1]),
                                   std::uint8_t(a[2]));
    });
}

// The entry `choose` gives every pixel's colour (blue, green, red), in storage order.
template <class Choose> Bytes perPixel(const DibImage& source, const Choose& choose) {
    Bytes out;
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            std::uint8_t bgr[3] = {0, 0, 0};
            getColor(source, bgr, y, x, source.bitsPerPixel);
            out.push_back(choose(bgr));
        }
    return out;
}

TEST(MapToPalette, HandWorkedDiffusionOfGrays) {
    // width, grays in storage order, the two entries' grays, diffused, indices
    const std::tuple<int, std::vector<int>, std::vector<std::uint32_t>, bool, Bytes> cases[] = {
        // Row 0: 100 → black, e = 100 sends 44 right, 31 below, 6 lower right; 144 → white,
        // e = −111 sends −20 lower left, −34 below. Row 1: 100 + 31 − 20 = 111 → black, e = 111
        // sends 49 right; 100 + 6 − 34 + 49 = 121 → black.
        {2, {100, 100, 100, 100}, {0, 255}, true, {0, 1, 0, 0}},
        {2, {100, 100, 100, 100}, {0, 255}, false, {0, 0, 0, 0}},
        // Entries 0, 10: tied 5 takes 0, 6 goes up; e = 3 spreads 1 right and 1 below, e = −3 none.
        {2, {3, 5}, {0, 10}, true, {0, 1}},
        {2, {7, 6}, {0, 10}, true, {1, 1}},
        // One column: 100 → black, its 44 for the right dropped; 90 + 31 = 121 black (+44: white).
        {1, {100, 90}, {0, 255}, true, {0, 0}},
    };
    for (const auto& [width, levels, entries, diffuse, indices] : cases) {
        const DibImage source =
            makeTrueColorImage(width, int(levels.size()) / width, [&](int x, int y) {
                return std::uint32_t(levels[std::size_t(y * width + x)]) * 0x010101u;
            });
        DibImage target = makeIndexedImage(width, source.height, 1,
                                           {entries[0] * 0x010101u, entries[1] * 0x010101u},
                                           [](int, int) { return 0; });
        map(target, source, diffuse);
        EXPECT_EQ(indicesOf(target), indices) << levels[0] << " " << levels[1];
    }
}

TEST(MapToPalette, DiffusionMatchesTheFullBufferReference) {
    const Bytes extended = basicPaletteFileBytes(extendedColorKeywords());
    for (const auto& [width, height, bits] :
         {std::tuple{1, 1, 24}, {1, 9, 24}, {9, 1, 32}, {23, 17, 24}, {40, 30, 8}, {17, 5, 4}}) {
        const DibImage source = randomPicture(width, height, bits, 17, 256);
        DibImage target = paletteTarget(source, 8, 147, extended);
        EXPECT_EQ(map(target, source, true), height);
        EXPECT_EQ(indicesOf(target), diffusedNearest(target, source)) << width;
    }
    // One colour cut to four: only entry 3 holds it, entries 0 … 2 are black; diffusion maps by
    // distance, the plain mapping takes the cut's own box.
    const DibImage one = makeTrueColorImage(6, 4, [](int, int) { return 0x101010u; });
    for (const bool diffuse : {true, false}) {
        DibImage target = runCut(one, 4).target;
        EXPECT_EQ(map(target, one, diffuse, {}, 1), 4); // a row at a time either way
        EXPECT_EQ(indicesOf(target), diffuse ? diffusedNearest(target, one) : Bytes(24, 3));
    }
}

// Per pixel the even lookup; diffused, a palette of its levels takes the channel-by-channel
// error path and one with an entry moved off its levels the general one, both as the reference.
TEST(MapToPalette, EvenPalettes) {
    const Bytes file = evenPaletteFileBytes(6, 6, 6);
    const EvenPaletteRecord record = readEvenPaletteRecord(file.data() + 1024);
    const DibImage source = randomPicture(37, 23, 24, 9, 256);
    const auto even = [&](const auto* c) {
        return evenPaletteIndex(record, std::uint8_t(c[0]), std::uint8_t(c[1]), std::uint8_t(c[2]));
    };
    DibImage plain = paletteTarget(source, 8, 216, file);
    map(plain, source, false, record, 521);
    EXPECT_EQ(indicesOf(plain), perPixel(source, even));
    for (const bool levelsOnly : {true, false}) {
        DibImage target = paletteTarget(source, 8, 216, file);
        if (!levelsOnly) target.paletteEntry(100)[1] = 77;
        EvenPaletteLookup::ChannelLevels levels;
        const EvenPaletteLookup lookup(record); // 6 entries are far too few
        EXPECT_EQ(std::pair(lookup.channelLevels(target.paletteEntry(0), 216, levels),
                            lookup.channelLevels(target.paletteEntry(0), 6, levels)),
                  std::pair(levelsOnly, false));
        map(target, source, true, record, 521);
        EXPECT_EQ(indicesOf(target), referenceDiffused(target, source, even)) << levelsOnly;
    }
}

// Every pixel the nearest entry, whatever the thread count; the bar advances after every row.
TEST(MapToPalette, NearestEntriesOnAnyThreadCountWithProgressPerRow) {
    const DibImage source = randomPicture(61, 203, 24, 8, 256);
    const Bytes basic = basicPaletteFileBytes(basicColorKeywords());
    std::vector<int> perRow;
    for (int done = 1; done <= 203; ++done)
        if (perRow.empty() || perRow.back() != done * 100 / 203) perRow.push_back(done * 100 / 203);
    for (const char* threads : {"1", "2", "7"}) {
        setenv("VELLORA_THREADS", threads, 1);
        DibImage target = paletteTarget(source, 4, 16, basic);
        std::vector<int> positions;
        EXPECT_EQ(map(target, source, false, {}, 256, &positions), 203);
        EXPECT_EQ(positions, perRow) << threads;
        const auto nearest = [&](const std::uint8_t* c) {
            return nearestPaletteIndex(target, c[0], c[1], c[2]);
        };
        EXPECT_EQ(indicesOf(target), perPixel(source, nearest)) << threads;
    }
    unsetenv("VELLORA_THREADS");
}

DibImage paletteImage(int bitsPerPixel, const std::vector<std::uint32_t>& rgb,
                      std::uint32_t colorsUsed) {
    DibImage image = makeIndexedImage(1, 1, bitsPerPixel, rgb, [](int, int) { return 0; });
    image.colorsUsed = colorsUsed;
    return image;
}

TEST(NearestPaletteIndex, SmallestSquaredDistanceLowestIndexOnTiesEntriesInUse) {
    const DibImage image = paletteImage(4, {0x000000, 0x0A0000, 0x000A00, 0x0A0000, 0xFFFFFF}, 5);
    // 0x050000 is as near entry 0 as entry 1: the lower wins; entry 3 repeats entry 1.
    const std::pair<std::uint32_t, int> cases[] = {{0x000000, 0}, {0x050000, 0}, {0x060000, 1},
                                                   {0x0A0000, 1}, {0x050500, 0}, {0x000600, 2},
                                                   {0xC0C0C0, 4}, {0x000040, 0}};
    for (const auto& [rgb, index] : cases)
        EXPECT_EQ(nearestPaletteIndex(image, std::uint8_t(rgb), std::uint8_t(rgb >> 8),
                                      std::uint8_t(rgb >> 16)),
                  index)
            << std::hex << rgb;
    // Entry 1 is nearest but lies past colorsUsed = 1; with colorsUsed = 0 all entries count.
    EXPECT_EQ(nearestPaletteIndex(paletteImage(1, {0x000000, 0xFFFFFF}, 1), 250, 250, 250), 0);
    EXPECT_EQ(nearestPaletteIndex(paletteImage(1, {0x000000, 0xFFFFFF}, 0), 250, 250, 250), 1);
    // No palette at all keeps the previous result.
    EXPECT_EQ(nearestPaletteIndex(makeImage(1, 1, 24), 1, 2, 3, 7), 7);
}

} // namespace
} // namespace vellora::test
