#include "geometry/rotate.h"
#include "core/pixelAccess.h"
#include "geometry/bicubicQuad.h"
#include "geometry/resampleWeights.h"
#include "geometry/resize.h"
#include "support/recordingFrontend.h"
#include "support/simdLevels.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace vellora {
namespace {

using test::rgbAt;

// Makes the target of the rotated size and runs one pass into it.
DibImage rotated(const DibImage& source, int angle, bool bicubic, const BlankColor& blank) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    const RotatedSize size = rotatedSize(source, angle);
    EXPECT_EQ(createDib(frontend, session.targetImage, size.width, size.height, 24, 0), 0);
    EXPECT_EQ(bicubic ? rotateInterpolated(session, session.targetImage, source, angle, blank)
                      : rotateNearest(session, session.targetImage, source, angle, blank),
              0);
    return session.targetImage;
}

TEST(Rotate, BoundingSizeAndBlankGrays) {
    // A long thin strip turned almost upright is narrower than it was.
    const int cases[][5] = {{100, 50, 30, 112, 93},  {100, 50, 330, 112, 93},
                            {100, 50, 45, 106, 106}, {41, 100, 45, 100, 100},
                            {20, 100, 1, 22, 100},   {100, 10, 80, 27, 100},
                            {100, 50, 150, 112, 93}}; // every corner on the left of the first
    for (const auto& [width, height, angle, targetWidth, targetHeight] : cases) {
        const RotatedSize size = rotatedSize(test::makeImage(width, height, 24), angle);
        EXPECT_EQ(std::pair(size.width, size.height), std::pair(targetWidth, targetHeight))
            << angle;
    }
    // Fifty-one steps from white to black, clamped at both ends.
    for (const auto& [index, gray] :
         {std::pair{-1, 255}, {0, 255}, {1, 204}, {4, 51}, {5, 0}, {9, 0}})
        EXPECT_EQ(blankGray(index),
                  (BlankColor{std::uint8_t(gray), std::uint8_t(gray), std::uint8_t(gray)}));
}

// Bicubic pixels against the plain sum over their taps, nearest ones against the source pixel they
// round to. Widths 36, 72 have no padding; 89 degrees shrinks by area the columns (1250 × 12: some
// 37 taps, more than a row) or rows (36 × 100); 1250 × 12 at 7 degrees is wider than a pass strip.
TEST(Rotate, PixelsAreThePlainSumsOfTheirTapsOrTheNearestSourcePixel) {
    const struct {
        int width, height, angle, bitsPerPixel = 24; // palette pictures are read by colour
    } cases[] = {{36, 21, 30},  {36, 21, 330}, {36, 21, 7},     {72, 45, 30},
                 {72, 45, 45},  {72, 45, 1},   {72, 45, 89, 4}, {37, 50, 200, 8},
                 {37, 50, 123}, {1250, 12, 7}, {36, 100, 89},   {1250, 12, 89}};
    for (const auto& c : cases) {
        const DibImage source = test::randomPicture(c.width, c.height, c.bitsPerPixel, 3);
        const BlankColor blank = {10, 200, 30};
        const DibImage target = rotated(source, c.angle, true, blank);
        const DibImage nearest = rotated(source, c.angle, false, blank);
        const int shiftRow = (target.height - source.height) / 2; // whole pixels
        const int shiftColumn = (target.width - source.width) / 2;
        const double theta = c.angle * std::numbers::pi / 180;
        const double sine = std::sin(theta), cosine = std::cos(theta);
        const double cx = target.width * 0.5, cy = target.height * 0.5;
        const double dx = (target.width - source.width) * 0.5;
        const double dy = (target.height - source.height) * 0.5;
        const AxisPlan rowPlan = makeAxisPlan(source.height, target.height);
        const AxisPlan columnPlan = makeAxisPlan(source.width, target.width);
        std::vector<double> rowWeights(std::size_t(maxTaps(rowPlan)));
        std::vector<double> columnWeights(std::size_t(maxTaps(columnPlan)));
        for (int y = 0; y < target.height; ++y)
            for (int x = 0; x < target.width; ++x) {
                const double u = x - cx, v = y - cy;
                const int nr = int(u * sine + v * cosine + cy + 0.5) - shiftRow;
                const int nc = int(u * cosine - v * sine + cx + 0.5) - shiftColumn;
                const bool in = nr >= 0 && nr < source.height && nc >= 0 && nc < source.width;
                ASSERT_EQ(rgbAt(nearest, x, y), in ? rgbAt(source, nc, nr) : 0x1EC80Au) << x << "," << y;
                const double tr = u * sine + v * cosine + cy - dy + 0.5;
                const double tc = u * cosine - v * sine + cx - dx + 0.5;
                std::uint8_t expected[3] = {blank[0], blank[1], blank[2]}, actual[3];
                if (int(tr) >= 0 && int(tr) < source.height && int(tc) >= 0 &&
                    int(tc) < source.width) {
                    const Taps rows = planTaps(rowPlan, tr, rowWeights.data());
                    const Taps columns = planTaps(columnPlan, tc, columnWeights.data());
                    for (int k = 0; k < 3; ++k) {
                        double sum = 0;
                        for (int i = 0; i < rows.count; ++i)
                            for (int j = 0; j < columns.count; ++j) {
                                const std::uint32_t rgb =
                                    rgbAt(source, columns.first + j, rows.first + i);
                                sum += rowWeights[i] * columnWeights[j] * (rgb >> 8 * k & 0xFF);
                            }
                        expected[k] = std::uint8_t(std::clamp(sum, 0.0, 255.0));
                    }
                }
                getColor(target, actual, y, x, 24);
                ASSERT_EQ(std::memcmp(actual, expected, 3), 0)
                    << c.angle << " at " << x << "," << y;
            }
    }
}

// Clockwise on screen: rows are stored bottom-up, so the upper half of the picture (the higher
// stored rows) turns to the right side. No turn is the same picture in both passes.
TEST(Rotate, TurnsClockwiseAndZeroDegreesGivesThePictureBack) {
    const DibImage source = test::randomPicture(37, 21, 24, 7);
    for (const bool bicubic : {false, true})
        EXPECT_EQ(rotated(source, 0, bicubic, blankGray(0)).data, source.data) << bicubic;
    const DibImage target =
        rotated(test::makeTrueColorImage(
                    100, 60, [](int, int y) { return y >= 30 ? 0xFF0000u : 0x0000FFu; }),
                80, false, blankGray(5));
    EXPECT_EQ(rgbAt(target, target.width / 2 + 15, target.height / 2), 0xFF0000u);
    EXPECT_EQ(rgbAt(target, target.width / 2 - 15, target.height / 2), 0x0000FFu);
}

TEST(Rotate, EightBitsWithSourceDepthKeepsTheTableAndTakesTheNearestBlankEntry) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::TempDir dir;
    session.nextPath = (dir / "rotated.dib").string();
    // Entries 1 and 2 are both at squared distance 48 from the blank gray 204: the first wins
    // over those of two channels at 204 and one at 0.
    session.sourceImage = test::makeIndexedImage(
        30, 20, 8, {0x000000, 0xC8C8C8, 0xD0D0D0, 0xFF0000, 0xCCCC00, 0x00CCCC, 0xCC00CC},
        [](int x, int) { return x % 2 ? 3 : 0; });
    const DibImage source = session.sourceImage;
    ASSERT_EQ(rotateImage(session, {10, false, 0, blankGray(1)}), 0);
    const DibImage result = test::readImage(session.nextPath);
    EXPECT_EQ(result.bitsPerPixel, 8);
    EXPECT_EQ(0, std::memcmp(result.paletteEntry(0), source.paletteEntry(0), source.paletteBytes));
    EXPECT_EQ(rgbAt(result, 0, 0), 0xC8C8C8u); // entry 1 in both blank corners
    EXPECT_EQ(rgbAt(result, result.width - 1, result.height - 1), 0xC8C8C8u);
    // The pass's pictures are released once the file is written.
    EXPECT_TRUE(session.sourceImage.data.empty() && session.targetImage.data.empty());
}

// No turn: target x, y lies at source x + 0.5, y + 0.5, first taps x − 1, y − 1. A group is taken
// whole if all taps lie inside, 16-byte reads in rows, or all pixels outside the 40 × 10 source.
TEST(BicubicQuads, TakeTheGroupsWhoseTapsFitOrThatLieOutside) {
    if (processorSimdLevel() == SimdLevel::Baseline) GTEST_SKIP();
    const DibImage source = test::randomPicture(40, 10, 24, 5);
    const QuadSource quad{source.row(0), std::size_t(source.stride), 40, 10};
    std::uint8_t blank[3] = {1, 2, 3}, out[3 * kQuadPixels];
    const int cases[][3] = {{1, 1, 1}, {24, 7, 1}, {0, 1, 0},  {25, 1, 0}, {1, 0, 0},
                            {1, 8, 0}, {40, 1, 1}, {1, 10, 1}, {30, 9, 0}}; // x, y, taken
    for (const auto& [x, y, taken] : cases)
        EXPECT_EQ(bicubicQuads(quad, {0, 1, 0, 0, 0, 0}, y, x, blank, out), bool(taken)) << x << y;
    EXPECT_EQ(std::tuple(out[0], out[1], out[35]), std::tuple(1, 2, 3));
}

// Rotation and resizing give the same bytes at every vector level.
TEST(GeometryAtEveryLevel, SameBytesAsTheBaseline) {
    const DibImage source = test::randomPicture(61, 47, 24, 17);
    // Rotations by 30 and 197 degrees; resizes by whole factors (integer weights) or not.
    for (const auto& [angle, width, height] :
         {std::tuple{30, 0, 0}, {197, 0, 0}, {0, 122, 141}, {0, 23, 19}, {0, 97, 30}}) {
        SCOPED_TRACE(angle * 1000 + width);
        test::expectSamePictureAtEveryLevel(
            [=](Session& s, const DibImage& source, DibImage& target) {
                if (angle == 0) return resizeToImage(s, source, target, {width, height, 1, true});
                const RotatedSize size = rotatedSize(source, angle);
                target = test::makeImage(size.width, size.height, 24);
                return rotateInterpolated(s, target, source, angle, {10, 200, 30});
            },
            source);
    }
}

} // namespace
} // namespace vellora
