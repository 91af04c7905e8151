#include "color/presetPalette.h"
#include "color/basicColors.h"
#include "color/conversionCode.h"
#include "color/evenPaletteFile.h"
#include "color/paletteFolderGuard.h"
#include "support/privateHome.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace vellora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(PresetPalettes, TheBuildMadeAllThirteen) {
    const struct {
        const char* name;
        std::size_t size;
        int red, green, blue; // 0 for the basic palettes
    } cases[] = {
        {"evenColorPalette_002_211.ecp", 28, 2, 1, 1},
        {"evenColorPalette_002_121.ecp", 28, 1, 2, 1},
        {"evenColorPalette_002_112.ecp", 28, 1, 1, 2},
        {"evenColorPalette_016_422.ecp", 84, 4, 2, 2},
        {"evenColorPalette_032_442.ecp", 1044, 4, 4, 2},
        {"evenColorPalette_048_443.ecp", 1044, 4, 4, 3},
        {"evenColorPalette_060_543.ecp", 1044, 5, 4, 3},
        {"evenColorPalette_096_644.ecp", 1044, 6, 4, 4},
        {"evenColorPalette_140_754.ecp", 1044, 7, 5, 4},
        {"safeColorPalette_216_666.ecp", 1044, 6, 6, 6},
        {"evenColorPalette_240_865.ecp", 1044, 8, 6, 5},
        {"basicColorPalette_016.bcp", 64, 0, 0, 0},
        {"basicColorPalette_147ex.bcp", 588, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const Bytes bytes = readFileBytes(builtPresetFolder() / c.name);
        EXPECT_EQ(bytes.size(), c.size) << c.name;
        if (c.red != 0) {
            EXPECT_EQ(evenPaletteFileName(c.red, c.green, c.blue), c.name);
            EXPECT_EQ(bytes, evenPaletteFileBytes(c.red, c.green, c.blue)) << c.name;
        }
    }
    EXPECT_EQ(readFileBytes(builtPresetFolder() / "basicColorPalette_147ex.bcp"),
              basicPaletteFileBytes(extendedColorKeywords()));
}

TEST(PresetPalettes, ConversionTableNamesTheFilesWithTheirColourCounts) {
    for (int code = 512; code <= 522; ++code) {
        const ConversionTarget* row = findConversionTarget(code);
        ASSERT_NE(row, nullptr) << code;
        const std::string name(row->presetFile);
        const int count = std::stoi(name.substr(name.size() - 11, 3));
        EXPECT_EQ(std::uint32_t(count), row->colorsUsed) << name;
        EXPECT_TRUE(std::filesystem::exists(builtPresetFolder() / name)) << name;
    }
}

TEST(BasicColors, KeywordTablesInTheirModuleOrder) {
    const auto basic = basicColorKeywords();
    const auto extended = extendedColorKeywords();
    ASSERT_EQ(basic.size(), 16u);
    ASSERT_EQ(extended.size(), 147u);
    EXPECT_EQ(basic.front().name, "black");
    EXPECT_EQ(basic.back().name, "aqua");
    EXPECT_EQ(extended.front().name, "aliceblue");
    EXPECT_EQ(extended.back().name, "yellowgreen");
    // Alphabetical, except that the module lists "grey" right after "gray".
    std::vector<std::string_view> names;
    for (const NamedColor& c : extended)
        names.push_back(c.name);
    const auto gray = std::find(names.begin(), names.end(), "gray");
    ASSERT_NE(gray, names.end());
    EXPECT_EQ(*(gray + 1), "grey");
    names.erase(gray + 1);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    std::map<std::string_view, std::uint32_t> byName;
    const auto rgb = [](const NamedColor& c) {
        return std::uint32_t(c.red << 16 | c.green << 8 | c.blue);
    };
    for (const NamedColor& c : extended)
        byName[c.name] = rgb(c);
    EXPECT_EQ(byName.size(), 147u);
    for (const NamedColor& c : basic)
        EXPECT_EQ(byName.at(c.name), rgb(c)) << c.name;
    // The gray spellings name the same colours.
    for (const char* gray : {"gray", "darkgray", "dimgray", "lightgray", "slategray",
                             "darkslategray", "lightslategray"}) {
        std::string grey(gray);
        grey.replace(grey.find("gray"), 4, "grey");
        EXPECT_EQ(byName.at(gray), byName.at(grey)) << gray;
    }
    const std::pair<const char*, std::uint32_t> samples[] = {
        {"silver", 0xC0C0C0}, {"olive", 0x808000},  {"cornflowerblue", 0x6495ED},
        {"rebeccapurple", 0}, {"tomato", 0xFF6347}, {"navajowhite", 0xFFDEAD}};
    for (const auto& [name, value] : samples) {
        if (value == 0)
            EXPECT_EQ(byName.count(name), 0u) << name; // a later module's keyword
        else
            EXPECT_EQ(byName.at(name), value) << name;
    }
}

class PresetLoading : public testing::Test {
  protected:
    TempDir folder;
    RecordingFrontend frontend;
};

TEST_F(PresetLoading, BasicPaletteFillsTheColourTable) {
    PaletteFolderGuard guard(builtPresetFolder(), folder.path());
    DibImage target = makeImage(3, 2, 4, 16);
    ASSERT_EQ(loadBasicPalette(frontend, target, "basicColorPalette_016.bcp"), 0);
    EXPECT_EQ(Bytes(target.paletteEntry(0), target.paletteEntry(16)),
              basicPaletteFileBytes(basicColorKeywords()));
    EXPECT_TRUE(frontend.messages.empty());
}

TEST_F(PresetLoading, EvenPaletteFillsTableAndRecord) {
    PaletteFolderGuard guard(builtPresetFolder(), folder.path());
    DibImage target = makeImage(3, 2, 8, 240);
    EvenPaletteRecord record;
    ASSERT_EQ(loadEvenPalette(frontend, target, "evenColorPalette_240_865.ecp", record), 0);
    const Bytes file = evenPaletteFileBytes(8, 6, 5);
    EXPECT_EQ(Bytes(target.paletteEntry(0), target.paletteEntry(256)),
              Bytes(file.begin(), file.end() - 20));
    EXPECT_EQ(record.colorCount, 240u);
    EXPECT_EQ(record.step[2], 36);
}

TEST_F(PresetLoading, BadPresetsAreRefused) {
    PaletteFolderGuard guard(folder.path(), folder.path());
    writeFileBytes(folder / "long.bcp", Bytes(68, 1));
    writeFileBytes(folder / "short.ecp", Bytes(12, 1));
    const Bytes even48 = evenPaletteFileBytes(4, 4, 3);
    writeFileBytes(folder / "mismatch.ecp", even48);
    const struct {
        const char* what;
        bool even;
        const char* file;
        int result;
        std::string_view message;
    } cases[] = {
        {"missing basic", false, "none.bcp", 1, "failed to open the file"},
        {"missing even", true, "none.ecp", 1, "failed to open the file"},
        {"basic longer than the table", false, "long.bcp", 1, kBadBasicPaletteText},
        {"even shorter than its record", true, "short.ecp", 1, kBadEvenPaletteText},
        {"even of other colour count", true, "mismatch.ecp", 1, kBadEvenPaletteText},
    };
    for (const auto& c : cases) {
        frontend.clear();
        DibImage target = makeImage(2, 2, 4, 16);
        target.paletteEntry(0)[0] = 0x5A;
        EvenPaletteRecord record;
        const int result = c.even ? loadEvenPalette(frontend, target, c.file, record)
                                  : loadBasicPalette(frontend, target, c.file);
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(frontend.withoutCauses(),
                  (std::vector<Message>{{"error", std::string(c.message)}}))
            << c.what;
        EXPECT_EQ(target.paletteEntry(0)[0], 0x5A) << c.what;
        EXPECT_EQ(record.colorCount, 0u) << c.what;
    }
}

} // namespace
} // namespace vellora::test

namespace vellora::test {
namespace {

TEST(PaletteFolders, PresetsBesideTheProgramUserPalettesInTheDataHome) {
    setPaletteFolderOverride(std::nullopt);
    const std::filesystem::path bin = std::filesystem::path(VELLORA_BINARY_DIR) / "bin";
    EXPECT_TRUE(std::filesystem::equivalent(executableFolder(), bin));
    EXPECT_TRUE(std::filesystem::equivalent(presetPaletteFolder(), bin / "palette" / "preset"));
    const EnvironmentGuard guard({"XDG_DATA_HOME", "HOME"});
    setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(userPaletteFolder(), "/data/home/vellora/palette/user");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", "/home/me", 1);
    EXPECT_EQ(userPaletteFolder(), "/home/me/.local/share/vellora/palette/user");
}

} // namespace
} // namespace vellora::test
