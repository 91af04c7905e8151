#include "geometry/resize.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "geometry/fixedResample.h"
#include "geometry/resampleWeights.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace vellora {
namespace {

using test::rgbAt;

// Sizes hold a plan each; inside a large source all four bicubic taps stay (the kernel at
// 0.25, 0.75, 1.25, 1.75); the border taps are checked by the hand-worked rows below.
TEST(ResampleTaps, AxisPlansAndInteriorWeights) {
    double w[4];
    const Taps taps = cubicWeights(10.25, 40, w);
    EXPECT_EQ(taps.first, 8);
    EXPECT_EQ(std::vector<double>(w, w + taps.count),
              (std::vector<double>{-0.046875, 0.296875, 0.890625, -0.140625}));
    EXPECT_EQ(areaTapCapacity(2.0), 4);
    const struct {
        int source, target;
        AxisMethod method;
        int taps;
    } cases[] = {{100, 100, AxisMethod::Copy, 1},
                 {2, 4, AxisMethod::Bicubic, 4},
                 {4, 2, AxisMethod::Area, 4},
                 {10, 3, AxisMethod::Area, 5},
                 {41, 100, AxisMethod::Bicubic, 4}};
    for (const auto& c : cases) {
        const AxisPlan plan = makeAxisPlan(c.source, c.target);
        EXPECT_EQ(plan.method, c.method) << c.source << "->" << c.target;
        EXPECT_EQ(maxTaps(plan), c.taps) << c.source << "->" << c.target;
    }
}

// The whole-number pass takes over only where most weights are short binary fractions and the
// sums stay inside 32 bits; its pixels are checked against the double sums below.
TEST(FixedAxis, PlanFitsOnlyWhereMostWeightsAreShortBinaryFractions) {
    const struct {
        int sourceWidth, width, sourceHeight, height;
        bool fits;
    } cases[] = {{100, 200, 50, 100, true}, {100, 400, 50, 50, true},
                 {100, 25, 64, 128, true},  {100, 300, 50, 100, false}, // thirds across
                 {100, 200, 50, 70, false}, {3, 6, 3, 6, false}, // the borders are most of it
                 {100, 800, 50, 400, false}}; // weights in 2^-12: past the 32-bit sums
    for (const auto& c : cases) {
        const AxisTable rows = makeAxisTable(makeAxisPlan(c.sourceHeight, c.height), c.height);
        const AxisTable columns = makeAxisTable(makeAxisPlan(c.sourceWidth, c.width), c.width);
        EXPECT_EQ(fixedPlanFits(makeFixedPlan(rows, columns)), c.fits)
            << c.width << "x" << c.height;
    }
}

DibImage grayRow(const std::vector<int>& values) {
    return test::makeTrueColorImage(
        int(values.size()), 1, [&](int x, int) { return std::uint32_t(values[x]) * 0x010101u; });
}

std::vector<int> blueRow(const DibImage& image) {
    std::vector<int> out;
    for (int x = 0; x < image.width; ++x)
        out.push_back(int(rgbAt(image, x, 0) & 0xFF));
    return out;
}

DibImage resized(const DibImage& source, const ResizeRequest& request) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    DibImage target;
    EXPECT_EQ(resizeToImage(session, source, target, request), 0);
    EXPECT_TRUE(frontend.messages.empty());
    return target;
}

TEST(Resize, HandWorkedInterpolatedRows) {
    const struct {
        std::vector<int> source;
        int width;
        std::vector<int> expected;
    } cases[] = {{{0, 200}, 4, {0, 50, 150, 237}}, // overshoot clamped
                 {{10, 30, 50, 70}, 2, {20, 60}},  // plain means
                 {{0, 100, 200}, 2, {33, 166}},    // 2/3 p0 + 1/3 p1 …
                 {{7, 99, 250}, 3, {7, 99, 250}}}; // same size: a copy
    for (const auto& c : cases) {
        const DibImage target = resized(grayRow(c.source), {c.width, 1, 1, true});
        EXPECT_EQ(target.bitsPerPixel, 24);
        EXPECT_EQ(blueRow(target), c.expected) << c.width;
    }
    // Wider but lower: columns grow (2 → 4), rows shrink by area to the means 10 and 210.
    const DibImage square = test::makeTrueColorImage(
        2, 2, [](int x, int y) { return std::uint32_t(x * 200 + y * 20); });
    EXPECT_EQ(blueRow(resized(square, {4, 1, 1, true})), (std::vector<int>{0, 60, 160, 247}));
}

// Every target pixel against the plain sum of the row and column tables' taps, for growing,
// shrinking and mixed sizes, partial groups and indexed sources; the doubled, quadrupled and
// quartered sizes go through the whole-number pass.
TEST(Resize, InterpolatedPixelsAreThePlainSumsOfTheirTaps) {
    const struct {
        int sourceWidth, sourceHeight, bits, width, height;
    } cases[] = {{7, 5, 24, 23, 17},   {40, 30, 24, 9, 7},  {13, 11, 24, 30, 4},
                 {6, 9, 8, 6, 20},     {1, 1, 24, 5, 3},    {33, 2, 4, 65, 1},
                 {37, 20, 24, 74, 40}, {9, 6, 24, 36, 24},  {64, 48, 24, 16, 12},
                 {12, 9, 24, 24, 9},   {16, 30, 24, 4, 60}, {11, 8, 8, 22, 16}};
    for (const auto& c : cases) {
        std::uint32_t state = 21;
        const auto next = [&] { return (state = state * 1664525u + 1013904223u) >> 8; };
        std::vector<std::uint32_t> palette(std::size_t(1) << (c.bits == 24 ? 0 : c.bits));
        for (std::uint32_t& entry : palette)
            entry = next();
        const DibImage source =
            c.bits == 24
                ? test::makeTrueColorImage(c.sourceWidth, c.sourceHeight,
                                           [&](int, int) { return next(); })
                : test::makeIndexedImage(c.sourceWidth, c.sourceHeight, c.bits, palette,
                                         [&](int, int) { return int(next() % palette.size()); });
        const DibImage target = resized(source, {c.width, c.height, 1, true});
        const AxisTable rows = makeAxisTable(makeAxisPlan(c.sourceHeight, c.height), c.height);
        const AxisTable columns = makeAxisTable(makeAxisPlan(c.sourceWidth, c.width), c.width);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const Taps r = rows.taps[y], k = columns.taps[x];
                double sums[3] = {0, 0, 0};
                for (int i = 0; i < r.count; ++i)
                    for (int j = 0; j < k.count; ++j) {
                        std::uint8_t bgr[3];
                        getColor(source, bgr, r.first + i, k.first + j, source.bitsPerPixel);
                        for (int ch = 0; ch < 3; ++ch)
                            sums[ch] += rows.weightsOf(y)[i] * columns.weightsOf(x)[j] * bgr[ch];
                    }
                std::uint8_t got[3];
                getColor(target, got, y, x, 24);
                for (int ch = 0; ch < 3; ++ch)
                    ASSERT_EQ(got[ch], sums[ch] < 0     ? 0
                                       : sums[ch] > 255 ? 255
                                                        : int(sums[ch]))
                        << c.sourceWidth << "->" << c.width << " at " << x << "," << y;
            }
    }
}

// Bands of rows on two threads give the bytes of one, in the whole-number pass (doubled,
// quartered) and the double one (thirds).
TEST(Resize, TwoThreadsGiveTheBytesOfOne) {
    std::uint32_t state = 5;
    const DibImage source = test::makeTrueColorImage(
        45, 97, [&](int, int) { return (state = state * 1664525u + 1013904223u) >> 8; });
    const auto run = [&](const char* threads, int width, int height) {
        setenv("VELLORA_THREADS", threads, 1);
        const DibImage target = resized(source, {width, height, 1, true});
        unsetenv("VELLORA_THREADS");
        return target.data;
    };
    for (const auto& [w, h] : {std::pair{90, 194}, {45, 388}, {135, 291}})
        EXPECT_EQ(run("1", w, h), run("2", w, h)) << w << "x" << h;
}

TEST(ResizeDialog, UpToSixtyFourTimesAndKeepRatioTruncates) {
    const struct {
        int width, height;
        bool valid;
    } cases[] = {{1920, 1280, true}, {1921, 1280, false}, {1920, 1281, false}, {0, 20, false},
                 {30, 0, false},     {1, 1, true},        {-5, 20, false}};
    for (const auto& c : cases)
        EXPECT_EQ(resizeValuesValid(c.width, c.height, 30, 20), c.valid)
            << c.width << "x" << c.height;
    EXPECT_EQ(keepRatioHeight(200, 400, 300), 150);
    EXPECT_EQ(keepRatioWidth(100, 400, 300), 133);
    EXPECT_EQ(keepRatioWidth(1, 400, 300), 1);
    EXPECT_EQ(keepRatioHeight(1, 400, 300), 0); // not clamped: "Okay" refuses it
}

class ResizeCommand : public ::testing::Test {
  protected:
    int run(const DibImage& picture, int width, int height) {
        test::setCurrentPicture(session, picture);
        before = session.currentPath;
        session.workingBlock = defaultParameterBlock();
        session.workingBlock.resizeWidth = width;
        session.workingBlock.resizeHeight = height;
        return runCommandHandler(session, resizeHandler);
    }
    test::RecordingFrontend frontend;
    Session session{frontend};
    std::string before;
};

TEST_F(ResizeCommand, SucceedsAtOneHundredPercent) {
    session.currentInfo.zoomIndex = 4;
    ASSERT_EQ(run(grayRow({0, 200}), 4, 1), 0);
    EXPECT_EQ(blueRow(test::readImage(session.currentPath)), (std::vector<int>{0, 50, 150, 237}));
    EXPECT_EQ(session.currentInfo.zoomIndex, kZoom100Index);
    EXPECT_EQ(session.currentInfo.state, 514);
}

TEST_F(ResizeCommand, TooLargeSizesAreRefused) {
    EXPECT_EQ(run(grayRow({0, 200}), 129, 1), 1); // more than 64 times
    EXPECT_EQ(session.currentPath, before);
    EXPECT_EQ(frontend.messages,
              (std::vector<test::Message>{{"alert", "invalid size values tried to setup"},
                                          {"error", "failed to resize the image"}}));
    // 64000 × 64000 × 3 bytes cannot be a bitmap file: code 16.
    frontend.clear();
    EXPECT_EQ(run(test::makeImage(1000, 1000, 8), 64000, 64000), 1);
    ASSERT_EQ(frontend.messages.size(), 2u);
    EXPECT_EQ(frontend.messages[0].text.rfind(
                  "failed to allocate memory\na 64000 x 64000 picture of 24 bits per pixel", 0),
              0u)
        << frontend.messages[0].text;
    EXPECT_EQ(frontend.messages[1], (test::Message{"error", "failed to resize the image"}));
}

} // namespace
} // namespace vellora
