#include "geometry/resize.h"
#include "core/errors.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "geometry/resampleWeights.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace vellora {
namespace {

struct WeightCase {
    double t;
    int size;
    int first;
    std::vector<double> weights;
};

class CubicWeights : public ::testing::TestWithParam<WeightCase> {};

TEST_P(CubicWeights, DropsBorderTapsAndRenormalises) {
    const WeightCase c = GetParam();
    double weights[4];
    const Taps taps = cubicWeights(c.t, c.size, weights);
    EXPECT_EQ(taps.first, c.first);
    ASSERT_EQ(taps.count, int(c.weights.size()));
    for (int i = 0; i < taps.count; ++i)
        EXPECT_NEAR(weights[i], c.weights[std::size_t(i)], 1e-12);
}

// Width 2 → 4: target columns at 0.25, 0.75, 1.25, 1.75, only taps 0 and 1 remain.
INSTANTIATE_TEST_SUITE_P(
    TwoToFour, CubicWeights,
    ::testing::Values(WeightCase{0.25, 2, 0, {1.1875, -0.1875}},
                      WeightCase{0.75, 2, 0, {0.75, 0.25}}, WeightCase{1.25, 2, 0, {0.25, 0.75}},
                      WeightCase{1.75, 2, 0, {-0.1875, 1.1875}},
                      // inside a large source all four taps stay; the
                      // kernel at d = 0.25, 0.75, 1.25, 1.75 sums to 1
                      WeightCase{10.25, 40, 8, {-0.046875, 0.296875, 0.890625, -0.140625}}));

// Bit for bit the kernel and the renormalisation written out plainly, at many positions inside
// and at both edges of a source, including the exact tap boundaries d = 1 and d = 2.
TEST(CubicWeights, EveryWeightIsThePlainKernelDividedByTheSum) {
    const auto kernel = [](double d) {
        if (d < 1) return 1 - 2 * d * d + d * d * d;
        if (d < 2) return 4 - 8 * d + 5 * d * d - d * d * d;
        return 0.0;
    };
    std::uint32_t state = 5;
    for (int n = 0; n < 20000; ++n) {
        state = state * 1664525u + 1013904223u;
        const double t = n < 40 ? n * 0.25 : (state >> 8) * (12.0 / 16777216.0);
        double weights[4];
        const Taps taps = cubicWeights(t, 12, weights);
        double plain[4], sum = 0;
        for (int i = 0; i < taps.count; ++i) {
            plain[i] = kernel(std::fabs(t - (taps.first + i + 0.5)));
            sum += plain[i];
        }
        for (int i = 0; i < taps.count; ++i) {
            const double expected = sum == 0 ? plain[i] : plain[i] / sum;
            ASSERT_EQ(std::memcmp(&weights[i], &expected, sizeof expected), 0)
                << "t " << t << " tap " << i;
        }
    }
}

class AreaWeights : public ::testing::TestWithParam<WeightCase> {};

TEST_P(AreaWeights, WeighsTheCoveredPartOfEveryPixel) {
    const WeightCase c = GetParam();
    const double ratio = double(c.size) / 2; // every case shrinks to 2
    std::vector<double> weights(std::size_t(areaTapCapacity(ratio)));
    const Taps taps = areaWeights(c.t, c.size, ratio, weights.data());
    EXPECT_EQ(taps.first, c.first);
    ASSERT_EQ(taps.count, int(c.weights.size()));
    for (int i = 0; i < taps.count; ++i)
        EXPECT_NEAR(weights[std::size_t(i)], c.weights[std::size_t(i)], 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Shrinking, AreaWeights,
                         ::testing::Values(
                             // 4 → 2: the footprint 0 … 2 ends on a border, so tap 2 gets 0
                             WeightCase{1.0, 4, 0, {0.5, 0.5, 0.0}},
                             WeightCase{3.0, 4, 2, {0.5, 0.5}},
                             // 3 → 2: 2/3 and 1/3 of the neighbouring pixels
                             WeightCase{0.75, 3, 0, {2.0 / 3, 1.0 / 3}},
                             WeightCase{2.25, 3, 1, {1.0 / 3, 2.0 / 3}}));

struct PlanCase {
    int source, target;
    AxisMethod method;
    int taps;
};

class AxisPlans : public ::testing::TestWithParam<PlanCase> {};

TEST_P(AxisPlans, CopyGrowOrShrink) {
    const PlanCase c = GetParam();
    const AxisPlan plan = makeAxisPlan(c.source, c.target);
    EXPECT_EQ(plan.method, c.method);
    EXPECT_EQ(maxTaps(plan), c.taps);
}

INSTANTIATE_TEST_SUITE_P(Sizes, AxisPlans,
                         ::testing::Values(PlanCase{100, 100, AxisMethod::Copy, 1},
                                           PlanCase{2, 4, AxisMethod::Bicubic, 4},
                                           PlanCase{4, 2, AxisMethod::Area, 4},
                                           PlanCase{10, 3, AxisMethod::Area, 5},
                                           PlanCase{41, 100, AxisMethod::Bicubic, 4}));

// A one-row 24 bpp picture of the given gray values.
DibImage grayRow(const std::vector<int>& values) {
    return test::makeTrueColorImage(int(values.size()), 1, [&](int x, int) {
        return std::uint32_t(values[std::size_t(x)]) * 0x010101u;
    });
}

std::vector<int> blueRow(const DibImage& image, int y = 0) {
    std::vector<int> out;
    for (int x = 0; x < image.width; ++x)
        out.push_back(int(test::rgbAt(image, x, y) & 0xFF));
    return out;
}

struct InterpolatedCase {
    std::vector<int> source;
    int width;
    std::vector<int> expected;
};

class InterpolatedResize : public ::testing::TestWithParam<InterpolatedCase> {};

TEST_P(InterpolatedResize, HandWorkedRows) {
    const InterpolatedCase c = GetParam();
    test::RecordingFrontend frontend;
    Session session(frontend);
    DibImage target;
    ASSERT_EQ(resizeToImage(session, grayRow(c.source), target, {c.width, 1, 1, true}), 0);
    EXPECT_EQ(target.bitsPerPixel, 24);
    EXPECT_EQ(blueRow(target), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, InterpolatedResize,
    ::testing::Values(InterpolatedCase{{0, 200}, 4, {0, 50, 150, 237}},  // overshoot clamped
                      InterpolatedCase{{10, 30, 50, 70}, 2, {20, 60}},   // plain means
                      InterpolatedCase{{0, 100, 200}, 2, {33, 166}},     // 2/3 p0 + 1/3 p1 …
                      InterpolatedCase{{7, 99, 250}, 3, {7, 99, 250}})); // same size: a copy

TEST(Resize, RowsAndColumnsFollowTheirOwnPlans) {
    // Wider but lower: columns grow bicubically (2 → 4), rows shrink by area (2 → 1).
    test::RecordingFrontend frontend;
    Session session(frontend);
    const DibImage source = test::makeTrueColorImage(
        2, 2, [](int x, int y) { return std::uint32_t(x * 200 + y * 20); });
    DibImage target;
    ASSERT_EQ(resizeToImage(session, source, target, {4, 1, 1, true}), 0);
    // The row mean of column 0 is 10, of column 1 is 210: 10 + (0, 50, 150, 237) scaled.
    EXPECT_EQ(blueRow(target), (std::vector<int>{0, 60, 160, 247}));
}

// Every target pixel against the plain sum of the row and column tables' taps, for growing,
// shrinking and mixed sizes, widths that leave partial groups, and an indexed source; the
// doubled, quadrupled and quartered sizes go through the whole-number pass.
TEST(Resize, InterpolatedPixelsMatchThePlainSumOfTheirTaps) {
    const struct {
        int sourceWidth, sourceHeight, bits, width, height;
    } cases[] = {{7, 5, 24, 23, 17}, {40, 30, 24, 9, 7}, {13, 11, 24, 30, 4},
                 {6, 9, 8, 6, 20},   {1, 1, 24, 5, 3},   {33, 2, 4, 65, 1},
                 // Sizes whose weights are short binary fractions: doubled, four times,
                 // quartered, kept along one axis, mixed, from an indexed source.
                 {37, 20, 24, 74, 40}, {9, 6, 24, 36, 24}, {64, 48, 24, 16, 12},
                 {12, 9, 24, 24, 9},  {16, 30, 24, 4, 60}, {11, 8, 8, 22, 16}};
    for (const auto& c : cases) {
        std::uint32_t state = 21;
        const auto next = [&] {
            state = state * 1664525u + 1013904223u;
            return state >> 8;
        };
        std::vector<std::uint32_t> palette(std::size_t(1) << (c.bits == 24 ? 0 : c.bits));
        for (std::uint32_t& entry : palette) entry = next();
        const DibImage source =
            c.bits == 24 ? test::makeTrueColorImage(c.sourceWidth, c.sourceHeight,
                                                    [&](int, int) { return next(); })
                         : test::makeIndexedImage(c.sourceWidth, c.sourceHeight, c.bits, palette,
                                                  [&](int, int) {
                                                      return int(next() % palette.size());
                                                  });
        test::RecordingFrontend frontend;
        Session session(frontend);
        DibImage target;
        ASSERT_EQ(resizeToImage(session, source, target, {c.width, c.height, 1, true}), 0);
        const AxisTable rows = makeAxisTable(makeAxisPlan(c.sourceHeight, c.height), c.height);
        const AxisTable columns = makeAxisTable(makeAxisPlan(c.sourceWidth, c.width), c.width);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const Taps r = rows.taps[std::size_t(y)], k = columns.taps[std::size_t(x)];
                double sums[3] = {0, 0, 0};
                for (int i = 0; i < r.count; ++i)
                    for (int j = 0; j < k.count; ++j) {
                        const double weight = rows.weightsOf(y)[i] * columns.weightsOf(x)[j];
                        std::uint8_t bgr[3];
                        getColor(source, bgr, r.first + i, k.first + j, source.bitsPerPixel);
                        for (int ch = 0; ch < 3; ++ch)
                            sums[ch] += weight * bgr[ch];
                    }
                std::uint8_t got[3];
                getColor(target, got, y, x, 24);
                for (int ch = 0; ch < 3; ++ch) {
                    const int expected = sums[ch] < 0 ? 0 : sums[ch] > 255 ? 255 : int(sums[ch]);
                    ASSERT_EQ(got[ch], expected) << c.sourceWidth << "->" << c.width << " at "
                                                 << x << "," << y << " channel " << ch;
                }
            }
    }
}

TEST(Resize, SameSizeFromEightBitsGivesItsColoursInTrueColour) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    const DibImage source = test::makeIndexedImage(5, 3, 8, {0x102030, 0xFF8000, 0x00FF7F},
                                                   [](int x, int y) { return (x + y) % 3; });
    DibImage target;
    ASSERT_EQ(resizeToImage(session, source, target, {5, 3, 0, true}), 0);
    EXPECT_EQ(target.bitsPerPixel, 24);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(test::rgbAt(target, x, y), test::rgbAt(source, x, y));
}

TEST(Resize, NearestKeepsEightBitsAndPaletteWithSourceDepth) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    const DibImage source = test::makeIndexedImage(3, 2, 8, {0x102030, 0xFF8000, 0x00FF7F},
                                                   [](int x, int y) { return (x + 2 * y) % 3; });
    DibImage kept, trueColor;
    ASSERT_EQ(resizeToImage(session, source, kept, {7, 5, 0, false}), 0);
    ASSERT_EQ(resizeToImage(session, source, trueColor, {7, 5, 1, false}), 0);
    EXPECT_EQ(kept.bitsPerPixel, 8);
    EXPECT_EQ(0, std::memcmp(kept.paletteEntry(0), source.paletteEntry(0), source.paletteBytes));
    EXPECT_EQ(trueColor.bitsPerPixel, 24);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            // source row y × 2 / 5, column 3 × x / 7, truncated
            const std::uint32_t expected = test::rgbAt(source, 3 * x / 7, y * 2 / 5);
            EXPECT_EQ(test::rgbAt(kept, x, y), expected);
            EXPECT_EQ(test::rgbAt(trueColor, x, y), expected);
        }
}

TEST(Resize, NearestAtFourBitsPacksNibbles) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < 16; ++i)
        palette.push_back(std::uint32_t(i) * 0x111111u);
    const DibImage source =
        test::makeIndexedImage(5, 1, 4, palette, [](int x, int) { return x * 3; });
    DibImage target;
    ASSERT_EQ(resizeToImage(session, source, target, {3, 1, 0, false}), 0);
    ASSERT_EQ(target.bitsPerPixel, 4);
    // columns 0, 5/3 = 1, 10/3 = 3 → indices 0, 3, 9
    EXPECT_EQ(target.row(0)[0], 0x03);
    EXPECT_EQ(target.row(0)[1], 0x90);
}

struct SizeCase {
    int width, height;
    bool valid;
};

class ResizeDialogValues : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ResizeDialogValues, UpToSixtyFourTimes) {
    const SizeCase c = GetParam();
    EXPECT_EQ(resizeValuesValid(c.width, c.height, 30, 20), c.valid);
}

INSTANTIATE_TEST_SUITE_P(Limits, ResizeDialogValues,
                         ::testing::Values(SizeCase{1920, 1280, true}, SizeCase{1921, 1280, false},
                                           SizeCase{1920, 1281, false}, SizeCase{0, 20, false},
                                           SizeCase{30, 0, false}, SizeCase{1, 1, true},
                                           SizeCase{-5, 20, false}));

TEST(ResizeDialog, KeepRatioTruncates) {
    EXPECT_EQ(keepRatioHeight(200, 400, 300), 150);
    EXPECT_EQ(keepRatioWidth(100, 400, 300), 133);
    EXPECT_EQ(keepRatioWidth(1, 400, 300), 1);
    EXPECT_EQ(keepRatioHeight(1, 400, 300), 0); // not clamped: "Okay" refuses it
}

// Bands of rows on two threads give the bytes of one thread, in the whole-number pass
// (doubled, quartered) and in the double one (thirds).
TEST(Resize, TwoThreadsGiveTheBytesOfOne) {
    std::uint32_t state = 5;
    const DibImage source = test::makeTrueColorImage(45, 97, [&](int, int) {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    });
    const auto resized = [&](const char* threads, int width, int height) {
        setenv("VELLORA_THREADS", threads, 1);
        test::RecordingFrontend frontend;
        Session session(frontend);
        DibImage target;
        EXPECT_EQ(resizeToImage(session, source, target, {width, height, 1, true}), 0);
        unsetenv("VELLORA_THREADS");
        return target.data;
    };
    for (const auto& [width, height] : {std::pair{90, 194}, std::pair{45, 388}, std::pair{135, 291}})
        EXPECT_EQ(resized("1", width, height), resized("2", width, height)) << width << "x" << height;
}

TEST(ResizeCommand, SucceedsAtOneHundredPercent) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, grayRow({0, 200}));
    session.currentInfo.zoomIndex = 4;
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.resizeWidth = 4;
    session.workingBlock.resizeHeight = 1;
    ASSERT_EQ(runCommandHandler(session, resizeHandler), 0);
    EXPECT_EQ(blueRow(test::readImage(session.currentPath)), (std::vector<int>{0, 50, 150, 237}));
    EXPECT_EQ(session.currentInfo.zoomIndex, kZoom100Index);
    EXPECT_EQ(session.currentInfo.state, 514);
}

TEST(ResizeCommand, MoreThanSixtyFourTimesIsRefused) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, grayRow({0, 200}));
    const std::string before = session.currentPath;
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.resizeWidth = 129;
    session.workingBlock.resizeHeight = 1;
    EXPECT_EQ(runCommandHandler(session, resizeHandler), 1);
    EXPECT_EQ(session.currentPath, before);
    EXPECT_EQ(frontend.messages,
              (std::vector<test::Message>{{"alert", "invalid size values tried to setup"},
                                          {"error", "failed to resize the image"}}));
}

TEST(ResizeCommand, ResultBeyondTheSizeFieldsFailsWithCodeSixteen) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, test::makeImage(1000, 1000, 8));
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.resizeWidth = 64000; // 64000 × 64000 × 3 bytes cannot be a bitmap file
    session.workingBlock.resizeHeight = 64000;
    EXPECT_EQ(runCommandHandler(session, resizeHandler), 1);
    ASSERT_EQ(frontend.messages.size(), 2u);
    EXPECT_EQ(frontend.messages[0].text.rfind(
                  "failed to allocate memory\na 64000 x 64000 picture of 24 bits per pixel", 0),
              0u)
        << frontend.messages[0].text;
    EXPECT_EQ(frontend.messages[1], (test::Message{"error", "failed to resize the image"}));
}

} // namespace
} // namespace vellora
