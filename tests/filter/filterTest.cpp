// Filter row passes (table convolution, edge and user masks, median de-noise, edge-preserving
// smoothing) by hand and against plain per-pixel forms; commands as run; SIMD at every level.
#include "core/errors.h"
#include "core/intermediateFiles.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "filter/convolve.h"
#include "filter/deNoise.h"
#include "filter/edgeDetect.h"
#include "filter/edgeMask.h"
#include "filter/edgePreserving.h"
#include "filter/filterMask.h"
#include "filter/sharpen.h"
#include "filter/smooth.h"
#include "filter/userFilter.h"
#include "filter/windowLuminance.h"
#include "support/recordingFrontend.h"
#include "support/simdLevels.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <vector>

namespace vellora::test {
namespace {

using Color = std::array<std::uint8_t, 3>; // blue, green, red
using Pass = std::function<void(Session&, DibImage&, const DibImage&)>;

// A 24 bpp picture whose pixel (x, y) is pixel(window): the size × size window around (x, y),
// stored row y − size / 2 first, rows and columns clamped to the picture.
DibImage referenceFilter(const DibImage& source, int size,
                         const std::function<Color(std::vector<Color>)>& pixel) {
    DibImage target = makeImage(source.width, source.height, 24);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            std::vector<Color> window(std::size_t(size * size));
            for (int p = 0; p < size * size; ++p)
                getColor(source, window[std::size_t(p)].data(),
                         std::clamp(y - size / 2 + p / size, 0, source.height - 1),
                         std::clamp(x - size / 2 + p % size, 0, source.width - 1),
                         source.bitsPerPixel);
            setColor(target, pixel(std::move(window)).data(), y, x, 24);
        }
    return target;
}

DibImage referenceConvolve(const DibImage& source, const FilterMask& mask) {
    return referenceFilter(source, mask.size, [&](const std::vector<Color>& window) {
        Color out;
        for (std::size_t ch = 0; ch < 3; ++ch) {
            double v = 0;
            for (std::size_t p = 0; p < window.size(); ++p)
                v += window[p][ch] * mask.coefficients[p];
            out[ch] = std::uint8_t(std::clamp(mask.k != 0 ? v / mask.k : v, 0.0, 255.0));
        }
        return out;
    });
}

DibImage referenceEdgePreserving(const DibImage& source, int criterion) {
    return referenceFilter(source, 5, [&](const std::vector<Color>& window) {
        double colors[25][3], luminances[25];
        for (std::size_t p = 0; p < 25; ++p) {
            std::copy(window[p].begin(), window[p].end(), colors[p]);
            luminances[p] = windowLuminance(window[p].data());
        }
        Color out;
        selectSubWindow(colors, luminances, criterion, out.data());
        return out;
    });
}

// Median by luminance; ties by the lower window position.
DibImage referenceDeNoise(const DibImage& source, int size) {
    return referenceFilter(source, size, [](std::vector<Color> window) {
        std::stable_sort(window.begin(), window.end(), [](const Color& a, const Color& b) {
            return windowLuminance(a.data()) < windowLuminance(b.data());
        });
        return window[window.size() / 2];
    });
}

DibImage runPass(const DibImage& source, const Pass& pass) {
    RecordingFrontend frontend;
    Session session(frontend);
    DibImage target = makeImage(source.width, source.height, 24);
    pass(session, target, source);
    EXPECT_TRUE(frontend.messages.empty());
    return target;
}

// Same size, every pixel the same colour and the padding too; names the first difference.
::testing::AssertionResult samePixels(const DibImage& expected, const DibImage& actual) {
    if (expected.width != actual.width || expected.height != actual.height)
        return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x)
            if (rgbAt(expected, x, y) != rgbAt(actual, x, y))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") differs";
    if (expected.data != actual.data) return ::testing::AssertionFailure() << "padding differs";
    return ::testing::AssertionSuccess();
}

constexpr auto gray = [](int v) { return std::uint32_t(v) * 0x010101u; };

// A 5 × 5 mask of fractions no float sum holds exactly, so its rows are summed in double.
FilterMask fractionalMask(double k) {
    double coefficients[25];
    for (int i = 0; i < 25; ++i)
        coefficients[i] = 0.1 * (i % 7) - 0.25;
    FilterMask mask;
    setMaskCoefficients(mask, 5, k, coefficients);
    return mask;
}

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
    return runPass(source, [&](Session& s, DibImage& t, const DibImage& src) {
        EXPECT_EQ(convolve(s, t, src, mask), 0);
    });
}

// Smoothing and sharpening masks sum to their divisor (flat colours stay), edge masks to 0.
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
    EXPECT_EQ(std::tuple(gaussian49.half, gaussian49.coefficients[3], gaussian49.coefficients[24]),
              std::tuple(3, 20, 400));
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
        EXPECT_TRUE(mask.coefficients == std::vector<double>(9, 7.0) && mask.k == 3);
    }
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
    // clang-format off
    const struct { const char* name; FilterMask mask; int width, height; Gray grayAt;
                   std::vector<std::array<int, 3>> probes; /* x, y, value */ } cases[] = {
        {"mean 09: 255 / 9", tableMask(0, 8), 7, 7, spot(3, 3, 255),
         {{3, 3, 28}, {2, 4, 28}, {4, 2, 28}, {1, 3, 0}, {3, 5, 0}}},
        {"gaussian 09: 4, 2 and 1 sixteenths", tableMask(0, 0), 5, 5, spot(2, 2, 255),
         {{2, 2, 63}, {1, 2, 31}, {2, 3, 31}, {1, 1, 15}, {3, 3, 15}, {0, 0, 0}}},
        // Mask row 0 is 2, 3, 8: 13 × 45 / 45.
        {"selected smoothing", tableMask(0, 3), 3, 3, [](int, int y) { return y == 0 ? 45 : 0; },
         {{0, 1, 13}, {1, 1, 13}, {2, 1, 13}}},
        {"high-pass 09", tableMask(1, 1), 3, 3,
         [](int x, int y) { return x == 1 && y == 1 ? 100 : 90; }, {{1, 1, 180}}},
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
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto grayAt = [&](int x, int y) { return gray(c.grayAt(x, y)); };
        const DibImage result = convolved(makeTrueColorImage(c.width, c.height, grayAt), c.mask);
        for (auto [x, y, value] : c.probes)
            EXPECT_EQ(rgbAt(result, x, y), gray(value)) << x << "," << y;
    }
    FilterMask refused;
    EXPECT_FALSE(makeUserMask(refused, nullptr, 2, 1)); // size index outside the list
}

// Every depth, and widths below, at and past a vector's so every remainder path runs.
TEST(Convolution, EveryMaskMatchesThePlainFilter) {
    std::vector<FilterMask> masks = tableMasks(false), edges = tableMasks(true);
    masks.insert(masks.end(), edges.begin(), edges.end());
    masks.insert(masks.end(), {fractionalMask(3.7), fractionalMask(0)}); // 0: no division
    // User grids, the second too large for float sums; any divisor, none, or a negative one.
    int grids[2][25] = {{}, {2000000000, -1}};
    for (int i = 0; i < 25; ++i)
        grids[0][i] = (i % 3 == 1 ? -1 : 1) * (i + 1);
    grids[1][12] = 1, grids[1][24] = -2000000000;
    for (const auto& grid : grids)
        for (int k : {7, -3, 0, 2147483647}) {
            masks.emplace_back();
            EXPECT_TRUE(makeUserMask(masks.back(), grid, k & 1, k));
        }
    for (std::size_t m = 0; m < masks.size(); ++m)
        for (int depth : {1, 4, 8, 24, 32})
            for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {11, 13}, {37, 5}}) {
                const DibImage source =
                    randomPicture(w, h, depth, unsigned(w * 100 + h + depth + int(m)));
                ASSERT_TRUE(
                    samePixels(referenceConvolve(source, masks[m]), convolved(source, masks[m])))
                    << "mask " << m << ", " << w << "x" << h << " at " << depth;
            }
}

DibImage filtered(const DibImage& source, int deNoiseSize, int criterion = 0) {
    return runPass(source, [&](Session& s, DibImage& t, const DibImage& src) {
        EXPECT_EQ(deNoiseSize ? deNoisePass(s, t, src, deNoiseSize)
                              : edgePreservingPass(s, t, src, criterion),
                  0);
    });
}

// Window 3 × 3; position p of the window of (1, 1) in a 3 × 3 picture is pixel (p % 3, p / 3).
// These fix the order the plain median below is written to; the pictures there do the rest.
TEST(DeNoise, HandWorkedMedians) {
    // Red and blue share luminance (77 × 28 = 28 × 77): ties go by window position, place 4 taken.
    const std::uint32_t a = 0x1C0000, b = 0x00004D;
    using Picture = std::function<std::uint32_t(int x, int y)>;
    const auto firstA = [&](int count) -> Picture {
        return [=](int x, int y) { return 3 * y + x < count ? a : b; };
    };
    // clang-format off
    const struct { const char* name; int size; Picture colorAt; int x, y; std::uint32_t expected; }
    cases[] = {
        {"a lone pixel goes", 9, [](int x, int y) { return x == 4 && y == 4 ? ~0u : 0u; }, 4, 4, 0},
        // The clamped window of corner (0, 0) holds it four times, (1, 0) twice: 6 of 9.
        {"corner and neighbour stay", 5, [](int x, int y) { return y == 0 && x <= 1 ? ~0u : 0u; },
         0, 0, 0xFFFFFF},
        {"ties: 0 … 3 a, place 4 is b", 3, firstA(4), 1, 1, b},
        {"ties: 0 … 4 a, place 4 is a", 3, firstA(5), 1, 1, a},
        {"ties after three blacks", 3,
         [&](int x, int y) { return 3 * y + x < 3 ? 0u : (y * 3 + x == 4 ? b : a); }, 1, 1, b},
    };
    // clang-format on
    for (const auto& c : cases) {
        const DibImage result = filtered(makeTrueColorImage(c.size, c.size, c.colorAt), 3);
        EXPECT_EQ(rgbAt(result, c.x, c.y), c.expected) << c.name;
    }
}

// Centre 3 × 3, eight shapes of 7 that the 5 × 5's quarter turns or mirrors carry onto each other.
TEST(EdgePreserving, SubWindowsTurnAndMirrorIntoOneAnother) {
    std::set<std::set<int>> windows;
    for (const SubWindow& w : subWindowTable)
        windows.insert({w.positions.begin(), w.positions.begin() + w.count});
    ASSERT_EQ(windows.size(), 9u);
    for (const std::set<int>& window : windows) {
        std::set<int> turned, mirrored;
        for (int p : window)
            turned.insert(p % 5 * 5 + 4 - p / 5), mirrored.insert(p / 5 * 5 + 4 - p % 5);
        EXPECT_TRUE(window.contains(12) && windows.contains(turned) && windows.contains(mirrored));
    }
}

// selectSubWindow on a gray window valueAt(column, row), and the pass at its centre in 9 × 9.
TEST(EdgePreserving, HandWorkedWindows) {
    const auto step = [](int x, int) { return x < 2 ? 0 : 100; };
    const auto line = [](int, int y) { return y == 2 ? 100 : 0; };
    // clang-format off
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
        // Only sub-window 8, the last, lies in the lower right block.
        {"block, range", 0, [](int x, int y) { return x >= 2 && y >= 2 ? 100 : 0; }, 100},
        // A dark ring round 50s and a centre of 59: the centre 3 × 3 ranges least, 459 / 9.
        {"centre, range", 0,
         [](int x, int y) { return x % 4 && y % 4 ? 50 + 9 * (x == 2 && y == 2) : 0; }, 51},
    };
    // clang-format on
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
        const DibImage picture = makeTrueColorImage(9, 9, [&](int x, int y) {
            return gray(c.valueAt(std::clamp(x - 2, 0, 4), std::clamp(y - 2, 0, 4)));
        });
        EXPECT_EQ(rgbAt(filtered(picture, 0, c.criterion), 4, 4), gray(c.expected)) << c.name;
    }
}

// Few levels give many ties of luminance and criterion; the palette pairs equal luminances.
TEST(WindowFilters, MatchThePlainFiltersAtEveryDepth) {
    std::vector<DibImage> pictures = {
        makeIndexedImage(23, 15, 8, {0x1C0000, 0x00004D, 0x380000, 0x00009A, 0x000000},
                         [](int x, int y) { return (x * 7 + y * 3 + x * y) % 5; })};
    const std::tuple<int, int, int, int> sizes[] = {
        {1, 1, 24, 256}, {1, 9, 24, 3},   {9, 1, 8, 3},      {13, 11, 24, 2}, {21, 9, 8, 256},
        {7, 7, 4, 2},    {23, 17, 24, 4}, {10, 10, 32, 256}, {16, 16, 1, 2},  {140, 3, 32, 5}};
    for (auto [w, h, depth, levels] : sizes) // width, height, depth, levels per channel
        pictures.push_back(randomPicture(w, h, depth, unsigned(w * 7 + h), levels));
    for (const DibImage& source : pictures) {
        SCOPED_TRACE(testing::Message()
                     << source.width << "x" << source.height << " at " << source.bitsPerPixel);
        for (int size : {3, 5, 7})
            ASSERT_TRUE(samePixels(referenceDeNoise(source, size), filtered(source, size)));
        for (int criterion : {0, 1, 2})
            ASSERT_TRUE(samePixels(referenceEdgePreserving(source, criterion),
                                   filtered(source, 0, criterion)));
    }
}

// A true-colour result made current; an unreadable picture: the reader's text, then the command's.
TEST(FilterHandlers, SucceedOrFailWithTheirText) {
    // clang-format off
    const std::pair<Handler, const char*> cases[] = {
        {smoothHandler, "smoothing"}, {sharpenHandler, "sharpening"},
        {edgePreservingHandler, "edge-preserving smoothing"}, {edgeDetectHandler, "edge detect"},
        {deNoiseHandler, "de noise"}, {userFilterHandler, "filtering"}}; // "failed to … the image"
    // clang-format on
    for (auto [handler, what] : cases) {
        const std::string failureText = std::string("failed to ") + what + " the image";
        SCOPED_TRACE(failureText);
        RecordingFrontend frontend;
        Session session{frontend};
        setCurrentPicture(session, randomPicture(8, 6, 4, 3));
        const std::string before = session.currentPath;
        session.currentInfo.state = 0;
        ASSERT_EQ(runCommandHandler(session, handler), 0);
        EXPECT_NE(session.currentPath, before);
        const DibImage result = readImage(session.currentPath);
        EXPECT_EQ(std::tuple(result.bitsPerPixel, result.width, result.height,
                             session.currentInfo.state, frontend.progressPositions.back()),
                  std::tuple(24, 8, 6, 514, 100));
        EXPECT_TRUE(frontend.messages.empty() && session.sourceImage.data.empty() &&
                    session.targetImage.data.empty());
        EXPECT_EQ(frontend.progressVisibility, (std::vector<bool>{true, false}));
        TempDir dir;
        const std::string broken = (dir / "broken.dib").string();
        writeFileBytes(broken, {'B', 'M', 1, 2, 3});
        session.currentPath = broken;
        ASSERT_EQ(runCommandHandler(session, handler), 1);
        EXPECT_EQ(session.currentPath, broken);
        ASSERT_EQ(frontend.messages.size(), 2u);
        EXPECT_EQ(frontend.messages.back(), (Message{"error", failureText}));
    }
}

// Settings outside the lists fail silently; a 24 bpp copy too large for 32-bit sizes, or a missing
// result folder, with one message each; both pictures are released and nothing is written.
TEST(FilterAlgorithms, FailuresReleaseBothPicturesAndWriteNothing) {
    using Run = int (*)(Session&, int);
    // clang-format off
    const std::tuple<Run, int, int> cases[] = {{smoothImage, 0, 10}, {sharpenImage, 1, 2},
                                               {edgePreservingSmooth, 1, 3}, {deNoiseImage, 2, 3}};
    // clang-format on
    for (const auto& [run, good, bad] : cases) {
        RecordingFrontend frontend;
        Session session(frontend);
        TempDir dir;
        session.nextPath = (dir / "next.dib").string();
        for (int setting : {bad, -1}) {
            session.sourceImage = randomPicture(4, 4, 24, 1);
            EXPECT_EQ(run(session, setting), 1);
            EXPECT_TRUE(session.sourceImage.data.empty());
        }
        EXPECT_TRUE(frontend.messages.empty());
        session.sourceImage = makeImage(2, 2, 1);
        session.sourceImage.width = session.sourceImage.height = 70000;
        EXPECT_EQ(run(session, good), 1);
        EXPECT_FALSE(std::filesystem::exists(session.nextPath));
        session.nextPath = (dir / "missing" / "next.dib").string();
        session.sourceImage = randomPicture(5, 4, 24, 3);
        EXPECT_EQ(run(session, good), 1);
        EXPECT_TRUE(session.sourceImage.data.empty() && session.targetImage.data.empty());
        const std::vector<std::string> texts = frontend.texts();
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(texts[0].rfind("failed to allocate memory\na 70000 x 70000 picture of ", 0), 0u);
        const std::string unwritable =
            std::string(errorMessage(kErrorCreate)) + "\ncannot write \"";
        EXPECT_EQ(texts[1].rfind(unwritable + session.nextPath, 0), 0u);
    }
    EXPECT_EQ((std::array{deNoiseWindowSize(0), deNoiseWindowSize(2), deNoiseWindowSize(3)}),
              (std::array{3, 7, 0}));
}

// One direction or non-direction: its mask. Both directions: per pixel the vertical response
// when stronger, else the horizontal one; the bar runs for each and once for the choice.
TEST(DetectEdges, EachModeUsesItsMasksAndSettingsOutsideTheListsFail) {
    RecordingFrontend frontend;
    Session session{frontend};
    const DibImage source = randomPicture(17, 12, 8, 11, 4);
    const auto plain = [&](int family, int index) {
        return referenceConvolve(source, tableMask(family, index, true));
    };
    const auto magnitude = [](std::uint32_t c) {
        return (c >> 16) * (c >> 16) + (c >> 8 & 255) * (c >> 8 & 255) + (c & 255) * (c & 255);
    };
    const std::tuple<int, int, int, int> settings[] = {
        {0, 3, 0, 0}, {0, 3, 1, 0}, {0, 3, 2, 0},  {0, 3, 3, 0}, {0, 2, 2, 5},
        {1, 3, 3, 0}, {1, 0, 0, 4}, {1, 3, 3, 8},  {2, 0, 0, 0}, {0, 4, 0, 0},
        {0, 0, 4, 0}, {1, 0, 0, 9}, {1, 0, 0, -1}, {0, -1, 0, 0}}; // the last six outside the lists
    for (auto [mode, direction, op, nonDirection] : settings) {
        SCOPED_TRACE(testing::Message() << mode << direction << op << nonDirection);
        setCurrentPicture(session, source);
        ASSERT_EQ(nextIntermediatePath(session, session.nextPath), 0);
        frontend.progressPositions.clear();
        const bool valid = mode == 0 ? direction >= 0 && direction < 4 && op < 4
                                     : mode == 1 && nonDirection >= 0 && nonDirection < 9;
        ASSERT_EQ(detectEdges(session, mode, direction, op, nonDirection), valid ? 0 : 1);
        EXPECT_TRUE(session.sourceImage.data.empty() && session.targetImage.data.empty());
        if (!valid) {
            EXPECT_FALSE(std::filesystem::exists(session.nextPath));
            continue;
        }
        const DibImage result = readImage(session.nextPath);
        const DibImage vertical = mode == 1 ? plain(kNonDirectionFamily, nonDirection)
                                            : plain(kDirectionFamily, 3 * op + direction % 3);
        const DibImage horizontal = plain(kDirectionFamily, 3 * op + 1);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 17; ++x) {
                const std::uint32_t v = rgbAt(vertical, x, y), h = rgbAt(horizontal, x, y);
                const bool both = mode == 0 && direction == 3;
                ASSERT_EQ(rgbAt(result, x, y), !both || magnitude(v) > magnitude(h) ? v : h);
            }
        const auto& positions = frontend.progressPositions;
        EXPECT_EQ(std::count(positions.begin(), positions.end(), 100),
                  mode == 0 && direction == 3 ? 3 : 1);
    }
}

// Convolution in float and (fractions) in double, every de-noise window and edge-preserving
// criterion; 37 columns leave a remainder after every vector width, 97 rows make bands.
TEST(FilterPasses, SameBytesAtEveryLevelAndOnOneThreadAsOnTwo) {
    const DibImage source = randomPicture(37, 97, 24, 99, 6);
    const FilterMask masks[5] = {tableMask(0, 0), tableMask(0, 2), tableMask(1, 1),
                                 tableMask(1, 8, true), fractionalMask(3.7)};
    for (int i = 0; i < 11; ++i) { // five masks, windows 3, 5 and 7, criteria 0, 1 and 2
        SCOPED_TRACE(i);
        const auto run = [&] {
            return runPass(source,
                           [&](Session& s, DibImage& t, const DibImage& src) {
                               i < 5   ? convolve(s, t, src, masks[i])
                               : i < 8 ? deNoisePass(s, t, src, 2 * i - 7)
                                       : edgePreservingPass(s, t, src, i - 8);
                           })
                .data;
        };
        expectSameAtEveryLevel(run);
        setenv("VELLORA_THREADS", "1", 1);
        const PictureBytes one = run();
        setenv("VELLORA_THREADS", "2", 1);
        EXPECT_EQ(one, run());
        unsetenv("VELLORA_THREADS");
    }
}

} // namespace
} // namespace vellora::test
