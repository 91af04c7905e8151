#include "filter/deNoise.h"
#include "filter/selectionNetwork.h"
#include "filterReference.h"

#include <algorithm>
#include <random>

namespace vellora {
namespace {

using test::gray;
using test::rgbAt;

DibImage deNoised(const DibImage& source, int size) {
    return test::runPass(source, [&](Session& s, DibImage& t, const DibImage& src) {
        EXPECT_EQ(deNoisePass(s, t, src, size), 0);
    });
}

// Values worked by hand, window 3 × 3 (position p of the window of (1, 1) in a 3 × 3 picture
// is pixel (p % 3, p / 3)).
TEST(DeNoise, HandWorkedMedians) {
    // Red 0x1C0000 and blue 0x00004D have the same luminance (77 × 28 = 28 × 77): equal keys go
    // by window position, and place 4 of the order is taken.
    const std::uint32_t a = 0x1C0000, b = 0x00004D;
    struct Case {
        const char* name;
        int width, height;
        std::function<std::uint32_t(int x, int y)> colorAt;
        int x, y;
        std::uint32_t expected;
    };
    const auto block = [](int x, int y) {
        return x >= 3 && x <= 5 && y >= 3 && y <= 5 ? 0xFFFFFFu : 0u;
    };
    const auto firstA = [&](int count) {
        return [=](int x, int y) { return 3 * y + x < count ? a : b; };
    };
    const Case cases[] = {
        {"a lone white pixel goes", 9, 9, [](int x, int y) { return x == 4 && y == 4 ? ~0u : 0u; },
         4, 4, 0},
        {"a one-pixel line goes", 9, 9, [](int, int y) { return gray(y == 4 ? 200 : 10); }, 3, 4,
         gray(10)},
        {"a 3 × 3 block keeps its centre", 9, 9, block, 4, 4, 0xFFFFFF},
        {"… and its edge middles (six of nine lit)", 9, 9, block, 4, 3, 0xFFFFFF},
        {"… but loses its corners", 9, 9, block, 5, 5, 0},
        // The clamped window of corner (0, 0) holds it four times, (1, 0) twice: 6 of 9.
        {"corner and neighbour lit stay", 5, 5, [](int x, int y) { return x + y <= 1 && y == 0 ? ~0u : 0u; },
         0, 0, 0xFFFFFF},
        {"a lone corner fills four places only", 5, 5, [](int x, int y) { return x + y == 0 ? ~0u : 0u; },
         0, 0, 0},
        {"ties: 0 … 3 a, place 4 is b", 3, 3, firstA(4), 1, 1, b},
        {"ties: 0 … 4 a, place 4 is a", 3, 3, firstA(5), 1, 1, a},
        {"ties after three blacks: position 4", 3, 3,
         [&](int x, int y) { return 3 * y + x < 3 ? 0u : (3 * y + x == 4 ? b : a); }, 1, 1, b},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rgbAt(deNoised(test::makeTrueColorImage(c.width, c.height, c.colorAt), 3), c.x, c.y),
                  c.expected) << c.name;
}

TEST(DeNoise, EverySizeMatchesTheSortedWindow) {
    // Few levels give many equal luminances of different colours: the tie rule decides. The
    // indexed palette pairs colours of equal luminance.
    const std::vector<std::uint32_t> ties = {0x1C0000, 0x00004D, 0x380000, 0x00009A, 0x000000};
    std::mt19937 random{5};
    const DibImage tied = test::makeIndexedImage(
        23, 15, 8, ties, [&](int, int) { return int(random() % ties.size()); });
    for (int size : {3, 5, 7}) {
        EXPECT_TRUE(test::samePixels(test::referenceDeNoise(tied, size), deNoised(tied, size)));
        for (auto [w, h, depth, levels] :
             {std::tuple{1, 1, 24, 256}, {1, 8, 24, 3}, {8, 1, 24, 3}, {13, 11, 24, 2},
              {21, 9, 8, 256}, {7, 7, 4, 2}, {33, 6, 24, 4}, {10, 10, 32, 256}, {9, 9, 1, 2}}) {
            const DibImage source =
                test::randomPicture(w, h, depth, unsigned(w * 7 + h + size), levels);
            ASSERT_TRUE(test::samePixels(test::referenceDeNoise(source, size), deNoised(source, size)))
                << w << "x" << h << " depth " << depth << " size " << size;
        }
    }
}

TEST(DeNoise, WindowListAndIndexOutsideIt) {
    EXPECT_EQ(deNoiseWindowSize(0), 3);
    EXPECT_EQ(deNoiseWindowSize(2), 7);
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

// The networks of the three window sizes.
TEST(SelectionNetwork, PicksTheMiddleOfRandomInputs) {
    checkRandomSelection<9, 4>();
    checkRandomSelection<25, 12>();
    checkRandomSelection<49, 24>();
}

} // namespace
} // namespace vellora
