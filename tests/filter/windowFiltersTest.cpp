// The median de-noise and the edge-preserving smoothing: values worked by hand, then the row
// passes against the plain filters.
#include "filter/deNoise.h"
#include "filterReference.h"

namespace vellora {
namespace {

using test::gray;

DibImage filtered(const DibImage& source, int deNoiseSize, int criterion = 0) {
    return test::runPass(source, [&](Session& s, DibImage& t, const DibImage& src) {
        EXPECT_EQ(deNoiseSize ? deNoisePass(s, t, src, deNoiseSize)
                              : edgePreservingPass(s, t, src, criterion),
                  0);
    });
}

// Window 3 × 3; position p of the window of (1, 1) in a 3 × 3 picture is pixel (p % 3, p / 3).
TEST(DeNoise, HandWorkedMedians) {
    // Red 0x1C0000 and blue 0x00004D have the same luminance (77 × 28 = 28 × 77): equal keys go
    // by window position, and place 4 of the order is taken.
    const std::uint32_t a = 0x1C0000, b = 0x00004D;
    using Picture = std::function<std::uint32_t(int x, int y)>;
    const Picture block = [](int x, int y) { return x / 3 == 1 && y / 3 == 1 ? ~0u : 0u; };
    const auto firstA = [&](int count) -> Picture {
        return [=](int x, int y) { return 3 * y + x < count ? a : b; };
    };
    const struct {
        const char* name;
        int size;
        Picture colorAt;
        int x, y;
        std::uint32_t expected;
    } cases[] = {
        {"a lone pixel goes", 9, [](int x, int y) { return x == 4 && y == 4 ? ~0u : 0u; }, 4, 4, 0},
        {"a line goes", 9, [](int, int y) { return gray(y == 4 ? 200 : 10); }, 3, 4, gray(10)},
        {"a 3 × 3 block keeps its centre", 9, block, 4, 4, 0xFFFFFF},
        {"… and the middle of its edge (6 of 9)", 9, block, 4, 3, 0xFFFFFF},
        {"… but loses its corners", 9, block, 5, 5, 0},
        // The clamped window of corner (0, 0) holds it four times, (1, 0) twice: 6 of 9.
        {"corner and neighbour stay", 5,
         [](int x, int y) { return x + y <= 1 && y == 0 ? ~0u : 0u; }, 0, 0, 0xFFFFFF},
        {"a lone corner fills 4 places", 5, [](int x, int y) { return x + y == 0 ? ~0u : 0u; }, 0,
         0, 0},
        {"ties: 0 … 3 a, place 4 is b", 3, firstA(4), 1, 1, b},
        {"ties: 0 … 4 a, place 4 is a", 3, firstA(5), 1, 1, a},
        {"ties after three blacks", 3,
         [&](int x, int y) { return 3 * y + x < 3 ? 0u : (y * 3 + x == 4 ? b : a); }, 1, 1, b},
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            test::rgbAt(filtered(test::makeTrueColorImage(c.size, c.size, c.colorAt), 3), c.x, c.y),
            c.expected)
            << c.name;
}

// selectSubWindow on a gray window of valueAt(column, row), and the pass at the centre of a
// 9 × 9 picture of the same pattern.
TEST(EdgePreserving, HandWorkedWindows) {
    const auto step = [](int x, int) { return x < 2 ? 0 : 100; };
    const auto line = [](int, int y) { return y == 2 ? 100 : 0; };
    const struct {
        const char* name;
        int criterion;
        std::function<int(int x, int y)> valueAt;
        int expected;
    } cases[] = {
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
    };
    for (const auto& c : cases) {
        double colors[25][3], luminances[25];
        for (int p = 0; p < 25; ++p) {
            const auto v = std::uint8_t(c.valueAt(p % 5, p / 5));
            const std::uint8_t bgr[3] = {v, v, v};
            std::fill(colors[p], colors[p] + 3, v);
            luminances[p] = windowLuminance(bgr);
        }
        std::uint8_t out[3];
        selectSubWindow(colors, luminances, c.criterion, out);
        EXPECT_EQ(std::vector<int>(out, out + 3), std::vector<int>(3, c.expected)) << c.name;
        const DibImage picture = test::makeTrueColorImage(9, 9, [&](int x, int y) {
            return gray(c.valueAt(std::clamp(x - 2, 0, 4), std::clamp(y - 2, 0, 4)));
        });
        EXPECT_EQ(test::rgbAt(filtered(picture, 0, c.criterion), 4, 4), gray(c.expected)) << c.name;
    }
}

// Few levels give many equal luminances and criterion values of different colours, so the tie
// rules decide; the indexed palette pairs colours of equal luminance.
TEST(WindowFilters, MatchThePlainFiltersAtEveryDepth) {
    std::vector<DibImage> pictures = {
        test::makeIndexedImage(23, 15, 8, {0x1C0000, 0x00004D, 0x380000, 0x00009A, 0x000000},
                               [](int x, int y) { return (x * 7 + y * 3 + x * y) % 5; })};
    const std::tuple<int, int, int, int> sizes[] = {
        {1, 1, 24, 256}, {1, 9, 24, 3},   {9, 1, 8, 3},      {13, 11, 24, 2}, {21, 9, 8, 256},
        {7, 7, 4, 2},    {23, 17, 24, 4}, {10, 10, 32, 256}, {16, 16, 1, 2},  {140, 3, 32, 5}};
    for (auto [w, h, depth, levels] : sizes) // width, height, depth, levels per channel
        pictures.push_back(test::randomPicture(w, h, depth, unsigned(w * 7 + h), levels));
    for (const DibImage& source : pictures) {
        SCOPED_TRACE(testing::Message()
                     << source.width << "x" << source.height << " at " << source.bitsPerPixel);
        for (int size : {3, 5, 7})
            ASSERT_TRUE(
                test::samePixels(test::referenceDeNoise(source, size), filtered(source, size)));
        for (int criterion : {0, 1, 2})
            ASSERT_TRUE(test::samePixels(test::referenceEdgePreserving(source, criterion),
                                         filtered(source, 0, criterion)));
    }
}

} // namespace
} // namespace vellora
