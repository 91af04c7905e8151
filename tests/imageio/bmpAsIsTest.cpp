// Bitmap blocks written or taken over as they stand must be exactly the bytes the row-by-row
// encoder and decoder give.
#include "imageioTestSupport.h"

#include "imageio/bmpAsIs.h"
#include "imageio/codecs.h"
#include "imageio/pictureLibrary.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const DibImage& image) {
    return Bytes(image.data.begin(), image.data.begin() + image.fileSize);
}

void expectSamePicture(const DibImage& a, const DibImage& b) {
    const auto fields = [](const DibImage& p) {
        return std::tuple(p.width, p.height, p.bitsPerPixel, p.colorsUsed, p.fileSize, p.bitsOffset,
                          p.stride, p.imageSize, p.paletteEntries);
    };
    EXPECT_EQ(fields(a), fields(b));
    EXPECT_TRUE(std::equal(a.data.begin(), a.data.end(), b.data.begin(), b.data.end()));
}

// Whether the file was taken over; when it was, the result must be what decoding gives.
bool takeOverMatchesDecoding(const Bytes& file) {
    PictureBytes block(file.begin(), file.end());
    DibImage taken;
    if (!imageio::takeOverBmpFile(block, taken)) {
        EXPECT_EQ(block.size(), file.size()) << "a refused block must be left alone";
        return false;
    }
    DibImage decoded;
    std::string error;
    EXPECT_TRUE(imageio::decodeBmp(file, decoded, error)) << error;
    expectSamePicture(taken, decoded);
    return true;
}

// Pictures of every depth the intermediate files hold, with and without row padding.
std::vector<DibImage> ownPictures() {
    std::vector<DibImage> pictures;
    for (int width : {1, 3, 5, 8, 13})
        for (int depth : {1, 4, 8})
            pictures.push_back(makePatternIndexed(width, 3, depth));
    for (int width : {1, 2, 3, 4, 7})
        for (int depth : {24, 32})
            pictures.push_back(makePhotoLike(width, 4, depth));
    return pictures;
}

TEST(BmpAsIs, OwnPicturesAreWrittenAndTakenOverAsTheyStand) {
    TempDir folder;
    for (const DibImage& picture : ownPictures()) {
        SCOPED_TRACE(std::to_string(picture.width) + " x " + std::to_string(picture.bitsPerPixel));
        ASSERT_TRUE(imageio::isBmpFileAsIs(picture));
        PictureBytes encoded;
        std::string error;
        ASSERT_TRUE(imageio::encodeBmp(picture, {}, encoded, error)) << error;
        const Bytes file(encoded.begin(), encoded.end());
        EXPECT_EQ(file, bytesOf(picture));
        ASSERT_TRUE(imageio::savePicture(folder / "saved.bmp", picture, "image/bmp", 75,
                                         picture.bitsPerPixel, error))
            << error;
        EXPECT_EQ(readFileBytes(folder / "saved.bmp"), file);
        EXPECT_TRUE(takeOverMatchesDecoding(file));
        expectSamePicture(loadOrFail(folder / "saved.bmp"), picture);
    }
}

// A byte the encoder or decoder would not carry over unchanged sends the picture the long way.
struct Blemish {
    const char* what;
    int width, depth;
    std::function<void(Bytes&, const DibImage&)> apply;
};

const Blemish kBlemishes[] = {
    {"row padding", 3, 24, [](Bytes& f, const DibImage& p) { f[p.bitsOffset + 9] = 7; }},
    {"unused bits of a 1 bpp row", 9, 1,
     [](Bytes& f, const DibImage& p) { f[p.bitsOffset + 1] |= 1; }},
    {"unused nibble of a 4 bpp row", 5, 4,
     [](Bytes& f, const DibImage& p) { f[p.bitsOffset + 2] |= 3; }},
    {"fourth byte of a colour entry", 4, 8, [](Bytes& f, const DibImage&) { f[54 + 7] = 1; }},
    {"top-down rows", 4, 8,
     [](Bytes& f, const DibImage& p) { writeLe32(f.data() + 22, std::uint32_t(-p.height)); }},
    {"colours used beyond the table", 4, 8, [](Bytes& f, const DibImage&) { f[47] = 2; }},
    {"a byte past the end", 4, 24, [](Bytes& f, const DibImage&) { f.push_back(0); }},
    {"a 16 bpp picture", 4, 24, [](Bytes& f, const DibImage&) { f[28] = 16; }},
};

TEST(BmpAsIs, BlemishedFilesAreDecodedRowByRow) {
    TempDir folder;
    for (const Blemish& blemish : kBlemishes) {
        SCOPED_TRACE(blemish.what);
        const DibImage picture = blemish.depth == 24
                                     ? makePhotoLike(blemish.width, 3, 24)
                                     : makePatternIndexed(blemish.width, 3, blemish.depth);
        Bytes file = bytesOf(picture);
        blemish.apply(file, picture);
        EXPECT_FALSE(takeOverMatchesDecoding(file));
        // Loading from a file still gives exactly what decoding gives.
        writeFileBytes(folder / "blemished.bmp", file);
        DibImage loaded, decoded;
        std::string loadError, decodeError;
        const bool loadedOk = imageio::loadPicture(folder / "blemished.bmp", loaded, loadError);
        ASSERT_EQ(loadedOk, imageio::decodeBmp(file, decoded, decodeError));
        EXPECT_EQ(loadError, decodeError);
        if (loadedOk) expectSamePicture(loaded, decoded);
        EXPECT_TRUE(!loadedOk ||
                    imageio::isBmpFileAsIs(decoded)); // decoding leaves no blemish in the padding
        if (loadedOk && blemish.depth == 1) {
            EXPECT_EQ(decoded.row(0)[1], picture.row(0)[1]);
        } // nor in unused bits
    }
}

// Reserved, image size, both resolutions, important colours.
TEST(BmpAsIs, HeaderFieldsDecodingDropsAreRewrittenOnTakeOver) {
    for (const int offset : {6, 34, 38, 42, 50})
        for (const DibImage& picture : {makePhotoLike(5, 3, 24), makePatternIndexed(5, 3, 8)}) {
            Bytes file = bytesOf(picture);
            file[std::size_t(offset)] ^= 0x5A;
            EXPECT_TRUE(takeOverMatchesDecoding(file)) << offset;
        }
}

TEST(BmpAsIs, PictureWithDirtyPaddingIsSavedWithCleanPadding) {
    TempDir folder;
    DibImage picture = makePhotoLike(3, 2, 24);
    picture.row(1)[10] = 0xAB; // padding of the second row
    EXPECT_FALSE(imageio::isBmpFileAsIs(picture));
    PictureBytes encoded;
    std::string error;
    ASSERT_TRUE(imageio::encodeBmp(picture, {}, encoded, error));
    ASSERT_TRUE(imageio::savePicture(folder / "clean.bmp", picture, "image/bmp", 75, 24, error));
    const Bytes saved = readFileBytes(folder / "clean.bmp");
    EXPECT_EQ(saved, Bytes(encoded.begin(), encoded.end()));
    EXPECT_EQ(saved[picture.bitsOffset + picture.stride + 10], 0);
}

TEST(BmpAsIs, EveryCorpusBitmapTakenOverIsWhatDecodingGives) {
    int bitmaps = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpusPath("bmp"))) {
        if (!entry.is_regular_file()) continue;
        SCOPED_TRACE(entry.path().string());
        takeOverMatchesDecoding(readFileBytes(entry.path()));
        ++bitmaps;
    }
    EXPECT_GT(bitmaps, 50);
}

} // namespace
} // namespace vellora::test
