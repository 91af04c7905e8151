#include "shell/dialogs/hiddenMenuRules.h"
#include "color/paletteFolderGuard.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

namespace vellora::test {
namespace {

using Items = std::vector<std::string_view>;

TEST(HiddenMenuRules, Lists) {
    const auto quality = hiddenMenuQualityItems();
    ASSERT_EQ(quality.size(), 21u);
    EXPECT_EQ(quality.front(), "100");
    EXPECT_EQ(quality[1], "95");
    EXPECT_EQ(quality[10], "50");
    EXPECT_EQ(quality.back(), "0");
    const auto divisions = hiddenMenuDivisionItems();
    EXPECT_EQ(Items(divisions.begin(), divisions.end()),
              (Items{"9", "8", "7", "6", "5", "4", "3", "2", "1"}));
    const auto depth = hiddenMenuDepthItems();
    EXPECT_EQ(Items(depth.begin(), depth.end()), (Items{"source color depth", "24 bpp"}));
}

TEST(HiddenMenuRules, PositionsOfStoredValues) {
    EXPECT_EQ(hiddenMenuQualityIndex(100), 0);
    EXPECT_EQ(hiddenMenuQualityIndex(75), 5);
    EXPECT_EQ(hiddenMenuQualityIndex(0), 20);
    EXPECT_EQ(hiddenMenuQualityIndex(73), -1);
    EXPECT_EQ(hiddenMenuQualityIndex(105), -1);
    EXPECT_EQ(hiddenMenuDivisionIndex(9), 0);
    EXPECT_EQ(hiddenMenuDivisionIndex(1), 8);
    EXPECT_EQ(hiddenMenuDivisionIndex(0), -1);
    EXPECT_EQ(hiddenMenuDivisionIndex(10), -1);
    const HiddenMenuChoice first = hiddenMenuChoice(defaultParameterBlock());
    EXPECT_EQ(first.depthIndex, 0);
    EXPECT_EQ(first.qualityIndex, 0);
    EXPECT_EQ(first.divisionIndex, (std::array<int, 3>{1, 3, 4})); // 8, 6, 5
}

TEST(HiddenMenuRules, OkayStoresQualityDivisionsAndTwentyFourBitsOnlyForTwentyFourBpp) {
    ParameterBlock block = defaultParameterBlock();
    block.saveBitsPerPixel = 8; // as a parameter file may hold it
    storeHiddenMenuChoice({0, 5, {0, 8, 3}}, block);
    EXPECT_EQ(block.saveDepthIndex, 0u);
    EXPECT_EQ(block.saveBitsPerPixel, 8u); // "source color depth" leaves it alone
    EXPECT_EQ(block.saveQuality, 75u);
    EXPECT_EQ(block.evenDivisions[0], 9u);
    EXPECT_EQ(block.evenDivisions[1], 1u);
    EXPECT_EQ(block.evenDivisions[2], 6u);
    storeHiddenMenuChoice({1, 20, {0, 8, 3}}, block);
    EXPECT_EQ(block.saveDepthIndex, 1u);
    EXPECT_EQ(block.saveBitsPerPixel, 24u);
    EXPECT_EQ(block.saveQuality, 0u);
}

TEST(HiddenMenuRules, AListWithoutSelectionKeepsItsField) {
    ParameterBlock block = defaultParameterBlock();
    block.saveQuality = 73; // no entry shows it
    block.evenDivisions[1] = 12;
    const HiddenMenuChoice shown = hiddenMenuChoice(block);
    EXPECT_EQ(shown.qualityIndex, -1);
    EXPECT_EQ(shown.divisionIndex[1], -1);
    EXPECT_EQ(hiddenMenuDivisions(shown, block), (std::array<int, 3>{8, 12, 5}));
    storeHiddenMenuChoice(shown, block);
    EXPECT_EQ(block.saveQuality, 73u);
    EXPECT_EQ(block.evenDivisions[1], 12u);
}

class HiddenMenuPalette : public testing::Test {
  protected:
    TempDir folder;
    RecordingFrontend frontend;
    ParameterBlock block = defaultParameterBlock();
};

TEST_F(HiddenMenuPalette, SelectedDivisionsMakeTheFileAndAreStoredAtOnce) {
    PaletteFolderGuard guard(folder.path(), folder.path());
    // "6", "6", "6"
    EXPECT_EQ(makeHiddenMenuPalette(frontend, {0, 0, {3, 3, 3}}, block), 0);
    EXPECT_EQ(std::filesystem::file_size(folder / "safeColorPalette_216_666.ecp"), 1044u);
    EXPECT_EQ(block.evenDivisions[0], 6u);
    EXPECT_EQ(block.evenDivisions[2], 6u);
    EXPECT_TRUE(frontend.messages.empty());
}

TEST_F(HiddenMenuPalette, ProductOutsideTwoTo256IsRefused) {
    PaletteFolderGuard guard(folder.path(), folder.path());
    for (const int index : {8, 0}) { // 1 x 1 x 1 and 9 x 9 x 9
        frontend.clear();
        EXPECT_EQ(makeHiddenMenuPalette(frontend, {0, 0, {index, index, index}}, block), 1);
        EXPECT_EQ(frontend.messages,
                  (std::vector<Message>{
                      {"alert", "divisions ' red x green x blue = ' must be 2 ~ 256"}}));
    }
    EXPECT_EQ(block.evenDivisions[0], 8u);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

} // namespace
} // namespace vellora::test
