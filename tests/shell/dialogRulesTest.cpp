// The dialogs' rules without a dialog: opening values, lists, enabling, arrow steps and what
// "Okay" stores. A refused "Okay" leaves the block alone.
#include "shell/dialogs/filterDialogRules.h"
#include "shell/dialogs/geometryDialogRules.h"
#include "shell/dialogs/hiddenMenuRules.h"
#include "shell/dialogs/tilingDialogRules.h"
#include "shell/dialogs/toneDialogRules.h"


#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace vellora {
namespace {

using Items = std::vector<std::string_view>;
using Ints = std::vector<std::int64_t>;
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

template <typename List> Items items(const List& list) { return Items(list.begin(), list.end()); }
template <typename T> Ints ints(const T* values, std::size_t count) {
    return Ints(values, values + count);
}
bool isDefault(const ParameterBlock& block) {
    const ParameterBlock defaults = defaultParameterBlock();
    return std::memcmp(&block, &defaults, sizeof block) == 0;
}

// Arrows move by one and pull a typed value outside the limits to the nearer one; crop's limits
// follow the other fields.
TEST(DialogRules, ArrowSteps) {
    EXPECT_EQ(limitedStep(5, true, 1, 10), 6);
    EXPECT_EQ(limitedStep(10, true, 1, 10), 10);
    EXPECT_EQ(limitedStep(50, false, 1, 10), 10);
    EXPECT_EQ(limitedStep(7, true, 5, 4), 7); // empty limits: unchanged
    EXPECT_EQ(unlimitedStep(kMax, true), kMax);
    EXPECT_EQ(unlimitedStep(kMin, false), kMin);
    EXPECT_EQ(resizeStep(25600, true, 400), 25600); // up to 64 times the current size
    EXPECT_EQ(resizeStep(0, true, 400), 1);
    EXPECT_EQ(toneStep(128, false, 0, 255), 127);
    EXPECT_EQ(toneStep(300, false, 0, 255), 255);
    EXPECT_EQ(toneStep(-7, false, 0, 255), 0);
    EXPECT_EQ(posterStep(0, true, kPosterRGB), 2);   // 2 … 128 for all channels together
    EXPECT_EQ(posterStep(2, false, kPosterBlue), 1); // 1 … 128 for one
    EXPECT_EQ(posterStep(500, false, kPosterRed), 128);
    CropDialogValues v = cropDialogOpening(40, 30);
    EXPECT_EQ(v, (CropDialogValues{1, 1, 40, 30}));
    EXPECT_EQ(cropStep(v, kCropRight, true, 40, 30), 40);
    EXPECT_EQ(cropStep(v, kCropTop, true, 40, 30), 30);
    v = {12, 5, 12, 9};                                    // left = right, bottom 5, top 9
    EXPECT_EQ(cropStep(v, kCropLeft, true, 40, 30), 12);   // left ≤ right
    EXPECT_EQ(cropStep(v, kCropRight, false, 40, 30), 12); // right ≥ left
    EXPECT_EQ(cropStep(v, kCropBottom, true, 40, 30), 6);
    EXPECT_EQ(cropStep(v, kCropTop, false, 40, 30), 8);
}

TEST(GeometryDialogRules, CropSizeTextAndStoreRefuseTheSameRectangles) {
    const std::pair<CropDialogValues, const char*> cases[] = {
        {{4, 1, 13, 30}, " : 10 x 30"},     {{7, 3, 7, 3}, " : 1 x 1"},
        {{1, 2, 40, 30}, " : 40 x 29"},     {{14, 1, 13, 30}, "invalid values"},
        {{1, 1, 40, 31}, "invalid values"}, {{0, 1, 40, 30}, "invalid values"},
        {{1, 0, 40, 30}, "invalid values"}, {{1, 1, 41, 30}, "invalid values"},
        {{1, 9, 40, 8}, "invalid values"}};
    for (const auto& [v, text] : cases) {
        EXPECT_EQ(cropSizeText(v, 40, 30), text);
        ParameterBlock block = defaultParameterBlock();
        const bool valid = text[0] == ' ';
        EXPECT_EQ(storeCrop(v, 40, 30, block), valid) << text;
        EXPECT_EQ(ints(block.cropRect, 4), (valid ? Ints{v[0] - 1, v[1] - 1, v[2] - 1, v[3] - 1}
                                                  : Ints{0, 0, 0, 0}));
    }
}

// Keep ratio follows the dimension edited last, the height before any edit.
TEST(GeometryDialogRules, ResizeKeepsTheRatioAndStoresOnlyWithinTheLimits) {
    ParameterBlock block = defaultParameterBlock();
    ResizeDialogValues v = resizeDialogOpening(block, 400, 300);
    v.height = 150;
    keepRatio(v, 400, 300);
    EXPECT_EQ(v.width, 200);
    v.width = 1;
    v.lastEdited = ResizeDimension::Width;
    keepRatio(v, 400, 300);
    EXPECT_EQ(v.height, 0); // not clamped; "Okay" refuses it
    keepRatio(v, 0, 0);     // no picture
    EXPECT_EQ(v.height, 0);

    v = resizeDialogOpening(block, 30, 20);
    EXPECT_TRUE(v.depth.interpolate);
    setInterpolation(v.depth, false);
    chooseDepth(v.depth, 0);
    for (auto [w, h] : {std::pair{64 * 30 + 1, 20}, {0, 20}, {30, 0}, {30, 64 * 20 + 1}}) {
        std::tie(v.width, v.height) = std::pair(w, h);
        EXPECT_FALSE(storeResize(v, 30, 20, block)) << w << " x " << h;
        EXPECT_TRUE(isDefault(block));
    }
    std::tie(v.width, v.height) = std::pair(64 * 30, 1);
    ASSERT_TRUE(storeResize(v, 30, 20, block));
    EXPECT_EQ((Ints{block.resizeWidth, block.resizeHeight, block.resizeInterpolate,
                    block.resizeDepthIndex}),
              (Ints{1920, 1, 0, 0}));
}

// Interpolation shows 24 bpp and grays the list; unchecking brings back the user's last choice.
TEST(GeometryDialogRules, RotateRoundTripsThroughTheBlockWithItsDepthChoice) {
    ParameterBlock block = defaultParameterBlock();
    block.rotateAngle = -30;
    block.rotateBicubic = block.rotateDepthIndex = 0;
    block.rotateBlankIndex = 5;
    RotateDialogValues v = rotateDialogOpening(block);
    EXPECT_EQ((Ints{v.angle, v.depth.interpolate, v.depth.shown, v.blankIndex}),
              (Ints{-30, 0, 0, 5}));
    EXPECT_TRUE(depthListEnabled(v.depth));
    setInterpolation(v.depth, true);
    EXPECT_FALSE(depthListEnabled(v.depth));
    v.angle = kMin;
    storeRotate(v, block);
    EXPECT_EQ((Ints{block.rotateAngle, block.rotateBicubic, block.rotateDepthIndex,
                    block.rotateBlankIndex}),
              (Ints{kMin, 1, kDepth24Index, 5}));
    chooseDepth(v.depth, 1);
    chooseDepth(v.depth, 0);
    setInterpolation(v.depth, false);
    EXPECT_EQ(v.depth.shown, 0u);
    EXPECT_EQ(depthChoiceOpening(true, 0).shown, 0u); // opening checked keeps the stored one
}

// Diffusion means nothing at 256 levels: it is grayed, shown off and stored off, but the tick is
// remembered for the other levels.
TEST(ToneDialogRules, GrayDiffusionAt256Levels) {
    ParameterBlock block = defaultParameterBlock();
    GrayDialogValues v = grayDialogOpening(block);
    EXPECT_TRUE(v.diffusion);
    EXPECT_EQ(grayLevelItems()[v.levelIndex], "256");
    EXPECT_FALSE(grayDiffusionEnabled(v) || grayDiffusionShown(v));
    v.levelIndex = 3;
    EXPECT_TRUE(grayDiffusionEnabled(v) && grayDiffusionShown(v));
    storeGray(v, block);
    EXPECT_EQ((Ints{block.grayDiffusion, block.grayLevelIndex}), (Ints{1, 3}));
    storeGray({true, 7}, block);
    EXPECT_EQ((Ints{block.grayDiffusion, block.grayLevelIndex}), (Ints{0, 7}));
    EXPECT_FALSE(grayDialogOpening(block).diffusion);
    EXPECT_EQ(items(invertDepthItems()), (Items{"source bpp", "24 bpp"})); // not 32 bpp
}

// The threshold needs neither diffusion nor median cut; its range needs the stretch as well.
TEST(ToneDialogRules, BlackWhiteEnablingChain) {
    for (int bits = 0; bits < 8; ++bits) {
        const BlackWhiteDialogValues v{(bits & 4) != 0, (bits & 2) != 0, (bits & 1) != 0};
        EXPECT_EQ(blackWhiteThresholdEnabled(v), bits < 2) << bits;
        EXPECT_EQ(blackWhiteRangeEnabled(v), bits == 1) << bits;
    }
}

constexpr std::string_view kOrder = "outset must be smaller than endset";

TEST(ToneDialogRules, BlackWhiteOkayChecksRangeThenOrderAndRoundTrips) {
    constexpr std::string_view kRange = "out of range, which must be 0 ~ 255";
    const std::pair<Ints, std::string_view> cases[] = {
        {{300, 1, 255}, kRange}, {{-1, 1, 255}, kRange},  {{128, 256, 255}, kRange},
        {{128, 1, -3}, kRange},  {{128, 200, 100}, kOrder}, {{300, 200, 100}, kRange},
        {{255, 0, 255}, {}},     {{0, 100, 100}, {}}};
    for (const auto& [values, message] : cases) {
        ParameterBlock block = defaultParameterBlock();
        EXPECT_EQ(storeBlackWhite({true, false, true, values[0], values[1], values[2]}, block),
                  message)
            << values[0] << " " << values[1];
        if (!message.empty()) {
            EXPECT_TRUE(isDefault(block));
            continue;
        }
        const BlackWhiteDialogValues back = blackWhiteDialogOpening(block);
        EXPECT_EQ((Ints{back.diffusion, back.medianCut, back.stretch}), (Ints{1, 0, 1}));
        EXPECT_EQ((Ints{back.threshold, back.outset, back.endset}), values);
    }
}

// Levels 1 … 128 (2 … 128 together) and not 1 for every single channel.
TEST(ToneDialogRules, PosterOkayRefusesAllOnesAndOutOfRangeAndRoundTrips) {
    PosterDialogValues v = posterDialogOpening(defaultParameterBlock());
    EXPECT_EQ(v.levels, (std::array<std::int64_t, 4>{2, 2, 1, 1}));
    for (bool common : {false, true}) {
        v.common = common;
        EXPECT_EQ(posterFieldEnabled(v, kPosterRGB), common);
        for (PosterField f : {kPosterRed, kPosterGreen, kPosterBlue})
            EXPECT_EQ(posterFieldEnabled(v, f), !common);
    }
    const std::pair<PosterDialogValues, bool> cases[] = {
        {{false, {2, 1, 1, 1}}, false},  {{true, {1, 5, 5, 5}}, false},
        {{true, {129, 2, 1, 1}}, false}, {{false, {2, 129, 2, 2}}, false},
        {{false, {2, 0, 2, 2}}, false},  {{false, {2, 4294967295, 2, 2}}, false}, // not -1
        {{false, {0, 1, 1, 2}}, true},   {{true, {2, 0, 0, 0}}, true},
        {{true, {128, 1, 1, 1}}, true},  {{false, {2, 17, 15, 1}}, true}};
    for (const auto& [values, valid] : cases) {
        ParameterBlock block = defaultParameterBlock();
        EXPECT_EQ(storePoster(values, block),
                  valid ? "" : "each level must be 1 ~ 128 and not 1 same all")
            << values.common << " " << values.levels[0] << " " << values.levels[1];
        if (!valid) {
            EXPECT_TRUE(isDefault(block));
            continue;
        }
        EXPECT_EQ(posterDialogOpening(block).common, values.common);
        EXPECT_EQ(posterDialogOpening(block).levels, values.levels);
    }
}

// Every channel is checked, unchecked ones too, red first, outset before endset.
TEST(ToneDialogRules, HistogramOkayChecksEveryChannelInOrderAndRoundTrips) {
    constexpr std::string_view kRange = "out of range which must be 0 ~ 255";
    using Three = std::array<std::int64_t, 3>;
    const std::tuple<Three, Three, std::string_view> cases[] = {
        {{0, 0, 0}, {255, 256, 255}, kRange}, {{0, 0, -1}, {255, 255, 255}, kRange},
        {{0, 90, 0}, {255, 80, 255}, kOrder}, {{0, 90, 300}, {255, 80, 255}, kOrder},
        {{9, 0, 0}, {8, 999, 255}, kOrder},   {{100, 0, 255}, {100, 0, 255}, {}}};
    for (const auto& [outset, endset, message] : cases) {
        ParameterBlock block = defaultParameterBlock();
        EXPECT_EQ(storeHistogram({{true, false, false}, outset, endset}, block), message)
            << outset[1] << " " << endset[1];
        if (!message.empty()) {
            EXPECT_TRUE(isDefault(block));
            continue;
        }
        const HistogramDialogValues back = histogramDialogOpening(block);
        EXPECT_EQ(back.enabled, (std::array<bool, 3>{true, false, false}));
        EXPECT_EQ(back.outset, outset);
        EXPECT_EQ(back.endset, endset);
    }
}

// Count and size each keep their pair; the shown pair must be 1 or more, the slit is stored as
// at least 0, and the palette choice is kept even when the layout is refused.
TEST(TilingDialogRules, SizingPairsAndOkay) {
    ParameterBlock block = defaultParameterBlock();
    TilingDialogValues v = tilingDialogValues(block);
    EXPECT_EQ(tilingSizingCell(v.sizingMethod, 0), 2);
    EXPECT_EQ(tilingSizingLabel(v.sizingMethod), "size, w. x h.");
    EXPECT_EQ(tilingSizingCell(0, 1), 1);
    EXPECT_EQ(tilingSizingLabel(0), "around count");
    v.paletteClass = 0;
    v.medianIndex = 5;
    v.sizing[3] = 0; // tile height
    storeTilingPaletteChoice(v, block);
    EXPECT_EQ(tilingOkayProblem(v), "tile count or size must be set plus numeral");
    EXPECT_EQ((Ints{block.tilingPaletteClass, block.tilingMedianIndex}), (Ints{0, 5}));
    v.sizingMethod = 0; // the zero sits in the other pair
    EXPECT_EQ(tilingOkayProblem(v), "");
    v.sizing = {64, 48, 9, 9, -3};
    std::tie(v.hSlitGray, v.vSlitGray) = std::pair(5, 2);
    storeTilingLayout(v, block);
    const TilingDialogValues back = tilingDialogValues(block);
    EXPECT_EQ(back.sizing, (std::array<std::int32_t, 5>{64, 48, 9, 9, 0}));
    EXPECT_EQ((Ints{back.sizingMethod, back.hSlitGray, back.vSlitGray}), (Ints{0, 5, 2}));
    // Down stops at 0 but leaves a typed negative; up stops at the largest int.
    const std::tuple<int, bool, int> steps[] = {{1, false, 0}, {-3, false, -3}, {5, false, 4},
                                                {0, true, 1},  {kMax, true, kMax}};
    for (const auto& [value, up, stepped] : steps)
        EXPECT_EQ(tilingUpDownStep(value, up), stepped) << value;
}

TEST(TilingDialogRules, PaletteControlsFollowConversionAndClass) {
    for (std::uint32_t c = 0; c < 6; ++c) { // convert, then the class
        const TilingDialogValues v{c < 3, 1};
        EXPECT_EQ(tilingPaletteRadiosEnabled(v), c < 3);
        EXPECT_EQ(tilingPaletteControlEnabled(v, c % 3), c == 1) << c;
    }
}

// 3 x 3 enables the centre block of the 5 x 5 grid, and k; 5 x 5 everything.
TEST(FilterDialogRules, EnablingFollowsTheModeAndTheMaskSize) {
    EXPECT_TRUE(directionListsEnabled(0) && nonDirectionListEnabled(1));
    EXPECT_FALSE(directionListsEnabled(1) || nonDirectionListEnabled(0));
    std::string grid;
    for (int place = 0; place <= kUserFilterKPlace; ++place) {
        grid += userFilterPlaceEnabled(place, 0) ? "x" : ".";
        EXPECT_TRUE(userFilterPlaceEnabled(place, 1)) << place;
    }
    EXPECT_EQ(grid, "......xxx..xxx..xxx......x");
}

// An arrow first reads every field's text (its leading integer), then steps its own field.
TEST(FilterDialogRules, UserFilterRoundTripsAndItsArrowsReReadEveryText) {
    ParameterBlock block = defaultParameterBlock();
    UserFilterValues values = userFilterOpening(block);
    EXPECT_EQ((Ints{values.values[0], values.values[12], values.values[kUserFilterKPlace]}),
              (Ints{0, 1, 1}));
    for (int i = 0; i < kUserFilterValueCount; ++i)
        values.values[i] = 100 - 7 * i;
    values.sizeIndex = 1;
    storeUserFilter(values, block);
    EXPECT_EQ((Ints{block.userFilterMask[24], block.userFilterValue, block.userFilterSizeIndex}),
              (Ints{100 - 7 * 24, 100 - 7 * 25, 1}));
    EXPECT_EQ(userFilterOpening(block).values, values.values);

    std::array<std::string, kUserFilterValueCount> texts;
    texts.fill("0");
    texts[0] = "12abc";
    texts[3] = "abc";
    texts[1] = "2147483647";
    texts[2] = "-2147483648";
    texts[kUserFilterKPlace] = " -4";
    userFilterStep(values, texts, 12, false);
    EXPECT_EQ((Ints{values.values[0], values.values[3], values.values[kUserFilterKPlace],
                    values.values[12]}),
              (Ints{12, 0, -4, -1}));
    userFilterStep(values, texts, 1, true);
    EXPECT_EQ(values.values[1], kMax);
    userFilterStep(values, texts, 2, false);
    EXPECT_EQ(values.values[2], kMin);
    userFilterStep(values, texts, kUserFilterKPlace, true);
    EXPECT_EQ(values.values[kUserFilterKPlace], -3);
    userFilterStep(values, texts, 26, true); // outside the grid: only re-reads
    EXPECT_EQ(values.values[kUserFilterKPlace], -4);
}

// The lists open on the stored values; a value no entry shows keeps its field.
TEST(HiddenMenuRules, PositionsOfStoredValuesAndWhatOkayStores) {
    for (const auto& [value, index] : {std::pair{100, 0}, {75, 5}, {0, 20}, {73, -1}, {105, -1}})
        EXPECT_EQ(hiddenMenuQualityIndex(value), index) << value;
    ParameterBlock block = defaultParameterBlock();
    EXPECT_EQ(hiddenMenuChoice(block).divisionIndex, (std::array<int, 3>{1, 3, 4})); // 8, 6, 5
    block.saveBitsPerPixel = 8; // as a parameter file may hold it
    storeHiddenMenuChoice({0, 5, {0, 8, 3}}, block); // "source color depth" leaves it alone
    EXPECT_EQ((Ints{block.saveDepthIndex, block.saveBitsPerPixel, block.saveQuality}),
              (Ints{0, 8, 75}));
    EXPECT_EQ(ints(block.evenDivisions, 3), (Ints{9, 1, 6}));
    storeHiddenMenuChoice({1, 20, {0, 8, 3}}, block);
    EXPECT_EQ((Ints{block.saveDepthIndex, block.saveBitsPerPixel, block.saveQuality}),
              (Ints{1, 24, 0}));
    block.evenDivisions[1] = 12;
    const HiddenMenuChoice shown = hiddenMenuChoice(block);
    EXPECT_EQ(hiddenMenuDivisions(shown, block), (std::array<int, 3>{9, 12, 6}));
    storeHiddenMenuChoice(shown, block);
    EXPECT_EQ(block.evenDivisions[1], 12u);
}

} // namespace
} // namespace vellora
