// Hostile and broken files: refused with a reason, outputs untouched, never a crash.
#include "imageioTestSupport.h"

#include "imageio/bmpAsIs.h"
#include "imageio/codecs.h"
#include "imageio/pictureHelpers.h"
#include "imageio/pictureLibrary.h"
#include "imageio/pictureLimits.h"
#include "support/testImages.h"

#include "core/dibImage.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>

namespace vellora::test {
namespace {

using ByteVector = std::vector<std::uint8_t>;

void putLe16(ByteVector& out, std::uint32_t v) {
    out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
}
void putLe32(ByteVector& out, std::uint32_t v) {
    putLe16(out, v & 0xFFFF), putLe16(out, v >> 16);
}
void putBe32(ByteVector& out, std::uint32_t v) {
    out.insert(out.end(), {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8),
                           std::uint8_t(v)});
}

// A run-length bitmap: an info (40) or OS/2 (64) header, a two-colour table when indexed, and
// the codes as its pixel data.
ByteVector rleBmp(std::uint32_t headerSize, std::uint32_t width, std::uint32_t height,
                  std::uint16_t bits, std::uint32_t compression, const ByteVector& codes) {
    const std::uint32_t table = bits <= 8 ? 8 : 0;
    ByteVector file = {'B', 'M'};
    putLe32(file, 0), putLe32(file, 0), putLe32(file, 14 + headerSize + table);
    putLe32(file, headerSize), putLe32(file, width), putLe32(file, height);
    putLe16(file, 1), putLe16(file, bits);
    putLe32(file, compression), putLe32(file, std::uint32_t(codes.size()));
    putLe32(file, 0), putLe32(file, 0), putLe32(file, table / 4), putLe32(file, 0);
    file.resize(14 + headerSize, 0);
    if (table) putLe32(file, 0x00112233), putLe32(file, 0x00FFFFFF);
    file.insert(file.end(), codes.begin(), codes.end());
    return file;
}

ByteVector repeated(const ByteVector& code, int times, const ByteVector& tail = {}) {
    ByteVector codes;
    for (int i = 0; i < times; ++i)
        codes.insert(codes.end(), code.begin(), code.end());
    codes.insert(codes.end(), tail.begin(), tail.end());
    return codes;
}

// A PNG of this geometry whose rows (each after its filter byte) are `rows`, with the chunks
// given (type, contents) between the header and the data.
ByteVector pngFile(std::uint32_t width, std::uint32_t height, std::uint8_t bits,
                   std::uint8_t colorType, const ByteVector& rows,
                   const std::vector<std::pair<const char*, ByteVector>>& chunks = {}) {
    ByteVector file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, header, packed;
    const auto chunk = [&](const char* type, const ByteVector& data) {
        putBe32(file, std::uint32_t(data.size()));
        const std::size_t start = file.size();
        file.insert(file.end(), type, type + 4);
        file.insert(file.end(), data.begin(), data.end());
        putBe32(file, std::uint32_t(crc32(0, file.data() + start, uInt(file.size() - start))));
    };
    putBe32(header, width), putBe32(header, height);
    header.insert(header.end(), {bits, colorType, 0, 0, 0});
    chunk("IHDR", header);
    for (const auto& [type, data] : chunks)
        chunk(type, data);
    uLongf size = compressBound(uLong(rows.size()));
    packed.resize(size);
    compress(packed.data(), &size, rows.data(), uLong(rows.size()));
    packed.resize(size);
    chunk("IDAT", packed);
    chunk("IEND", {});
    return file;
}

// A GIF of one frame at the top left whose pixels are the LZW codes clear, 1, end (one pixel of
// index 1; `codes` is the first byte of that stream), a two-colour table and, when given, a
// graphic control block.
ByteVector gifFile(std::uint16_t screenWidth, std::uint16_t screenHeight, std::uint16_t frameWidth,
                   std::uint16_t frameHeight, const ByteVector& control = {},
                   std::uint8_t codes = 0x4C) {
    ByteVector file = {'G', 'I', 'F', '8', '9', 'a'};
    putLe16(file, screenWidth), putLe16(file, screenHeight);
    file.insert(file.end(), {0x80, 1, 0, 10, 20, 30, 200, 100, 50});
    file.insert(file.end(), control.begin(), control.end());
    file.push_back(',');
    putLe16(file, 0), putLe16(file, 0), putLe16(file, frameWidth), putLe16(file, frameHeight);
    file.insert(file.end(), {0, 2, 2, codes, 0x01, 0, ';'});
    return file;
}

// The corpus baseline JPEG (5770 bytes) with its frame header claiming another size.
ByteVector resizedJpeg(std::uint16_t width, std::uint16_t height) {
    ByteVector file = readFileBytes(corpusPath("jpeg/testorig.jpg"));
    for (std::size_t i = 2; i + 9 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            file[i + 5] = std::uint8_t(height >> 8), file[i + 6] = std::uint8_t(height);
            file[i + 7] = std::uint8_t(width >> 8), file[i + 8] = std::uint8_t(width);
            break;
        }
    return file;
}

// A TIFF of one uncompressed strip: `pixels` after the directory, or, when there are none, 16
// bytes said to lie at the header. A photometric of -1 leaves that tag out.
ByteVector tiffFile(std::uint32_t width, std::uint32_t height, std::uint32_t bits, int photometric,
                    const ByteVector& pixels = {}) {
    ByteVector file = {'I', 'I', 42, 0};
    putLe32(file, 8);
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t value;
    };
    const std::uint32_t count = photometric < 0 ? 8 : 9;
    const std::uint32_t strip = pixels.empty() ? 8 : 8 + 2 + count * 12 + 4,
                        stripBytes = pixels.empty() ? 16 : std::uint32_t(pixels.size());
    std::vector<Entry> entries = {{256, 4, width},  {257, 4, height},    {258, 3, bits},
                                  {259, 3, 1},      {273, 4, strip},     {277, 3, 1},
                                  {278, 4, height}, {279, 4, stripBytes}};
    if (photometric >= 0) entries.insert(entries.begin() + 4, {262, 3, std::uint32_t(photometric)});
    putLe16(file, std::uint16_t(count));
    for (const Entry& entry : entries) {
        putLe16(file, entry.tag), putLe16(file, entry.type), putLe32(file, 1);
        entry.type == 3 ? (putLe16(file, entry.value), putLe16(file, 0))
                        : putLe32(file, entry.value);
    }
    putLe32(file, 0);
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

// A cap on the budget (as the fuzzing runs set) refuses what the machine's memory would allow;
// sizes past the 32-bit fields (the last here is 4.8 GB) never fit, nor empty ones.
TEST(BadInput, CappedBudgetRefusesLargePicturesFromTinyFiles) {
    EXPECT_FALSE(imageio::pictureFits(60000, 60000, 24) ||
                 imageio::pictureFits(std::int64_t(1) << 31, 1, 8) ||
                 imageio::pictureFits(20000, 60000, 32));
    EXPECT_FALSE(imageio::pictureFits(0, 10, 8) || imageio::pictureFits(10, 0, 8));
    EXPECT_TRUE(imageio::pictureFits(1, 1, 1) && imageio::pictureFits(301, 301, 32));
    const ByteVector file = rleBmp(40, 4000, 3000, 8, 1, {0, 1}); // its only code ends it
    const DibImage image = loadBytesOrFail(file);
    EXPECT_EQ(
        std::tuple(image.width, image.row(0)[0], image.row(2999)[3999], image.paletteEntry(1)[0]),
        std::tuple(4000, 0, 0, 0xFF));
    EXPECT_EQ(readLe32(image.paletteEntry(2)), 0u); // only the file's two entries are read

    const std::uint64_t previous = imageio::capMemoryBudget(std::uint64_t(8) << 20);
    EXPECT_EQ(refusal(file), imageio::kTooLargeText);
    EXPECT_TRUE(imageio::pictureFits(2000, 1000, 8));
    imageio::capMemoryBudget(previous);
    EXPECT_TRUE(imageio::pictureFits(4000, 3000, 24));
}

// What a stream leaves after it stops (end of picture, end of data) is bounded; what it skips
// with end-of-line and delta codes is described and opens, however large.
TEST(BadInput, RunLengthStreamsMustDescribeTheirPicture) {
    const struct {
        const char* name;
        ByteVector file;
        bool opens;
    } cases[] = {
        {"end only, 8000 x 8000", rleBmp(40, 8000, 8000, 8, 1, {0, 1}), false},
        {"end only, 4097 x 4096", rleBmp(40, 4097, 4096, 8, 1, {0, 1}), false},
        {"end only, 4096 x 4096", rleBmp(40, 4096, 4096, 8, 1, {0, 1}), true},
        {"rle4, 64 rows of 127 then the end, 127 x 600000",
         rleBmp(40, 127, 600000, 4, 2, repeated({127, 0x12, 0, 0}, 64, {0, 1})), false},
        {"deltas over 4200 x 4200", rleBmp(40, 4200, 4200, 8, 1, repeated({0, 2, 0, 255}, 17)),
         true},
        {"ends of line for all 5000 rows of 5000",
         rleBmp(40, 5000, 5000, 8, 1, repeated({0, 0}, 5000)), true},
        {"one end of line, 4096 x 4098", rleBmp(40, 4096, 4098, 8, 1, {0, 0}), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ByteVector padded = c.file; // what lies in memory after the file, never to be read
        padded.resize(c.file.size() + 16, 0);
        DibImage image;
        std::string error;
        EXPECT_EQ(imageio::loadPictureFromMemory(padded.data(), c.file.size(), image, error),
                  c.opens);
        EXPECT_EQ(error, c.opens ? "" : imageio::kTooShortText);
    }
}

// OS/2's 24-bit run-length pixels: runs and literals of blue, green, red. A run past the end of
// its row is cut there, not carried into the next.
TEST(BadInput, RunLengthPixelsOpenInsteadOfPassingForJpeg) {
    const ByteVector codes = {0, 3, 10, 20, 30, 40, 50, 60, 70, 80, 90, 0, // literal, padded
                              0, 0, 2,  5,  6,  7,  0,  1};                // row end, run, end
    const DibImage image = loadBytesOrFail(rleBmp(64, 3, 2, 24, 4, codes));
    ASSERT_EQ(image.bitsPerPixel, 24);
    EXPECT_EQ(ByteVector(image.row(0), image.row(0) + 9),
              (ByteVector{10, 20, 30, 40, 50, 60, 70, 80, 90}));
    EXPECT_EQ(ByteVector(image.row(1), image.row(1) + 9), (ByteVector{5, 6, 7, 5, 6, 7, 0, 0, 0}));
    const DibImage cut = loadBytesOrFail(rleBmp(40, 4, 2, 8, 1, {6, 1, 0, 1}));
    EXPECT_EQ(ByteVector(cut.row(0), cut.row(0) + 8), (ByteVector{1, 1, 1, 1, 0, 0, 0, 0}));
}

// The corpus progressive JPEG (ten scans) with its last scan repeated to `scans` scans.
ByteVector manyScans(int scans) {
    ByteVector file = readFileBytes(corpusPath("jpeg/progressive.jpg"));
    std::size_t last = 0; // where the last scan starts: markers are never stuffed data
    for (std::size_t i = 0; i + 1 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xDA) last = i;
    const ByteVector scan(file.begin() + std::ptrdiff_t(last), file.end() - 2); // before the end
    file.resize(file.size() - 2);
    for (int count = 10; count < scans; ++count)
        file.insert(file.end(), scan.begin(), scan.end());
    file.insert(file.end(), {0xFF, 0xD9});
    return file;
}

// Every scan is a pass over the whole picture, so a file of thousands of tiny scans takes
// minutes; a limit of 500, far above what encoders write, refuses it at once.
TEST(BadInput, JpegWithTooManyScansIsRefused) {
    EXPECT_EQ(loadBytesOrFail(manyScans(500)).width, 227);
    const std::string error = refusal(manyScans(501));
    EXPECT_NE(error.find("more than 500 scans"), std::string::npos) << error;
}

// Every encoder's output, cut short at many points and with single bytes spoiled: each
// attempt either gives a well-formed picture or an error text, and a file cut in half is refused.
TEST(BadInput, TruncatedAndSpoiledFilesNeverCrash) {
    TempDir folder;
    const DibImage photo = makePhotoLike(37, 23, 24), indexed = randomPicture(37, 23, 4, 7);
    for (const auto& [mime, source] : {std::pair{"image/bmp", &indexed},
                                       {"image/png", &photo},
                                       {"image/jpeg", &photo},
                                       {"image/gif", &indexed},
                                       {"image/tiff", &photo},
                                       {"image/png", &indexed}}) {
        SCOPED_TRACE(mime);
        std::string error;
        ASSERT_TRUE(
            imageio::savePicture(folder / "f", *source, mime, 80, source->bitsPerPixel, error));
        const ByteVector whole = readFileBytes(folder / "f");
        for (std::size_t at = 0; at < 2 * whole.size(); at += 1 + whole.size() / 151) {
            ByteVector bytes = whole; // cut short on the first pass, one byte spoiled on the second
            at < whole.size() ? bytes.resize(at) : void(bytes[at - whole.size()] ^= 0xA5);
            DibImage image;
            error.clear();
            const bool opened =
                imageio::loadPictureFromMemory(bytes.data(), bytes.size(), image, error);
            EXPECT_TRUE(opened ? imageio::isWellFormed(image) : !error.empty()) << at;
            // Rows cut off inside the data are an error, not a picture (JPEG fills them in gray).
            if (at < whole.size() / 2 && std::string(mime) != "image/jpeg") {
                EXPECT_FALSE(opened) << at;
            }
        }
    }
}

TEST(BadInput, UnknownEmptyAndMissingFilesAreRefusedWithTheReason) {
    TempDir folder;
    writeFileBytes(folder / "text.jpg", {'h', 'e', 'l', 'l', 'o'});
    writeFileBytes(folder / "empty.png", {});
    constexpr const char* kUnknown =
        "the file is not a picture of a supported format (jpeg, png, tiff, gif, bmp)";
    for (const auto& [name, reason] : {std::pair{"text.jpg", kUnknown},
                                       {"empty.png", kUnknown},
                                       {"missing.bmp", "No such file or directory"},
                                       {"", "it is not a regular file"}}) {
        SCOPED_TRACE(name);
        DibImage image;
        std::string error;
        EXPECT_FALSE(imageio::loadPicture(folder / name, image, error));
        EXPECT_EQ(error, reason);
        imageio::PictureInfo info;
        EXPECT_FALSE(imageio::probePictureFile(folder / name, info, error));
    }
}

// 2 bpp rows (indices 1, 0, 2, 3, 3, 2, 1, 0) open as 4 bpp with the same indices, from a
// bitmap and from a gray TIFF, whose four levels rise from black, or from white when so marked.
TEST(HandBuilt, TwoBitPicturesOpenAsFourBits) {
    const ByteVector row = {0x4B, 0xE4};
    const ByteVector minIsBlack = tiffFile(8, 1, 2, 1, row), minIsWhite = tiffFile(8, 1, 2, 0, row);
    for (const ByteVector& file :
         {rleBmp(40, 8, 1, 2, 0, {0x4B, 0xE4, 0, 0}), minIsBlack, minIsWhite}) {
        const DibImage image = loadBytesOrFail(file);
        EXPECT_EQ(image.bitsPerPixel, 4);
        EXPECT_EQ(ByteVector(image.row(0), image.row(0) + 4), (ByteVector{0x10, 0x23, 0x32, 0x10}));
    }
    EXPECT_EQ(std::tuple(rgbAt(loadBytesOrFail(minIsBlack), 0, 0),
                         rgbAt(loadBytesOrFail(minIsWhite), 0, 0)),
              std::tuple(0x555555u, 0xAAAAAAu));
    // A 1-bit row of one byte, the whole strip, is read as it stands, 0 as white when the file
    // does not say which way its levels rise; a file that ends before that byte is refused.
    ByteVector oneByte = tiffFile(8, 1, 1, -1, {0xA5});
    const DibImage oneBit = loadBytesOrFail(oneByte);
    EXPECT_EQ(
        std::tuple(oneBit.bitsPerPixel, oneBit.row(0)[0], rgbAt(oneBit, 0, 0), rgbAt(oneBit, 1, 0)),
        std::tuple(1, 0xA5, 0u, 0xFFFFFFu));
    oneByte.pop_back();
    refusal(oneByte);
}

// Without a usable pixel offset the rows follow the table, of colours-used entries (0: all); a
// colours-used past 256 is taken as the entries read. Uncompressed rows must all be there (the
// last may lack its padding: 12 + 12 bytes for two rows of four 24-bit pixels, 4 + 1 for two of
// one bit), and masks that end the file leave no room for any; masks the file ends in are damage.
TEST(HandBuilt, BitmapTablesAndRows) {
    ByteVector noOffset = rleBmp(40, 8, 1, 1, 0, {0xA5, 0, 0, 0});
    writeLe32(noOffset.data() + 10, 0);
    writeLe32(noOffset.data() + 46, 0);
    const DibImage oneBit = loadBytesOrFail(noOffset);
    EXPECT_EQ(std::tuple(oneBit.row(0)[0], rgbAt(oneBit, 0, 0), rgbAt(oneBit, 1, 0)),
              std::tuple(0xA5, 0xFFFFFFu, 0x112233u));
    ByteVector many = rleBmp(40, 2, 1, 8, 0, {1, 0, 0, 0});
    writeLe32(many.data() + 46, 300);
    EXPECT_EQ(loadBytesOrFail(many).colorsUsed, 2u);
    loadBytesOrFail(rleBmp(40, 4, 2, 24, 0, ByteVector(24, 9)));
    loadBytesOrFail(rleBmp(40, 1, 2, 1, 0, ByteVector(5, 0x80)));
    for (const ByteVector& file :
         {rleBmp(40, 4, 2, 24, 0, ByteVector(23, 9)), rleBmp(40, 1, 2, 1, 0, ByteVector(4, 0x80)),
          rleBmp(40, 1, 1, 16, 3, ByteVector(12, 0))})
        EXPECT_EQ(refusal(file), "the bitmap file is truncated");
    EXPECT_EQ(refusal(rleBmp(40, 1, 1, 16, 3, ByteVector(8, 0))), "the bitmap file is damaged");
}

// Working buffers need memory of their own: a budget that holds the picture but not the 16 bpp
// bitmap's conversion table, or not libtiff's colour raster of four bytes a pixel, refuses the
// file instead of leaving it half made.
TEST(HandBuilt, WorkingBuffersNeedTheirMemory) {
    // 30054 bytes of picture, 40000 of raster
    const ByteVector tiff = encodeOrFail(imageio::encodeTiff, makePhotoLike(100, 100, 24));
    for (const auto& [file, budget] :
         {std::pair{readFileBytes(corpusPath("bmp/g/rgb16.bmp")), 100 << 10}, {tiff, 35000}}) {
        const std::uint64_t previous = imageio::capMemoryBudget(std::uint64_t(budget));
        EXPECT_EQ(refusal(file), imageio::kTooLargeText);
        imageio::capMemoryBudget(previous);
    }
    EXPECT_EQ(loadBytesOrFail(tiff).width, 100);
}

// A frame its screen's size opens at the table's depth; without any table, at 8 bpp with a gray
// ramp. A 1 × 1 frame of index 1 placed at (1, 1), past its 1 × 1 screen, whose control block
// makes index 0 transparent: the screen grows to hold it, and the pixels it leaves are the
// transparent one, shown white, not the background colour (1). Codes clear, 3, end: an index
// past the two-entry table shows as entry 0.
TEST(HandBuilt, GifScreensFramesAndIndices) {
    const DibImage own = loadBytesOrFail(gifFile(1, 1, 1, 1));
    EXPECT_EQ(std::tuple(own.width, own.bitsPerPixel, rgbAt(own, 0, 0)),
              std::tuple(1, 1, 0xC86432u));
    ByteVector file = gifFile(1, 1, 1, 1);
    file[10] = 0, file.erase(file.begin() + 13, file.begin() + 19); // no table
    const DibImage gray = loadBytesOrFail(file);
    EXPECT_EQ(std::tuple(gray.bitsPerPixel, rgbAt(gray, 0, 0)), std::tuple(8, 0x010101u));
    file = gifFile(1, 1, 1, 1, {0x21, 0xF9, 4, 1, 0, 0, 0, 0});
    file[28] = file[30] = 1; // the frame's left and top
    const DibImage image = loadBytesOrFail(file);
    EXPECT_EQ(std::tuple(image.width, image.height, screenRgb(image, 1, 1), screenRgb(image, 0, 1),
                         screenRgb(image, 1, 0)),
              std::tuple(2, 2, 0xC86432u, 0xFFFFFFu, 0xFFFFFFu));
    EXPECT_EQ(rgbAt(loadBytesOrFail(gifFile(1, 1, 1, 1, {}, 0x5C)), 0, 0), 0x0A141Eu);
}

// The encoder's rows, with the frame marked interlaced, are read as four passes: every eighth
// row from row 0, every eighth from 4, every fourth from 2, every second from 1.
TEST(HandBuilt, InterlacedGifRowsArriveInFourPasses) {
    for (const int height : {3, 19}) {
        const DibImage picture = randomPicture(3, height, 8, 7);
        ByteVector file = encodeOrFail(imageio::encodeGif, picture);
        ASSERT_EQ(file[13 + 3 * 256], ','); // the frame after the screen and its 256 colours
        file[13 + 3 * 256 + 9] |= 0x40;
        const DibImage image = loadBytesOrFail(file);
        int line = 0;
        for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
            for (int y = start; y < height; y += step, ++line)
                for (int x = 0; x < 3; ++x)
                    EXPECT_EQ(screenRgb(image, x, y), screenRgb(picture, x, line)) << y;
    }
}

// The encoder's GIF of a 4096-wide picture, its screen then made `screenHeight` tall.
ByteVector tallScreenGif(int screenHeight, int frameHeight) {
    ByteVector file = encodeOrFail(imageio::encodeGif, makeImage(4096, frameHeight, 1));
    file[8] = std::uint8_t(screenHeight), file[9] = std::uint8_t(screenHeight >> 8);
    return file;
}

// Sizes the file cannot back are refused before anything is allocated, outputs untouched: too
// large for the 32-bit fields or the memory (capped here, as the fuzzing runs do), or more than
// the compressed data could give. A PNG's rows, each with its filter byte, are at most 1100 times
// the file: 100 bytes may hold 12344 one-bit gray rows 64 wide (111096 bytes), not 12345. A
// sequential JPEG spends at least two bits on each 8 × 8 block, at most 1024 samples a byte: the
// 5770-byte file may claim 1024 × 1923 pixels of three samples, not 1924 rows. A GIF's codes are
// at least 3 bits and stand for at most 4096 pixels: its 35 bytes may hold 1000 × 393. A GIF
// screen of over 4096 × 4096 pixels and more than 64 times its frame holds no picture.
TEST(BadInput, DeclaredSizesMustFitTheMemoryAndTheFile) {
    ByteVector pngFits = pngFile(64, 12344, 1, 0, {}), pngTooMany = pngFile(64, 12345, 1, 0, {});
    pngFits.resize(100), pngTooMany.resize(100);
    const char* const tooLarge = imageio::kTooLargeText;
    const char* const tooShort = imageio::kTooShortText;
    const std::tuple<const char*, ByteVector, const char*> cases[] = {
        {"bmp", rleBmp(40, 60000, 60000, 24, 0, ByteVector(64, 0x55)), tooLarge},
        {"png", pngFile(60000, 60000, 8, 2, {}), tooLarge},
        {"gif", gifFile(65535, 65535, 65535, 65535), tooLarge},
        {"jpeg", resizedJpeg(60000, 60000), tooLarge},
        {"tiff", tiffFile(60000, 60000, 8, 1), tooLarge},
        {"png of 12344 rows", pngFits, ""},
        {"png of 12345 rows", pngTooMany, tooShort},
        {"jpeg of 1923 rows", resizedJpeg(1024, 1923), ""},
        {"jpeg of 1924 rows", resizedJpeg(1024, 1924), tooShort},
        {"gif of 393 rows", gifFile(1000, 393, 1000, 393), ""},
        {"gif of 394 rows", gifFile(1000, 394, 1000, 394), tooShort},
        {"screen of 4096 x 4096, frame of 63 rows", tallScreenGif(4096, 63), ""},
        {"screen of 4096 x 4097, frame of 64 rows", tallScreenGif(4097, 64),
         "the gif file is damaged: its screen is far larger than its picture"},
        {"screen of 4096 x 4160, frame of 65 rows", tallScreenGif(4160, 65), ""}};
    const std::uint64_t previous = imageio::capMemoryBudget(std::uint64_t(256) << 20);
    for (const auto& [what, file, reason] : cases) {
        SCOPED_TRACE(what);
        imageio::PictureInfo info{7};
        std::string error;
        EXPECT_EQ(imageio::probePictureFromMemory(file.data(), file.size(), info, error),
                  *reason == 0);
        EXPECT_EQ(std::tuple(error, info.width == 7),
                  std::tuple(std::string(reason), *reason != 0));
        if (*reason == 0) continue; // the rows themselves are not there
        DibImage image = makeImage(2, 2, 8);
        const DibImage before = image;
        EXPECT_FALSE(imageio::loadPictureFromMemory(file.data(), file.size(), image, error));
        EXPECT_EQ(std::tuple(error, image.data == before.data),
                  std::tuple(std::string(reason), true));
    }
    imageio::capMemoryBudget(previous);
}

// Alpha, a channel of its own or a palette's transparency, is composited over white:
// (c·a + 255·(255 − a) + 127) / 255 a channel; of 16-bit channels the high byte counts.
TEST(HandBuilt, PngAlphaIsCompositedOverWhite) {
    const ByteVector rgba16 = {0, 200, 1, 100, 2, 0, 3, 128, 4, 10, 5, 20, 6, 30, 7, 0, 8};
    const std::vector<std::pair<const char*, ByteVector>> table = {{"PLTE", {0, 0, 255, 255, 0, 0}},
                                                                   {"tRNS", {128}}};
    for (const auto& [file, left, right] :
         {std::tuple{pngFile(2, 1, 8, 6, {0, 200, 100, 0, 128, 10, 20, 30, 0}), 0xE3B17Fu,
                     0xFFFFFFu},
          {pngFile(2, 1, 16, 6, rgba16), 0xE3B17Fu, 0xFFFFFFu},
          {pngFile(2, 1, 8, 4, {0, 100, 64, 7, 255}), 0xD8D8D8u, 0x070707u},
          {pngFile(2, 1, 8, 3, {0, 0, 1}, table), 0x7F7FFFu, 0xFF0000u}}) {
        const DibImage image = loadBytesOrFail(file);
        EXPECT_EQ(std::tuple(image.bitsPerPixel, rgbAt(image, 0, 0), rgbAt(image, 1, 0)),
                  std::tuple(24, left, right));
        EXPECT_TRUE(imageio::isBmpFileAsIs(image)); // nothing written past the pixels
    }
}

} // namespace
} // namespace vellora::test
