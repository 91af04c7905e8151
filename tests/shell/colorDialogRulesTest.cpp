#include "shell/dialogs/colorDialogRules.h"
#include "color/colorConversion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vellora::test {
namespace {

using Items = std::vector<std::string_view>;

TEST(ColorDialogRules, EachClassListsItsConversionTargets) {
    EXPECT_EQ(colorChoiceItems(0), (Items{"2", "4", "8", "16", "32", "64", "128", "256"}));
    EXPECT_EQ(colorChoiceItems(1), (Items{"16 basic", "147 extended"}));
    EXPECT_EQ(colorChoiceItems(2), (Items{"2 red", "2 green", "2 blue", "16", "32", "48", "60",
                                          "96", "140", "216 safe color", "240"}));
    EXPECT_EQ(colorChoiceItems(3), (Items{"24 bpp", "32 bpp"}));
    EXPECT_TRUE(colorChoiceItems(4).empty());
    EXPECT_TRUE(colorChoiceItems(-1).empty());
}

TEST(ColorDialogRules, OpensFromTheBlockDefaults) {
    const ColorDialogValues v = colorDialogValues(defaultParameterBlock());
    EXPECT_TRUE(v.diffusion);
    EXPECT_EQ(v.colorClass, 0u);
    EXPECT_EQ(v.choices, (std::array<std::uint32_t, 4>{7, 1, 9, 0}));
}

TEST(ColorDialogRules, TrueColourDisablesAndClearsDiffusionWithoutForgettingIt) {
    ColorDialogValues v;
    v.diffusion = true;
    for (std::uint32_t k : {0u, 1u, 2u, 4u}) {
        v.colorClass = k;
        EXPECT_TRUE(colorDiffusionEnabled(v)) << k;
        EXPECT_TRUE(colorDiffusionShown(v)) << k;
    }
    v.colorClass = 3;
    EXPECT_FALSE(colorDiffusionEnabled(v));
    EXPECT_FALSE(colorDiffusionShown(v));
    v.colorClass = 2; // back from true colour: the remembered tick shows again
    EXPECT_TRUE(colorDiffusionShown(v));
    v.diffusion = false;
    EXPECT_FALSE(colorDiffusionShown(v));
}

TEST(ColorDialogRules, OnlyTheCurrentClassControlIsEnabled) {
    ColorDialogValues v;
    for (std::uint32_t current = 0; current < 5; ++current) {
        v.colorClass = current;
        for (std::uint32_t control = 0; control < 5; ++control)
            EXPECT_EQ(colorClassControlEnabled(v, control), control == current)
                << current << " " << control;
    }
}

TEST(ColorDialogRules, OkayStoresEverythingAndNoDiffusionForTrueColour) {
    ParameterBlock block = defaultParameterBlock();
    ColorDialogValues v{true, 3, {2, 0, 4, 1}};
    storeColorChoice(v, "C:\\palettes\\mine.csv", block);
    EXPECT_EQ(block.colorMethod, 3u);
    EXPECT_EQ(block.colorChoice[0], 2u);
    EXPECT_EQ(block.colorChoice[1], 0u);
    EXPECT_EQ(block.colorChoice[2], 4u);
    EXPECT_EQ(block.colorChoice[3], 1u);
    EXPECT_EQ(block.colorDiffusion, 0u);
    EXPECT_STREQ(block.userPalettePath, "C:\\palettes\\mine.csv");
    EXPECT_EQ(colorConversionCode(block), 769); // "32 bpp"
    v.colorClass = 1;
    storeColorChoice(v, "", block);
    EXPECT_EQ(block.colorDiffusion, 1u);
    EXPECT_EQ(colorConversionCode(block), 256); // "16 basic"
    EXPECT_STREQ(block.userPalettePath, "");
}

TEST(ColorDialogRules, UserPalettePathIsCutToFitWithItsZero) {
    ParameterBlock block = defaultParameterBlock();
    storeUserPalettePath(std::string(400, 'a'), block);
    EXPECT_EQ(userPalettePathOf(block), std::string(259, 'a'));
    storeUserPalettePath("short.ecp", block); // the longer path leaves nothing behind
    EXPECT_EQ(userPalettePathOf(block), "short.ecp");
    EXPECT_EQ(block.userPalettePath[10], '\0');
    std::memset(block.userPalettePath, 'b', sizeof block.userPalettePath); // no terminator
    EXPECT_EQ(userPalettePathOf(block), std::string(260, 'b'));
}

} // namespace
} // namespace vellora::test
