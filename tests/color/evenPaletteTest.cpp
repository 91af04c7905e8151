#include "color/evenPalette.h"
#include "color/evenPaletteFile.h"
#include "color/paletteFolderGuard.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace vellora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes recordBytes(const EvenPaletteRecord& record) {
    Bytes bytes(kEvenPaletteRecordBytes);
    writeEvenPaletteRecord(record, bytes.data());
    return bytes;
}

TEST(EvenPaletteRecord, FieldsLevelsAndRoundTrip) {
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
        EXPECT_EQ(recordBytes(makeEvenPaletteRecord(c.red, c.green, c.blue)), c.bytes)
            << c.red << c.green << c.blue;
        EXPECT_EQ(recordBytes(readEvenPaletteRecord(c.bytes.data())), c.bytes);
    }
    const std::pair<int, std::vector<int>> levels[] = {
        {6, {0, 51, 102, 153, 204, 255}}, {5, {0, 63, 126, 189, 255}}, {2, {0, 255}}, {1, {16}}};
    for (const auto& [divisions, values] : levels)
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_EQ(evenLevel(makeEvenPaletteRecord(1, 1, divisions), 0, int(i)), values[i])
                << divisions;
}

TEST(EvenPaletteIndex, HalfStepGoesLowAndEntriesRunRedOutermost) {
    // divisions, value, level: 222 % 63 = 33 is above the half step 31, though 189 is as near.
    const int cases[][3] = {{6, 25, 0},  {6, 26, 1},  {6, 255, 5}, {6, 0, 0},
                            {5, 222, 4}, {5, 220, 3}, {5, 94, 1},  {5, 95, 2},
                            {2, 127, 0}, {2, 128, 1}, {1, 200, 0}};
    for (const auto& [divisions, value, level] : cases)
        EXPECT_EQ(
            evenPaletteIndex(makeEvenPaletteRecord(1, 1, divisions), std::uint8_t(value), 0, 0),
            level)
            << divisions << " " << value;
    // 8 red × 6 green × 5 blue: white is the last entry, qB + 5 × (qG + 6 × qR).
    const EvenPaletteRecord record = makeEvenPaletteRecord(8, 6, 5);
    EXPECT_EQ(evenPaletteIndex(record, 255, 255, 255), 239);
    EXPECT_EQ(evenPaletteIndex(record, 63, 0, 0), 1);
    EXPECT_EQ(evenPaletteIndex(record, 0, 51, 0), 5);
    EXPECT_EQ(evenPaletteIndex(record, 0, 0, 36), 30);
}

// Every third colour (each channel takes every value), for records with single divisions, uneven steps and (9 × 9 × 9) indices that
// wrap in 8-bit arithmetic.
TEST(EvenPaletteLookup, AgreesWithTheDirectLookupForEveryColour) {
    for (const auto& d : {std::array{6, 6, 6}, {9, 9, 3}, {1, 7, 4}, {2, 1, 1}, {9, 9, 9}}) {
        const EvenPaletteRecord record = makeEvenPaletteRecord(d[0], d[1], d[2]);
        const EvenPaletteLookup lookup(record);
        int mismatches = 0;
        for (int c = 0; c < (1 << 24); c += 3) {
            const auto blue = std::uint8_t(c), green = std::uint8_t(c >> 8),
                       red = std::uint8_t(c >> 16);
            mismatches += lookup(blue, green, red) != evenPaletteIndex(record, blue, green, red);
        }
        EXPECT_EQ(mismatches, 0) << d[0] << "x" << d[1] << "x" << d[2];
    }
    Bytes file = evenPaletteFileBytes(8, 6, 5);
    const EvenPaletteLookup lookup(readEvenPaletteRecord(file.data() + 1024));
    EvenPaletteLookup::ChannelLevels levels{};
    ASSERT_TRUE(lookup.channelLevels(file.data(), 256, levels));
    EXPECT_EQ(levels[0][255], 255); // blue has 5 levels: 0, 63, 126, 189, 255
    EXPECT_EQ(levels[0][100], 126);
    EXPECT_EQ(levels[2][36], 36);                                 // red has 8 levels, step 36
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
        {"zero step of two divisions",
         [] {
             EvenPaletteRecord r = makeEvenPaletteRecord(2, 1, 1);
             r.step[2] = 0;
             return r;
         }(),
         2, false},
        {"step too small", changed([](auto& r) { r.step[0] = 20; }), 256, false},
        {"more colours than entries", makeEvenPaletteRecord(6, 6, 6), 16, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isUsableEvenRecord(c.record, c.entries), c.usable) << c.what;
}

TEST(EvenPaletteFile, NamesSizesAndEntries) {
    const struct {
        int red, green, blue;
        const char* name;
        std::size_t size;
    } cases[] = {{2, 1, 1, "evenColorPalette_002_211.ecp", 28},
                 {1, 1, 2, "evenColorPalette_002_112.ecp", 28},
                 {3, 1, 1, "evenColorPalette_003_311.ecp", 84},
                 {4, 2, 2, "evenColorPalette_016_422.ecp", 84},
                 {3, 3, 2, "evenColorPalette_018_332.ecp", 1044},
                 {6, 6, 6, "safeColorPalette_216_666.ecp", 1044},
                 {9, 4, 7, "evenColorPalette_252_947.ecp", 1044}};
    for (const auto& c : cases) {
        EXPECT_EQ(evenPaletteFileName(c.red, c.green, c.blue), c.name);
        EXPECT_EQ(evenPaletteFileBytes(c.red, c.green, c.blue).size(), c.size) << c.name;
    }
    // A single division is level 16.
    Bytes expected = {16, 16, 0, 0, 16, 16, 255, 0};
    const Bytes record = recordBytes(makeEvenPaletteRecord(2, 1, 1));
    expected.insert(expected.end(), record.begin(), record.end());
    EXPECT_EQ(evenPaletteFileBytes(2, 1, 1), expected);
    // The safe colours are every combination of six levels, the unused entries zero.
    const Bytes safe = evenPaletteFileBytes(6, 6, 6);
    std::set<std::uint32_t> colors;
    for (int i = 0; i < 216; ++i) {
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(safe[4 * i + k] % 51, 0) << i;
        EXPECT_EQ(safe[4 * i + 3], 0);
        colors.insert(safe[4 * i] | safe[4 * i + 1] << 8 | safe[4 * i + 2] << 16);
    }
    EXPECT_EQ(colors.size(), 216u);
    EXPECT_EQ(Bytes(safe.begin() + 4 * 216, safe.begin() + 1024), Bytes(160, 0));
}

TEST(EvenPaletteMaking, WritesReplacesOrRefusesInTheUserFolder) {
    TempDir folder;
    RecordingFrontend frontend;
    ParameterBlock block = defaultParameterBlock();
    {
        PaletteFolderGuard guard(folder.path(), folder.path());
        const auto path = folder / "safeColorPalette_216_666.ecp";
        writeFileBytes(path, Bytes(5000, 7));
        EXPECT_EQ(makeEvenPaletteFile(frontend, 6, 6, 6), 0);
        EXPECT_EQ(readFileBytes(path), evenPaletteFileBytes(6, 6, 6));
        std::filesystem::remove(path);
        EXPECT_EQ(makeEvenPaletteFile(frontend, 9, 9, 4), 1); // too many colours: nothing written
        EXPECT_TRUE(frontend.messages.empty());
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
        frontend.clear();
        EXPECT_EQ(makeEvenPaletteFromDivisions(frontend, block, 2, 1, 1), 0);
        EXPECT_EQ(block.evenDivisions[0] * 100 + block.evenDivisions[1] * 10 +
                      block.evenDivisions[2],
                  211u);
        EXPECT_EQ(std::filesystem::file_size(folder / "evenColorPalette_002_211.ecp"), 28u);
    }
    // A missing user folder is made; one that cannot be made fails.
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

} // namespace
} // namespace vellora::test
