#include "color/evenPalette.h"
#include "color/evenPaletteFile.h"
#include "color/paletteFolderGuard.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <tuple>

namespace vellora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes recordBytes(const EvenPaletteRecord& record) {
    Bytes bytes(kEvenPaletteRecordBytes);
    writeEvenPaletteRecord(record, bytes.data());
    return bytes;
}

TEST(EvenPaletteRecord, FieldsForDivisions) {
    const struct {
        int red, green, blue;
        Bytes bytes;
    } cases[] = {
        {6, 6, 6, {216, 0, 0, 0, 6, 6, 6, 5, 5, 5, 51, 51, 51, 25, 25, 25, 0, 1, 0, 0}},
        {8, 6, 5, {240, 0, 0, 0, 5, 6, 8, 4, 5, 7, 63, 51, 36, 31, 25, 18, 0, 1, 0, 0}},
        {2, 1, 1, {2, 0, 0, 0, 1, 1, 2, 1, 1, 1, 255, 255, 255, 127, 127, 127, 2, 0, 0, 0}},
        {4, 2, 2, {16, 0, 0, 0, 2, 2, 4, 1, 1, 3, 255, 255, 85, 127, 127, 42, 16, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const EvenPaletteRecord record = makeEvenPaletteRecord(c.red, c.green, c.blue);
        EXPECT_EQ(recordBytes(record), c.bytes) << c.red << c.green << c.blue;
        EXPECT_EQ(recordBytes(readEvenPaletteRecord(c.bytes.data())), c.bytes);
    }
}

TEST(EvenPaletteRecord, LevelsOfAChannel) {
    const struct {
        int divisions;
        std::vector<int> levels;
    } cases[] = {{6, {0, 51, 102, 153, 204, 255}},
                 {5, {0, 63, 126, 189, 255}},
                 {4, {0, 85, 170, 255}},
                 {2, {0, 255}},
                 {1, {16}}};
    for (const auto& c : cases) {
        const EvenPaletteRecord record = makeEvenPaletteRecord(1, 1, c.divisions);
        for (std::size_t i = 0; i < c.levels.size(); ++i)
            EXPECT_EQ(evenLevel(record, 0, int(i)), c.levels[i]) << c.divisions << " " << i;
    }
}

TEST(EvenPaletteIndex, HalfStepGoesLowAndTheLastIntervalFollowsTheArithmetic) {
    const struct {
        int divisions, value, level;
    } cases[] = {
        {6, 25, 0},
        {6, 26, 1},
        {6, 255, 5},
        {6, 0, 0},
        {5, 222, 4}, // 189 is as near, but 222 %
                     // 63 = 33 is above the half
                     // step 31
        {5, 220, 3},
        {5, 94, 1},
        {5, 95, 2},
        {2, 127, 0},
        {2, 128, 1},
        {1, 200, 0},
    };
    for (const auto& c : cases) {
        const EvenPaletteRecord record = makeEvenPaletteRecord(1, 1, c.divisions);
        EXPECT_EQ(evenPaletteIndex(record, std::uint8_t(c.value), 0, 0), c.level)
            << c.divisions << " " << c.value;
    }
}

TEST(EvenPaletteIndex, EntryOrderIsRedOutermostBlueInnermost) {
    // 8 red × 6 green × 5 blue: white is the last entry, qB + 5 × (qG + 6 × qR).
    const EvenPaletteRecord record = makeEvenPaletteRecord(8, 6, 5);
    EXPECT_EQ(evenPaletteIndex(record, 255, 255, 255), 239);
    EXPECT_EQ(evenPaletteIndex(record, 63, 0, 0), 1);
    EXPECT_EQ(evenPaletteIndex(record, 0, 51, 0), 5);
    EXPECT_EQ(evenPaletteIndex(record, 0, 0, 36), 30);
}

TEST(EvenPaletteIndex, LooksUpTheNearestEntryWithinRegularSteps) {
    const std::tuple<int, int, int> presets[] = {{2, 1, 1}, {4, 2, 2}, {4, 4, 3}, {5, 4, 3},
                                                 {6, 4, 4}, {7, 5, 4}, {6, 6, 6}, {8, 6, 5}};
    for (const auto& [r, g, b] : presets) {
        const EvenPaletteRecord record = makeEvenPaletteRecord(r, g, b);
        Bytes entries(4 * 256);
        fillEvenPaletteEntries(record, entries.data());
        for (int k = 0; k < 3; ++k) {
            const int d = record.divisions[k];
            if (d == 1) continue;
            // Values below the start of the last interval: the nearest level, ties low.
            for (int v = 0; v < (d - 2) * record.step[k]; ++v) {
                std::uint8_t bgr[3] = {0, 0, 0};
                bgr[k] = std::uint8_t(v);
                const int chosen =
                    entries[4 * evenPaletteIndex(record, bgr[0], bgr[1], bgr[2]) + k];
                for (int level = 0; level < d; ++level) {
                    const int other = evenLevel(record, k, level);
                    EXPECT_TRUE(std::abs(v - chosen) < std::abs(v - other) ||
                                (std::abs(v - chosen) == std::abs(v - other) && chosen <= other))
                        << r << g << b << " channel " << k << " value " << v;
                }
            }
        }
    }
}

// Every colour, for records with single divisions, uneven steps and (9 x 9 x 9) indices that
// wrap in 8-bit arithmetic.
TEST(EvenPaletteLookup, AgreesWithTheDirectLookupForEveryColour) {
    const int divisions[][3] = {{6, 6, 6}, {9, 9, 3}, {1, 7, 4}, {2, 1, 1}, {9, 9, 9}};
    for (const auto& d : divisions) {
        const EvenPaletteRecord record = makeEvenPaletteRecord(d[0], d[1], d[2]);
        const EvenPaletteLookup lookup(record);
        int mismatches = 0;
        for (int r = 0; r < 256; ++r)
            for (int g = 0; g < 256; ++g)
                for (int b = 0; b < 256; ++b) {
                    const auto blue = std::uint8_t(b), green = std::uint8_t(g),
                               red = std::uint8_t(r);
                    mismatches += lookup(blue, green, red) !=
                                  evenPaletteIndex(record, blue, green, red);
                }
        EXPECT_EQ(mismatches, 0) << d[0] << "x" << d[1] << "x" << d[2];
    }
}

TEST(EvenPaletteLookup, ChannelLevelsOnlyForAPaletteOfLevels) {
    std::vector<std::uint8_t> file = evenPaletteFileBytes(8, 6, 5);
    const EvenPaletteLookup lookup(readEvenPaletteRecord(file.data() + 1024));
    EvenPaletteLookup::ChannelLevels levels{};
    ASSERT_TRUE(lookup.channelLevels(file.data(), 256, levels));
    EXPECT_EQ(levels[0][255], 255); // blue has 5 levels: 0, 63, 126, 189, 255
    EXPECT_EQ(levels[0][100], 126);
    EXPECT_EQ(levels[2][36], 36);   // red has 8 levels, step 36
    EXPECT_FALSE(lookup.channelLevels(file.data(), 200, levels)); // entries beyond the palette
    file[4 * 239 + 2] = 254;                                      // the last entry's red
    EXPECT_FALSE(lookup.channelLevels(file.data(), 256, levels));
}

TEST(EvenPaletteRecord, UnusableRecordsAreRecognised) {
    const auto changed = [](auto change) {
        EvenPaletteRecord record = makeEvenPaletteRecord(6, 6, 6);
        change(record);
        return record;
    };
    const struct {
        const char* what;
        EvenPaletteRecord record;
        std::size_t entries;
        bool usable;
    } cases[] = {
        {"made record", makeEvenPaletteRecord(6, 6, 6), 256, true},
        {"single colour", makeEvenPaletteRecord(1, 1, 1), 2, true},
        {"zero divisions", changed([](auto& r) { r.divisions[0] = 0; }), 256, false},
        {"ten divisions", changed([](auto& r) { r.divisions[1] = 10, r.colorCount = 360; }), 256,
         false},
        {"count not the product", changed([](auto& r) { r.colorCount = 215; }), 256, false},
        {"zero step", changed([](auto& r) { r.step[2] = 0; }), 256, false},
        {"step too small", changed([](auto& r) { r.step[0] = 20; }), 256, false},
        {"more colours than entries", makeEvenPaletteRecord(6, 6, 6), 16, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isUsableEvenRecord(c.record, c.entries), c.usable) << c.what;
}

TEST(EvenPaletteFile, NamesAndSizes) {
    const struct {
        int red, green, blue;
        const char* name;
        std::size_t size;
    } cases[] = {
        {2, 1, 1, "evenColorPalette_002_211.ecp", 28},
        {1, 1, 2, "evenColorPalette_002_112.ecp", 28},
        {3, 1, 1, "evenColorPalette_003_311.ecp", 84},
        {4, 2, 2, "evenColorPalette_016_422.ecp", 84},
        {3, 3, 2, "evenColorPalette_018_332.ecp", 1044},
        {6, 6, 6, "safeColorPalette_216_666.ecp", 1044},
        {8, 6, 5, "evenColorPalette_240_865.ecp", 1044},
        {9, 4, 7, "evenColorPalette_252_947.ecp", 1044},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(evenPaletteFileName(c.red, c.green, c.blue), c.name);
        EXPECT_EQ(evenPaletteFileBytes(c.red, c.green, c.blue).size(), c.size) << c.name;
    }
}

TEST(EvenPaletteFile, SingleDivisionGivesLevel16) {
    Bytes expected = {16, 16, 0, 0, 16, 16, 255, 0};
    const Bytes record = recordBytes(makeEvenPaletteRecord(2, 1, 1));
    expected.insert(expected.end(), record.begin(), record.end());
    EXPECT_EQ(evenPaletteFileBytes(2, 1, 1), expected);
}

TEST(EvenPaletteFile, SafeColoursAreEveryCombinationOfSixLevels) {
    const Bytes bytes = evenPaletteFileBytes(6, 6, 6);
    std::set<std::uint32_t> colors;
    const std::set<int> levels = {0, 51, 102, 153, 204, 255};
    for (int i = 0; i < 216; ++i) {
        for (int k = 0; k < 3; ++k)
            EXPECT_TRUE(levels.count(bytes[4 * i + k])) << i;
        EXPECT_EQ(bytes[4 * i + 3], 0);
        colors.insert(bytes[4 * i] | bytes[4 * i + 1] << 8 | bytes[4 * i + 2] << 16);
    }
    EXPECT_EQ(colors.size(), 216u);
    for (int i = 4 * 216; i < 4 * 256; ++i)
        EXPECT_EQ(bytes[i], 0) << i;
}

class EvenPaletteMaking : public testing::Test {
  protected:
    TempDir folder;
    RecordingFrontend frontend;
    ParameterBlock block = defaultParameterBlock();
};

TEST_F(EvenPaletteMaking, WritesAndReplacesInTheUserFolder) {
    PaletteFolderGuard guard(folder.path(), folder.path());
    const auto path = folder / "safeColorPalette_216_666.ecp";
    writeFileBytes(path, Bytes(5000, 7));
    EXPECT_EQ(makeEvenPaletteFile(frontend, 6, 6, 6), 0);
    EXPECT_EQ(readFileBytes(path), evenPaletteFileBytes(6, 6, 6));
    EXPECT_TRUE(frontend.messages.empty());
}

TEST_F(EvenPaletteMaking, TooManyColoursWritesNothing) {
    PaletteFolderGuard guard(folder.path(), folder.path());
    EXPECT_EQ(makeEvenPaletteFile(frontend, 9, 9, 4), 1);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
    EXPECT_TRUE(frontend.messages.empty());
}

TEST_F(EvenPaletteMaking, MissingUserFolderIsMadeAndAnUnmakeableOneFails) {
    const auto missing = folder / "data" / "user";
    {
        PaletteFolderGuard guard(folder.path(), missing);
        EXPECT_EQ(makeEvenPaletteFromDivisions(frontend, block, 8, 6, 5), 0);
    }
    EXPECT_EQ(readFileBytes(missing / evenPaletteFileName(8, 6, 5)), evenPaletteFileBytes(8, 6, 5));
    EXPECT_TRUE(frontend.messages.empty());
    writeFileBytes(folder / "plain", {1});
    PaletteFolderGuard guard(folder.path(), folder / "plain" / "user");
    EXPECT_EQ(makeEvenPaletteFromDivisions(frontend, block, 8, 6, 5), 1);
    EXPECT_EQ(frontend.messages, (std::vector<Message>{{"error", "failed to create the file"},
                                                       {"", kMakeEvenPaletteFailedText.data()}}));
    EXPECT_EQ(readFileBytes(folder / "plain"), Bytes{1});
}

TEST_F(EvenPaletteMaking, DivisionsOutsideTwoTo256AreRefusedUntouched) {
    PaletteFolderGuard guard(folder.path(), folder.path());
    block.evenDivisions[0] = 3;
    for (const int d : {1, 9}) {
        frontend.clear();
        EXPECT_EQ(makeEvenPaletteFromDivisions(frontend, block, d, d, d), 1);
        EXPECT_EQ(frontend.messages,
                  (std::vector<Message>{
                      {"alert", "divisions ' red x green x blue = ' must be 2 ~ 256"}}));
        EXPECT_EQ(block.evenDivisions[0], 3u);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST_F(EvenPaletteMaking, AcceptedDivisionsAreStoredAndTheFileMade) {
    PaletteFolderGuard guard(folder.path(), folder.path());
    EXPECT_EQ(makeEvenPaletteFromDivisions(frontend, block, 2, 1, 1), 0);
    EXPECT_EQ(block.evenDivisions[0], 2u);
    EXPECT_EQ(block.evenDivisions[1], 1u);
    EXPECT_EQ(block.evenDivisions[2], 1u);
    EXPECT_EQ(std::filesystem::file_size(folder / "evenColorPalette_002_211.ecp"), 28u);
    EXPECT_TRUE(frontend.messages.empty());
}

} // namespace
} // namespace vellora::test
