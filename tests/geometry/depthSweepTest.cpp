#include "core/pixelAccess.h"
#include "geometry/crop.h"
#include "geometry/resize.h"
#include "geometry/rotate.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <tuple>

namespace vellora {
namespace {

// Every depth at awkward sizes: a single pixel, a single row or column, odd sizes that leave
// partial bytes and row padding.
class GeometrySweep : public ::testing::TestWithParam<std::tuple<int, std::pair<int, int>>> {
  protected:
    void SetUp() override {
        const int depth = std::get<0>(GetParam());
        const std::pair<int, int> size = std::get<1>(GetParam());
        source = depth <= 8
                     ? test::makeIndexedImage(
                           size.first, size.second, depth, {0x0A0B0C, 0xF0E0D0, 0x336699, 0x808080},
                           [=](int x, int y) { return (x + 2 * y) % 4 % (depth == 1 ? 2 : 4); })
                     : test::makeImage(size.first, size.second, depth);
        if (depth > 8) {
            for (int y = 0; y < source.height; ++y)
                for (int x = 0; x < source.width; ++x) {
                    const std::uint8_t bgr[3] = {std::uint8_t(x * 40), std::uint8_t(y * 30), 99};
                    setColor(source, bgr, y, x, depth);
                }
        }
    }
    test::RecordingFrontend frontend;
    Session session{frontend};
    DibImage source;
};

TEST_P(GeometrySweep, CropOfTheWholePictureIsTheSamePicture) {
    DibImage target;
    ASSERT_EQ(cropToImage(session, source, target, {0, 0, source.width - 1, source.height - 1}), 0);
    EXPECT_EQ(target.data, source.data);
}

TEST_P(GeometrySweep, NearestResizeKeepsDepthAndSamplesBySizeRatio) {
    DibImage target;
    const int width = 2 * source.width + 1, height = source.height + 3;
    ASSERT_EQ(resizeToImage(session, source, target, {width, height, 0, false}), 0);
    ASSERT_EQ(target.bitsPerPixel, source.bitsPerPixel);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(test::rgbAt(target, x, y),
                      test::rgbAt(source, x * source.width / width, y * source.height / height));
}

TEST_P(GeometrySweep, InterpolatedResizeIsTrueColourOfTheTargetSize) {
    DibImage target;
    ASSERT_EQ(resizeToImage(session, source, target, {source.width, 2 * source.height, 0, true}),
              0);
    EXPECT_EQ(target.bitsPerPixel, 24);
    EXPECT_EQ(target.height, 2 * source.height);
    EXPECT_EQ(target.width, source.width);
    // Columns are copied; from a single row only one bicubic tap remains, renormalised to 1.
    if (source.height == 1) {
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < source.width; ++x) {
                EXPECT_EQ(test::rgbAt(target, x, y), test::rgbAt(source, x, 0));
            }
    }
}

TEST_P(GeometrySweep, RotationsSucceedWithTheComputedSize) {
    for (const bool bicubic : {false, true}) {
        session.sourceImage = source;
        test::TempDir dir;
        session.nextPath = (dir / "r.dib").string();
        ASSERT_EQ(rotateImage(session, {30, bicubic, 0, blankGray(2)}), 0);
        const DibImage result = test::readImage(session.nextPath);
        const RotatedSize size = rotatedSize(source, 30);
        EXPECT_EQ(result.width, size.width);
        EXPECT_EQ(result.height, size.height);
        EXPECT_EQ(result.bitsPerPixel, bicubic ? 24 : source.bitsPerPixel);
    }
    EXPECT_TRUE(frontend.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(DepthsAndSizes, GeometrySweep,
                         ::testing::Combine(::testing::Values(1, 4, 8, 24, 32),
                                            ::testing::Values(std::pair{1, 1}, std::pair{1, 7},
                                                              std::pair{7, 1}, std::pair{11, 13})));

} // namespace
} // namespace vellora
