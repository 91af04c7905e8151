// Dialog rules, the parameter file, opening and saving pictures, quarter turns and flips.
#include "shell/dialogs/colorDialogRules.h"
#include "shell/dialogs/commonDialogRules.h"
#include "shell/dialogs/filterDialogRules.h"
#include "shell/dialogs/geometryDialogRules.h"
#include "shell/dialogs/hiddenMenuRules.h"
#include "shell/dialogs/tilingDialogRules.h"
#include "shell/dialogs/toneDialogRules.h"
#include "shell/parameterFile.h"
#include "shell/pictureConvert.h"
#include "shell/pictureExport.h"
#include "shell/pictureImport.h"
#include "shell/rotateCommand.h"
#include "shell/rotateFlip.h"
#include "shell/sheetSetup.h"
#include "shell/tableFiles.h"

#include "core/history.h"
#include "core/operationFrame.h"
#include "core/runFolders.h"
#include "imageio/pictureLibrary.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace vellora {
namespace {
using namespace test;

using Items = std::vector<std::string_view>;
using Ints = std::vector<std::int64_t>;
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

template <typename List> Items items(const List& list) {
    return Items(list.begin(), list.end());
}
bool same(const ParameterBlock& a, const ParameterBlock& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}
bool isDefault(const ParameterBlock& block) {
    return same(block, defaultParameterBlock());
}
// Whether "Okay" was refused, which leaves the (default) block alone.
bool refused(std::string_view message, const ParameterBlock& block) {
    EXPECT_TRUE(message.empty() || isDefault(block)) << message;
    return !message.empty();
}

// Arrows move by one within the limits: resize 64 times the size, crop's from the other fields.
TEST(DialogRules, ArrowSteps) {
    EXPECT_EQ(
        (Ints{limitedStep(5, true, 1, 10), limitedStep(50, false, 1, 10),
              limitedStep(7, true, 5, 4), unlimitedStep(kMax, true), unlimitedStep(kMin, false),
              resizeStep(25600, true, 400), resizeStep(0, true, 400)}),
        (Ints{6, 10, 7, kMax, kMin, 25600, 1}));
    EXPECT_EQ((Ints{toneStep(128, true, 0, 255), toneStep(128, false, 0, 255),
                    toneStep(-7, false, 0, 255), posterStep(0, true, kPosterRGB),
                    posterStep(2, false, kPosterBlue), posterStep(500, false, kPosterRed)}),
              (Ints{129, 127, 0, 2, 1, 128}));
    const CropDialogValues crop{12, 5, 12, 9};
    const auto step = [&](CropField field, bool up) { return cropStep(crop, field, up, 40, 30); };
    EXPECT_EQ(
        (Ints{cropStep(cropDialogOpening(40, 30), kCropTop, true, 40, 30), step(kCropLeft, true),
              step(kCropRight, false), step(kCropBottom, true), step(kCropTop, false)}),
        (Ints{30, 12, 12, 6, 8}));
    EXPECT_EQ(cropDialogOpening(40, 30), (CropDialogValues{1, 1, 40, 30}));
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
        EXPECT_EQ(Ints(block.cropRect, block.cropRect + 4),
                  (valid ? Ints{v[0] - 1, v[1] - 1, v[2] - 1, v[3] - 1} : Ints{0, 0, 0, 0}));
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
    v.width = 800;
    keepRatio(v, 400, 1);                     // a single row
    keepRatio(v, 0, 1), keepRatio(v, 400, 0); // an empty picture has no ratio to keep
    EXPECT_EQ(v.height, 2);
    v = resizeDialogOpening(block, 30, 20);
    EXPECT_FALSE(depthListEnabled(v.depth)); // the block's interpolation
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
    EXPECT_FALSE(depthListEnabled(v.depth)); // 24 bpp shown
    v.angle = kMin;
    storeRotate(v, block);
    EXPECT_EQ((Ints{block.rotateAngle, block.rotateBicubic, block.rotateDepthIndex,
                    block.rotateBlankIndex}),
              (Ints{kMin, 1, kDepth24Index, 5}));
    chooseDepth(v.depth, 1);
    chooseDepth(v.depth, 0);
    setInterpolation(v.depth, false);
    EXPECT_EQ(v.depth.shown + depthChoiceOpening(true, 0).shown, 0u); // opening checked: stored
}

// At 256 levels diffusion is grayed, shown and stored off, but the tick is kept for the others.
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
    EXPECT_EQ(items(invertDepthItems()), (Items{"source bpp", "24 bpp"})); // not 32 bpp
}

constexpr std::string_view kOrder = "outset must be smaller than endset";

TEST(ToneDialogRules, BlackWhiteOkayChecksRangeThenOrderAndRoundTrips) {
    constexpr std::string_view kRange = "out of range, which must be 0 ~ 255";
    const std::pair<Ints, std::string_view> cases[] = {
        {{300, 1, 255}, kRange}, {{-1, 1, 255}, kRange},    {{128, 256, 255}, kRange},
        {{128, 1, -3}, kRange},  {{128, 200, 100}, kOrder}, {{300, 200, 100}, kRange},
        {{255, 0, 255}, {}},     {{0, 100, 100}, {}}};
    for (const auto& [values, message] : cases) {
        ParameterBlock block = defaultParameterBlock();
        const BlackWhiteDialogValues v{true, false, true, values[0], values[1], values[2]};
        const std::string_view shown = storeBlackWhite(v, block);
        EXPECT_EQ(shown, message) << values[0] << " " << values[1];
        if (refused(shown, block)) continue;
        const BlackWhiteDialogValues back = blackWhiteDialogOpening(block);
        EXPECT_EQ((Ints{block.bwDiffusion, block.bwMedianCut, block.bwStretch}), (Ints{1, 0, 1}));
        EXPECT_EQ((Ints{back.threshold, back.outset, back.endset}), values);
    }
}

// Levels 1 … 128 (2 … 128 together) and not 1 for every single channel.
TEST(ToneDialogRules, PosterOkayRefusesAllOnesAndOutOfRangeAndRoundTrips) {
    PosterDialogValues v = posterDialogOpening(defaultParameterBlock());
    EXPECT_EQ(v.levels, (std::array<std::int64_t, 4>{2, 2, 1, 1}));
    for (std::size_t f = kPosterRGB; f <= kPosterBlue; ++f) // the common box or the three channels
        for (bool common : {false, true})
            EXPECT_EQ(posterFieldEnabled({common}, PosterField(f)), common == (f == kPosterRGB));
    const std::pair<PosterDialogValues, bool> cases[] = {
        {{false, {2, 1, 1, 1}}, false},  {{true, {1, 5, 5, 5}}, false},
        {{true, {129, 2, 1, 1}}, false}, {{false, {2, 129, 2, 2}}, false},
        {{false, {2, 0, 2, 2}}, false},  {{false, {2, 4294967295, 2, 2}}, false}, // not -1
        {{false, {0, 1, 1, 2}}, true},   {{true, {2, 0, 0, 0}}, true},
        {{true, {128, 1, 1, 1}}, true},  {{false, {2, 17, 15, 1}}, true}};
    for (const auto& [values, valid] : cases) {
        ParameterBlock block = defaultParameterBlock();
        const std::string_view shown = storePoster(values, block);
        EXPECT_EQ(shown, valid ? "" : "each level must be 1 ~ 128 and not 1 same all")
            << values.common << " " << values.levels[0] << " " << values.levels[1];
        if (refused(shown, block)) continue;
        const PosterDialogValues back = posterDialogOpening(block);
        EXPECT_EQ(std::tuple(back.common, back.levels, block.posterCommon),
                  std::tuple(values.common, values.levels, std::uint32_t(values.common)));
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
        const std::string_view shown =
            storeHistogram({{true, false, false}, outset, endset}, block);
        EXPECT_EQ(shown, message) << outset[1] << " " << endset[1];
        if (refused(shown, block)) continue;
        const HistogramDialogValues back = histogramDialogOpening(block);
        EXPECT_EQ(std::tuple(back.enabled, back.outset, back.endset, block.histEnabled[0]),
                  std::tuple(std::array<bool, 3>{true, false, false}, outset, endset, 1u));
    }
}

// Count and size keep their pairs, the shown one 1 or more, the slit stored 0 or more; the palette
// choice is kept even when the layout is refused.
TEST(TilingDialogRules, SizingPairsAndOkay) {
    ParameterBlock block = defaultParameterBlock();
    TilingDialogValues v = tilingDialogValues(block);
    EXPECT_EQ(tilingSizingCell(v.sizingMethod, 0), 2);
    EXPECT_EQ(tilingSizingLabel(v.sizingMethod), "size, w. x h.");
    EXPECT_EQ(tilingSizingCell(0, 1) * 10 + tilingSizingCell(7, 1), 13); // past the list: size
    EXPECT_EQ(tilingSizingLabel(0), "around count");
    EXPECT_EQ(tilingSizingLabel(7), "size, w. x h."); // past the list: the last
    v.paletteClass = 0;
    v.medianIndex = 5;
    v.sizing[3] = 0; // tile height
    storeTilingPaletteChoice(v, block);
    EXPECT_EQ(tilingOkayProblem(v), "tile count or size must be set plus numeral");
    EXPECT_EQ((Ints{block.tilingConvert, block.tilingPaletteClass, block.tilingMedianIndex}),
              (Ints{1, 0, 5}));
    v.sizingMethod = 0; // the zero sits in the other pair
    v.sizing[0] = v.sizing[1] = 1;
    EXPECT_EQ(tilingOkayProblem(v), "");
    v.sizing = {64, 48, 9, 9, -3};
    std::tie(v.hSlitGray, v.vSlitGray) = std::pair(5, 2);
    storeTilingLayout(v, block);
    const TilingDialogValues back = tilingDialogValues(block);
    EXPECT_EQ(back.sizing, (std::array<std::int32_t, 5>{64, 48, 9, 9, 0}));
    EXPECT_EQ((Ints{back.sizingMethod, back.hSlitGray, back.vSlitGray}), (Ints{0, 5, 2}));
    // Down stops at 0 but leaves a typed negative; up stops at the largest int.
    const std::tuple<int, bool, int> steps[] = {
        {1, false, 0}, {-3, false, -3}, {5, false, 4}, {0, true, 1}, {kMax, true, kMax}};
    for (const auto& [value, up, stepped] : steps)
        EXPECT_EQ(tilingUpDownStep(value, up), stepped) << value;
}

// 3 x 3 enables the centre block of the 5 x 5 grid, and k; 5 x 5 everything.
TEST(FilterDialogRules, EnablingFollowsTheModeAndTheMaskSize) {
    EXPECT_TRUE(directionListsEnabled(0) && nonDirectionListEnabled(1));
    EXPECT_FALSE(directionListsEnabled(1) || nonDirectionListEnabled(0));
    EXPECT_EQ(edgeDirectionItems().at(3), "vert + horz"); // the fourth: two directions at once
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
    UserFilterValues values;
    for (int i = 0; i < kUserFilterValueCount; ++i)
        values.values[i] = 100 - 7 * i;
    values.sizeIndex = 1;
    storeUserFilter(values, block);
    EXPECT_EQ((Ints{block.userFilterMask[24], block.userFilterValue, block.userFilterSizeIndex}),
              (Ints{100 - 7 * 24, 100 - 7 * 25, 1}));
    EXPECT_EQ(userFilterOpening(block).values, values.values);
    std::array<std::string, kUserFilterValueCount> texts;
    texts.fill("0");
    std::tie(texts[0], texts[1], texts[2], texts[3], texts[kUserFilterKPlace]) =
        std::tuple("12abc", "2147483647", "-2147483648", "abc", " -4");
    const std::tuple<int, bool, Ints> steps[] = {
        {12, false, {12, kMax, kMin, 0, -4, -1}}, // 12: "0" down
        {1, true, {12, kMax, kMin, 0, -4, 0}},    // at the largest int already
        {2, false, {12, kMax, kMin, 0, -4, 0}},   // at the smallest
        {kUserFilterKPlace, true, {12, kMax, kMin, 0, -3, 0}},
        {0, true, {13, kMax, kMin, 0, -4, 0}},
        {26, true, {12, kMax, kMin, 0, -4, 0}}}; // outside the grid: only re-reads
    for (const auto& [place, up, after] : steps) {
        userFilterStep(values, texts, place, up);
        const auto& v = values.values;
        EXPECT_EQ((Ints{v[0], v[1], v[2], v[3], v[kUserFilterKPlace], v[12]}), after) << place;
    }
}

// Only "true color" (class 3) has no diffusion: grayed, shown and stored off. Each class's control
// is enabled for its class alone; a user path is cut to 259 characters and a zero.
TEST(ColorDialogRules, ListsDiffusionAndTheUserPath) {
    EXPECT_EQ(items(colorChoiceItems(0)), (Items{"2", "4", "8", "16", "32", "64", "128", "256"}));
    EXPECT_EQ(items(colorChoiceItems(3)), (Items{"24 bpp", "32 bpp"}));
    EXPECT_EQ(colorChoiceItems(2).size() * 100 + colorChoiceItems(4).size() +
                  colorChoiceItems(-1).size(),
              1100u); // 11 even palettes; no list past class 3
    ParameterBlock block = defaultParameterBlock();
    block.colorDiffusion = 0;
    block.colorMethod = 2;
    std::copy_n(std::array<std::uint32_t, 4>{3, 0, 10, 1}.begin(), 4, block.colorChoice);
    ColorDialogValues v = colorDialogValues(block);
    EXPECT_EQ((Ints{v.diffusion, v.colorClass, v.choices[0], v.choices[1], v.choices[2],
                    v.choices[3], colorDiffusionShown(v)}),
              (Ints{0, 2, 3, 0, 10, 1, 0}));
    v.diffusion = true;
    for (std::uint32_t c = 0; c <= 4; ++c) {
        v.colorClass = c;
        EXPECT_EQ(colorDiffusionEnabled(v) + colorDiffusionShown(v), c == 3 ? 0 : 2) << c;
        EXPECT_TRUE(colorClassControlEnabled(v, c) && !colorClassControlEnabled(v, (c + 1) % 5));
    }
    storeColorChoice({true, 3, {1, 1, 2, 1}}, std::string(300, 'p'), block);
    EXPECT_EQ((Ints{block.colorDiffusion, block.colorMethod, block.colorChoice[2]}),
              (Ints{0, 3, 2}));
    EXPECT_EQ(userPalettePathOf(block), std::string(259, 'p'));
    storeColorChoice({true, 1, {1, 1, 2, 1}}, "/u/a.csv", block);
    EXPECT_EQ(block.colorDiffusion * 10 + block.colorMethod, 11u);
    EXPECT_EQ(userPalettePathOf(block), "/u/a.csv"); // the longer path's rest is cleared
}

// Quality 100 − 5 × position, divisions 9 − position; a value no entry shows selects -1, is kept.
TEST(HiddenMenuRules, PositionsAndOkay) {
    for (auto [quality, index] : {std::pair{100u, 0}, {95u, 1}, {0u, 20}, {105u, -1}, {7u, -1}})
        EXPECT_EQ(hiddenMenuQualityIndex(quality), index) << quality;
    for (auto [divisions, index] : {std::pair{9u, 0}, {1u, 8}, {0u, -1}, {10u, -1}})
        EXPECT_EQ(hiddenMenuDivisionIndex(divisions), index) << divisions;
    ParameterBlock b = defaultParameterBlock();
    std::tie(b.saveDepthIndex, b.saveQuality, b.saveBitsPerPixel, b.evenDivisions[1]) =
        std::tuple(2, 93, 8, 12);
    const auto saved = [&] {
        return Ints{b.saveDepthIndex,   b.saveQuality,      b.saveBitsPerPixel,
                    b.evenDivisions[0], b.evenDivisions[1], b.evenDivisions[2]};
    };
    const HiddenMenuChoice opened = hiddenMenuChoice(b);
    EXPECT_EQ((Ints{opened.depthIndex, opened.qualityIndex, opened.divisionIndex[0],
                    opened.divisionIndex[1], opened.divisionIndex[2]}),
              (Ints{-1, -1, 1, -1, 4}));
    storeHiddenMenuChoice(opened, b);
    EXPECT_EQ(saved(), (Ints{2, 93, 8, 8, 12, 5}));
    storeHiddenMenuChoice({1, 2, {0, 8, -1}}, b); // "24 bpp" stores 24 bits as well
    EXPECT_EQ(saved(), (Ints{1, 90, 24, 9, 1, 5}));
    storeHiddenMenuChoice({0, 20, {8, 9, 2}}, b);
    EXPECT_EQ(saved(), (Ints{0, 0, 24, 1, 1, 7}));
}

// Fields count as their leading integer, held at the ends of 32 bits; a palette shows its name.
TEST(CommonDialogRules, LeadingIntegersAndFileNames) {
    EXPECT_EQ((Ints{leadingInteger("\t+12-3"), leadingInteger("99999999999"), leadingInteger("-"),
                    leadingInteger("2147483648"), leadingInteger("-99999999999")}),
              (Ints{12, kMax, 0, kMax, kMin}));
    EXPECT_EQ((Items{pathFileName("C:\\p\\a.csv"), pathFileName("/u/b/c.csv"), pathFileName("d"),
                     pathFileName("e/")}),
              (Items{"a.csv", "c.csv", "d", ""}));
}

namespace fs = std::filesystem;

std::uint8_t* bytesOf(ParameterBlock& block) {
    return reinterpret_cast<std::uint8_t*>(&block);
}
// The file holding `reserved` and the first `count` bytes of `block`.
std::vector<std::uint8_t> fileBytes(std::uint8_t reserved, ParameterBlock block,
                                    std::size_t count = kParameterBlockBytes) {
    std::vector<std::uint8_t> bytes(12 + count, reserved);
    std::memcpy(bytes.data() + 12, bytesOf(block), count);
    return bytes;
}

TEST(ParameterFile, WritesAndReadsBackAndAFailedSaveShowsAnAlert) {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    ParameterBlock saved = defaultParameterBlock();
    saved.grayLevelIndex = 3;
    std::strcpy(saved.userPalettePath, "/home/me/palette/user.csv");
    saved.reserved0[5] = 0xAB; // reserved areas of the block are carried too
    const ParameterFileReserved reserved{0xFF, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0x7E};
    const fs::path path = dir / "config" / "vellora" / "v.par"; // its folders are made private
    ASSERT_EQ(saveParameterFile(frontend, path, {-8, 20, 1016, 788}, saved, reserved), 0);
    for (const fs::path& folder : {dir / "config", path.parent_path()})
        EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all) << folder;
    const auto bytes = test::readFileBytes(path);
    ASSERT_EQ(bytes.size(), 816u);
    EXPECT_TRUE(std::equal(reserved.begin(), reserved.end(), bytes.begin()));
    // Block offsets (12 bytes on): rectangle, width, height, gray levels, quality, tiles across.
    const std::pair<std::size_t, std::int32_t> fields[] = {{36, -8},  {40, 20},   {44, 1016},
                                                           {48, 788}, {68, 1024}, {72, 768},
                                                           {528, 3},  {172, 100}, {784, 64}};
    for (const auto& [offset, value] : fields)
        EXPECT_EQ(std::int32_t(readLe32(bytes.data() + 12 + offset)), value) << offset;
    EXPECT_TRUE(frontend.messages.empty());
    ParameterFileReserved readReserved{};
    ParameterBlock read = defaultParameterBlock();
    ASSERT_TRUE(loadParameterFile(path, readReserved, read));
    EXPECT_TRUE(readReserved == reserved && same(read, saved));
    EXPECT_FALSE(loadParameterFile(dir / "absent.par", readReserved, read));
    EXPECT_FALSE(loadParameterFile(dir.path(), readReserved, read)); // a folder is no file
    EXPECT_TRUE(!loadParameterBytes({}, readReserved, read) && same(read, saved));
    // A folder that is a plain file cannot be made; the file stays as it was.
    test::writeFileBytes(dir / "plain", {1, 2, 3});
    EXPECT_EQ(saveParameterFile(frontend, dir / "plain" / "vellora.par", {}, saved, {}), -1);
    ASSERT_EQ(frontend.messages.size(), 1u);
    EXPECT_EQ(frontend.messages[0].caption, "alert");
    const std::string cause =
        "failed to open .par file\ncannot write \"" + (dir / "plain").string() + "\": ";
    EXPECT_EQ(frontend.messages[0].text.rfind(cause, 0), 0u) << frontend.messages[0].text;
    EXPECT_EQ(test::readFileBytes(dir / "plain"), (std::vector<std::uint8_t>{1, 2, 3}));
}

// A short file's rest keeps the defaults; each out-of-range value becomes its field's default.
TEST(ParameterFile, ShortFilesKeepTheDefaultsAndDamagedValuesAreRepaired) {
    ParameterBlock source = defaultParameterBlock();
    source.grayDiffusion = 0;  // block offset 524, inside the file
    source.grayLevelIndex = 2; // block offset 528, just past its end
    ParameterFileReserved reserved{};
    ParameterBlock block = defaultParameterBlock();
    ASSERT_TRUE(loadParameterBytes(fileBytes(0x5A, source, 528), reserved, block));
    EXPECT_EQ(block.grayDiffusion * 10 + block.grayLevelIndex, 7u);
    block = defaultParameterBlock();
    ASSERT_TRUE(loadParameterBytes(std::vector<std::uint8_t>{9, 8, 7}, reserved, block));
    EXPECT_EQ(reserved, (ParameterFileReserved{9, 8, 7, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A,
                                               0x5A, 0x5A}));
    EXPECT_TRUE(isDefault(block));
    source.grayLevelIndex = 8; // a list of 8 items
    source.posterLevelRed = 128;
    source.tileCountWide = -4;
    source.rotateAngle = -725;                                               // any angle
    std::memset(source.userPalettePath, 'x', sizeof source.userPalettePath); // no terminator
    ASSERT_TRUE(loadParameterBytes(fileBytes(0, source), reserved, block));
    EXPECT_EQ((Ints{block.grayLevelIndex, block.posterLevelRed, block.tileCountWide,
                    block.rotateAngle, block.userPalettePath[0]}),
              (Ints{7, 128, 64, -725, 0}));
}

// Start-up: file or defaults, window defaults, working copy; the saved block reaches the next run.
TEST(StartupParameters, SavedDefaultsReachTheNextRun) {
    test::TempDir dir;
    const fs::path path = dir / "vellora.par";
    test::RecordingFrontend frontend;
    {
        Session run(frontend);
        run.savedBlock.saveQuality = 3;
        const auto windowDefaults = [](ParameterBlock& b) { b.screenWidth = 1920; };
        EXPECT_FALSE(loadStartupParameters(run, path, windowDefaults));
        EXPECT_EQ(run.workingBlock.screenWidth, 1920u);
        run.workingBlock.screenWidth = 0;
        EXPECT_TRUE(isDefault(run.workingBlock));
        std::tie(run.savedBlock.grayLevelIndex, run.workingBlock.bwThreshold) = std::pair(3, 77);
        run.parameterFileReserved[4] = 0x44;
        ASSERT_EQ(saveSessionParameters(run, path, {10, 20, 810, 620}), 0);
        run.design.packSize = 25; // the build sheet's settings go beside the parameter file
        ASSERT_EQ(saveSessionSheetSettings(run, sheetSettingsPathBeside(path)), 0);
    }
    Session next(frontend);
    EXPECT_TRUE(loadStartupParameters(next, path));
    const ParameterBlock& b = next.workingBlock;
    EXPECT_EQ((Ints{b.grayLevelIndex, b.bwThreshold, b.windowRect[0], b.windowWidth}),
              (Ints{3, 128, 10, 800}));
    EXPECT_EQ(next.parameterFileReserved, (ParameterFileReserved{0, 0, 0, 0, 0x44}));
    EXPECT_EQ(loadSessionSheetSettings(next, dir / "vellora.sheet") * 100 + next.design.packSize,
              25);
    EXPECT_TRUE(frontend.messages.empty());
}

// Each flag (saveHiddenMenu at 84 to saveTiling at 148) copies exactly its block bytes [begin,
// end) (the colour group its palette path as a string too) and clears itself; crop copies nothing.
TEST(MergeSavedDefaults, EachFlagCopiesExactlyItsGroupAndClearsItself) {
    const std::array<std::size_t, 3> cases[] = {
        {84, 168, 192},  {88, 0, 0},      {92, 232, 240},  {96, 192, 208},  {100, 240, 264},
        {104, 524, 532}, {108, 532, 556}, {112, 556, 560}, {116, 560, 580}, {120, 580, 616},
        {124, 616, 620}, {128, 620, 624}, {132, 624, 628}, {136, 628, 644}, {140, 644, 648},
        {144, 648, 756}, {148, 756, 804}};
    constexpr std::size_t kPathOffset = 264;
    constexpr char kPath[] = "palette/user/mine.csv";
    for (const auto& [flagOffset, begin, end] : cases) {
        SCOPED_TRACE(flagOffset);
        ParameterBlock saved, working;
        std::memset(&saved, 0x11, sizeof saved);
        std::memset(&working, 0x22, sizeof working);
        std::memset(bytesOf(working) + 84, 0, 17 * 4); // every flag off …
        bytesOf(working)[flagOffset] = 1;              // … but this one
        std::memcpy(bytesOf(working) + kPathOffset, kPath, sizeof kPath);
        ParameterBlock workingAfter = working;
        bytesOf(workingAfter)[flagOffset] = 0;
        mergeSavedDefaults(saved, working);
        const bool copiesPath = flagOffset == 100;
        for (std::size_t i = 0; i < sizeof saved; ++i) {
            const bool inPath = copiesPath && i >= kPathOffset && i < kPathOffset + sizeof kPath;
            const bool copied = (i >= begin && i < end) || inPath;
            ASSERT_EQ(bytesOf(saved)[i], copied ? bytesOf(working)[i] : 0x11) << "byte " << i;
        }
        EXPECT_TRUE(same(working, workingAfter));
    }
}

void expectSameColors(const DibImage& actual, const DibImage& expected) {
    ASSERT_EQ(actual.width * 1000 + actual.height, expected.width * 1000 + expected.height);
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            ASSERT_EQ(rgbAt(actual, x, y), rgbAt(expected, x, y)) << x << "," << y;
}

class PictureFiles : public ::testing::Test {
  protected:
    RecordingFrontend frontend;
    Session session{frontend};
    TempDir folder;
    DibImage picture = randomPicture(11, 6, 8, 5);
    std::string error;
    void setUpSave(std::uint32_t depthIndex) { // three steps on, "picture.png" its name
        setCurrentPicture(session, picture);
        session.history.historyDepth = 3;
        session.picturePath = (folder / "picture.png").string();
        session.workingBlock.saveDepthIndex = depthIndex;
    }
};

TEST_F(PictureFiles, OpenConvertsIntoTheFirstIntermediateFileAndResetsTheHistory) {
    ASSERT_TRUE(imageio::savePicture(folder / "in.png", picture, "image/png", 100, 8, error));
    session.history.historyDepth = 4;
    int repaints = 0;
    const OpenOutcome outcome = openPicture(session, (folder / "in.png").string(), [&](Session& s) {
        ++repaints;
        s.currentInfo.zoomIndex = 6;
        EXPECT_EQ(s.currentInfo.state, kStateFit); // the view fits the new picture
    });
    EXPECT_EQ(outcome.result * 10 + repaints, 1);
    EXPECT_TRUE(frontend.messages.empty() && !session.modified());
    // Both records zoomed as the view left them, at the depth the probe found.
    EXPECT_EQ((std::vector<int>{session.currentInfo.state, session.dialogInfo.state,
                                session.dialogInfo.zoomIndex, session.currentInfo.bitsPerPixel}),
              (std::vector<int>{kStateZoom, kStateZoom, 6, 8}));
    EXPECT_EQ(session.saveAsPath, (folder / "in.png").string());
    EXPECT_EQ(fs::path(session.currentPath).filename(), "__VL_000.dib");
    expectSameColors(readImage(session.currentPath), picture);
    // A picture that does not load leaves the earlier one current; the caller reports it.
    writeFileBytes(folder / "broken.gif", {'G', 'I', 'F', '8', '9', 'a', 0});
    const std::string current = session.currentPath;
    const OpenOutcome broken =
        openPicture(session, (folder / "broken.gif").string(), [&](Session&) { ++repaints; });
    EXPECT_EQ(broken.result * 10 + repaints, 11);
    EXPECT_TRUE(!broken.reason.empty() && frontend.messages.empty());
    EXPECT_EQ(session.currentPath, current);
    EXPECT_EQ(session.picturePath, (folder / "in.png").string());
    const fs::directory_iterator files(fs::path(current).parent_path());
    EXPECT_EQ(std::distance(files, {}), 2); // the lock and the earlier picture
    const std::string overlong = (folder.path() / std::string(300, 'p')).string() + ".png";
    EXPECT_EQ(openPicture(session, overlong).result * 10 +
                  probePicture(session.currentInfo, overlong),
              11);
    EXPECT_EQ(frontend.texts(),
              (std::vector<std::string>{"the file path is longer than 259 characters",
                                        "failed to open the image file not supported"}));
}

TEST(PictureConvert, ExactLowerCaseExtensionsOnlyAndPathsUpTo259) {
    for (auto [destination, mime] :
         {std::pair{"/p/a.bmp", "image/bmp"}, {"a.jpeg", "image/jpeg"}, {"a.tiff", "image/tiff"}})
        EXPECT_EQ(encoderMimeType(destination), mime) << destination;
    for (const char* refused :
         {"a.JPG", "a.tif", "a.png.txt", "a.", "noExtension", "/dir.png/file", ""})
        EXPECT_EQ(encoderMimeType(refused), "") << refused;
    EXPECT_TRUE(isUsablePicturePath(std::string(259, 'a')));
    EXPECT_FALSE(isUsablePicturePath(std::string(260, 'a')) || isUsablePicturePath(""));
    EXPECT_EQ(clampedQuality(101) * 1000 + clampedQuality(7), 100007); // at most 100
}

// 24 bpp converts the intermediate file in place before the save; "source" saves it as it is.
TEST_F(PictureFiles, SaveWritesTheChosenDepthAndMarksThePictureSaved) {
    for (std::uint32_t depthIndex : {0u, 1u}) {
        setUpSave(depthIndex);
        const auto before = readFileBytes(session.currentPath);
        ASSERT_EQ(savePictureHandler(session), 0);
        EXPECT_TRUE(frontend.messages.empty());
        EXPECT_EQ(readFileBytes(session.currentPath) == before, depthIndex == 0);
        DibImage saved;
        ASSERT_TRUE(imageio::loadPicture(session.picturePath, saved, error)) << error;
        EXPECT_EQ(readImage(session.currentPath).bitsPerPixel * 100 + saved.bitsPerPixel,
                  depthIndex == 0 ? 808 : 2424);
        expectSameColors(saved, picture);
        EXPECT_FALSE(session.modified());
        EXPECT_EQ(session.currentInfo.state * 1000 + session.dialogInfo.state, kStateSaved * 1001);
    }
    session.saveAsPath = (folder / "copy.tiff").string();
    ASSERT_EQ(savePictureAsHandler(session), 0);
    EXPECT_EQ(session.picturePath, session.saveAsPath);
    imageio::PictureInfo info;
    ASSERT_TRUE(imageio::probePictureFile(session.saveAsPath, info, error)) << error;
    EXPECT_EQ(info.format, "tiff");
}

TEST_F(PictureFiles, RefusedSaveSaysWhyAndChangesNothing) {
    setUpSave(1); // would convert in place if the save went ahead
    const auto before = readFileBytes(session.currentPath);
    for (const char* name : {"out.JPG", "out.tif", "out", "out.bmp.bak", "missing/out.png"}) {
        frontend.clear();
        session.saveAsPath = (folder / name).string();
        EXPECT_EQ(savePictureAsHandler(session), 1);
        const std::string why = "failed to save a file\ncannot save \"" + session.saveAsPath;
        EXPECT_EQ(frontend.texts().at(0).rfind(why, 0), 0u) << frontend.texts().at(0);
        EXPECT_FALSE(fs::exists(session.saveAsPath));
    }
    EXPECT_EQ(readFileBytes(session.currentPath), before);
    EXPECT_EQ(session.picturePath, (folder / "picture.png").string());
    EXPECT_EQ(session.history.historyDepth * 1000 + session.currentInfo.state, 3000 + kStateZoom);
    const std::string far = std::string(260, '/') + session.currentPath; // too long, yet the file
    EXPECT_EQ(convertPicture(far + ".bmp", session.currentPath, 8, 100), 1);
    EXPECT_EQ(convertPicture(session.currentPath + ".bmp", far, 8, 100), 1);
    fs::remove(session.currentPath); // the read fails first, then the save
    frontend.clear();
    EXPECT_EQ(savePictureHandler(session), 1);
    EXPECT_EQ(frontend.texts(),
              (std::vector<std::string>{"failed to open the file\ncannot read \"" +
                                            session.currentPath + "\": No such file or directory",
                                        "failed to save a file"}));
    EXPECT_TRUE(!fs::exists(session.picturePath) && session.modified());
    EXPECT_EQ(writeTilingTableCsv(session, (folder / "t.csv").string()), 1); // nor the table
}

// Each command's turns and flips, by shape and where the top-left pixel lands: 0 top-left, 1
// top-right, 2 bottom-right, 3 bottom-left; Rotate by 90s alike, silent, depth kept or 24 bpp.
TEST(RotateFlip, EachCommandTurnsThePictureItsOwnWayAndUndoGoesBack) {
    // 3 x 2, every pixel its own entry; stored row 1 is the top row on screen.
    const DibImage source =
        makeIndexedImage(3, 2, 8, {1, 2, 3, 4, 5, 6}, [](int x, int y) { return y * 3 + x; });
    // Name, handler, Rotate's angle and depth index; corner, sideways, bits per pixel.
    const std::tuple<const char*, Handler, int, std::uint32_t, int, bool, int> cases[] = {
        {"right 90", rotateRight90Handler, 0, 0, 1, true, 8},
        {"180", rotate180Handler, 0, 0, 2, false, 8},
        {"left 90", rotateLeft90Handler, 0, 0, 3, true, 8},
        {"flip h", flipHorizontalHandler, 0, 0, 1, false, 8},
        {"flip v", flipVerticalHandler, 0, 0, 3, false, 8},
        {"rotate 90", rotateArbitraryHandler, 90, 1, 1, true, 24},
        {"rotate 450", rotateArbitraryHandler, 450, 0, 1, true, 8},
        {"rotate -270", rotateArbitraryHandler, -270, 1, 1, true, 24},
        {"rotate 180", rotateArbitraryHandler, 180, 0, 2, false, 8},
        {"rotate 270", rotateArbitraryHandler, 270, 0, 3, true, 8},
        {"rotate -90", rotateArbitraryHandler, -90, 1, 3, true, 24}};
    for (const auto& [name, handler, angle, depthIndex, corner, sideways, bits] : cases) {
        SCOPED_TRACE(name);
        RecordingFrontend frontend;
        Session session(frontend);
        setCurrentPicture(session, source);
        session.workingBlock.rotateAngle = angle;
        session.workingBlock.rotateDepthIndex = depthIndex;
        const std::string before = session.currentPath;
        ASSERT_EQ(runCommandHandler(session, handler), 0);
        EXPECT_TRUE(frontend.messages.empty() && frontend.progressVisibility.empty() &&
                    frontend.statusTexts.empty());
        const DibImage result = readImage(session.currentPath);
        ASSERT_EQ((std::array<int, 3>{result.bitsPerPixel, result.width, result.height}),
                  (std::array<int, 3>{bits, sideways ? 2 : 3, sideways ? 3 : 2}));
        const int right = result.width - 1, top = result.height - 1;
        const std::pair<int, int> corners[4] = {{0, top}, {right, top}, {right, 0}, {0, 0}};
        EXPECT_EQ(rgbAt(result, corners[corner].first, corners[corner].second), 4u);
        EXPECT_EQ(session.history.historyDepth, 1);
        ASSERT_TRUE(undo(session));
        EXPECT_EQ(session.currentPath, before);
    }
}

TEST(RotateFlip, TransformArgumentsAndDepth) {
    RecordingFrontend frontend;
    Session session(frontend);
    const DibImage picture = makeIndexedImage(13, 7, 4, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF},
                                              [](int x, int y) { return (x * x + y) % 4; });
    setCurrentPicture(session, picture);
    session.nextPath = (fs::path(session.currentPath).parent_path() / "__VL_001.dib").string();
    // Turns and flips 0 … 3, not both 0; a refusal writes nothing and says nothing.
    for (auto [turns, flip] : {std::pair{0, 0}, {4, 0}, {0, 4}, {-1, 1}, {1, -1}})
        EXPECT_EQ(transformPicture(session, session.currentPath, 4, turns, flip), 1) << turns;
    EXPECT_TRUE(!fs::exists(session.nextPath) && frontend.messages.empty());
    // Both flips at once are a half turn, and the depth asked for is kept.
    ASSERT_EQ(transformPicture(session, session.currentPath, 4, 0, 3), 0);
    const DibImage both = readImage(session.nextPath);
    EXPECT_EQ(both.bitsPerPixel, 4);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(rgbAt(both, 12 - x, 6 - y), rgbAt(picture, x, y)) << x << "," << y;
    // The picture library's quarter turns: 1 … 3 only, and 1 when the result cannot be written.
    EXPECT_EQ(rotateQuarterTurns(session, 4, false), 1);
    session.nextPath = (fs::path(session.currentPath).parent_path() / "gone" / "n.dib").string();
    EXPECT_EQ(rotateQuarterTurns(session, 1, true), 1);
    frontend.clear();
    fs::remove(session.currentPath); // the command's own text when its picture is gone
    EXPECT_EQ(runCommandHandler(session, rotateRight90Handler), 1);
    EXPECT_EQ(frontend.texts(), std::vector<std::string>{"failed to rotate or flip the image"});
    EXPECT_EQ(session.history.historyDepth, 0);
}

} // namespace
} // namespace vellora
