#include "filter/convolve.h"
#include "filter/edgeMask.h"
#include "filter/filterMask.h"
#include "filterReference.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

namespace vellora {
namespace {

using test::gray;
using test::rgbAt;

FilterMask tableMask(int family, int index) {
    FilterMask mask;
    EXPECT_TRUE(makeMask(mask, family, index));
    return mask;
}

DibImage convolved(const DibImage& source, const FilterMask& mask) {
    return test::runPass(source, [&](Session& s, DibImage& t, const DibImage& src) {
        EXPECT_EQ(convolve(s, t, src, mask), 0);
    });
}

// A black field with one pixel of `value` at (cx, cy).
DibImage spot(int width, int height, int cx, int cy, std::uint32_t value) {
    return test::makeTrueColorImage(width, height,
                                    [=](int x, int y) { return x == cx && y == cy ? value : 0u; });
}

TEST(SmoothingValues, MeanAverageSpreadsOneWhitePixelAsTwentyEight) {
    const DibImage result = convolved(spot(7, 7, 3, 3, 0xFFFFFF), tableMask(kSmoothingFamily, 8));
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x) {
            const bool near = std::abs(x - 3) <= 1 && std::abs(y - 3) <= 1;
            EXPECT_EQ(rgbAt(result, x, y), near ? gray(28) : 0u) << x << "," << y;
        }
}

TEST(SmoothingValues, GaussianWeighsCentreEdgesAndCorners) {
    const DibImage result = convolved(spot(5, 5, 2, 2, 0xFFFFFF), tableMask(kSmoothingFamily, 0));
    EXPECT_EQ(rgbAt(result, 2, 2), gray(63));
    for (auto [x, y] : {std::pair{1, 2}, {3, 2}, {2, 1}, {2, 3}})
        EXPECT_EQ(rgbAt(result, x, y), gray(31));
    for (auto [x, y] : {std::pair{1, 1}, {3, 1}, {1, 3}, {3, 3}})
        EXPECT_EQ(rgbAt(result, x, y), gray(15));
    EXPECT_EQ(rgbAt(result, 0, 0), 0u);
}

TEST(SmoothingValues, BorderTapsRepeatTheEdgeRowAndColumn) {
    // Stored row 0 begins 0, 90: at (0, 0) rows -1 and 0 both read row 0, columns -1 and 0 column
    // 0.
    const DibImage source = spot(4, 4, 1, 0, gray(90));
    EXPECT_EQ(rgbAt(convolved(source, tableMask(kSmoothingFamily, 8)), 0, 0), gray(20));
}

TEST(SmoothingValues, SelectedSmoothingPutsMaskRowZeroOnTheRowStoredBefore) {
    const DibImage source =
        test::makeTrueColorImage(3, 3, [](int, int y) { return y == 0 ? gray(45) : 0u; });
    const DibImage result = convolved(source, tableMask(kSmoothingFamily, 3));
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(rgbAt(result, x, 1), gray(13)); // (2 + 3 + 8) x 45 / 45
}

struct HighPassCase {
    int centre, surround, expected;
};

class HighPassNine : public ::testing::TestWithParam<HighPassCase> {};

TEST_P(HighPassNine, ClampsBothWays) {
    const auto c = GetParam();
    const DibImage source = test::makeTrueColorImage(
        3, 3, [&](int x, int y) { return gray(x == 1 && y == 1 ? c.centre : c.surround); });
    EXPECT_EQ(rgbAt(convolved(source, tableMask(kSharpeningFamily, 1)), 1, 1), gray(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, HighPassNine,
                         ::testing::Values(HighPassCase{100, 90, 180}, HighPassCase{100, 200, 0},
                                           HighPassCase{200, 100, 255}));

struct MaskRef {
    int family, index;
};

std::vector<MaskRef> everyTableMask() {
    std::vector<MaskRef> masks;
    for (int i = 0; i < kSmoothingMaskCount; ++i)
        masks.push_back({kSmoothingFamily, i});
    for (int i = 0; i < kSharpeningMaskCount; ++i)
        masks.push_back({kSharpeningFamily, i});
    return masks;
}

class EveryTableMask : public ::testing::TestWithParam<std::tuple<MaskRef, int>> {};

TEST_P(EveryTableMask, LeavesOneColourUnchangedAtEveryDepth) {
    const auto [ref, depth] = GetParam();
    const std::uint32_t color = depth == 1 ? 0xC81159 : 0x5D11C8;
    const DibImage source =
        depth <= 8
            ? test::makeIndexedImage(9, 6, depth, {0x000000, color}, [](int, int) { return 1; })
            : test::makeTrueColorImage(9, 6, [&](int, int) { return color; });
    const DibImage result = convolved(source, tableMask(ref.family, ref.index));
    EXPECT_EQ(result.bitsPerPixel, 24);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(rgbAt(result, x, y), color) << x << "," << y;
}

TEST_P(EveryTableMask, MatchesThePlainFilterOnRandomPictures) {
    const auto [ref, depth] = GetParam();
    const FilterMask mask = tableMask(ref.family, ref.index);
    for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {11, 13}, {37, 5}}) {
        const DibImage source = test::randomPicture(w, h, depth, unsigned(w * 100 + h + depth));
        ASSERT_TRUE(
            test::samePixels(test::referenceConvolve(source, mask), convolved(source, mask)))
            << w << "x" << h;
    }
}

INSTANTIATE_TEST_SUITE_P(Masks, EveryTableMask,
                         ::testing::Combine(::testing::ValuesIn(everyTableMask()),
                                            ::testing::Values(1, 4, 8, 24, 32)));

TEST(SmoothingValues, OnePixelPictureIsUnchangedByEverySmoothingMask) {
    const DibImage source = test::makeTrueColorImage(1, 1, [](int, int) { return 0x3A7FE0u; });
    for (int i = 0; i < kSmoothingMaskCount; ++i)
        EXPECT_EQ(rgbAt(convolved(source, tableMask(kSmoothingFamily, i)), 0, 0), 0x3A7FE0u) << i;
}

TEST(MaskTable, GaussianFortyNineIsTheBinomialSquare) {
    const FilterMask mask = tableMask(kSmoothingFamily, 2);
    EXPECT_EQ(mask.size, 7);
    EXPECT_EQ(mask.half, 3);
    EXPECT_EQ(mask.coefficients[3], 20);
    EXPECT_EQ(mask.coefficients[24], 400);
    double sum = 0;
    for (int q = 0; q < 49; ++q)
        sum += mask.coefficients[std::size_t(q)];
    EXPECT_EQ(sum, mask.k);
}

TEST(MaskTable, EverySmoothingMaskSumsToItsDivisor) {
    for (int i = 0; i < kSmoothingMaskCount; ++i) {
        const FilterMask mask = tableMask(kSmoothingFamily, i);
        double sum = 0;
        for (int q = 0; q < mask.size * mask.size; ++q)
            sum += mask.coefficients[std::size_t(q)];
        EXPECT_EQ(sum, mask.k) << smoothingMaskText(i);
    }
}

TEST(MaskTable, ItemTextsInListOrder) {
    EXPECT_STREQ(smoothingMaskText(0), "gaussian 09");
    EXPECT_STREQ(smoothingMaskText(3), "selected smoothing 09");
    EXPECT_STREQ(smoothingMaskText(9), "mean average 25");
    EXPECT_STREQ(sharpeningMaskText(1), "high-pass 09");
}

TEST(MaskTable, UnknownFamilyOrIndexLeavesTheMaskAsItWas) {
    for (auto [family, index] : {std::pair{0, -1}, {0, 10}, {1, 2}, {2, 0}, {-1, 0}}) {
        FilterMask mask;
        mask.coefficients.assign(9, 7.0);
        mask.k = 3;
        mask.size = 3;
        mask.half = 1;
        EXPECT_FALSE(makeMask(mask, family, index));
        EXPECT_EQ(mask.coefficients, std::vector<double>(9, 7.0));
        EXPECT_EQ(mask.k, 3);
        EXPECT_EQ(mask.size, 3);
    }
}

TEST(ConvolveProgress, RunsFromZeroToOneHundred) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    const DibImage source = test::randomPicture(5, 40, 24, 3);
    DibImage target = test::makeImage(5, 40, 24);
    convolve(session, target, source, tableMask(kSmoothingFamily, 1));
    ASSERT_FALSE(frontend.progressPositions.empty());
    EXPECT_EQ(frontend.progressPositions.back(), 100);
    EXPECT_TRUE(
        std::is_sorted(frontend.progressPositions.begin(), frontend.progressPositions.end()));
}

} // namespace
} // namespace vellora
