#include "geometry/crop.h"
#include "core/errors.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace vellora {
namespace {

// A pattern that differs in every pixel and, for indexed pictures, fills every index.
int patternIndex(int x, int y, int depth) {
    return (x * 7 + y * 3 + x * y) % (1 << std::min(depth, 8));
}

DibImage patternImage(int width, int height, int depth) {
    if (depth > 8) {
        DibImage image = test::makeImage(width, height, depth);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint8_t bgr[3] = {std::uint8_t(x * 11 + y), std::uint8_t(y * 5),
                                             std::uint8_t(x ^ y)};
                setColor(image, bgr, y, x, depth);
                if (depth == 32) image.row(y)[4 * x + 3] = 0x77; // must not reach the result
            }
        return image;
    }
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < (1 << depth); ++i)
        palette.push_back(std::uint32_t(i * 0x010203 + 0x102030));
    return test::makeIndexedImage(width, height, depth, palette,
                                  [&](int x, int y) { return patternIndex(x, y, depth); });
}

struct CropCase {
    int depth;
    int width, height;
    CropRect rect;
};

class CropPixels : public ::testing::TestWithParam<CropCase> {};

// Every result pixel is the source pixel at (left + x, bottom + y), whatever the bit position.
TEST_P(CropPixels, CopiesTheRectanglePixelByPixel) {
    const CropCase c = GetParam();
    test::RecordingFrontend frontend;
    Session session(frontend);
    const DibImage source = patternImage(c.width, c.height, c.depth);
    DibImage target;
    ASSERT_EQ(cropToImage(session, source, target, c.rect), 0);
    const auto [left, bottom, right, top] = c.rect;
    ASSERT_EQ(target.width, right - left + 1);
    ASSERT_EQ(target.height, top - bottom + 1);
    EXPECT_EQ(target.bitsPerPixel, source.bitsPerPixel);
    EXPECT_EQ(target.colorsUsed, source.colorsUsed);
    for (int y = 0; y < target.height; ++y)
        for (int x = 0; x < target.width; ++x)
            ASSERT_EQ(test::rgbAt(target, x, y), test::rgbAt(source, left + x, bottom + y))
                << x << "," << y;
    if (source.isIndexed()) {
        EXPECT_EQ(0,
                  std::memcmp(target.paletteEntry(0), source.paletteEntry(0), source.paletteBytes));
    }
    if (c.depth == 32) {
        for (int y = 0; y < target.height; ++y)
            for (int x = 0; x < target.width; ++x) {
                EXPECT_EQ(target.row(y)[4 * x + 3], 0);
            }
    }
    EXPECT_TRUE(frontend.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Depths, CropPixels,
    ::testing::Values(CropCase{1, 20, 5, {3, 0, 12, 4}}, // starts at bit 4 of byte 0
                      CropCase{1, 37, 9, {9, 2, 36, 8}}, // to the last column
                      CropCase{4, 11, 6, {1, 1, 8, 4}},  // odd start: low nibbles to high
                      CropCase{4, 11, 6, {2, 0, 9, 5}},
                      CropCase{8, 13, 7, {5, 3, 5, 3}}, // one pixel
                      CropCase{24, 9, 8, {0, 1, 8, 7}}, // bottom row removed
                      CropCase{32, 9, 8, {2, 2, 6, 5}},
                      CropCase{24, 6, 4, {0, 0, 5, 3}})); // the whole picture

TEST(Crop, OneBitCropStartingMidByteLandsOnBitSeven) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    // Only source pixel 3 is set: after cropping columns 4 … 13 (1-based) it is result pixel 0.
    const DibImage source = test::makeIndexedImage(20, 1, 1, {0x000000, 0xFFFFFF},
                                                   [](int x, int) { return x == 3 ? 1 : 0; });
    DibImage target;
    ASSERT_EQ(cropToImage(session, source, target, {3, 0, 12, 0}), 0);
    EXPECT_EQ(target.width, 10);
    EXPECT_EQ(target.stride, 4);
    EXPECT_EQ(target.row(0)[0], 0x80);
    EXPECT_EQ(target.row(0)[1], 0x00);
}

TEST(Crop, WholeRectangleGivesTheSameFile) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    const DibImage source = patternImage(21, 5, 4);
    DibImage target;
    ASSERT_EQ(cropToImage(session, source, target, {0, 0, 20, 4}), 0);
    EXPECT_EQ(target.data, source.data);
}

struct CropValues {
    int left, bottom, right, top;
    bool valid;
};

class CropDialogValues : public ::testing::TestWithParam<CropValues> {};

TEST_P(CropDialogValues, AcceptsOnlyRectanglesInsideThePicture) {
    const CropValues v = GetParam();
    EXPECT_EQ(cropValuesValid(v.left, v.bottom, v.right, v.top, 40, 30), v.valid);
}

INSTANTIATE_TEST_SUITE_P(Rules, CropDialogValues,
                         ::testing::Values(CropValues{1, 1, 40, 30, true},
                                           CropValues{5, 5, 5, 5, true},
                                           CropValues{2, 2, 40, 30, true},
                                           CropValues{6, 1, 5, 30, false},  // left > right
                                           CropValues{1, 1, 40, 31, false}, // top > height
                                           CropValues{0, 1, 40, 30, false},
                                           CropValues{1, 0, 40, 30, false},
                                           CropValues{1, 1, 41, 30, false},
                                           CropValues{1, 9, 40, 8, false})); // bottom > top

TEST(CropCommand, CropsTheCurrentPictureAndStepsTheHistory) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    const DibImage source = patternImage(12, 10, 8);
    test::setCurrentPicture(session, source);
    const std::string before = session.currentPath;
    session.workingBlock.cropRect[0] = 2;
    session.workingBlock.cropRect[1] = 1;
    session.workingBlock.cropRect[2] = 9;
    session.workingBlock.cropRect[3] = 3;
    ASSERT_EQ(runCommandHandler(session, cropHandler), 0);
    EXPECT_NE(session.currentPath, before);
    const DibImage result = test::readImage(session.currentPath);
    EXPECT_EQ(result.width, 8);
    EXPECT_EQ(result.height, 3);
    EXPECT_EQ(test::rgbAt(result, 0, 0), test::rgbAt(source, 2, 1));
    EXPECT_EQ(session.currentInfo.state, 514);
    EXPECT_TRUE(frontend.messages.empty());
}

TEST(CropCommand, RectangleOutsideThePictureIsRefusedAndNothingIsWritten) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, patternImage(12, 10, 24));
    const std::string before = session.currentPath;
    session.workingBlock.cropRect[2] = 12; // one column past the right edge
    session.workingBlock.cropRect[3] = 9;
    EXPECT_EQ(runCommandHandler(session, cropHandler), 1);
    EXPECT_EQ(session.currentPath, before);
    EXPECT_FALSE(std::filesystem::exists(session.nextPath));
    EXPECT_EQ(frontend.messages,
              (std::vector<test::Message>{{"alert", "invalid rectangle values tried to setup"},
                                          {"error", "failed to crop the image"}}));
}

TEST(CropCommand, UnreadablePictureEndsInTheFailureText) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::TempDir dir;
    session.currentPath = (dir / "missing.dib").string();
    EXPECT_EQ(runCommandHandler(session, cropHandler), 1);
    ASSERT_FALSE(frontend.messages.empty());
    EXPECT_EQ(frontend.messages.back(), (test::Message{"error", "failed to crop the image"}));
    EXPECT_EQ(frontend.messages.front().text.rfind(
                  std::string(errorMessage(kErrorOpen)) + "\ncannot read \"" + session.currentPath,
                  0),
              0u);
}

} // namespace
} // namespace vellora
