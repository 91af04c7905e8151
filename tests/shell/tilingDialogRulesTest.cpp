#include "shell/dialogs/tilingDialogRules.h"

#include <gtest/gtest.h>

namespace vellora {
namespace {

std::pair<int, int> shownSizing(const TilingDialogValues& v) {
    return {v.sizing[std::size_t(tilingSizingCell(v.sizingMethod, 0))],
            v.sizing[std::size_t(tilingSizingCell(v.sizingMethod, 1))]};
}

TEST(TilingDialogRules, EachMethodKeepsItsOwnPair) {
    TilingDialogValues v = tilingDialogValues(defaultParameterBlock());
    EXPECT_EQ(shownSizing(v), std::make_pair(9, 9));
    EXPECT_EQ(tilingSizingLabel(v.sizingMethod), "size, w. x h.");
    v.sizingMethod = 0;
    EXPECT_EQ(shownSizing(v), std::make_pair(64, 48));
    EXPECT_EQ(tilingSizingLabel(v.sizingMethod), "around count");
    v.sizing[std::size_t(tilingSizingCell(0, 0))] = 80;
    v.sizingMethod = 1;
    EXPECT_EQ(shownSizing(v), std::make_pair(9, 9));
    v.sizingMethod = 0;
    EXPECT_EQ(shownSizing(v), std::make_pair(80, 48));
}

TEST(TilingDialogRules, UpDownSteps) {
    const struct {
        int value;
        bool up;
        int result;
    } cases[] = {{0, false, 0}, {1, false, 0}, {-3, false, -3},
                 {5, false, 4}, {0, true, 1},  {9, true, 10}};
    for (const auto& c : cases)
        EXPECT_EQ(tilingUpDownStep(c.value, c.up), c.result) << c.value;
}

TEST(TilingDialogRules, OkayRefusesSizingBelowOneButKeepsPaletteChoice) {
    ParameterBlock block = defaultParameterBlock();
    TilingDialogValues v = tilingDialogValues(block);
    v.paletteClass = 0;
    v.medianIndex = 5;
    v.sizing[3] = 0; // tile height
    storeTilingPaletteChoice(v, block);
    EXPECT_EQ(tilingOkayProblem(v), "tile count or size must be set plus numeral");
    EXPECT_EQ(kTilingSizingCaption, "alart");
    EXPECT_EQ(block.tilingPaletteClass, 0u);
    EXPECT_EQ(block.tilingMedianIndex, 5u);
    EXPECT_EQ(block.tilePixelHeight, 9) << "layout is not stored when refused";
    v.sizingMethod = 0; // the zero sits in the other pair: no longer shown
    EXPECT_EQ(tilingOkayProblem(v), "");
}

TEST(TilingDialogRules, NegativeSlitIsStoredAsZero) {
    ParameterBlock block = defaultParameterBlock();
    TilingDialogValues v = tilingDialogValues(block);
    v.sizing[kTilingSlitCell] = -3;
    v.hSlitGray = 5;
    ASSERT_EQ(tilingOkayProblem(v), "");
    storeTilingLayout(v, block);
    EXPECT_EQ(block.slitPixelWidth, 0);
    EXPECT_EQ(block.hSlitGrayIndex, 5u);
    EXPECT_EQ(tilingDialogValues(block).sizing, (std::array<std::int32_t, 5>{64, 48, 9, 9, 0}));
}

TEST(TilingDialogRules, PaletteControlsFollowConversionAndClass) {
    TilingDialogValues v;
    v.paletteClass = 0;
    v.convert = true;
    EXPECT_TRUE(tilingPaletteRadiosEnabled(v));
    EXPECT_TRUE(tilingPaletteControlEnabled(v, 0));
    EXPECT_FALSE(tilingPaletteControlEnabled(v, 1));
    EXPECT_FALSE(tilingPaletteControlEnabled(v, 2));
    v.convert = false;
    EXPECT_FALSE(tilingPaletteRadiosEnabled(v));
    for (std::uint32_t c = 0; c < 3; ++c)
        EXPECT_FALSE(tilingPaletteControlEnabled(v, c));
}

TEST(TilingDialogRules, ItemLists) {
    EXPECT_EQ(tilingMedianCutItems().size(), 8u);
    EXPECT_EQ(tilingMedianCutItems()[3], "16");
    EXPECT_EQ(tilingEvenColorItems().size(), 11u);
    EXPECT_EQ(tilingEvenColorItems()[9], "216 safe color");
    EXPECT_EQ(tilingSlitGrayItems()[1], "light gray");
    EXPECT_EQ(tilingSizingMethodItems()[1], "tile size");
}

} // namespace
} // namespace vellora
