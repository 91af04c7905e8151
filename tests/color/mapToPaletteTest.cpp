// Mapping pictures to a palette: nearest entry, even lookup, error diffusion.
#include "color/mapToPalette.h"
#include "color/basicColors.h"
#include "color/colorTestImages.h"
#include "color/evenPaletteFile.h"
#include "color/medianCut.h"
#include "color/nearestPalette.h"
#include "color/referenceColor.h"
#include "support/recordingFrontend.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace vellora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

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
    const struct {
        int width;
        std::vector<int> levels, entries;
        bool diffuse;
        Bytes indices;
    } cases[] = {
        // Row 0: 100 → black, e = 100 sends 44 right, 31 below, 6 lower right; 144 → white,
        // e = −111 sends −20 lower left, −34 below. Row 1: 100 + 31 − 20 = 111 → black, e = 111
        // sends 49 right; 100 + 6 − 34 + 49 = 121 → black.
        {2, {100, 100, 100, 100}, {0, 255}, true, {0, 1, 0, 0}},
        {2, {100, 100, 100, 100}, {0, 255}, false, {0, 0, 0, 0}},
        // Entries 0 and 10: 5 is a tie (lower index), 6 goes up. e = 3 spreads 1 right and 1
        // below; e = −3 spreads nothing.
        {2, {3, 5}, {0, 10}, true, {0, 1}},
        {2, {7, 6}, {0, 10}, true, {1, 1}},
        {1, {3, 5}, {0, 10}, true, {0, 1}},
        {1, {7, 6}, {0, 10}, true, {1, 1}},
        // One column: 100 → black leaves 44 for the right, which is dropped; 90 + 31 = 121 stays
        // black (with the 44 it would have turned white).
        {1, {100, 90}, {0, 255}, true, {0, 0}},
    };
    for (const auto& c : cases) {
        const DibImage source =
            makeTrueColorImage(c.width, int(c.levels.size()) / c.width, [&](int x, int y) {
                return std::uint32_t(c.levels[y * c.width + x]) * 0x010101u;
            });
        DibImage target = makeIndexedImage(
            source.width, source.height, 1,
            {std::uint32_t(c.entries[0]) * 0x010101u, std::uint32_t(c.entries[1]) * 0x010101u},
            [](int, int) { return 0; });
        map(target, source, c.diffuse);
        EXPECT_EQ(indicesOf(target), c.indices) << c.levels[0] << " " << c.levels[1];
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
        RecordingFrontend frontend;
        Session session(frontend);
        DibImage target = makeImage(6, 4, 4, 4);
        ASSERT_EQ(medianCutPalette(session, target, one), 0);
        ASSERT_EQ(mapToPalette(session, target, one, diffuse, EvenPaletteRecord{}, 1), 0);
        EXPECT_EQ(indicesOf(target), diffuse ? diffusedNearest(target, one) : Bytes(24, 3));
        EXPECT_EQ(session.progress.progressNow, 4); // a row at a time either way
    }
}

// Per pixel the even lookup; diffused, a palette of its levels takes the channel-by-channel
// error path and one with an entry moved off its levels the general one, both as the reference.
TEST(MapToPalette, EvenPalettes) {
    const Bytes file = evenPaletteFileBytes(6, 6, 6);
    const EvenPaletteRecord record = readEvenPaletteRecord(file.data() + 1024);
    const DibImage source = randomPicture(37, 23, 24, 9, 256);
    DibImage plain = paletteTarget(source, 8, 216, file);
    map(plain, source, false, record, 521);
    EXPECT_EQ(indicesOf(plain), perPixel(source, [&](const std::uint8_t* c) {
                  return evenPaletteIndex(record, c[0], c[1], c[2]);
              }));
    for (const bool levelsOnly : {true, false}) {
        DibImage target = paletteTarget(source, 8, 216, file);
        if (!levelsOnly) target.paletteEntry(100)[1] = 77;
        map(target, source, true, record, 521);
        EXPECT_EQ(indicesOf(target),
                  referenceDiffused(target, source,
                                    [&](const int* a) {
                                        return evenPaletteIndex(record, std::uint8_t(a[0]),
                                                                std::uint8_t(a[1]),
                                                                std::uint8_t(a[2]));
                                    }))
            << levelsOnly;
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
        EXPECT_EQ(indicesOf(target), perPixel(source,
                                              [&](const std::uint8_t* c) {
                                                  return nearestPaletteIndex(target, c[0], c[1],
                                                                             c[2]);
                                              }))
            << threads;
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
