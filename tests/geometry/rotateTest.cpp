#include "geometry/rotate.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "geometry/resampleWeights.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>

namespace vellora {
namespace {

struct SizeCase {
    int width, height, angle;
    int targetWidth, targetHeight;
    AxisMethod rows, columns;
};

class RotatedSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(RotatedSizes, BoundingSizeAndAxisPlans) {
    const SizeCase c = GetParam();
    const DibImage source = test::makeImage(c.width, c.height, 24);
    const RotatedSize size = rotatedSize(source, c.angle);
    EXPECT_EQ(size.width, c.targetWidth);
    EXPECT_EQ(size.height, c.targetHeight);
    EXPECT_EQ(makeAxisPlan(c.height, size.height).method, c.rows);
    EXPECT_EQ(makeAxisPlan(c.width, size.width).method, c.columns);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, RotatedSizes,
    ::testing::Values(SizeCase{100, 50, 30, 112, 93, AxisMethod::Bicubic, AxisMethod::Bicubic},
                      SizeCase{100, 50, 330, 112, 93, AxisMethod::Bicubic, AxisMethod::Bicubic},
                      SizeCase{100, 50, 45, 106, 106, AxisMethod::Bicubic, AxisMethod::Bicubic},
                      SizeCase{41, 100, 45, 100, 100, AxisMethod::Copy, AxisMethod::Bicubic},
                      SizeCase{20, 100, 1, 22, 100, AxisMethod::Copy, AxisMethod::Bicubic},
                      // a long thin strip turned almost upright is narrower than it was
                      SizeCase{100, 10, 80, 27, 100, AxisMethod::Bicubic, AxisMethod::Area}));

TEST(BlankColors, FiftyOneStepsFromWhiteToBlack) {
    const int expected[6] = {255, 204, 153, 102, 51, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(blankGray(i)[0], expected[i]);
    EXPECT_EQ(blankGray(1), (BlankColor{204, 204, 204}));
}

DibImage uniform(int width, int height, std::uint32_t rgb) {
    return test::makeTrueColorImage(width, height, [=](int, int) { return rgb; });
}

struct PassCase {
    bool bicubic;
    int depthIndex;
};

class RotatePasses : public ::testing::TestWithParam<PassCase> {};

// A red 100 × 50 picture at 30 degrees: corners blank, centre red, and the red area about the
// source's area (the rotation keeps areas; only the border pixels may go either way).
TEST_P(RotatePasses, CornersBlankAndAreaKept) {
    const PassCase c = GetParam();
    test::RecordingFrontend frontend;
    Session session(frontend);
    session.sourceImage = uniform(100, 50, 0xFF0000);
    const DibImage& source = session.sourceImage;
    DibImage& target = session.targetImage;
    ASSERT_EQ(createDib(frontend, target, 112, 93, 24, 0), 0);
    const BlankColor white = blankGray(0);
    ASSERT_EQ(c.bicubic ? rotateInterpolated(session, target, source, 30, white)
                        : rotateNearest(session, target, source, 30, white),
              0);
    for (const auto& [x, y] : {std::pair{0, 0}, {111, 0}, {0, 92}, {111, 92}})
        EXPECT_EQ(test::rgbAt(target, x, y), 0xFFFFFFu) << x << "," << y;
    // Renormalised weights may sum to a hair below 1, and the sum is truncated: 255 → 254.
    const auto isRed = [&](int x, int y) {
        const std::uint32_t rgb = test::rgbAt(target, x, y);
        return (rgb >> 16) >= 254 && (rgb & 0xFFFF) <= 0x0101;
    };
    EXPECT_TRUE(isRed(56, 46));
    int red = 0;
    for (int y = 0; y < target.height; ++y)
        for (int x = 0; x < target.width; ++x)
            red += isRed(x, y);
    EXPECT_LT(std::abs(red - 100 * 50), 2 * (100 + 50));
}

INSTANTIATE_TEST_SUITE_P(Passes, RotatePasses,
                         ::testing::Values(PassCase{false, 1}, PassCase{true, 1}));

struct BicubicCase {
    int width, height, angle;
};

class BicubicRotations : public ::testing::TestWithParam<BicubicCase> {};

// Every bicubic pixel against the plain sum over its taps, one channel at a time, of a noisy
// picture. Rows of width 36 or 72 have no padding, so the last pixel ends the picture's block;
// 89 degrees shrinks the columns (area weights), 1 degree hardly turns at all, and 1250 × 12
// turned by 7 degrees is wider than a strip of the pass.
TEST_P(BicubicRotations, PixelsAreThePlainSumsOfTheirTaps) {
    const BicubicCase c = GetParam();
    std::uint32_t state = 3;
    const DibImage source = test::makeTrueColorImage(c.width, c.height, [&](int, int) {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    });
    {
        const int angle = c.angle;
        test::RecordingFrontend frontend;
        Session session(frontend);
        const RotatedSize size = rotatedSize(source, angle);
        ASSERT_EQ(createDib(frontend, session.targetImage, size.width, size.height, 24, 0), 0);
        const BlankColor blank = blankGray(20);
        ASSERT_EQ(rotateInterpolated(session, session.targetImage, source, angle, blank), 0);
        const DibImage& target = session.targetImage;
        const double theta = angle * std::numbers::pi / 180;
        const double sine = std::sin(theta), cosine = std::cos(theta);
        const double cx = target.width * 0.5, cy = target.height * 0.5;
        const double dx = (target.width - source.width) * 0.5;
        const double dy = (target.height - source.height) * 0.5;
        const AxisPlan rowPlan = makeAxisPlan(source.height, target.height);
        const AxisPlan columnPlan = makeAxisPlan(source.width, target.width);
        for (int y = 0; y < target.height; ++y)
            for (int x = 0; x < target.width; ++x) {
                const double u = x - cx, v = y - cy;
                const double tr = u * sine + v * cosine + cy - dy + 0.5;
                const double tc = u * cosine - v * sine + cx - dx + 0.5;
                std::uint8_t expected[3] = {blank[0], blank[1], blank[2]};
                if (int(tr) >= 0 && int(tr) < source.height && int(tc) >= 0 &&
                    int(tc) < source.width) {
                    double rowWeights[8], columnWeights[8];
                    const Taps rows = planTaps(rowPlan, tr, rowWeights);
                    const Taps columns = planTaps(columnPlan, tc, columnWeights);
                    for (int k = 0; k < 3; ++k) {
                        double sum = 0;
                        for (int i = 0; i < rows.count; ++i)
                            for (int j = 0; j < columns.count; ++j) {
                                std::uint8_t bgr[3];
                                getColor(source, bgr, rows.first + i, columns.first + j, 24);
                                sum += rowWeights[i] * columnWeights[j] * bgr[k];
                            }
                        expected[k] = std::uint8_t(std::clamp(sum, 0.0, 255.0));
                    }
                }
                std::uint8_t actual[3];
                getColor(target, actual, y, x, 24);
                ASSERT_EQ(std::memcmp(actual, expected, 3), 0) << x << "," << y;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(AnglesAndSizes, BicubicRotations,
                         ::testing::Values(BicubicCase{36, 21, 30}, BicubicCase{36, 21, 330},
                                           BicubicCase{36, 21, 7}, BicubicCase{72, 45, 30},
                                           BicubicCase{72, 45, 45}, BicubicCase{72, 45, 1},
                                           BicubicCase{72, 45, 89}, BicubicCase{37, 50, 200},
                                           BicubicCase{37, 50, 123}, BicubicCase{1250, 12, 7}));

// Bands of rows on two threads give the bytes of one thread, in both passes; the source is
// wider than a strip of the interpolated pass.
TEST(Rotate, TwoThreadsGiveTheBytesOfOne) {
    std::uint32_t state = 9;
    const DibImage source = test::makeTrueColorImage(1500, 70, [&](int, int) {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    });
    const auto rotated = [&](const char* threads, bool bicubic) {
        setenv("VELLORA_THREADS", threads, 1);
        test::RecordingFrontend frontend;
        Session session(frontend);
        const RotatedSize size = rotatedSize(source, 30);
        EXPECT_EQ(createDib(frontend, session.targetImage, size.width, size.height, 24, 0), 0);
        const BlankColor blank = blankGray(2);
        EXPECT_EQ(bicubic ? rotateInterpolated(session, session.targetImage, source, 30, blank)
                          : rotateNearest(session, session.targetImage, source, 30, blank),
                  0);
        unsetenv("VELLORA_THREADS");
        return session.targetImage.data;
    };
    for (const bool bicubic : {true, false})
        EXPECT_EQ(rotated("1", bicubic), rotated("2", bicubic)) << bicubic;
}

// Clockwise on screen: rows are stored bottom-up, so the upper half of the picture (the higher
// stored rows) turns to the right side.
TEST(Rotate, TurnsClockwise) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    session.sourceImage = test::makeTrueColorImage(
        100, 60, [](int, int y) { return y >= 30 ? 0xFF0000u : 0x0000FFu; });
    session.workingBlock = defaultParameterBlock();
    const RotatedSize size = rotatedSize(session.sourceImage, 80);
    ASSERT_EQ(createDib(frontend, session.targetImage, size.width, size.height, 24, 0), 0);
    ASSERT_EQ(rotateNearest(session, session.targetImage, session.sourceImage, 80, blankGray(5)),
              0);
    const int middle = size.height / 2;
    EXPECT_EQ(test::rgbAt(session.targetImage, size.width / 2 + 15, middle), 0xFF0000u);
    EXPECT_EQ(test::rgbAt(session.targetImage, size.width / 2 - 15, middle), 0x0000FFu);
}

TEST(Rotate, EightBitsWithSourceDepthKeepsTheTableAndTakesTheNearestBlankEntry) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::TempDir dir;
    session.nextPath = (dir / "rotated.dib").string();
    // Entries 1 and 2 are both at squared distance 48 from the blank gray 204: the first wins.
    session.sourceImage =
        test::makeIndexedImage(30, 20, 8, {0x000000, 0xC8C8C8, 0xD0D0D0, 0xFF0000},
                               [](int x, int) { return x % 2 ? 3 : 0; });
    const DibImage source = session.sourceImage;
    ASSERT_EQ(rotateImage(session, {10, false, 0, blankGray(1)}), 0);
    const DibImage result = test::readImage(session.nextPath);
    EXPECT_EQ(result.bitsPerPixel, 8);
    EXPECT_EQ(0, std::memcmp(result.paletteEntry(0), source.paletteEntry(0), source.paletteBytes));
    std::uint8_t index = 0;
    getIndex(result, index, 0, 0, 8);
    EXPECT_EQ(index, 1);
    getIndex(result, index, result.height - 1, result.width - 1, 8);
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(session.sourceImage.data.empty());
    EXPECT_TRUE(session.targetImage.data.empty());
}

TEST(Rotate, BicubicIsTrueColourWhateverTheDepthChoice) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::TempDir dir;
    session.nextPath = (dir / "rotated.dib").string();
    session.sourceImage = test::makeIndexedImage(20, 100, 4, {0x000000, 0x00FF00},
                                                 [](int x, int y) { return (x + y) % 2; });
    ASSERT_EQ(rotateImage(session, {1, true, 0, blankGray(3)}), 0);
    const DibImage result = test::readImage(session.nextPath);
    EXPECT_EQ(result.bitsPerPixel, 24);
    EXPECT_EQ(result.width, 22);
    EXPECT_EQ(result.height, 100);
    EXPECT_EQ(test::rgbAt(result, 0, 99), 0x666666u);
}

} // namespace
} // namespace vellora
