// Convolution with the table masks, the edge masks and the user's grid.
#include "filter/convolve.h"
#include "filter/edgeMask.h"
#include "filter/userFilter.h"
#include "filterReference.h"

namespace vellora {
namespace {

using test::gray;
using test::rgbAt;

FilterMask tableMask(int family, int index, bool edge = false) {
    FilterMask mask;
    EXPECT_TRUE(edge ? makeEdgeMask(mask, family, index) : makeMask(mask, family, index));
    return mask;
}

std::vector<FilterMask> tableMasks(bool edge) {
    std::vector<FilterMask> masks;
    const int counts[2][2] = {{kSmoothingMaskCount, kSharpeningMaskCount},
                              {3 * kEdgeOperatorCount, kNonDirectionMaskCount}};
    for (int family = 0; family < 2; ++family)
        for (int i = 0; i < counts[edge][family]; ++i)
            masks.push_back(tableMask(family, i, edge));
    return masks;
}

DibImage convolved(const DibImage& source, const FilterMask& mask) {
    return test::runPass(source, [&](Session& s, DibImage& t, const DibImage& src) {
        EXPECT_EQ(convolve(s, t, src, mask), 0);
    });
}

// Smoothing and sharpening masks keep a flat colour (they sum to their divisor); edge masks
// turn it black (they sum to zero, divisor 1).
TEST(MaskTables, SumsAndShapes) {
    for (bool edge : {false, true})
        for (const FilterMask& mask : tableMasks(edge)) {
            double sum = 0;
            for (int q = 0; q < mask.size * mask.size; ++q)
                sum += mask.coefficients[std::size_t(q)];
            EXPECT_NEAR(sum, edge ? 0 : mask.k, 1e-12);
            EXPECT_TRUE(!edge || mask.k == 1);
        }
    const FilterMask gaussian49 = tableMask(kSmoothingFamily, 2); // the binomial 1 6 15 20 squared
    EXPECT_EQ(gaussian49.half, 3);
    EXPECT_EQ(gaussian49.coefficients[3], 20);
    EXPECT_EQ(gaussian49.coefficients[24], 400);
    // Gradient oblique is its horizontal mask.
    EXPECT_EQ(tableMask(kDirectionFamily, 11, true).coefficients,
              tableMask(kDirectionFamily, 10, true).coefficients);
}

// A refused mask is left as it was.
TEST(MaskTables, UnknownFamilyOrIndexIsRefused) {
    const std::tuple<int, int, bool> refused[] = {{0, -1, 0}, {0, 10, 0}, {1, 2, 0},
                                                  {2, 0, 0},  {-1, 0, 0}, {0, 12, 1},
                                                  {0, -1, 1}, {1, 9, 1},  {2, 0, 1}};
    for (auto [family, index, edge] : refused) {
        FilterMask mask;
        mask.coefficients.assign(9, 7.0);
        mask.k = 3;
        EXPECT_FALSE(edge ? makeEdgeMask(mask, family, index) : makeMask(mask, family, index));
        EXPECT_EQ(mask.coefficients, std::vector<double>(9, 7.0));
        EXPECT_EQ(mask.k, 3);
    }
    EXPECT_STREQ(smoothingMaskText(9), "mean average 25");
    EXPECT_STREQ(sharpeningMaskText(1), "high-pass 09");
    EXPECT_STREQ(edgeDirectionText(3), "vert + horz");
    EXPECT_STREQ(nonDirectionMaskText(8), "ripple 07b");
}

// A user mask with the given grid cells set to 1.
FilterMask userMask(std::initializer_list<int> cells, int sizeIndex, int k) {
    int grid[25] = {};
    for (int q : cells)
        grid[q] = 1;
    FilterMask mask;
    EXPECT_TRUE(makeUserMask(mask, grid, sizeIndex, k));
    return mask;
}

// Gray pictures and values worked by hand. Mask row 0 lies on the stored row before.
TEST(Convolution, HandWorkedValues) {
    using Gray = std::function<int(int x, int y)>;
    const auto spot = [](int cx, int cy, int v) -> Gray {
        return [=](int x, int y) { return x == cx && y == cy ? v : 0; };
    };
    const auto ring = [](int centre, int around) -> Gray {
        return [=](int x, int y) { return x == 1 && y == 1 ? centre : around; };
    };
    const struct {
        const char* name;
        FilterMask mask;
        int width, height;
        Gray grayAt;
        std::vector<std::array<int, 3>> probes; // x, y, value
    } cases[] = {
        // clang-format off
        {"mean 09: 255 / 9", tableMask(0, 8), 7, 7, spot(3, 3, 255),
         {{3, 3, 28}, {2, 4, 28}, {4, 2, 28}, {1, 3, 0}, {3, 5, 0}}},
        {"gaussian 09: 4, 2 and 1 sixteenths", tableMask(0, 0), 5, 5, spot(2, 2, 255),
         {{2, 2, 63}, {1, 2, 31}, {2, 3, 31}, {1, 1, 15}, {3, 3, 15}, {0, 0, 0}}},
        // At (0, 0) rows −1 and 0 both read row 0, columns −1 and 0 column 0: 2 × 90 / 9.
        {"border taps repeat the edge", tableMask(0, 8), 4, 4, spot(1, 0, 90), {{0, 0, 20}}},
        // Mask row 0 is 2, 3, 8: 13 × 45 / 45.
        {"selected smoothing", tableMask(0, 3), 3, 3, [](int, int y) { return y == 0 ? 45 : 0; },
         {{0, 1, 13}, {1, 1, 13}, {2, 1, 13}}},
        {"high-pass 09", tableMask(1, 1), 3, 3, ring(100, 90), {{1, 1, 180}}},
        {"high-pass 09 clamps at 0", tableMask(1, 1), 3, 3, ring(100, 200), {{1, 1, 0}}},
        {"high-pass 09 clamps at 255", tableMask(1, 1), 3, 3, ring(200, 100), {{1, 1, 255}}},
        {"sobel vertical: the two rows of a rising step", tableMask(0, 0, true), 5, 20,
         [](int, int y) { return y < 10 ? 0 : 100; },
         {{2, 8, 0}, {2, 9, 255}, {0, 10, 255}, {4, 11, 0}, {0, 0, 0}, {4, 19, 0}}},
        {"prewitt horizontal: 3 × 30 on both step columns", tableMask(0, 4, true), 10, 4,
         [](int x, int) { return x < 5 ? 0 : 30; }, {{3, 2, 0}, {4, 2, 90}, {5, 2, 90}, {6, 2, 0}}},
        // The only lit tap of (2, 2) is ripple 07a's root of two.
        {"ripple 07a truncates", tableMask(1, 7, true), 5, 5, spot(3, 1, 100), {{2, 2, 141}}},
        // Nine ones, divisor 0: nine times 20, 3 × 20 + 6 × 30, nine times 30 clamped.
        {"user grid, no division", userMask({6, 7, 8, 11, 12, 13, 16, 17, 18}, 0, 0), 6, 3,
         [](int x, int) { return x < 3 ? 20 : 30; }, {{0, 1, 180}, {3, 1, 240}, {5, 1, 255}}},
        // Cell 8 (row 1, column 3) is mask row 0, column 2 of the small mask: (x + 1, y − 1).
        {"user grid, small", userMask({8, 2}, 0, 1), 4, 4, spot(2, 0, 90), {{1, 1, 90}, {2, 2, 0}}},
        // Cell 2 (top centre) lies outside the small mask; in the large one it reads (x, y − 2).
        {"user grid, large", userMask({2}, 1, 1), 4, 4, spot(2, 0, 90), {{2, 2, 90}, {1, 1, 0}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DibImage result =
            convolved(test::makeTrueColorImage(c.width, c.height,
                                               [&](int x, int y) { return gray(c.grayAt(x, y)); }),
                      c.mask);
        for (auto [x, y, value] : c.probes)
            EXPECT_EQ(rgbAt(result, x, y), gray(value)) << x << "," << y;
    }
    FilterMask refused;
    EXPECT_FALSE(makeUserMask(refused, nullptr, 2, 1)); // size index outside the list
}

// Coefficients no float sum holds exactly, so the rows are summed in double.
FilterMask fractionalMask(double k) {
    double coefficients[25];
    for (int i = 0; i < 25; ++i)
        coefficients[i] = 0.1 * (i % 7) - 0.25;
    FilterMask mask;
    setMaskCoefficients(mask, 5, k, coefficients);
    return mask;
}

// Every depth, and widths below, at and past a vector's so every remainder path runs.
TEST(Convolution, EveryMaskMatchesThePlainFilter) {
    std::vector<FilterMask> masks = tableMasks(false);
    for (const FilterMask& mask : tableMasks(true))
        masks.push_back(mask);
    masks.push_back(fractionalMask(3.7));
    masks.push_back(fractionalMask(0)); // no division
    // User grids, the second too large for float sums; any divisor, none, or a negative one.
    const int grids[][25] = {{1,  -2, 3,   -4, 5,  6,  -7,  8,  -9, 10, 11, 12, -13,
                              14, 15, -16, 17, 18, 19, -20, 21, 22, 23, 24, -25},
                             {2000000000, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,          1,
                              0,          0,  0, 0, 0, 0, 0, 0, 0, 0, 0, -2000000000}};
    for (const auto& grid : grids)
        for (int k : {7, -3, 0, 2147483647}) {
            masks.emplace_back();
            EXPECT_TRUE(makeUserMask(masks.back(), grid, k & 1, k));
        }
    for (std::size_t m = 0; m < masks.size(); ++m)
        for (int depth : {1, 4, 8, 24, 32})
            for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {11, 13}, {37, 5}}) {
                const DibImage source =
                    test::randomPicture(w, h, depth, unsigned(w * 100 + h + depth + int(m)));
                ASSERT_TRUE(test::samePixels(test::referenceConvolve(source, masks[m]),
                                             convolved(source, masks[m])))
                    << "mask " << m << ", " << w << "x" << h << " at " << depth;
            }
}

} // namespace
} // namespace vellora
