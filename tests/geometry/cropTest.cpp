// Crop, and every geometry operation at every depth and awkward size.
#include "geometry/crop.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "geometry/resize.h"
#include "geometry/rotate.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <tuple>

namespace vellora {
namespace {

using test::rgbAt;

// Every depth at a single pixel, row or column, and an odd size with partial bytes and padding.
class GeometrySweep : public ::testing::TestWithParam<std::tuple<int, std::pair<int, int>>> {
  protected:
    void SetUp() override {
        const auto [w, h] = std::get<1>(GetParam());
        source = test::randomPicture(w, h, depth, unsigned(w * 31 + h + depth));
        for (int y = 0; depth == 32 && y < h; ++y)
            for (int x = 0; x < w; ++x)
                source.row(y)[4 * x + 3] = 0x77; // must not reach a result
    }
    const int depth = std::get<0>(GetParam());
    test::RecordingFrontend frontend;
    Session session{frontend};
    DibImage source, target;
};

// The whole picture, a corner and (from three pixels on) an inner rectangle, starting and
// ending inside bytes: every result pixel is the source pixel at (left + x, bottom + y).
TEST_P(GeometrySweep, CropCopiesTheRectanglePixelByPixel) {
    const int w = source.width, h = source.height;
    for (const CropRect rect : {CropRect{0, 0, w - 1, h - 1}, CropRect{w / 3, h / 4, w - 1, h - 1},
                                CropRect{1, 1, w - 2, h - 2}}) {
        const auto [left, bottom, right, top] = rect;
        if (right < left || top < bottom) continue;
        ASSERT_EQ(cropToImage(session, source, target, rect), 0);
        ASSERT_EQ(std::tuple(target.width, target.height, target.bitsPerPixel, target.colorsUsed),
                  std::tuple(right - left + 1, top - bottom + 1, depth, source.colorsUsed));
        for (int y = 0; y < target.height; ++y)
            for (int x = 0; x < target.width; ++x) {
                ASSERT_EQ(rgbAt(target, x, y), rgbAt(source, left + x, bottom + y))
                    << x << "," << y;
                ASSERT_TRUE(depth != 32 || target.row(y)[4 * x + 3] == 0);
            }
        for (int y = 0; y < target.height; ++y) // bits past the last pixel stay 0
            for (int bit = target.width * depth; bit < 8 * target.stride; ++bit)
                ASSERT_EQ(target.row(y)[bit / 8] >> (7 - bit % 8) & 1, 0) << bit;
    }
    EXPECT_TRUE(frontend.messages.empty());
}

// Source depth kept (index 0) or 24 bpp (index 1); pixels sampled at x × w / W, y × h / H.
TEST_P(GeometrySweep, NearestResizeSamplesBySizeRatio) {
    const int width = 2 * source.width + 1, height = source.height + 3;
    for (const int depthIndex : {0, 1}) {
        ASSERT_EQ(resizeToImage(session, source, target, {width, height, depthIndex, false}), 0);
        ASSERT_EQ(target.bitsPerPixel, depthIndex ? 24 : depth);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(rgbAt(target, x, y),
                          rgbAt(source, x * source.width / width, y * source.height / height));
    }
}

// The nearest pass keeps the depth when asked; a request left as it is makes 24 bpp.
TEST_P(GeometrySweep, RotationsSucceedWithTheComputedSize) {
    for (const auto& [request, bits] : {std::pair(RotateRequest{30, false, 0, blankGray(2)}, depth),
                                        {RotateRequest{.angle = 30, .bicubic = false}, 24},
                                        {RotateRequest{.angle = 30}, 24}}) {
        session.sourceImage = source;
        test::TempDir dir;
        session.nextPath = (dir / "r.dib").string();
        ASSERT_EQ(rotateImage(session, request), 0);
        const DibImage result = test::readImage(session.nextPath);
        const RotatedSize size = rotatedSize(source, 30);
        EXPECT_EQ(std::tuple(result.width, result.height, result.bitsPerPixel),
                  std::tuple(size.width, size.height, bits));
    }
    EXPECT_TRUE(frontend.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(DepthsAndSizes, GeometrySweep,
                         ::testing::Combine(::testing::Values(1, 4, 8, 24, 32),
                                            ::testing::Values(std::pair{1, 1}, std::pair{1, 7},
                                                              std::pair{7, 1}, std::pair{11, 13})));

TEST(CropDialog, AcceptsOnlyRectanglesInsideThePicture) {
    // left, bottom, right, top (1-based) in a 40 × 30 picture, valid
    const int cases[][5] = {{1, 1, 40, 30, 1}, {5, 5, 5, 5, 1},   {2, 2, 40, 30, 1},
                            {6, 1, 5, 30, 0},  {1, 1, 40, 31, 0}, {0, 1, 40, 30, 0},
                            {1, 0, 40, 30, 0}, {1, 1, 41, 30, 0}, {1, 9, 40, 8, 0}};
    for (const auto& [left, bottom, right, top, valid] : cases)
        EXPECT_EQ(cropValuesValid(left, bottom, right, top, 40, 30), bool(valid))
            << left << " " << bottom << " " << right << " " << top;
}

// One column past the right edge: refused, nothing written; inside: cut out and made current.
TEST(CropCommand, CropsTheCurrentPictureOrRefusesARectangleOutsideIt) {
    test::RecordingFrontend frontend;
    Session session{frontend};
    const DibImage source = test::randomPicture(12, 10, 24, 5);
    test::setCurrentPicture(session, source);
    const std::string before = session.currentPath;
    const auto run = [&](std::array<std::int32_t, 4> rect) {
        std::copy(rect.begin(), rect.end(), session.workingBlock.cropRect);
        return runCommandHandler(session, cropHandler);
    };
    EXPECT_EQ(run({0, 0, 11, 10}), 1); // and one row above it
    frontend.clear();
    EXPECT_EQ(run({0, 0, 12, 9}), 1);
    EXPECT_EQ(session.currentPath, before);
    EXPECT_FALSE(std::filesystem::exists(session.nextPath));
    EXPECT_EQ(frontend.messages,
              (std::vector<test::Message>{{"alert", "invalid rectangle values tried to setup"},
                                          {"error", "failed to crop the image"}}));
    frontend.clear();
    ASSERT_EQ(run({2, 1, 9, 3}), 0);
    EXPECT_NE(session.currentPath, before);
    const DibImage result = test::readImage(session.currentPath);
    EXPECT_EQ(std::tuple(result.width, result.height, rgbAt(result, 0, 0), rgbAt(result, 7, 2)),
              std::tuple(8, 3, rgbAt(source, 2, 1), rgbAt(source, 9, 3)));
    EXPECT_EQ(session.currentInfo.state, 514);
    EXPECT_TRUE(frontend.messages.empty());
}

} // namespace
} // namespace vellora
