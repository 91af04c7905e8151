// Palette files: even palettes (record, lookup, files), the presets, user palettes, CSV text.
#include "color/basicColors.h"
#include "color/conversionCode.h"
#include "color/conversionTarget.h"
#include "color/csvPalette.h"
#include "color/evenPalette.h"
#include "color/evenPaletteFile.h"
#include "color/paletteFolderGuard.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace vellora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Errors = std::vector<Message>;

Bytes recordBytes(const EvenPaletteRecord& record) {
    Bytes bytes(kEvenPaletteRecordBytes);
    writeEvenPaletteRecord(record, bytes.data());
    return bytes;
}

TEST(EvenPaletteRecord, FieldsLevelsAndRoundTrip) {
    // divisions (red, green, blue); count, divisions, steps, step, half step, entries stored
    const std::pair<std::array<int, 3>, Bytes> cases[] = {
        {{6, 6, 6}, {216, 0, 0, 0, 6, 6, 6, 5, 5, 5, 51, 51, 51, 25, 25, 25, 0, 1, 0, 0}},
        {{8, 6, 5}, {240, 0, 0, 0, 5, 6, 8, 4, 5, 7, 63, 51, 36, 31, 25, 18, 0, 1, 0, 0}},
        {{2, 1, 1}, {2, 0, 0, 0, 1, 1, 2, 1, 1, 1, 255, 255, 255, 127, 127, 127, 2, 0, 0, 0}},
        {{4, 2, 2}, {16, 0, 0, 0, 2, 2, 4, 1, 1, 3, 255, 255, 85, 127, 127, 42, 16, 0, 0, 0}}};
    for (const auto& [d, bytes] : cases) {
        EXPECT_EQ(recordBytes(makeEvenPaletteRecord(d[0], d[1], d[2])), bytes) << d[0] << d[1];
        EXPECT_EQ(recordBytes(readEvenPaletteRecord(bytes.data())), bytes);
    }
    const std::pair<int, std::vector<int>> levels[] = {
        {6, {0, 51, 102, 153, 204, 255}}, {5, {0, 63, 126, 189, 255}}, {2, {0, 255}}, {1, {16}}};
    for (const auto& [divisions, values] : levels)
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_EQ(evenLevel(makeEvenPaletteRecord(1, 1, divisions), 0, int(i)), values[i])
                << divisions;
}

TEST(EvenPaletteIndex, HalfStepGoesLowEntriesRunRedOutermostAndTheLookupAgrees) {
    // divisions, value, level: 222 % 63 = 33 is above the half step 31, though 189 is as near.
    const int cases[][3] = {{6, 25, 0}, {6, 26, 1}, {6, 255, 5}, {5, 222, 4}, {5, 220, 3},
                            {5, 94, 1}, {5, 95, 2}, {2, 127, 0}, {2, 128, 1}, {1, 200, 0}};
    for (const auto& [d, value, level] : cases)
        EXPECT_EQ(evenPaletteIndex(makeEvenPaletteRecord(1, 1, d), std::uint8_t(value), 0, 0),
                  level)
            << d << " " << value;
    // 8 red × 6 green × 5 blue: white is the last entry, qB + 5 × (qG + 6 × qR).
    const EvenPaletteRecord record = makeEvenPaletteRecord(8, 6, 5);
    for (const auto& [r, g, b, index] :
         {std::array{255, 255, 255, 239}, {63, 0, 0, 1}, {0, 51, 0, 5}, {0, 0, 36, 30}})
        EXPECT_EQ(evenPaletteIndex(record, r, g, b), index) << r << " " << g << " " << b;
    // Every third colour (each channel takes every value), for single divisions, uneven steps,
    // (9 × 9 × 9) indices that wrap in 8-bit arithmetic and half steps of 0, as a file may hold.
    EvenPaletteRecord upward = makeEvenPaletteRecord(6, 4, 2);
    upward.halfStep = {0, 0, 0};
    for (const auto& record : {makeEvenPaletteRecord(6, 6, 6), makeEvenPaletteRecord(9, 9, 3),
                               makeEvenPaletteRecord(1, 7, 4), makeEvenPaletteRecord(2, 1, 1),
                               makeEvenPaletteRecord(9, 9, 9), upward}) {
        const EvenPaletteLookup lookup(record);
        int mismatches = 0;
        for (int c = 0; c < (1 << 24); c += 3) {
            const auto blue = std::uint8_t(c), green = std::uint8_t(c >> 8),
                       red = std::uint8_t(c >> 16);
            mismatches += lookup(blue, green, red) != evenPaletteIndex(record, blue, green, red);
        }
        EXPECT_EQ(mismatches, 0) << record.colorCount;
    }
}

// Usable: divisions 1 … 9 multiply to the colour count, steps reach the top, an entry per colour.
TEST(EvenPaletteRecord, UnusableRecordsAreRecognised) {
    const auto changed = [](void (*change)(EvenPaletteRecord&), int red = 6, int green = 6,
                            int blue = 6) {
        EvenPaletteRecord record = makeEvenPaletteRecord(red, green, blue);
        change(record);
        return record;
    };
    const auto same = [](EvenPaletteRecord&) {};
    const std::tuple<EvenPaletteRecord, std::size_t, bool> cases[] = {
        {changed(same), 256, true},
        {changed(same, 1, 1, 1), 2, true},
        {changed(same), 215, false}, // too few entries
        {changed([](auto& r) { r.divisions[0] = 0; }), 256, false},
        {changed([](auto& r) { r.divisions[1] = 10, r.colorCount = 360; }), 256, false},
        {changed([](auto& r) { r.colorCount = 215; }), 256, false},
        {changed([](auto& r) { r.step[2] = 0; }), 256, false},
        {changed([](auto& r) { r.step[2] = 0; }, 2, 1, 1), 2, false},
        {changed([](auto& r) { r.step[0] = 20; }), 256, false}, // 5 × 20 < 255
        {changed([](auto& r) { r.step[0] = 64, r.halfStep[0] = 63; }, 6, 6, 4), 256, true}};
    for (const auto& [record, entries, usable] : cases)
        EXPECT_EQ(isUsableEvenRecord(record, entries), usable)
            << record.colorCount << " " << entries;
}

TEST(EvenPaletteFile, NamesSizesAndEntries) {
    EXPECT_EQ(evenPaletteFileName(1, 1, 2), "evenColorPalette_002_112.ecp");
    EXPECT_EQ(evenPaletteFileName(6, 1, 6), "evenColorPalette_036_616.ecp"); // not all six
    EXPECT_EQ(evenPaletteFileName(6, 6, 6), "safeColorPalette_216_666.ecp");
    // 2, 16 or 256 entries stored, then the record; a single division is level 16.
    EXPECT_EQ(evenPaletteFileBytes(3, 1, 1).size(), 84u);
    Bytes expected = {16, 16, 0, 0, 16, 16, 255, 0};
    const Bytes record = recordBytes(makeEvenPaletteRecord(2, 1, 1));
    expected.insert(expected.end(), record.begin(), record.end());
    EXPECT_EQ(evenPaletteFileBytes(2, 1, 1), expected);
    // The safe colours run red outermost, blue innermost, over six levels; unused entries zero.
    const Bytes safe = evenPaletteFileBytes(6, 6, 6);
    ASSERT_EQ(safe.size(), 1044u);
    for (int i = 0; i < 216; ++i)
        ASSERT_EQ(Bytes(safe.begin() + 4 * i, safe.begin() + 4 * i + 4),
                  Bytes({std::uint8_t(i % 6 * 51), std::uint8_t(i / 6 % 6 * 51),
                         std::uint8_t(i / 36 * 51), 0}))
            << i;
    EXPECT_EQ(Bytes(safe.begin() + 4 * 216, safe.begin() + 1024), Bytes(160, 0));
}

TEST(EvenPaletteMaking, WritesOrRefusesInTheUserFolder) {
    TempDir folder;
    RecordingFrontend frontend;
    ParameterBlock block = defaultParameterBlock();
    block.evenDivisions[0] = 3;
    const auto user = folder / "data" / "user"; // made when missing
    PaletteFolderGuard guard(folder.path(), user);
    EXPECT_EQ(makeEvenPaletteFile(frontend, 9, 9, 4), 1); // too many colours: nothing written
    for (const int d : {1, 9}) // products 1 and 729: refused, the block left alone
        EXPECT_EQ(makeEvenPaletteFromDivisions(frontend, block, d, d, d), 1);
    EXPECT_EQ(frontend.messages,
              Errors(2, {"alert", "divisions ' red x green x blue = ' must be 2 ~ 256"}));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
    EXPECT_EQ(block.evenDivisions[0], 3u);
    EXPECT_EQ(makeEvenPaletteFromDivisions(frontend, block, 4, 8, 8), 0); // 256: the most
    EXPECT_EQ(makeEvenPaletteFromDivisions(frontend, block, 2, 1, 9), 0); // 9: the most
    EXPECT_EQ(block.evenDivisions[0] * 100 + block.evenDivisions[1] * 10 + block.evenDivisions[2],
              219u);
    EXPECT_EQ(readFileBytes(user / "evenColorPalette_018_219.ecp"), evenPaletteFileBytes(2, 1, 9));
    // A user folder that cannot be made fails.
    frontend.clear();
    writeFileBytes(folder / "plain", {1});
    PaletteFolderGuard plain(folder.path(), folder / "plain" / "user");
    EXPECT_EQ(makeEvenPaletteFromDivisions(frontend, block, 8, 6, 5), 1);
    EXPECT_EQ(frontend.messages, Errors({{"error", "failed to create the file"},
                                         {"", kMakeEvenPaletteFailedText.data()}}));
}

// The basic palettes: CSS Color 3's 16 basic and 147 extended keywords (tests/data), stored BGR0.
TEST(BasicPalettes, TheCssColourKeywords) {
    std::map<std::string, Bytes> sets; // "basic", "extended": the palette entries in order
    std::istringstream lines(readText(VELLORA_SOURCE_DIR "/tests/data/colorKeywords.txt"));
    for (std::string set, name, hex; lines >> set;)
        if (set.starts_with('#'))
            std::getline(lines, name);
        else if (lines >> name >> hex) {
            const auto c = std::uint32_t(std::stoul(hex, nullptr, 16));
            sets[set].insert(sets[set].end(),
                             {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16), 0});
        }
    const Bytes &basic = sets["basic"], &extended = sets["extended"];
    EXPECT_EQ(basicPaletteFileBytes(basicColorKeywords()), basic);
    EXPECT_EQ(basicPaletteFileBytes(extendedColorKeywords()), extended);
    EXPECT_EQ(readFileBytes(builtPresetFolder() / findConversionTarget(256)->presetFile), basic);
    EXPECT_EQ(readFileBytes(builtPresetFolder() / findConversionTarget(257)->presetFile), extended);
}

using R = CsvPaletteResult;

std::string csvLines(int colorLines) {
    std::string text = "red,green,blue\n";
    for (int i = 0; i < colorLines; ++i)
        text += std::to_string(i % 256) + ",0,1\n";
    return text;
}

TEST(CsvPalette, EveryRule) {
    std::vector<std::uint32_t> most; // 256 colours are the most
    for (std::uint32_t i = 0; i < 256; ++i)
        most.push_back(i << 16 | 1);
    // clang-format off
    const struct { const char* what; std::string text; R result; std::vector<std::uint32_t> rgb; }
    cases[] = { // the colours read as 0xRRGGBB
        {"header and two colours", "red,green,blue\n1,2,3\n4,5,6\n", R::Ok, {0x010203, 0x040506}},
        {"trailing empty header field", "red,green,blue,\n10,20,30\n", R::Ok, {0x0A141E}},
        {"four named header fields", "red,green,blue,alpha\n1,2,3\n", R::IllegalStructure, {}},
        {"two header fields", "red,green\n1,2,3\n", R::IllegalStructure, {}},
        {"empty header", "\n1,2,3\n", R::IllegalStructure, {}},
        {"comments", ";c\n//c\nr,g,b\n;x\n1,2,3\n// y\n4,5,6\n;z", R::Ok, {0x010203, 0x040506}},
        {"slash alone is no comment", "/r,g,b\n1,2,3\n", R::Ok, {0x010203}},
        {"quoted number in blanks", "r,g,b\n  \"12\"  ,0,0\n", R::Ok, {0x0C0000}},
        {"blanks before and in quotes", "r,g,b\n\t7,\"\t 8\",\"\r9\"\n", R::Ok, {0x070809}},
        {"letters read as 0", "r,g,b\nabc,1,2\n", R::Ok, {0x000102}},
        {"sign and trailing text", "r,g,b\n+7, 9x,255\n", R::Ok, {0x0709FF}},
        {"extra fields ignored", "r,g,b\n1,2,3,4,five\n", R::Ok, {0x010203}},
        {"minus one", "r,g,b\n-1,0,0\n", R::IllegalValue, {}},
        {"256", "r,g,b\n0,0,256\n", R::IllegalValue, {}},
        {"huge number", "r,g,b\n0,99999999999999,0\n", R::IllegalValue, {}},
        {"blank line", "r,g,b\n1,2,3\n\n4,5,6\n", R::IllegalData, {}},
        {"too few fields", "r,g,b\n1,2\n", R::IllegalData, {}},
        {"empty third field reads 0", "r,g,b\n1,2,\n", R::Ok, {0x010200}},
        {"last line without line feed", "r,g,b\n1,2,3\n4,5,6", R::Ok, {0x010203}},
        {"only a header", "r,g,b\n", R::IllegalStructure, {}},
        {"header without line feed", "r,g,b", R::IllegalStructure, {}},
        {"empty file", "", R::IllegalData, {}},
        {"only comments", ";a\n//b\n", R::IllegalData, {}},
        {"carriage returns", "r,g,b\r\n1,2,3\r\n", R::Ok, {0x010203}},
        {"field of 62", "r,g,b\n" + std::string(60, '0') + "12,0,0\n", R::Ok, {0x0C0000}},
        {"field of 63", "r,g,b\n" + std::string(61, '0') + "12,0,0\n", R::IllegalData, {}},
        {"long header field", "r,g," + std::string(63, 'b') + "\n1,2,3\n", R::IllegalData, {}},
        {"line of 4094", "r,g,b\n1,2,3," + std::string(4088, ' ') + "\n", R::Ok, {0x010203}},
        {"line of 4095", "r,g,b\n1,2,3," + std::string(4089, ' ') + "\n", R::IllegalData, {}},
        {"256 colours", csvLines(256), R::Ok, most},
        {"257 colours", csvLines(257), R::IllegalStructure, {}},
        {"line counts come before fields", csvLines(257) + "1,2\n", R::IllegalStructure, {}},
        {"fields come before values", "r,g,b\n300,0,0\n1,2\n", R::IllegalData, {}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::array<std::uint8_t, 1024> entries;
        entries.fill(0xEE);
        std::uint32_t count = 999;
        ASSERT_EQ(parseCsvPalette(c.text, entries.data(), count), c.result);
        if (c.result != R::Ok) {
            EXPECT_EQ(count, 999u); // a failed parse leaves its outputs alone
            EXPECT_EQ(entries[0], 0xEE);
            continue;
        }
        ASSERT_EQ(count, c.rgb.size());
        for (std::size_t i = 0; i < c.rgb.size(); ++i) {
            const std::uint8_t* e = entries.data() + 4 * i;
            EXPECT_EQ(std::uint32_t(e[2] << 16 | e[1] << 8 | e[0]), c.rgb[i]) << i;
            EXPECT_EQ(e[3], 0);
        }
    }
}

} // namespace
} // namespace vellora::test
