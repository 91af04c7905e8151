#include "filter/deNoise.h"
#include "filter/selectionNetwork.h"
#include "filterReference.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace vellora {
namespace {

using test::gray;
using test::rgbAt;

DibImage deNoised(const DibImage& source, int size) {
    return test::runPass(source, [&](Session& s, DibImage& t, const DibImage& src) {
        EXPECT_EQ(deNoisePass(s, t, src, size), 0);
    });
}

class EverySize : public ::testing::TestWithParam<int> {};

TEST_P(EverySize, RemovesASingleWhitePixel) {
    const DibImage source = test::makeTrueColorImage(
        9, 9, [](int x, int y) { return x == 4 && y == 4 ? 0xFFFFFFu : 0u; });
    const DibImage result = deNoised(source, GetParam());
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(rgbAt(result, x, y), 0u);
}

TEST_P(EverySize, LeavesOneColourUnchanged) {
    const DibImage source =
        test::makeIndexedImage(6, 5, 1, {0x123456, 0x8090A0}, [](int, int) { return 1; });
    const DibImage result = deNoised(source, GetParam());
    EXPECT_EQ(result.bitsPerPixel, 24);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(rgbAt(result, x, y), 0x8090A0u);
}

TEST_P(EverySize, MatchesTheSortedWindowOnRandomPictures) {
    // Few levels give many equal luminances of different colours: the tie rule decides.
    for (auto [w, h, depth, levels] : {std::tuple{1, 1, 24, 256},
                                       {1, 8, 24, 3},
                                       {8, 1, 24, 3},
                                       {13, 11, 24, 2},
                                       {21, 9, 8, 256},
                                       {7, 7, 4, 2},
                                       {33, 6, 24, 4},
                                       {10, 10, 32, 256}}) {
        const DibImage source =
            test::randomPicture(w, h, depth, unsigned(w * 7 + h + GetParam()), levels);
        ASSERT_TRUE(test::samePixels(test::referenceDeNoise(source, GetParam()),
                                     deNoised(source, GetParam())))
            << w << "x" << h << " depth " << depth;
    }
}

TEST_P(EverySize, ResultColoursAllOccurInTheSource) {
    const DibImage source = test::randomPicture(19, 14, 24, 77, 256);
    std::set<std::uint32_t> colours;
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 19; ++x)
            colours.insert(rgbAt(source, x, y));
    const DibImage result = deNoised(source, GetParam());
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 19; ++x)
            ASSERT_TRUE(colours.count(rgbAt(result, x, y)));
}

INSTANTIATE_TEST_SUITE_P(Sizes, EverySize, ::testing::Values(3, 5, 7));

TEST(DeNoiseValues, OnePixelLineVanishesWithTheSmallestWindow) {
    for (bool horizontal : {true, false}) {
        const DibImage source = test::makeTrueColorImage(
            9, 9, [&](int x, int y) { return (horizontal ? y : x) == 4 ? gray(200) : gray(10); });
        const DibImage result = deNoised(source, 3);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(rgbAt(result, x, y), gray(10));
    }
}

TEST(DeNoiseValues, ThreeByThreeBlockKeepsItsCentreAndLosesItsCorners) {
    const DibImage source = test::makeTrueColorImage(
        9, 9, [](int x, int y) { return x >= 3 && x <= 5 && y >= 3 && y <= 5 ? 0xFFFFFFu : 0u; });
    const DibImage result = deNoised(source, 3);
    EXPECT_EQ(rgbAt(result, 4, 4), 0xFFFFFFu);
    EXPECT_EQ(rgbAt(result, 4, 3), 0xFFFFFFu); // edge middle: six of nine lit
    for (auto [x, y] : {std::pair{3, 3}, {5, 3}, {3, 5}, {5, 5}})
        EXPECT_EQ(rgbAt(result, x, y), 0u);
}

TEST(DeNoiseValues, NeverMixesColours) {
    // Red has luminance 76.7, the gray 80: every pixel stays one of the two.
    const DibImage source = test::makeTrueColorImage(
        8, 8, [](int x, int y) { return (x * 3 + y * 5) % 7 < 3 ? 0xFF0000u : gray(80); });
    for (int size : {3, 5, 7}) {
        const DibImage result = deNoised(source, size);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const std::uint32_t c = rgbAt(result, x, y);
                ASSERT_TRUE(c == 0xFF0000u || c == gray(80)) << std::hex << c;
            }
    }
}

TEST(DeNoiseValues, CornerPixelFillsFourPlacesOfItsWindow) {
    // Corner (0, 0) is lit and so are three of the five other pixels of its clamped window:
    // (1, 0) and (0, 1) each fill two places, (1, 1) one: 4 + 2 + 2 + 1 = 9 lit of 9.
    // With only the corner and one neighbour lit, 4 + 2 = 6 of 9 places are lit: still lit.
    const DibImage source = test::makeTrueColorImage(5, 5, [](int x, int y) {
        return (x == 0 && y == 0) || (x == 1 && y == 0) ? 0xFFFFFFu : 0u;
    });
    EXPECT_EQ(rgbAt(deNoised(source, 3), 0, 0), 0xFFFFFFu);
    // The corner alone fills four places: not the majority.
    const DibImage lone = test::makeTrueColorImage(
        5, 5, [](int x, int y) { return x == 0 && y == 0 ? 0xFFFFFFu : 0u; });
    EXPECT_EQ(rgbAt(deNoised(lone, 3), 0, 0), 0u);
}

TEST(DeNoiseValues, EqualLuminanceGoesToTheFirstWindowPosition) {
    // Two colours of equal luminance: 77 x 28 (red 28) = 28 x 77 (blue 77).
    const std::uint32_t first = 0x1C0000;
    const std::uint32_t second = 0x00004D;
    // Window of (1, 1) in a 3 x 3 picture: positions 0 … 3 (the stored row before and the
    // first of the centre row) hold `first`, 4 … 8 hold `second`. Sorted, place 4 is position 4.
    const DibImage source = test::makeTrueColorImage(
        3, 3, [&](int x, int y) { return 3 * y + x < 4 ? first : second; });
    EXPECT_EQ(rgbAt(deNoised(source, 3), 1, 1), second);
    // Positions 0 … 4 first: place 4 is position 4, which now holds `first`.
    const DibImage more = test::makeTrueColorImage(
        3, 3, [&](int x, int y) { return 3 * y + x < 5 ? first : second; });
    EXPECT_EQ(rgbAt(deNoised(more, 3), 1, 1), first);
}

TEST(DeNoiseValues, TiedGroupIsTakenInWindowOrder) {
    const std::uint32_t a = 0x1C0000; // luminance numerator 77 x 28
    const std::uint32_t b = 0x00004D; // 28 x 77, the same
    // Window of (1, 1): positions 0 … 2 black, 3 … 8 tied. Place 4 of the order is the second
    // tied position, 4, which alone holds b.
    const DibImage source = test::makeTrueColorImage(3, 3, [&](int x, int y) {
        const int p = 3 * y + x;
        return p < 3 ? 0u : (p == 4 ? b : a);
    });
    EXPECT_EQ(rgbAt(deNoised(source, 3), 1, 1), b);
}

TEST_P(EverySize, TiesOfDifferentColoursMatchTheSortedWindow) {
    // Pairs of colours with equal luminance, so nearly every window has ties across colours.
    const std::vector<std::uint32_t> palette = {0x1C0000, 0x00004D, 0x380000, 0x00009A, 0x000000};
    std::mt19937 random{unsigned(GetParam())};
    const DibImage source = test::makeIndexedImage(
        23, 15, 8, palette, [&](int, int) { return int(random() % palette.size()); });
    EXPECT_TRUE(
        test::samePixels(test::referenceDeNoise(source, GetParam()), deNoised(source, GetParam())));
}

TEST(DeNoiseImage, IndexOutsideTheListFails) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::TempDir dir;
    session.nextPath = (dir / "next.dib").string();
    for (int index : {-1, 3}) {
        session.sourceImage = test::randomPicture(4, 4, 24, 1);
        EXPECT_EQ(deNoiseWindowSize(index), 0);
        EXPECT_EQ(deNoiseImage(session, index), 1);
        EXPECT_TRUE(session.sourceImage.data.empty());
        EXPECT_FALSE(std::filesystem::exists(session.nextPath));
    }
    EXPECT_EQ(deNoiseWindowSize(2), 7);
}

// Every 0/1 input (which proves a compare-exchange network for all inputs) for nine values.
TEST(SelectionNetwork, NineInputMedianHoldsForEveryBinaryInput) {
    constexpr auto network = selectionNetwork<9, 4>();
    for (int bits = 0; bits < 512; ++bits) {
        int values[9];
        for (int i = 0; i < 9; ++i)
            values[i] = bits >> i & 1;
        const int ones = __builtin_popcount(unsigned(bits));
        runSelectionNetwork(network, values);
        ASSERT_EQ(values[4], ones >= 5 ? 1 : 0) << bits;
    }
}

template <int N, int Rank> void checkRandomSelection() {
    constexpr auto network = selectionNetwork<N, Rank>();
    std::mt19937 random(N);
    for (int round = 0; round < 3000; ++round) {
        std::vector<int> values(N);
        for (int& v : values)
            v = int(random() % 5);
        std::vector<int> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        runSelectionNetwork(network, values.data());
        ASSERT_EQ(values[Rank], sorted[Rank]) << round;
    }
}

TEST(SelectionNetwork, LargerWindowsPickTheMiddleOfRandomInputs) {
    checkRandomSelection<25, 12>();
    checkRandomSelection<49, 24>();
    checkRandomSelection<16, 3>();
}

} // namespace
} // namespace vellora
