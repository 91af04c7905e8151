#include "filter/edgePreserving.h"
#include "filter/windowLuminance.h"
#include "filterReference.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vellora {
namespace {

using test::gray;
using test::rgbAt;

// selectSubWindow on a gray window whose position p holds valueAt(p).
int selectGray(int criterion, const std::function<int(int p)>& valueAt) {
    double colors[25][3];
    double luminances[25];
    for (int p = 0; p < 25; ++p) {
        const std::uint8_t bgr[3] = {std::uint8_t(valueAt(p)), std::uint8_t(valueAt(p)),
                                     std::uint8_t(valueAt(p))};
        for (int c = 0; c < 3; ++c)
            colors[p][c] = bgr[c];
        luminances[p] = windowLuminance(bgr);
    }
    std::uint8_t out[3];
    selectSubWindow(colors, luminances, criterion, out);
    EXPECT_TRUE(out[0] == out[1] && out[1] == out[2]);
    return out[0];
}

DibImage smoothed(const DibImage& source, int criterion) {
    return test::runPass(source, [&](Session& s, DibImage& t, const DibImage& src) {
        EXPECT_EQ(edgePreservingPass(s, t, src, criterion), 0);
    });
}

struct WindowCase {
    const char* name;
    int criterion;
    int expected;
};

class VerticalStep : public ::testing::TestWithParam<int> {};

TEST_P(VerticalStep, KeepsThePixelOnTheBrightSide) {
    // Window columns 0 and 1 are 0, columns 2 … 4 are 100: sub-window 2 is the first uniform one.
    EXPECT_EQ(selectGray(GetParam(), [](int p) { return p % 5 < 2 ? 0 : 100; }), 100);
    const DibImage picture =
        test::makeTrueColorImage(9, 9, [](int x, int) { return gray(x < 4 ? 0 : 100); });
    EXPECT_EQ(rgbAt(smoothed(picture, GetParam()), 4, 4), gray(100));
}

INSTANTIATE_TEST_SUITE_P(Criteria, VerticalStep, ::testing::Values(0, 1, 2));

class HorizontalLine : public ::testing::TestWithParam<WindowCase> {};

TEST_P(HorizontalLine, SelectsByTheCriterion) {
    const auto c = GetParam();
    EXPECT_EQ(selectGray(c.criterion, [](int p) { return p >= 10 && p <= 14 ? 100 : 0; }),
              c.expected);
    const DibImage picture =
        test::makeTrueColorImage(9, 9, [](int, int y) { return gray(y == 4 ? 100 : 0); });
    EXPECT_EQ(rgbAt(smoothed(picture, c.criterion), 4, 4), gray(c.expected));
}

// Range: every range is 100, sub-window 0 wins and holds two line pixels: 200 / 7. Variance
// and deviation: sub-windows 1 and 7 hold one line pixel, the smallest; 1 wins: 100 / 7.
INSTANTIATE_TEST_SUITE_P(Criteria, HorizontalLine,
                         ::testing::Values(WindowCase{"range", 0, 28},
                                           WindowCase{"variance", 1, 14},
                                           WindowCase{"deviation", 2, 14}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SubWindowSelection, EqualValuesGoToTheLowestNumber) {
    // Only position 0 differs: every sub-window but 0 is uniform at 50, and 1 is the first.
    EXPECT_EQ(selectGray(kCriterionVariance, [](int p) { return p == 0 ? 250 : 50; }), 50);
    // All uniform: sub-window 0 is kept.
    EXPECT_EQ(selectGray(kCriterionRange, [](int) { return 77; }), 77);
}

TEST(SubWindowTable, NineShapesAroundTheCentre) {
    for (std::size_t n = 0; n < 9; ++n) {
        const SubWindow& window = subWindowTable[n];
        EXPECT_EQ(window.count, n == 4 ? 9 : 7);
        const auto end = window.positions.begin() + window.count;
        EXPECT_NE(std::find(window.positions.begin(), end, 12), end) << n;
        EXPECT_TRUE(std::is_sorted(window.positions.begin(), end));
        EXPECT_TRUE(
            std::all_of(window.positions.begin(), end, [](int p) { return p >= 0 && p < 25; }));
    }
}

class EveryCriterion : public ::testing::TestWithParam<int> {};

TEST_P(EveryCriterion, LeavesOneColourUnchanged) {
    const DibImage picture =
        test::makeIndexedImage(7, 5, 4, {0, 0x2F80D1}, [](int, int) { return 1; });
    const DibImage result = smoothed(picture, GetParam());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(rgbAt(result, x, y), 0x2F80D1u);
}

TEST_P(EveryCriterion, MatchesThePlainFilterOnRandomPictures) {
    // Few levels make many equal criterion values, so the tie rule is exercised as well.
    for (auto [w, h, depth, levels] : {std::tuple{1, 1, 24, 256},
                                       {1, 9, 24, 3},
                                       {9, 1, 8, 3},
                                       {13, 11, 24, 2},
                                       {23, 17, 24, 4},
                                       {31, 8, 24, 256},
                                       {16, 16, 1, 2},
                                       {140, 3, 32, 5}}) {
        const DibImage source =
            test::randomPicture(w, h, depth, unsigned(w * h + GetParam()), levels);
        ASSERT_TRUE(test::samePixels(test::referenceEdgePreserving(source, GetParam()),
                                     smoothed(source, GetParam())))
            << w << "x" << h << " depth " << depth;
    }
}

INSTANTIATE_TEST_SUITE_P(Criteria, EveryCriterion, ::testing::Values(0, 1, 2));

TEST(EdgePreservingSmooth, CriterionOutsideTheListFails) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::TempDir dir;
    session.nextPath = (dir / "next.dib").string();
    for (int criterion : {-1, 3}) {
        session.sourceImage = test::randomPicture(4, 4, 24, 1);
        EXPECT_EQ(edgePreservingSmooth(session, criterion), 1);
        EXPECT_TRUE(session.sourceImage.data.empty());
        EXPECT_FALSE(std::filesystem::exists(session.nextPath));
    }
}

} // namespace
} // namespace vellora
