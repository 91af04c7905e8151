// Saving: encoder lookup, failures that leave every file as it was; EXIF orientation.
#include "imageioTestSupport.h"

#include "imageio/exifOrientation.h"
#include "imageio/pictureLibrary.h"
#include "support/testImages.h"

#include "core/pixelAccess.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

TEST(Encoders, AreFoundByExactMimeType) {
    for (const char* mime : {"image/bmp", "image/jpeg", "image/gif", "image/png", "image/tiff"})
        EXPECT_TRUE(imageio::hasEncoder(mime)) << mime;
    for (const char* mime : {"image/PNG", "image/jpg", "image/tif", ""})
        EXPECT_FALSE(imageio::hasEncoder(mime)) << mime;
}

std::vector<std::string> folderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SavePicture, AFailedSaveLeavesTheTargetAndTheFolderAsTheyWere) {
    TempDir folder;
    const std::vector<std::uint8_t> old(100000, 7); // longer than any picture saved here
    writeFileBytes(folder / "target", old);
    const DibImage photo = makePhotoLike(9, 9, 24);
    DibImage broken = photo;
    broken.data.resize(100); // the header promises more rows than the block holds
    imageio::setTrueColorReducer({});
    for (const auto& [what, image, mime] : {std::tuple{"no encoder", &photo, "image/x-unknown"},
                                            {"no reducer for gif", &photo, "image/gif"},
                                            {"malformed picture", &broken, "image/png"}}) {
        SCOPED_TRACE(what);
        std::string error;
        EXPECT_FALSE(imageio::savePicture(folder / "target", *image, mime, 90, 24, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(readFileBytes(folder / "target"), old);
        EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"target"});
    }
    std::string error;
    EXPECT_FALSE(imageio::savePicture(folder / "missing" / "x.png", photo, "image/png", 90, 24, error));
    EXPECT_FALSE(error.empty());
    // A save that works replaces the old file whole.
    ASSERT_TRUE(imageio::savePicture(folder / "target", photo, "image/png", 90, 24, error));
    EXPECT_EQ(compareColors(photo, loadOrFail(folder / "target")).maximum, 0);
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"target"});
}

TEST(SavePicture, PngCompressionLevelChangesSizeNotPixels) {
    TempDir folder;
    const DibImage photo = makePhotoLike(120, 80, 24);
    std::string error;
    imageio::setPngCompressionLevel(0);
    ASSERT_TRUE(imageio::savePicture(folder / "stored.png", photo, "image/png", 0, 24, error));
    imageio::setPngCompressionLevel(9);
    ASSERT_TRUE(imageio::savePicture(folder / "small.png", photo, "image/png", 0, 24, error));
    EXPECT_EQ(imageio::pngCompressionLevel(), 9);
    imageio::setPngCompressionLevel(imageio::kDefaultPngCompressionLevel);
    EXPECT_GT(fs::file_size(folder / "stored.png"), 120u * 80u * 3u); // level 0 stores
    EXPECT_LT(fs::file_size(folder / "small.png"), fs::file_size(folder / "stored.png"));
    EXPECT_EQ(compareColors(loadOrFail(folder / "stored.png"), loadOrFail(folder / "small.png")).maximum, 0);
}

TEST(SavePicture, JpegQualityTradesSizeForLoss) {
    TempDir folder;
    const DibImage photo = makePhotoLike(160, 120, 24);
    std::string error;
    ASSERT_TRUE(imageio::savePicture(folder / "low.jpg", photo, "image/jpeg", 10, 24, error));
    ASSERT_TRUE(imageio::savePicture(folder / "high.jpg", photo, "image/jpeg", 95, 24, error));
    EXPECT_LT(fs::file_size(folder / "low.jpg"), fs::file_size(folder / "high.jpg"));
    EXPECT_LT(compareColors(photo, loadOrFail(folder / "high.jpg")).mean,
              compareColors(photo, loadOrFail(folder / "low.jpg")).mean);
}

// An APP1 body: "Exif\0\0", a TIFF header in the given byte order and one directory.
std::vector<std::uint8_t> exifSegment(bool bigEndian, std::uint16_t tag, std::uint16_t type,
                                      std::uint16_t value, int entries = 1) {
    std::vector<std::uint8_t> s = {'E', 'x', 'i', 'f', 0, 0};
    auto u16 = [&](std::uint32_t v) {
        s.insert(s.end(), {std::uint8_t(bigEndian ? v >> 8 : v), std::uint8_t(bigEndian ? v : v >> 8)});
    };
    auto u32 = [&](std::uint32_t v) { bigEndian ? (u16(v >> 16), u16(v)) : (u16(v), u16(v >> 16)); };
    s.insert(s.end(), 2, bigEndian ? 'M' : 'I');
    u16(42), u32(8), u16(std::uint32_t(entries));
    u16(0x010F), u16(2), u32(4), u32(0); // a make tag first, to be skipped
    u16(tag), u16(type), u32(1), u16(value), u16(0);
    return s;
}

TEST(ExifOrientation, ReadsTheTagInBothByteOrdersAndIgnoresNonsense) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> segment;
        int expected;
    };
    const Case cases[] = {
        {"little-endian 6", exifSegment(false, 0x0112, 3, 6, 2), 6},
        {"big-endian 8", exifSegment(true, 0x0112, 3, 8, 2), 8},
        {"out of range", exifSegment(false, 0x0112, 3, 9, 2), 1},
        {"wrong type", exifSegment(false, 0x0112, 4, 6, 2), 1},
        {"other tag only", exifSegment(false, 0x0110, 3, 6, 2), 1},
        {"count past the end", exifSegment(false, 0x0110, 3, 6, 40), 1},
        {"not exif", {'J', 'F', 'I', 'F', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0}, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(imageio::exifOrientation(c.segment.data(), c.segment.size()), c.expected)
            << c.what;
}

// For each orientation, the stored picture is built from an upright one by what the tag
// says row 0 and column 0 are; the upright transform must give the upright picture back.
TEST(ExifOrientation, UprightTransformUndoesEachOrientation) {
    const DibImage upright = makePhotoLike(5, 3, 24);
    const int w = 5, h = 3;
    using Source = std::pair<int, int>;
    struct Case {
        int orientation;
        bool sideways;
        Source (*from)(int x, int y, int w, int h); // upright pixel shown at stored (x, y)
    };
    const Case cases[] = {
        {1, false, [](int x, int y, int, int) { return Source{x, y}; }},
        {2, false, [](int x, int y, int w, int) { return Source{w - 1 - x, y}; }},
        {3, false, [](int x, int y, int w, int h) { return Source{w - 1 - x, h - 1 - y}; }},
        {4, false, [](int x, int y, int, int h) { return Source{x, h - 1 - y}; }},
        {5, true, [](int x, int y, int, int) { return Source{y, x}; }},
        {6, true, [](int x, int y, int w, int) { return Source{w - 1 - y, x}; }},
        {7, true, [](int x, int y, int w, int h) { return Source{w - 1 - y, h - 1 - x}; }},
        {8, true, [](int x, int y, int, int h) { return Source{y, h - 1 - x}; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orientation);
        const int sw = c.sideways ? h : w, sh = c.sideways ? w : h;
        DibImage stored = makeImage(sw, sh, 24);
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x) {
                const Source s = c.from(x, y, w, h);
                const std::uint32_t rgb = screenRgb(upright, s.first, s.second);
                const std::uint8_t bgr[3] = {std::uint8_t(rgb), std::uint8_t(rgb >> 8),
                                             std::uint8_t(rgb >> 16)};
                setColor(stored, bgr, sh - 1 - y, x, 24);
            }
        const imageio::QuarterTurns turn = imageio::uprightTransform(c.orientation);
        DibImage shown;
        std::string error;
        ASSERT_TRUE(imageio::rotateFlip(stored, shown, turn.turns, turn.flip, error));
        EXPECT_EQ(compareColors(shown, upright).maximum, 0);
    }
}

// A JPEG tagged as turned a quarter (8) opens with width and height swapped, one turned half
// way (3) with them kept; the probe agrees.
TEST(ExifOrientation, JpegOpensUpright) {
    TempDir folder;
    std::string error;
    ASSERT_TRUE(imageio::savePicture(folder / "j", makePhotoLike(5, 3, 24), "image/jpeg", 90, 24, error));
    const std::vector<std::uint8_t> plain = readFileBytes(folder / "j");
    for (const auto& [orientation, width] : {std::pair{8, 3}, {3, 5}, {6, 3}}) {
        SCOPED_TRACE(orientation);
        const std::vector<std::uint8_t> exif = exifSegment(false, 0x0112, 3, std::uint16_t(orientation), 2);
        std::vector<std::uint8_t> file = {0xFF, 0xD8, 0xFF, 0xE1, 0, std::uint8_t(exif.size() + 2)};
        file.insert(file.end(), exif.begin(), exif.end());
        file.insert(file.end(), plain.begin() + 2, plain.end());
        DibImage image;
        ASSERT_TRUE(imageio::loadPictureFromMemory(file.data(), file.size(), image, error)) << error;
        EXPECT_EQ(image.width, width);
        EXPECT_EQ(image.height, 8 - width);
        imageio::PictureInfo info;
        ASSERT_TRUE(imageio::probePictureFromMemory(file.data(), file.size(), info, error));
        EXPECT_EQ(info.width, width);
    }
}

} // namespace
} // namespace vellora::test
