#include "color/presetPalette.h"
#include "color/basicColors.h"
#include "color/conversionCode.h"
#include "color/evenPaletteFile.h"
#include "color/paletteFolderGuard.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>


namespace vellora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The build made every preset the conversion table names, as its generator writes it; the
// even ones are named for their colour count and divisions.
TEST(PresetPalettes, TheBuildMadeEveryPresetOfTheTable) {
    const std::pair<int, Bytes> basic[] = {{256, basicPaletteFileBytes(basicColorKeywords())},
                                           {257, basicPaletteFileBytes(extendedColorKeywords())}};
    for (const auto& [code, bytes] : basic)
        EXPECT_EQ(readFileBytes(builtPresetFolder() / findConversionTarget(code)->presetFile),
                  bytes);
    const int divisions[][3] = {{2, 1, 1}, {1, 2, 1}, {1, 1, 2}, {4, 2, 2}, {4, 4, 2}, {4, 4, 3},
                                {5, 4, 3}, {6, 4, 4}, {7, 5, 4}, {6, 6, 6}, {8, 6, 5}};
    for (int code = 512; code <= 522; ++code) {
        const ConversionTarget* row = findConversionTarget(code);
        ASSERT_NE(row, nullptr) << code;
        const auto [red, green, blue] = divisions[code - 512];
        EXPECT_EQ(row->presetFile, evenPaletteFileName(red, green, blue));
        EXPECT_EQ(row->colorsUsed, std::uint32_t(red * green * blue)) << code;
        EXPECT_EQ(readFileBytes(builtPresetFolder() / row->presetFile),
                  evenPaletteFileBytes(red, green, blue))
            << row->presetFile;
    }
}

TEST(PresetLoading, FillTheColourTableOrRefuseBadFiles) {
    TempDir folder;
    RecordingFrontend frontend;
    {
        PaletteFolderGuard guard(builtPresetFolder(), folder.path());
        DibImage target = makeImage(3, 2, 8, 240);
        EvenPaletteRecord record;
        ASSERT_EQ(loadEvenPalette(frontend, target, "evenColorPalette_240_865.ecp", record), 0);
        const Bytes file = evenPaletteFileBytes(8, 6, 5);
        EXPECT_EQ(Bytes(target.paletteEntry(0), target.paletteEntry(256)),
                  Bytes(file.begin(), file.end() - 20));
        EXPECT_EQ(record.colorCount, 240u);
        EXPECT_EQ(record.step[2], 36);
        ASSERT_EQ(loadBasicPalette(frontend, target, "basicColorPalette_016.bcp"), 0);
        EXPECT_EQ(Bytes(target.paletteEntry(0), target.paletteEntry(16)),
                  basicPaletteFileBytes(basicColorKeywords()));
        EXPECT_TRUE(frontend.messages.empty());
    }
    PaletteFolderGuard guard(folder.path(), folder.path());
    writeFileBytes(folder / "long.bcp", Bytes(68, 1));
    writeFileBytes(folder / "short.ecp", Bytes(12, 1));
    writeFileBytes(folder / "mismatch.ecp", evenPaletteFileBytes(4, 4, 3));
    const struct {
        bool even;
        const char* file;
        std::string_view message;
    } cases[] = {{false, "none.bcp", "failed to open the file"},
                 {true, "none.ecp", "failed to open the file"},
                 {false, "long.bcp", kBadBasicPaletteText},    // longer than the table
                 {true, "short.ecp", kBadEvenPaletteText},     // shorter than its record
                 {true, "mismatch.ecp", kBadEvenPaletteText}}; // of another colour count
    for (const auto& c : cases) {
        frontend.clear();
        DibImage target = makeImage(2, 2, 4, 16);
        target.paletteEntry(0)[0] = 0x5A;
        EvenPaletteRecord record;
        EXPECT_EQ(c.even ? loadEvenPalette(frontend, target, c.file, record)
                         : loadBasicPalette(frontend, target, c.file),
                  1)
            << c.file;
        EXPECT_EQ(frontend.withoutCauses(),
                  (std::vector<Message>{{"error", std::string(c.message)}}))
            << c.file;
        EXPECT_EQ(target.paletteEntry(0)[0], 0x5A) << c.file;
        EXPECT_EQ(record.colorCount, 0u) << c.file;
    }
}

} // namespace
} // namespace vellora::test
