// Every encoder at every depth it writes, read back through the decoders.
#include "imageioTestSupport.h"

#include "imageio/pictureLibrary.h"
#include "support/testImages.h"

#include "core/pixelAccess.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace vellora::test {
namespace {

struct Size { int width, height; };
// The last makes files of over a megabyte, the TIFF directory after the rows.
constexpr Size kAwkwardSizes[] = {{1, 1}, {1, 7}, {7, 1}, {11, 13}, {301, 301}, {701, 601}};

struct RoundTrip {
    const char* mimeType;
    int depth;
    int reopenedDepth;
    bool lossless; // pixels equal; otherwise close on average
};

constexpr RoundTrip kRoundTrips[] = {
    {"image/bmp", 1, 1, true},     {"image/bmp", 4, 4, true},     {"image/bmp", 8, 8, true},
    {"image/bmp", 24, 24, true},   {"image/bmp", 32, 32, true},   {"image/png", 1, 1, true},
    {"image/png", 4, 4, true},     {"image/png", 8, 8, true},     {"image/png", 24, 24, true},
    {"image/png", 32, 24, true},   {"image/tiff", 1, 1, true},    {"image/tiff", 4, 4, true},
    {"image/tiff", 8, 8, true},    {"image/tiff", 24, 24, true},  {"image/tiff", 32, 24, true},
    {"image/gif", 1, 1, true},     {"image/gif", 4, 4, true},     {"image/gif", 8, 8, true},
    {"image/jpeg", 24, 24, false}, {"image/jpeg", 32, 24, false}, {"image/jpeg", 8, 24, false},
};

// JPEG gets smooth pictures (its loss on noise says nothing); indexed ones a gradient palette.
DibImage sourceFor(const RoundTrip& trip, Size size) {
    if (trip.depth > 8) return makePhotoLike(size.width, size.height, trip.depth);
    if (trip.lossless) return makePatternIndexed(size.width, size.height, trip.depth);
    std::vector<std::uint32_t> palette;
    for (std::uint32_t i = 0; i < 256; ++i) palette.push_back(i << 16 | (255 - i) << 8 | i / 2);
    return makeIndexedImage(size.width, size.height, 8, palette,
                            [&](int x, int) { return x * 255 / std::max(1, size.width - 1); });
}

class RoundTripTest : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(RoundTripTest, PixelsSurviveAtEveryAwkwardSize) {
    const RoundTrip trip = GetParam();
    TempDir folder;
    for (const Size size : kAwkwardSizes) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        const DibImage source = sourceFor(trip, size);
        const auto path = folder / "picture";
        std::string error;
        ASSERT_TRUE(imageio::savePicture(path, source, trip.mimeType, 90, trip.depth, error)) << error;
        DibImage back;
        ASSERT_TRUE(imageio::loadPicture(path, back, error)) << error;
        EXPECT_EQ(back.bitsPerPixel, trip.reopenedDepth);
        const Difference difference = compareColors(source, back);
        if (trip.lossless) EXPECT_EQ(difference.maximum, 0);
        // A few pixels spanning the whole range lose more to chroma subsampling.
        else
            EXPECT_LT(difference.mean, size.width * size.height >= 100 ? 3.5 : 12.0);
        imageio::PictureInfo info;
        ASSERT_TRUE(imageio::probePictureFile(path, info, error)) << error;
        EXPECT_EQ(std::tuple(info.width, info.height, info.bitsPerPixel), std::tuple(back.width, back.height, back.bitsPerPixel));
    }
}

INSTANTIATE_TEST_SUITE_P(Encoders, RoundTripTest, ::testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.mimeType).substr(6) + std::to_string(info.param.depth); });

TEST(GrayJpeg, AGrayRampPictureIsWrittenAndReopenedAsGray) {
    TempDir folder;
    DibImage source = makeImage(40, 30, 8, 256);
    for (int i = 0; i < 256; ++i) std::memset(source.paletteEntry(i), i, 3);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) setIndex(source, std::uint8_t(x * 6 + y), y, x, 8);
    std::string error;
    ASSERT_TRUE(imageio::savePicture(folder / "g.jpg", source, "image/jpeg", 95, 8, error));
    const DibImage back = loadOrFail(folder / "g.jpg");
    EXPECT_EQ(back.bitsPerPixel, 8);
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t* entry = back.paletteEntry(i);
        EXPECT_TRUE(entry[0] == i && entry[1] == i && entry[2] == i) << i;
    }
    EXPECT_LT(compareColors(source, back).mean, 2.0);
    // PNG and TIFF store such pictures as gray too, and give back the same 8 bpp ramp.
    for (const char* mime : {"image/png", "image/tiff"}) {
        ASSERT_TRUE(imageio::savePicture(folder / "g", source, mime, 95, 8, error)) << error;
        const DibImage lossless = loadOrFail(folder / "g");
        EXPECT_EQ(lossless.bitsPerPixel, 8);
        EXPECT_EQ(compareColors(source, lossless).maximum, 0);
    }
}

TEST(GifEncoder, ReducesTrueColourThroughTheInstalledReducer) {
    TempDir folder;
    const DibImage source = makePhotoLike(20, 10, 24);
    std::string error;
    // Without a reducer the save fails (saveAndOrientationTest.cpp); a reducer that keeps only the top bit of each channel: eight colours, exact to check.
    imageio::setTrueColorReducer([](const DibImage& trueColor, DibImage& indexed) {
        indexed = makeImage(trueColor.width, trueColor.height, 8, 8);
        for (int i = 0; i < 8; ++i) {
            std::uint8_t* entry = indexed.paletteEntry(i);
            entry[0] = i & 1 ? 255 : 0, entry[1] = i & 2 ? 255 : 0, entry[2] = i & 4 ? 255 : 0;
        }
        for (int y = 0; y < trueColor.height; ++y)
            for (int x = 0; x < trueColor.width; ++x) {
                std::uint8_t bgr[3];
                getColor(trueColor, bgr, y, x, 24);
                setIndex(indexed, std::uint8_t((bgr[0] >> 7) | (bgr[1] >> 7) << 1 | (bgr[2] >> 7) << 2), y, x, 8);
            }
        return true;
    });
    ASSERT_TRUE(imageio::savePicture(folder / "a.gif", source, "image/gif", 0, 24, error)) << error;
    imageio::setTrueColorReducer({});
    const DibImage back = loadOrFail(folder / "a.gif");
    ASSERT_EQ(back.bitsPerPixel, 8);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            const std::uint32_t rgb = rgbAt(source, x, y);
            std::uint32_t expected = 0;
            for (int shift = 0; shift < 24; shift += 8)
                expected |= ((rgb >> shift) & 0x80 ? 0xFFu : 0u) << shift;
            EXPECT_EQ(rgbAt(back, x, y), expected) << x << "," << y;
        }
}

} // namespace
} // namespace vellora::test
