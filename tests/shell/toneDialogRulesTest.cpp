// The tone dialogs' rules: the gray levels list and diffusion at 256 levels, the black and white
// enabling chain and its checks, posterization limits and the "not 1 same all" rule, and the
// histogram checks that take unchecked channels too. A refused "Okay" leaves the block alone.
#include "shell/dialogs/toneDialogRules.h"
#include "core/parameterBlock.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vellora;

namespace {

ParameterBlock defaults() {
    ParameterBlock block{};
    setParameterDefaults(block);
    return block;
}

bool same(const ParameterBlock& a, const ParameterBlock& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

constexpr std::string_view kRangeComma = "out of range, which must be 0 ~ 255";
constexpr std::string_view kRangeNoComma = "out of range which must be 0 ~ 255";
constexpr std::string_view kOrder = "outset must be smaller than endset";
constexpr std::string_view kLevels = "each level must be 1 ~ 128 and not 1 same all";

} // namespace

TEST(ToneStep, MovesByOneWithinTheLimitsAndPullsTypedValuesIn) {
    EXPECT_EQ(toneStep(128, true, 0, 255), 129);
    EXPECT_EQ(toneStep(128, false, 0, 255), 127);
    EXPECT_EQ(toneStep(255, true, 0, 255), 255);
    EXPECT_EQ(toneStep(0, false, 0, 255), 0);
    EXPECT_EQ(toneStep(300, true, 0, 255), 255);
    EXPECT_EQ(toneStep(300, false, 0, 255), 255);
    EXPECT_EQ(toneStep(-1, true, 0, 255), 0);
    EXPECT_EQ(toneStep(-7, false, 0, 255), 0);
}

TEST(GrayDialogRules, ListAndDiffusionAt256Levels) {
    const auto items = grayLevelItems();
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items.front(), "2");
    EXPECT_EQ(items[3], "16");
    EXPECT_EQ(items.back(), "256");

    const GrayDialogValues opening = grayDialogOpening(defaults());
    EXPECT_TRUE(opening.diffusion);
    EXPECT_EQ(opening.levelIndex, 7u);
    EXPECT_FALSE(grayDiffusionEnabled(opening)); // "256" by default
    EXPECT_FALSE(grayDiffusionShown(opening));

    GrayDialogValues sixteen = opening;
    sixteen.levelIndex = 3;
    EXPECT_TRUE(grayDiffusionEnabled(sixteen));
    EXPECT_TRUE(grayDiffusionShown(sixteen)); // the remembered tick shows again
    sixteen.diffusion = false;
    EXPECT_FALSE(grayDiffusionShown(sixteen));
}

TEST(GrayDialogRules, OkayStoresDiffusionOffAt256) {
    ParameterBlock block = defaults();
    storeGray({true, 7}, block);
    EXPECT_EQ(block.grayDiffusion, 0u);
    EXPECT_EQ(block.grayLevelIndex, 7u);
    storeGray({true, 0}, block);
    EXPECT_EQ(block.grayDiffusion, 1u);
    EXPECT_EQ(block.grayLevelIndex, 0u);
    storeGray({false, 5}, block);
    EXPECT_EQ(block.grayDiffusion, 0u);
    EXPECT_EQ(block.grayLevelIndex, 5u);
}

TEST(BlackWhiteDialogRules, OpensOnTheBlock) {
    ParameterBlock block = defaults();
    block.bwMedianCut = 0;
    block.bwThreshold = 77;
    block.bwStretch = 1;
    block.bwOutset = 10;
    block.bwEndset = 200;
    const BlackWhiteDialogValues v = blackWhiteDialogOpening(block);
    EXPECT_FALSE(v.diffusion);
    EXPECT_FALSE(v.medianCut);
    EXPECT_TRUE(v.stretch);
    EXPECT_EQ(v.threshold, 77);
    EXPECT_EQ(v.outset, 10);
    EXPECT_EQ(v.endset, 200);
}

TEST(BlackWhiteDialogRules, EnablingChain) {
    struct Case {
        bool diffusion, medianCut, stretch, threshold, range;
    };
    const Case cases[] = {
        {false, true, false, false, false}, {false, true, true, false, false},
        {false, false, false, true, false}, {false, false, true, true, true},
        {true, false, true, false, false},  {true, true, true, false, false},
    };
    for (const Case& c : cases) {
        BlackWhiteDialogValues v;
        v.diffusion = c.diffusion;
        v.medianCut = c.medianCut;
        v.stretch = c.stretch;
        EXPECT_EQ(blackWhiteThresholdEnabled(v), c.threshold) << c.diffusion << c.medianCut;
        EXPECT_EQ(blackWhiteRangeEnabled(v), c.range) << c.diffusion << c.medianCut << c.stretch;
    }
}

TEST(BlackWhiteDialogRules, OkayChecksRangeThenOrderAndStoresOnlyWhenValid) {
    struct Case {
        std::int64_t threshold, outset, endset;
        std::string_view message;
    };
    const Case cases[] = {
        {300, 1, 255, kRangeComma}, {-1, 1, 255, kRangeComma}, {128, 256, 255, kRangeComma},
        {128, 1, -3, kRangeComma},  {128, 200, 100, kOrder},   {300, 200, 100, kRangeComma},
        {255, 0, 255, {}},          {0, 100, 100, {}},
    };
    for (const Case& c : cases) {
        ParameterBlock block = defaults();
        const ParameterBlock before = block;
        BlackWhiteDialogValues v{true, false, true, c.threshold, c.outset, c.endset};
        EXPECT_EQ(storeBlackWhite(v, block), c.message) << c.threshold << " " << c.outset;
        if (!c.message.empty()) {
            EXPECT_TRUE(same(block, before));
            continue;
        }
        EXPECT_EQ(block.bwDiffusion, 1u);
        EXPECT_EQ(block.bwMedianCut, 0u);
        EXPECT_EQ(block.bwStretch, 1u);
        EXPECT_EQ(block.bwThreshold, std::uint32_t(c.threshold));
        EXPECT_EQ(block.bwOutset, std::uint32_t(c.outset));
        EXPECT_EQ(block.bwEndset, std::uint32_t(c.endset));
    }
}

TEST(InvertDialogRules, TwoFormats) {
    const auto items = invertDepthItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], "source bpp");
    EXPECT_EQ(items[1], "24 bpp");
}

TEST(PosterDialogRules, EnablingFollowsTheCommonBox) {
    PosterDialogValues v = posterDialogOpening(defaults());
    EXPECT_FALSE(v.common);
    EXPECT_EQ(v.levels, (std::array<std::int64_t, 4>{2, 2, 1, 1}));
    EXPECT_FALSE(posterFieldEnabled(v, kPosterRGB));
    for (PosterField f : {kPosterRed, kPosterGreen, kPosterBlue})
        EXPECT_TRUE(posterFieldEnabled(v, f));
    v.common = true;
    EXPECT_TRUE(posterFieldEnabled(v, kPosterRGB));
    for (PosterField f : {kPosterRed, kPosterGreen, kPosterBlue})
        EXPECT_FALSE(posterFieldEnabled(v, f));
}

TEST(PosterDialogRules, StepLimits) {
    EXPECT_EQ(posterStep(2, false, kPosterRGB), 2);
    EXPECT_EQ(posterStep(3, false, kPosterRGB), 2);
    EXPECT_EQ(posterStep(1, false, kPosterRed), 1);
    EXPECT_EQ(posterStep(2, false, kPosterBlue), 1);
    EXPECT_EQ(posterStep(128, true, kPosterGreen), 128);
    EXPECT_EQ(posterStep(127, true, kPosterRGB), 128);
    EXPECT_EQ(posterStep(0, true, kPosterRGB), 2); // typed 0, then up
    EXPECT_EQ(posterStep(500, false, kPosterRed), 128);
}

TEST(PosterDialogRules, OkayRefusesAllOnesAndOutOfRange) {
    struct Case {
        bool common;
        std::array<std::int64_t, 4> levels;
        bool valid;
    };
    const Case cases[] = {
        {false, {2, 1, 1, 1}, false},          {true, {1, 5, 5, 5}, false},
        {true, {129, 2, 1, 1}, false},         {false, {2, 129, 2, 2}, false},
        {false, {2, 0, 2, 2}, false},          {false, {2, -1, 2, 2}, false},
        {false, {0, 1, 1, 2}, true},           {true, {2, 0, 0, 0}, true},
        {true, {128, 1, 1, 1}, true},          {false, {2, 17, 15, 1}, true},
        {false, {2, 4294967295, 2, 2}, false},
    };
    for (const Case& c : cases) {
        ParameterBlock block = defaults();
        const ParameterBlock before = block;
        const PosterDialogValues v{c.common, c.levels};
        const std::string_view message = storePoster(v, block);
        EXPECT_EQ(message, c.valid ? std::string_view{} : kLevels)
            << c.common << " " << c.levels[0] << " " << c.levels[1];
        if (!c.valid) {
            EXPECT_TRUE(same(block, before));
            continue;
        }
        EXPECT_EQ(block.posterCommon, c.common ? 1u : 0u);
        EXPECT_EQ(block.posterLevelRGB, std::uint32_t(c.levels[0]));
        EXPECT_EQ(block.posterLevelRed, std::uint32_t(c.levels[1]));
        EXPECT_EQ(block.posterLevelGreen, std::uint32_t(c.levels[2]));
        EXPECT_EQ(block.posterLevelBlue, std::uint32_t(c.levels[3]));
    }
}

TEST(HistogramDialogRules, OpensOnTheBlockRedFirst) {
    ParameterBlock block = defaults();
    block.histEnabled[1] = 0;
    block.histOutset[2] = 30;
    block.histEndset[0] = 90;
    const HistogramDialogValues v = histogramDialogOpening(block);
    EXPECT_EQ(v.enabled, (std::array<bool, 3>{true, false, true}));
    EXPECT_EQ(v.outset, (std::array<std::int64_t, 3>{0, 0, 30}));
    EXPECT_EQ(v.endset, (std::array<std::int64_t, 3>{90, 255, 255}));
}

TEST(HistogramDialogRules, OkayChecksEveryChannelInOrder) {
    struct Case {
        std::array<std::int64_t, 3> outset, endset;
        std::string_view message;
    };
    const Case cases[] = {
        {{0, 0, 0}, {255, 256, 255}, kRangeNoComma},
        {{0, 0, -1}, {255, 255, 255}, kRangeNoComma},
        {{0, 90, 0}, {255, 80, 255}, kOrder},
        // Green's order fails before blue's range is reached.
        {{0, 90, 300}, {255, 80, 255}, kOrder},
        // Red's order fails before green's range.
        {{9, 0, 0}, {8, 999, 255}, kOrder},
        {{100, 0, 255}, {100, 0, 255}, {}},
    };
    for (const Case& c : cases) {
        ParameterBlock block = defaults();
        const ParameterBlock before = block;
        HistogramDialogValues v{{true, false, false}, c.outset, c.endset}; // green, blue off
        EXPECT_EQ(storeHistogram(v, block), c.message) << c.outset[1] << " " << c.endset[1];
        if (!c.message.empty()) {
            EXPECT_TRUE(same(block, before));
            continue;
        }
        EXPECT_EQ(block.histEnabled[0], 1u);
        EXPECT_EQ(block.histEnabled[1], 0u);
        EXPECT_EQ(block.histEnabled[2], 0u);
        for (std::size_t ch = 0; ch < 3; ++ch) {
            EXPECT_EQ(block.histOutset[ch], std::uint32_t(c.outset[ch]));
            EXPECT_EQ(block.histEndset[ch], std::uint32_t(c.endset[ch]));
        }
    }
}
