#include "filter/edgeDetect.h"
#include "core/intermediateFiles.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "filter/convolve.h"
#include "filter/edgeMask.h"
#include "filterReference.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vellora {
namespace {

using test::gray;
using test::rgbAt;

struct EdgeRef {
    int family, index;
};

std::vector<EdgeRef> everyEdgeMask() {
    std::vector<EdgeRef> masks;
    for (int i = 0; i < 12; ++i)
        masks.push_back({kDirectionFamily, i});
    for (int i = 0; i < kNonDirectionMaskCount; ++i)
        masks.push_back({kNonDirectionFamily, i});
    return masks;
}

FilterMask edgeMask(int family, int index) {
    FilterMask mask;
    EXPECT_TRUE(makeEdgeMask(mask, family, index));
    return mask;
}

DibImage convolved(const DibImage& source, const FilterMask& mask) {
    return test::runPass(
        source, [&](Session& s, DibImage& t, const DibImage& src) { convolve(s, t, src, mask); });
}

class EveryEdgeMask : public ::testing::TestWithParam<EdgeRef> {};

TEST_P(EveryEdgeMask, TurnsOneColourBlack) {
    const auto ref = GetParam();
    for (int depth : {8, 24}) {
        const DibImage source =
            depth == 8 ? test::makeIndexedImage(6, 7, 8, {0, 0xA0F0C0}, [](int, int) { return 1; })
                       : test::makeTrueColorImage(6, 7, [](int, int) { return 0xA0F0C0u; });
        const DibImage result = convolved(source, edgeMask(ref.family, ref.index));
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 6; ++x)
                ASSERT_EQ(rgbAt(result, x, y), 0u) << depth;
    }
}

TEST_P(EveryEdgeMask, MatchesThePlainFilterOnRandomPictures) {
    const auto ref = GetParam();
    const FilterMask mask = edgeMask(ref.family, ref.index);
    for (auto [w, h, depth] :
         {std::tuple{1, 1, 24}, {9, 1, 4}, {1, 9, 24}, {13, 11, 24}, {20, 6, 8}}) {
        const DibImage source = test::randomPicture(w, h, depth, unsigned(ref.index * 31 + w));
        ASSERT_TRUE(
            test::samePixels(test::referenceConvolve(source, mask), convolved(source, mask)));
    }
}

INSTANTIATE_TEST_SUITE_P(Masks, EveryEdgeMask, ::testing::ValuesIn(everyEdgeMask()));

// Stored rows below `step` hold `low`, the others `high`.
DibImage rowStep(int step, int low, int high) {
    return test::makeTrueColorImage(5, 20, [=](int, int y) { return gray(y < step ? low : high); });
}

TEST(EdgeValues, SobelVerticalMarksTheTwoRowsAtARisingStep) {
    const DibImage result = convolved(rowStep(10, 0, 100), edgeMask(kDirectionFamily, 0));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(rgbAt(result, x, y), y == 9 || y == 10 ? gray(255) : 0u) << x << "," << y;
}

TEST(EdgeValues, SobelVerticalIgnoresTheUpsideDownStep) {
    const DibImage result = convolved(rowStep(10, 100, 0), edgeMask(kDirectionFamily, 0));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(rgbAt(result, x, y), 0u);
}

TEST(EdgeValues, PrewittHorizontalGivesNinetyOnBothStepColumns) {
    const DibImage source =
        test::makeTrueColorImage(10, 4, [](int x, int) { return gray(x < 5 ? 0 : 30); });
    const DibImage result = convolved(source, edgeMask(kDirectionFamily, 4));
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(rgbAt(result, x, 2), x == 4 || x == 5 ? gray(90) : 0u) << x;
}

TEST(EdgeValues, RippleTruncatesTheRootOfTwoResponse) {
    // The only lit tap of (2, 2) is ripple 07a's s: mask row 0 (stored row 1), column 3.
    const DibImage source = test::makeTrueColorImage(
        5, 5, [](int x, int y) { return x == 3 && y == 1 ? gray(100) : 0u; });
    EXPECT_EQ(rgbAt(convolved(source, edgeMask(kNonDirectionFamily, 7)), 2, 2), gray(141));
}

TEST(EdgeMasks, GradientObliqueIsItsHorizontalMask) {
    const FilterMask oblique = edgeMask(kDirectionFamily, 11);
    const FilterMask horizontal = edgeMask(kDirectionFamily, 10);
    EXPECT_EQ(oblique.coefficients, horizontal.coefficients);
    const DibImage source = test::randomPicture(12, 9, 24, 5);
    EXPECT_TRUE(test::samePixels(convolved(source, horizontal), convolved(source, oblique)));
}

TEST(EdgeMasks, EveryMaskSumsToZeroWithDivisorOne) {
    for (const EdgeRef& ref : everyEdgeMask()) {
        const FilterMask mask = edgeMask(ref.family, ref.index);
        double sum = 0;
        for (int q = 0; q < mask.size * mask.size; ++q)
            sum += mask.coefficients[std::size_t(q)];
        EXPECT_NEAR(sum, 0, 1e-12);
        EXPECT_EQ(mask.k, 1);
    }
}

TEST(EdgeMasks, IndicesOutsideTheTablesAreRefused) {
    for (auto [family, index] : {std::pair{0, 12}, {0, -1}, {1, 9}, {2, 0}}) {
        FilterMask mask;
        EXPECT_FALSE(makeEdgeMask(mask, family, index));
        EXPECT_TRUE(mask.coefficients.empty());
    }
}

struct StrongerCase {
    std::uint32_t vertical, horizontal, expected;
};

class StrongerOfTwo : public ::testing::TestWithParam<StrongerCase> {};

TEST_P(StrongerOfTwo, TakesTheVerticalColourOnlyWhenStrictlyStronger) {
    const auto c = GetParam();
    const DibImage first = test::makeTrueColorImage(2, 2, [&](int, int) { return c.vertical; });
    const DibImage second = test::makeTrueColorImage(2, 2, [&](int, int) { return c.horizontal; });
    test::RecordingFrontend frontend;
    Session session(frontend);
    DibImage target = test::makeImage(2, 2, 24);
    EXPECT_EQ(strongerOfTwo(session, target, first, second), 0);
    EXPECT_EQ(rgbAt(target, 1, 1), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, StrongerOfTwo,
                         ::testing::Values(StrongerCase{gray(10), 0x120000, 0x120000}, // 300 < 324
                                           StrongerCase{0x000012, 0x120000,
                                                        0x120000}, // equal: horizontal
                                           StrongerCase{gray(11), 0x120000, gray(11)}, // 363 > 324
                                           StrongerCase{0, 0, 0}));

class DetectEdgesFile : public ::testing::Test {
  protected:
    test::RecordingFrontend frontend;
    Session session{frontend};

    DibImage run(const DibImage& picture, int mode, int direction, int op, int nonDirection) {
        test::setCurrentPicture(session, picture);
        EXPECT_EQ(nextIntermediatePath(session, session.nextPath), 0);
        EXPECT_EQ(detectEdges(session, mode, direction, op, nonDirection), 0);
        EXPECT_TRUE(session.sourceImage.data.empty());
        EXPECT_TRUE(session.targetImage.data.empty());
        return test::readImage(session.nextPath);
    }
};

TEST_F(DetectEdgesFile, BothDirectionsChoosesPerPixelFromTheTwoResponses) {
    const DibImage source = test::randomPicture(17, 12, 8, 11, 4);
    for (int op = 0; op < kEdgeOperatorCount; ++op) {
        const DibImage vertical =
            test::referenceConvolve(source, edgeMask(kDirectionFamily, 3 * op));
        const DibImage horizontal =
            test::referenceConvolve(source, edgeMask(kDirectionFamily, 3 * op + 1));
        const DibImage result = run(source, 0, 3, op, 0);
        EXPECT_EQ(result.bitsPerPixel, 24);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 17; ++x) {
                const auto magnitude = [](std::uint32_t rgb) {
                    const int r = int(rgb >> 16), g = int(rgb >> 8 & 255), b = int(rgb & 255);
                    return r * r + g * g + b * b;
                };
                const std::uint32_t v = rgbAt(vertical, x, y), h = rgbAt(horizontal, x, y);
                ASSERT_EQ(rgbAt(result, x, y), magnitude(v) > magnitude(h) ? v : h);
            }
    }
}

TEST_F(DetectEdgesFile, BothDirectionsRunsTheBarThreeTimes) {
    run(test::randomPicture(6, 30, 24, 2), 0, 3, 0, 0);
    const auto& positions = frontend.progressPositions;
    EXPECT_EQ(std::count(positions.begin(), positions.end(), 100), 3);
}

TEST_F(DetectEdgesFile, OneDirectionAndNonDirectionUseTheirMask) {
    const DibImage source = test::randomPicture(9, 8, 4, 21);
    EXPECT_TRUE(
        test::samePixels(test::referenceConvolve(source, edgeMask(kDirectionFamily, 3 * 2 + 2)),
                         run(source, 0, 2, 2, 5)));
    EXPECT_TRUE(test::samePixels(test::referenceConvolve(source, edgeMask(kNonDirectionFamily, 4)),
                                 run(source, 1, 3, 3, 4)));
}

TEST_F(DetectEdgesFile, SettingsOutsideTheListsFailWithoutAResult) {
    test::setCurrentPicture(session, test::randomPicture(4, 4, 24, 1));
    EXPECT_EQ(nextIntermediatePath(session, session.nextPath), 0);
    for (auto [mode, direction, op, nd] :
         {std::tuple{2, 0, 0, 0}, {0, 4, 0, 0}, {0, 0, 4, 0}, {1, 0, 0, 9}, {0, -1, 0, 0}}) {
        EXPECT_EQ(detectEdges(session, mode, direction, op, nd), 1);
        EXPECT_FALSE(std::filesystem::exists(session.nextPath));
    }
}

TEST(EdgeTexts, ListsInOrder) {
    EXPECT_STREQ(edgeOperatorText(2), "kirsh");
    EXPECT_STREQ(edgeDirectionText(3), "vert + horz");
    EXPECT_STREQ(nonDirectionMaskText(4), "laplacian 25");
    EXPECT_STREQ(nonDirectionMaskText(8), "ripple 07b");
}

} // namespace
} // namespace vellora
