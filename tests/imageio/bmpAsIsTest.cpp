// Bitmap blocks written or taken over as they stand must be exactly the bytes the row-by-row
// encoder and decoder give.
#include "imageioTestSupport.h"

#include "imageio/bmpAsIs.h"
#include "imageio/codecs.h"
#include "imageio/pictureLibrary.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vellora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const DibImage& image) {
    return Bytes(image.data.begin(), image.data.begin() + image.fileSize);
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

// Pictures of every depth the intermediate files hold, with and without row padding, are
// written as they stand and taken over on loading. With their padding dirtied they are no
// longer as-is, and are saved with it clean.
TEST(BmpAsIs, OwnPicturesAreWrittenAndTakenOverAsTheyStand) {
    TempDir folder;
    std::vector<DibImage> pictures;
    for (int width : {1, 3, 5, 8, 13})
        for (int depth : {1, 4, 8})
            pictures.push_back(makePatternIndexed(width, 3, depth));
    for (int width : {1, 2, 3, 4, 7})
        for (int depth : {24, 32})
            pictures.push_back(makePhotoLike(width, 4, depth));
    for (const DibImage& picture : pictures) {
        SCOPED_TRACE(std::to_string(picture.width) + " x " + std::to_string(picture.bitsPerPixel));
        ASSERT_TRUE(imageio::isBmpFileAsIs(picture));
        PictureBytes encoded;
        std::string error;
        ASSERT_TRUE(imageio::encodeBmp(picture, {}, encoded, error)) << error;
        const Bytes file(encoded.begin(), encoded.end());
        EXPECT_EQ(file, bytesOf(picture));
        const auto saved = folder / "saved.bmp";
        ASSERT_TRUE(imageio::savePicture(saved, picture, "image/bmp", 75, 0, error)) << error;
        EXPECT_EQ(readFileBytes(saved), file);
        EXPECT_TRUE(takeOverMatchesDecoding(file));
        expectSamePicture(loadOrFail(saved), picture);
        const int rowBytes = (picture.width * picture.bitsPerPixel + 7) / 8;
        if (rowBytes == picture.stride) continue;
        DibImage dirty = picture;
        dirty.row(picture.height - 1)[picture.stride - 1] = 0xAB;
        EXPECT_FALSE(imageio::isBmpFileAsIs(dirty));
        ASSERT_TRUE(imageio::savePicture(saved, dirty, "image/bmp", 75, 0, error)) << error;
        EXPECT_EQ(readFileBytes(saved), file);
    }
}

// A byte the encoder or decoder would not carry over unchanged sends the picture the long way;
// the header fields decoding drops are rewritten on taking over.
struct Blemish {
    const char* what;
    int width, depth;
    std::function<void(Bytes&, const DibImage&)> apply;
    bool takenOver = false;
};

void spoilDroppedFields(Bytes& file, const DibImage&) {
    for (const int offset : {6, 34, 38, 42, 50}) // reserved, image size, resolutions, important
        file[std::size_t(offset)] ^= 0x5A;
}

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
    {"dropped fields of a 24 bpp picture", 5, 24, spoilDroppedFields, true},
    {"dropped fields of an 8 bpp picture", 5, 8, spoilDroppedFields, true},
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
        EXPECT_EQ(takeOverMatchesDecoding(file), blemish.takenOver);
        // Loading from a file still gives exactly what decoding gives.
        writeFileBytes(folder / "blemished.bmp", file);
        DibImage loaded, decoded;
        std::string loadError, decodeError;
        const bool loadedOk = imageio::loadPicture(folder / "blemished.bmp", loaded, loadError);
        ASSERT_EQ(loadedOk, imageio::decodeBmp(file, decoded, decodeError));
        EXPECT_EQ(loadError, decodeError);
        if (!loadedOk) continue;
        expectSamePicture(loaded, decoded);
        // Decoding leaves no blemish in the padding, nor in unused bits.
        EXPECT_TRUE(imageio::isBmpFileAsIs(decoded));
        if (blemish.depth == 1) EXPECT_EQ(decoded.row(0)[1], picture.row(0)[1]);
    }
}

} // namespace
} // namespace vellora::test
