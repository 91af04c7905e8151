#include "shell/dialogs/geometryDialogRules.h"

#include <gtest/gtest.h>

#include <limits>

namespace vellora {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(LimitedStep, MovesByOneWithinLimitsAndPullsOutsideValuesToTheNearerLimit) {
    EXPECT_EQ(limitedStep(5, true, 1, 10), 6);
    EXPECT_EQ(limitedStep(5, false, 1, 10), 4);
    EXPECT_EQ(limitedStep(10, true, 1, 10), 10);
    EXPECT_EQ(limitedStep(1, false, 1, 10), 1);
    EXPECT_EQ(limitedStep(50, false, 1, 10), 10); // typed beyond the upper limit
    EXPECT_EQ(limitedStep(-7, true, 1, 10), 1);
    EXPECT_EQ(limitedStep(0, true, 1, 10), 1);
    EXPECT_EQ(limitedStep(7, true, 5, 4), 7); // empty limits: unchanged
}

TEST(LimitedStep, UnlimitedArrowsStopAtTheEndsOfTheRange) {
    EXPECT_EQ(unlimitedStep(0, false), -1);
    EXPECT_EQ(unlimitedStep(-1, true), 0);
    EXPECT_EQ(unlimitedStep(359, true), 360);
    EXPECT_EQ(unlimitedStep(kMax, true), kMax);
    EXPECT_EQ(unlimitedStep(kMin, false), kMin);
    EXPECT_EQ(unlimitedStep(kMax, false), kMax - 1);
}

TEST(DepthChoice, CheckingShows24AndUncheckingRestoresTheUsersLastChoice) {
    DepthChoice choice = depthChoiceOpening(false, 0);
    EXPECT_TRUE(depthListEnabled(choice));
    EXPECT_EQ(choice.shown, 0u);
    setInterpolation(choice, true);
    EXPECT_FALSE(depthListEnabled(choice));
    EXPECT_EQ(choice.shown, kDepth24Index);
    setInterpolation(choice, false);
    EXPECT_EQ(choice.shown, 0u); // the stored choice comes back

    chooseDepth(choice, 1);
    chooseDepth(choice, 0);
    setInterpolation(choice, true);
    setInterpolation(choice, false);
    EXPECT_EQ(choice.shown, 0u); // the last one chosen, not the first
    EXPECT_TRUE(depthListEnabled(choice));
}

TEST(DepthChoice, OpeningCheckedKeepsTheStoredSelection) {
    const DepthChoice choice = depthChoiceOpening(true, 0);
    EXPECT_FALSE(depthListEnabled(choice));
    EXPECT_EQ(choice.shown, 0u);
}

TEST(DialogSizeText, ShowsWidthTimesHeight) {
    EXPECT_EQ(dialogSizeText(400, 300), " : 400 x 300");
    EXPECT_EQ(dialogSizeText(1, 1), " : 1 x 1");
}

TEST(CropRules, OpensOnTheWholePicture) {
    const CropDialogValues v = cropDialogOpening(40, 30);
    EXPECT_EQ(v[kCropLeft], 1);
    EXPECT_EQ(v[kCropBottom], 1);
    EXPECT_EQ(v[kCropRight], 40);
    EXPECT_EQ(v[kCropTop], 30);
    EXPECT_EQ(cropSizeText(v, 40, 30), " : 40 x 30");
}

TEST(CropRules, ArrowLimitsFollowTheOtherFields) {
    CropDialogValues v{12, 5, 12, 9};                    // left = right, bottom 5, top 9
    EXPECT_EQ(cropStep(v, kCropLeft, true, 40, 30), 12); // left ≤ right
    EXPECT_EQ(cropStep(v, kCropLeft, false, 40, 30), 11);
    EXPECT_EQ(cropStep(v, kCropRight, false, 40, 30), 12); // right ≥ left
    EXPECT_EQ(cropStep(v, kCropRight, true, 40, 30), 13);
    EXPECT_EQ(cropStep(v, kCropBottom, true, 40, 30), 6);
    EXPECT_EQ(cropStep(v, kCropTop, false, 40, 30), 8);
    v = cropDialogOpening(40, 30);
    EXPECT_EQ(cropStep(v, kCropRight, true, 40, 30), 40);
    EXPECT_EQ(cropStep(v, kCropTop, true, 40, 30), 30);
    EXPECT_EQ(cropStep(v, kCropLeft, false, 40, 30), 1);
    EXPECT_EQ(cropStep(v, kCropBottom, false, 40, 30), 1);
}

TEST(CropRules, SizeTextAndStoreRefuseTheSameRectangles) {
    struct Case {
        CropDialogValues v;
        const char* text;
    };
    const Case cases[] = {
        {{4, 1, 13, 30}, " : 10 x 30"},      {{7, 3, 7, 3}, " : 1 x 1"}, // one pixel
        {{1, 2, 40, 30}, " : 40 x 29"},      // without the first stored row
        {{14, 1, 13, 30}, "invalid values"}, // left greater than right
        {{1, 1, 40, 31}, "invalid values"},  // top beyond the height
        {{0, 1, 40, 30}, "invalid values"},  {{1, 0, 40, 30}, "invalid values"},
        {{1, 1, 41, 30}, "invalid values"},  {{1, 9, 40, 8}, "invalid values"}, // top below bottom
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cropSizeText(c.v, 40, 30), c.text);
        ParameterBlock block = defaultParameterBlock();
        block.cropRect[0] = 77;
        const bool valid = std::string(c.text) != "invalid values";
        EXPECT_EQ(storeCrop(c.v, 40, 30, block), valid);
        if (valid) {
            EXPECT_EQ(block.cropRect[0], c.v[kCropLeft] - 1);
            EXPECT_EQ(block.cropRect[1], c.v[kCropBottom] - 1);
            EXPECT_EQ(block.cropRect[2], c.v[kCropRight] - 1);
            EXPECT_EQ(block.cropRect[3], c.v[kCropTop] - 1);
        } else {
            EXPECT_EQ(block.cropRect[0], 77);
        }
    }
}

TEST(ResizeRules, ArrowsStayWithin1To64TimesTheCurrentSize) {
    EXPECT_EQ(resizeStep(400, true, 400), 401);
    EXPECT_EQ(resizeStep(25600, true, 400), 25600);
    EXPECT_EQ(resizeStep(1, false, 400), 1);
    EXPECT_EQ(resizeStep(0, true, 400), 1);
    EXPECT_EQ(resizeStep(99999, false, 400), 25600);
}

TEST(ResizeRules, KeepRatioFollowsTheLastEditedDimensionHeightFirst) {
    const ParameterBlock block = defaultParameterBlock();
    ResizeDialogValues v = resizeDialogOpening(block, 400, 300);
    v.height = 150; // not marked as edited: height is the last edited before any edit anyway
    keepRatio(v, 400, 300);
    EXPECT_EQ(v.width, 200);

    v.width = 200;
    v.lastEdited = ResizeDimension::Width;
    keepRatio(v, 400, 300);
    EXPECT_EQ(v.height, 150);

    v.height = 100;
    v.lastEdited = ResizeDimension::Height;
    keepRatio(v, 400, 300);
    EXPECT_EQ(v.width, 133);

    v.width = 1;
    v.lastEdited = ResizeDimension::Width;
    keepRatio(v, 400, 300);
    EXPECT_EQ(v.height, 0); // not clamped; "Okay" refuses it
}

TEST(ResizeRules, KeepRatioWithoutAPictureChangesNothing) {
    ResizeDialogValues v;
    v.width = 5;
    v.height = 7;
    keepRatio(v, 0, 0);
    EXPECT_EQ(v.width, 5);
    EXPECT_EQ(v.height, 7);
}

TEST(ResizeRules, StoreChecksTheLimitsAndKeepsTheBlockOnRefusal) {
    ParameterBlock block = defaultParameterBlock();
    ResizeDialogValues v = resizeDialogOpening(block, 30, 20);
    EXPECT_TRUE(v.depth.interpolate);
    v.width = 64 * 30;
    v.height = 1;
    setInterpolation(v.depth, false);
    chooseDepth(v.depth, 0);
    ASSERT_TRUE(storeResize(v, 30, 20, block));
    EXPECT_EQ(block.resizeWidth, 1920);
    EXPECT_EQ(block.resizeHeight, 1);
    EXPECT_EQ(block.resizeInterpolate, 0u);
    EXPECT_EQ(block.resizeDepthIndex, 0u);

    const ParameterBlock before = block;
    for (auto [w, h] : {std::pair{64 * 30 + 1, 20}, {0, 20}, {30, 0}, {30, 64 * 20 + 1}}) {
        v.width = w;
        v.height = h;
        EXPECT_FALSE(storeResize(v, 30, 20, block));
        EXPECT_EQ(block.resizeWidth, before.resizeWidth);
        EXPECT_EQ(block.resizeHeight, before.resizeHeight);
    }
}

TEST(RotateRules, RoundTripThroughTheBlock) {
    ParameterBlock block = defaultParameterBlock();
    block.rotateAngle = -30;
    block.rotateBicubic = 0;
    block.rotateDepthIndex = 0;
    block.rotateBlankIndex = 5;
    RotateDialogValues v = rotateDialogOpening(block);
    EXPECT_EQ(v.angle, -30);
    EXPECT_TRUE(depthListEnabled(v.depth));
    EXPECT_EQ(v.depth.shown, 0u);
    EXPECT_EQ(v.blankIndex, 5u);

    setInterpolation(v.depth, true);
    v.angle = kMin;
    ParameterBlock out = defaultParameterBlock();
    storeRotate(v, out);
    EXPECT_EQ(out.rotateAngle, kMin);
    EXPECT_EQ(out.rotateBicubic, 1u);
    EXPECT_EQ(out.rotateDepthIndex, kDepth24Index);
    EXPECT_EQ(out.rotateBlankIndex, 5u);
}

TEST(RotateRules, BlankItemsAreTheSixGraysInIndexOrder) {
    const auto items = blankColorItems();
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0], "white");
    EXPECT_EQ(items[1], "light gray");
    EXPECT_EQ(items[2], "little gray");
    EXPECT_EQ(items[3], "medium gray");
    EXPECT_EQ(items[4], "deep gray");
    EXPECT_EQ(items[5], "black");
    ASSERT_EQ(outputDepthItems().size(), 2u);
    EXPECT_EQ(outputDepthItems()[0], "source bpp");
    EXPECT_EQ(outputDepthItems()[1], "24 bpp");
}

} // namespace
} // namespace vellora
