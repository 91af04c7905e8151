#include "color/mapToPalette.h"
#include "color/basicColors.h"
#include "color/colorTestImages.h"
#include "color/conversionCode.h"
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

std::vector<std::uint8_t> indicesOf(const DibImage& image) {
    std::vector<std::uint8_t> result;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t index = 0;
            getIndex(image, index, y, x, image.bitsPerPixel);
            result.push_back(index);
        }
    return result;
}

// A gray picture of the given levels, one column per value, rows in stored order.
DibImage grayPicture(int width, const std::vector<int>& levels) {
    const int height = int(levels.size()) / width;
    return makeTrueColorImage(width, height, [&](int x, int y) {
        const std::uint32_t v = std::uint32_t(levels[std::size_t(y * width + x)]);
        return v << 16 | v << 8 | v;
    });
}

DibImage grayTarget(int width, int height, const std::vector<int>& entries) {
    std::vector<std::uint32_t> rgb;
    for (const int v : entries)
        rgb.push_back(std::uint32_t(v) * 0x010101u);
    return makeIndexedImage(width, height, entries.size() <= 2 ? 1 : 4, rgb,
                            [](int, int) { return 0; });
}

struct MapResult {
    std::vector<std::uint8_t> indices;
    double rows = 0;
    std::vector<int> positions;
};

MapResult mapBasic(DibImage& target, const DibImage& source, bool diffuse) {
    RecordingFrontend frontend;
    Session session(frontend);
    EXPECT_EQ(mapToPalette(session, target, source, diffuse, EvenPaletteRecord{}, 256), 0);
    return {indicesOf(target), session.progress.progressNow, frontend.progressPositions};
}

// What the bar shows when it advances after every row.
std::vector<int> positionsOfOneStepPerRow(int rows) {
    std::vector<int> positions;
    for (int done = 1; done <= rows; ++done) {
        const int p = done * 100 / rows;
        if (positions.empty() || positions.back() != p) positions.push_back(p);
    }
    return positions;
}

TEST(MapToPalette, HandWorkedDiffusionOnTwoByTwo) {
    // Row 0: 100 → black, e = 100 sends 44 right, 31 below, 6 lower right; 144 → white,
    // e = −111 sends −20 lower left, −34 below. Row 1: 100 + 31 − 20 = 111 → black, e = 111
    // sends 49 right; 100 + 6 − 34 + 49 = 121 → black.
    const DibImage source = grayPicture(2, {100, 100, 100, 100});
    DibImage target = grayTarget(2, 2, {0, 255});
    EXPECT_EQ(mapBasic(target, source, true).indices, (std::vector<std::uint8_t>{0, 1, 0, 0}));
    DibImage plain = grayTarget(2, 2, {0, 255});
    EXPECT_EQ(mapBasic(plain, source, false).indices, (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST(MapToPalette, ErrorRoundingIsAsymmetric) {
    // Entries 0 and 10: 5 is a tie (lower index), 6 goes up. e = 3 spreads 1 right and 1 below;
    // e = −3 spreads nothing.
    const struct {
        int width;
        std::vector<int> levels;
        std::vector<std::uint8_t> indices;
    } cases[] = {
        {2, {3, 5}, {0, 1}}, // 5 + 1 → 10
        {2, {7, 6}, {1, 1}}, // 6 + 0 stays nearer 10
        {1, {3, 5}, {0, 1}}, // the same below
        {1, {7, 6}, {1, 1}},
    };
    for (const auto& c : cases) {
        const DibImage source = grayPicture(c.width, c.levels);
        DibImage target = grayTarget(source.width, source.height, {0, 10});
        EXPECT_EQ(mapBasic(target, source, true).indices, c.indices) << c.levels[0];
    }
}

TEST(MapToPalette, ErrorPastTheRightEdgeNeverWrapsToTheNextRow) {
    // One column: 100 → black leaves 44 for the right, which is dropped; 90 + 31 = 121 stays
    // black (with the 44 it would have turned white).
    const DibImage source = grayPicture(1, {100, 90});
    DibImage target = grayTarget(1, 2, {0, 255});
    EXPECT_EQ(mapBasic(target, source, true).indices, (std::vector<std::uint8_t>{0, 0}));
}

TEST(MapToPalette, DiffusionMatchesTheFullBufferReference) {
    const struct {
        int width, height, sourceBits;
    } cases[] = {{1, 1, 24}, {1, 9, 24}, {9, 1, 32}, {23, 17, 24}, {40, 30, 8}, {17, 5, 4}};
    for (const auto& c : cases) {
        const DibImage source = noiseImage(c.width, c.height, c.sourceBits, 17, 256);
        DibImage target = makeImage(c.width, c.height, 8, 147);
        const std::vector<std::uint8_t> palette = basicPaletteFileBytes(extendedColorKeywords());
        std::memcpy(target.paletteEntry(0), palette.data(), palette.size());
        const MapResult result = mapBasic(target, source, true);
        EXPECT_EQ(result.indices, referenceDiffusedNearest(target, source)) << c.width;
        EXPECT_EQ(result.rows, c.height);
    }
}

TEST(MapToPalette, MedianCutWithDiffusionUsesTheNearestEntryEvenOfAnEmptyBox) {
    // One colour: only entry 3 holds it, entries 0 … 2 are black; diffusion maps by distance.
    const DibImage source = makeTrueColorImage(6, 4, [](int, int) { return 0x101010u; });
    RecordingFrontend frontend;
    Session session(frontend);
    DibImage target = makeImage(6, 4, 4, 4);
    ASSERT_EQ(medianCutPalette(session, target, source), 0);
    ASSERT_EQ(mapToPalette(session, target, source, true, EvenPaletteRecord{}, 1), 0);
    EXPECT_EQ(indicesOf(target), referenceDiffusedNearest(target, source));
    DibImage kept = makeImage(6, 4, 4, 4);
    ASSERT_EQ(medianCutPalette(session, kept, source), 0);
    ASSERT_EQ(mapToPalette(session, kept, source, false, EvenPaletteRecord{}, 1), 0);
    EXPECT_EQ(indicesOf(kept), std::vector<std::uint8_t>(24, 3));
    EXPECT_EQ(session.progress.progressNow, 4);
}

TEST(MapToPalette, EvenPaletteLookupPerPixel) {
    const DibImage source = noiseImage(13, 7, 24, 5, 256);
    const std::vector<std::uint8_t> file = evenPaletteFileBytes(8, 6, 5);
    const EvenPaletteRecord record = readEvenPaletteRecord(file.data() + 1024);
    DibImage target = makeImage(13, 7, 8, 240);
    std::memcpy(target.paletteEntry(0), file.data(), 1024);
    RecordingFrontend frontend;
    Session session(frontend);
    ASSERT_EQ(mapToPalette(session, target, source, false, record, 522), 0);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) {
            std::uint8_t bgr[3], index = 0;
            getColor(source, bgr, y, x, 24);
            getIndex(target, index, y, x, 8);
            ASSERT_EQ(index, evenPaletteIndex(record, bgr[0], bgr[1], bgr[2])) << x << "," << y;
        }
}

// A palette of its levels takes the channel-by-channel error path; with one entry moved off
// its levels it takes the general one. Both must diffuse as the full-buffer reference does.
TEST(MapToPalette, EvenPaletteDiffusionMatchesTheFullBufferReference) {
    const std::vector<std::uint8_t> file = evenPaletteFileBytes(6, 6, 6);
    const EvenPaletteRecord record = readEvenPaletteRecord(file.data() + 1024);
    for (const bool levelsOnly : {true, false}) {
        const DibImage source = noiseImage(37, 23, 24, 9, 256);
        DibImage target = makeImage(37, 23, 8, 216);
        std::memcpy(target.paletteEntry(0), file.data(), 1024);
        if (!levelsOnly) target.paletteEntry(100)[1] = 77;
        RecordingFrontend frontend;
        Session session(frontend);
        ASSERT_EQ(mapToPalette(session, target, source, true, record, 522), 0);
        EXPECT_EQ(indicesOf(target), referenceDiffused(target, source, [&](const int* a) {
                      return evenPaletteIndex(record, std::uint8_t(a[0]), std::uint8_t(a[1]),
                                              std::uint8_t(a[2]));
                  })) << levelsOnly;
    }
}

TEST(MapToPalette, TrueColourTargetTakesThePlainColourEvenWithDiffusion) {
    for (const int sourceBits : {4, 8, 24, 32})
        for (const int targetBits : {24, 32}) {
            const DibImage source = noiseImage(11, 5, sourceBits, 3, 256);
            DibImage target = makeImage(11, 5, targetBits);
            RecordingFrontend frontend;
            Session session(frontend);
            ASSERT_EQ(mapToPalette(session, target, source, true, EvenPaletteRecord{},
                                   targetBits == 24 ? 768 : 769),
                      0);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 11; ++x) {
                    EXPECT_EQ(rgbAt(target, x, y), rgbAt(source, x, y));
                    if (targetBits == 32) {
                        EXPECT_EQ(target.row(y)[4 * x + 3], 0);
                    }
                }
        }
}

TEST(MapToPalette, ResultDoesNotDependOnTheThreadCount) {
    const DibImage source = noiseImage(61, 203, 24, 8, 256);
    std::vector<std::vector<std::uint8_t>> results;
    const char* saved = std::getenv("VELLORA_THREADS");
    const std::string savedValue = saved ? saved : "";
    for (const char* threads : {"1", "2", "7"}) {
        setenv("VELLORA_THREADS", threads, 1);
        DibImage target = makeImage(61, 203, 4, 16);
        const std::vector<std::uint8_t> palette = basicPaletteFileBytes(basicColorKeywords());
        std::memcpy(target.paletteEntry(0), palette.data(), palette.size());
        const MapResult result = mapBasic(target, source, false);
        EXPECT_EQ(result.rows, 203);
        EXPECT_EQ(result.positions, positionsOfOneStepPerRow(203)) << threads;
        results.push_back(result.indices);
    }
    if (saved)
        setenv("VELLORA_THREADS", savedValue.c_str(), 1);
    else
        unsetenv("VELLORA_THREADS");
    EXPECT_EQ(results[0], results[1]);
    EXPECT_EQ(results[0], results[2]);
    DibImage single = makeImage(61, 203, 4, 16);
    const std::vector<std::uint8_t> palette = basicPaletteFileBytes(basicColorKeywords());
    std::memcpy(single.paletteEntry(0), palette.data(), palette.size());
    for (int y = 0; y < 203; ++y)
        for (int x = 0; x < 61; ++x) {
            std::uint8_t bgr[3];
            getColor(source, bgr, y, x, 24);
            ASSERT_EQ(results[0][std::size_t(y * 61 + x)],
                      nearestPaletteIndex(single, bgr[0], bgr[1], bgr[2]));
        }
}

} // namespace
} // namespace vellora::test
