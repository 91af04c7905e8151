#include "geometry/resize.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "geometry/fixedResample.h"
#include "geometry/resampleWeights.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    const auto C = AxisMethod::Copy, B = AxisMethod::Bicubic, A = AxisMethod::Area;
    for (const auto& [from, to, method, taps] :
         {std::tuple{100, 100, C, 1}, {2, 4, B, 4}, {4, 2, A, 4}, {10, 3, A, 5}, {41, 100, B, 4}}) {
        const AxisPlan plan = makeAxisPlan(from, to);
        EXPECT_EQ(std::pair(plan.method, maxTaps(plan)), std::pair(method, taps))
            << from << "->" << to;
    }
}

// A doubling in sixty-fourths: positions i / 2 + 0.25 hold 57, 19, −9, −3; those by the borders,
// renormalised by 73 and 67 sixty-fourths, are no binary fractions and left to the double sums.
TEST(FixedAxis, WholeNumberWeightsAndThePlansThatTakeThem) {
    const AxisTable doubling = makeAxisTable(makeAxisPlan(8, 16), 16);
    const FixedAxis axis = makeFixedAxis(doubling);
    const auto exact = std::count(axis.exact.begin(), axis.exact.end(), true);
    EXPECT_EQ(std::tuple(axis.shift, axis.inexact, exact, axis.largestWeightSum),
              std::tuple(6, std::vector<int>{1, 2, 13, 14}, 12, 9 + 57 + 19 + 3));
    EXPECT_EQ(std::vector<int>(axis.weightsOf(3), axis.weightsOf(3) + 4),
              (std::vector<int>{-9, 57, 19, -3}));
    // Shrinking 1024 to 1 weighs by 2^-10, the finest held in whole numbers; 2048 to 1 is finer.
    EXPECT_EQ(makeFixedAxis(makeAxisTable(makeAxisPlan(1024, 1), 1)).inexact, std::vector<int>{});
    EXPECT_EQ(makeFixedAxis(makeAxisTable(makeAxisPlan(5, 5), 5)).shift, 0); // a copy's whole 1s
    EXPECT_EQ(makeFixedAxis(makeAxisTable(makeAxisPlan(2048, 1), 1)).inexact, std::vector<int>{0});
    // Integer pass only if both axes ≥ half exact: 3 to 7 none, 3 to 4 two of four, 1 to 1 its one.
    const auto fits = [&](int from, int to) {
        return fixedPlanFits(makeFixedPlan(doubling, makeAxisTable(makeAxisPlan(from, to), to)));
    };
    EXPECT_EQ(std::tuple(fits(8, 16), fits(3, 7), fits(3, 4), fits(1, 1)),
              std::tuple(true, false, true, true));
    // No sum may reach 2^31: 255 × the column sum, and that times the row sum.
    FixedPlan plan;
    plan.rows.exact = plan.columns.exact = {true};
    const int cases[][3] = {{0, 8421504, 1}, {0, 8421505, 0}, {8388608, 1, 1}, {8388609, 1, 0}};
    for (const auto& [rowSum, columnSum, fit] : cases) {
        plan.rows.largestWeightSum = rowSum, plan.columns.largestWeightSum = columnSum;
        EXPECT_EQ(fixedPlanFits(plan), bool(fit)) << rowSum << " " << columnSum;
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
    for (const auto& c : cases)
        EXPECT_EQ(blueRow(resized(grayRow(c.source), {c.width, 1, 1, true})), c.expected)
            << c.width;
}

// Every target pixel against the plain sum of the tables' taps: growing, shrinking and mixed
// sizes, partial groups, every depth; whole factors take the whole-number pass.
TEST(Resize, InterpolatedPixelsAreThePlainSumsOfTheirTaps) {
    const struct {
        int sourceWidth, sourceHeight, bits, width, height;
    } cases[] = {{7, 5, 24, 23, 17},   {40, 30, 24, 9, 7}, {13, 11, 24, 30, 4},  {6, 9, 8, 6, 20},
                 {1, 1, 24, 5, 3},     {33, 2, 4, 65, 1},  {37, 20, 24, 74, 40}, {9, 6, 24, 36, 24},
                 {64, 48, 24, 16, 12}, {12, 9, 24, 24, 9}, {16, 30, 24, 4, 60},  {11, 8, 8, 22, 16},
                 {1, 4, 24, 3, 7},     {9, 7, 32, 20, 5},  {13, 5, 1, 6, 9}};
    for (const auto& c : cases) {
        const DibImage source = test::randomPicture(c.sourceWidth, c.sourceHeight, c.bits,
                                                    unsigned(c.width * 100 + c.sourceWidth));
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

TEST(ResizeDialog, UpToSixtyFourTimesAndKeepRatioTruncates) {
    const int cases[][3] = {{1920, 1280, 1}, {1921, 1280, 0}, {1920, 1281, 0}, {0, 20, 0},
                            {30, 0, 0},      {1, 1, 1},       {-5, 20, 0}};
    for (const auto& [width, height, valid] : cases)
        EXPECT_EQ(resizeValuesValid(width, height, 30, 20), bool(valid)) << width << "x" << height;
    EXPECT_EQ(keepRatioWidth(100, 400, 300), 133);
    EXPECT_EQ(keepRatioHeight(1, 400, 300), 0); // truncated, not clamped: "Okay" refuses it
}

// 100 % after a success; over 64 times, or too large for a bitmap file (code 16): refused.
TEST(ResizeCommand, SucceedsAtOneHundredPercentOrRefusesTooLargeSizes) {
    test::RecordingFrontend frontend;
    Session session{frontend};
    std::string before;
    const auto run = [&](const DibImage& picture, int width, int height) {
        test::setCurrentPicture(session, picture);
        before = session.currentPath;
        session.workingBlock = defaultParameterBlock();
        session.workingBlock.resizeWidth = width;
        session.workingBlock.resizeHeight = height;
        return runCommandHandler(session, resizeHandler);
    };
    session.currentInfo.zoomIndex = 4;
    ASSERT_EQ(run(grayRow({0, 200}), 4, 1), 0);
    EXPECT_EQ(blueRow(test::readImage(session.currentPath)), (std::vector<int>{0, 50, 150, 237}));
    EXPECT_EQ(session.currentInfo.zoomIndex * 1000 + session.currentInfo.state,
              kZoom100Index * 1000 + 514);
    EXPECT_EQ(run(grayRow({0, 200}), 129, 1), 1);
    EXPECT_EQ(session.currentPath, before);
    EXPECT_EQ(frontend.messages,
              (std::vector<test::Message>{{"alert", "invalid size values tried to setup"},
                                          {"error", "failed to resize the image"}}));
    frontend.clear();
    EXPECT_EQ(run(test::makeImage(1000, 1000, 8), 64000, 64000), 1);
    ASSERT_EQ(frontend.messages.size(), 2u);
    EXPECT_TRUE(frontend.messages[0].text.starts_with(
        "failed to allocate memory\na 64000 x 64000 picture of 24 bits per pixel"));
    EXPECT_EQ(frontend.messages[1], (test::Message{"error", "failed to resize the image"}));
}

} // namespace
} // namespace vellora
