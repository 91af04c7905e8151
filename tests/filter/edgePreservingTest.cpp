#include "filter/edgePreserving.h"
#include "filterReference.h"

#include <algorithm>

namespace vellora {
namespace {

using test::gray;

// selectSubWindow on a gray window whose position p holds valueAt(p).
int selectGray(int criterion, const std::function<int(int p)>& valueAt) {
    double colors[25][3];
    double luminances[25];
    for (int p = 0; p < 25; ++p) {
        const std::uint8_t v = std::uint8_t(valueAt(p)), bgr[3] = {v, v, v};
        std::fill(colors[p], colors[p] + 3, v);
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

// Each case once on a window and once at the centre of a 9 × 9 picture of the same pattern.
TEST(EdgePreserving, HandWorkedWindows) {
    struct Case {
        const char* name;
        int criterion;
        std::function<int(int x, int y)> grayAt; // window column and row
        int expected;
    };
    const auto step = [](int x, int) { return x < 2 ? 0 : 100; };
    const auto line = [](int, int y) { return y == 2 ? 100 : 0; };
    const Case cases[] = {
        // Columns 0 and 1 dark: sub-window 2 is the first uniform one.
        {"step, range", 0, step, 100},
        {"step, variance", 1, step, 100},
        {"step, deviation", 2, step, 100},
        // Every range is 100 and sub-window 0, the first, holds two line pixels: 200 / 7.
        {"line, range", 0, line, 28},
        // Sub-windows 1 and 7 hold one line pixel, the least; 1 comes first: 100 / 7.
        {"line, variance", 1, line, 14},
        {"line, deviation", 2, line, 14},
        // Only position 0 differs: sub-window 1 is the first uniform one.
        {"corner, variance", 1, [](int x, int y) { return x + y == 0 ? 250 : 50; }, 50},
        {"flat, range", 0, [](int, int) { return 77; }, 77},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(selectGray(c.criterion, [&](int p) { return c.grayAt(p % 5, p / 5); }), c.expected)
            << c.name;
        const DibImage picture = test::makeTrueColorImage(
            9, 9, [&](int x, int y) { return gray(c.grayAt(std::clamp(x - 2, 0, 4), std::clamp(y - 2, 0, 4))); });
        EXPECT_EQ(test::rgbAt(smoothed(picture, c.criterion), 4, 4), gray(c.expected)) << c.name;
    }
}

TEST(EdgePreserving, NineSubWindowsAroundTheCentre) {
    for (std::size_t n = 0; n < 9; ++n) {
        const SubWindow& window = subWindowTable[n];
        EXPECT_EQ(window.count, n == 4 ? 9 : 7);
        const auto end = window.positions.begin() + window.count;
        EXPECT_NE(std::find(window.positions.begin(), end, 12), end) << n;
        EXPECT_TRUE(std::is_sorted(window.positions.begin(), end));
        EXPECT_TRUE(std::all_of(window.positions.begin(), end, [](int p) { return p >= 0 && p < 25; }));
    }
}

TEST(EdgePreserving, EveryCriterionMatchesThePlainFilter) {
    // Few levels make many equal criterion values, so the tie rule is exercised as well.
    for (int criterion : {0, 1, 2})
        for (auto [w, h, depth, levels] :
             {std::tuple{1, 1, 24, 256}, {1, 9, 24, 3}, {9, 1, 8, 3}, {13, 11, 24, 2},
              {23, 17, 24, 4}, {31, 8, 24, 256}, {16, 16, 1, 2}, {7, 5, 4, 256}, {140, 3, 32, 5}}) {
            const DibImage source = test::randomPicture(w, h, depth, unsigned(w * h + criterion), levels);
            ASSERT_TRUE(test::samePixels(test::referenceEdgePreserving(source, criterion),
                                         smoothed(source, criterion)))
                << w << "x" << h << " depth " << depth << " criterion " << criterion;
        }
}

TEST(EdgePreserving, CriterionOutsideTheListFails) {
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
