#include "color/mapToPalette.h"
#include "color/basicColors.h"
#include "color/colorTestImages.h"
#include "color/evenPalette.h"
#include "color/evenPaletteFile.h"
#include "color/medianCut.h"
#include "color/nearestPalette.h"
#include "color/referenceColor.h"
#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

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
        const DibImage source = noiseImage(width, height, bits, 17, 256);
        DibImage target = paletteTarget(source, 8, 147, extended);
        EXPECT_EQ(map(target, source, true), height);
        EXPECT_EQ(indicesOf(target), referenceDiffusedNearest(target, source)) << width;
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
        EXPECT_EQ(indicesOf(target),
                  diffuse ? referenceDiffusedNearest(target, one) : Bytes(24, 3));
        EXPECT_EQ(session.progress.progressNow, 4); // a row at a time either way
    }
}

// Per pixel the even lookup; diffused, a palette of its levels takes the channel-by-channel
// error path and one with an entry moved off its levels the general one, both as the reference.
TEST(MapToPalette, EvenPalettes) {
    const Bytes file = evenPaletteFileBytes(6, 6, 6);
    const EvenPaletteRecord record = readEvenPaletteRecord(file.data() + 1024);
    const DibImage source = noiseImage(37, 23, 24, 9, 256);
    DibImage plain = paletteTarget(source, 8, 216, file);
    map(plain, source, false, record, 521);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            std::uint8_t bgr[3], index = 0;
            getColor(source, bgr, y, x, 24);
            getIndex(plain, index, y, x, 8);
            ASSERT_EQ(index, evenPaletteIndex(record, bgr[0], bgr[1], bgr[2])) << x << "," << y;
        }
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
    const DibImage source = noiseImage(61, 203, 24, 8, 256);
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
        for (int y = 0; y < 203; ++y)
            for (int x = 0; x < 61; ++x) {
                std::uint8_t bgr[3], index = 0;
                getColor(source, bgr, y, x, 24);
                getIndex(target, index, y, x, 4);
                ASSERT_EQ(index, nearestPaletteIndex(target, bgr[0], bgr[1], bgr[2])) << threads;
            }
    }
    unsetenv("VELLORA_THREADS");
}

} // namespace
} // namespace vellora::test
