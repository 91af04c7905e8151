// Reading: the corpus (tests/data/corpus) gives what each set documents; hand-built files pin the
// decoders' rules; hostile and broken files are refused with a reason, outputs untouched, no crash.
#include "imageioTestSupport.h"

#include "imageio/bmpAsIs.h"
#include "imageio/pictureHelpers.h"
#include "imageio/pictureLimits.h"

#include <zlib.h>

#include <fstream>
#include <sstream>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

// Each file is a well-formed picture its probe agrees with, or a clear refusal; the head-only probe
// answers as the full one. Loading (a plain bitmap's block taken over) gives what decoding gives.
TEST(Corpus, EveryFileLoadsOrFailsWithAReason) {
    int loaded = 0, refused = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpusPath(""))) {
        if (!entry.is_regular_file()) continue;
        SCOPED_TRACE(entry.path().string());
        const std::vector<std::uint8_t> bytes = readFileBytes(entry.path());
        imageio::PictureInfo info, whole;
        std::string error, wholeError;
        const bool probed = imageio::probePictureFile(entry.path(), info, error);
        EXPECT_EQ(
            std::tuple(probed, error, info.width, info.height, info.bitsPerPixel, info.format),
            std::tuple(
                imageio::probePictureFromMemory(bytes.data(), bytes.size(), whole, wholeError),
                wholeError, whole.width, whole.height, whole.bitsPerPixel, whole.format));
        DibImage image;
        image.width = -5; // a failed load must leave this alone
        if (!imageio::loadPicture(entry.path(), image, error)) {
            EXPECT_TRUE(!error.empty() && image.width == -5 && image.data.empty());
            ++refused;
            continue;
        }
        ++loaded;
        EXPECT_TRUE(probed && imageio::isWellFormed(image));
        EXPECT_EQ(std::tuple(info.width, info.height, info.bitsPerPixel),
                  std::tuple(image.width, image.height, image.bitsPerPixel));
        expectSamePicture(image, loadBytesOrFail(bytes));
    }
    EXPECT_GT(loaded, 100);
    EXPECT_GT(refused, 10);
}

// The "good" bitmap set and most of the questionable one, each against the picture it must look
// like: that of its own name unless named (an editor keeps non-square pixels as stored; a cut-off
// run-length stream leaves index 0, "-0"); 7-, 6- or 1-bit channels may round either way. Colours
// used: the header's field (none past 256, all of an 8-bit table), 0 (all) if the header lacks it.
TEST(Corpus, BitmapsMatchTheirReferencePictures) {
    std::ifstream list(corpusPath("bmp/expected.txt"));
    int files = 0;
    for (std::string line; std::getline(list, line);) {
        std::istringstream row(line);
        std::string reference, file;
        int depth = 0, rounding = 0;
        if (line.starts_with('#') || !(row >> reference >> depth >> rounding)) continue;
        while (row >> file) {
            SCOPED_TRACE(file);
            ++files;
            const fs::path path = corpusPath("bmp/" + file + ".bmp");
            const DibImage image = loadOrFail(path);
            const std::string name = reference != "-" ? reference : file.substr(2);
            const DibImage expected = loadOrFail(corpusPath("bmp/reference/" + name + ".png"));
            EXPECT_EQ(image.bitsPerPixel, depth);
            EXPECT_LE(compareColors(image, expected).maximum, rounding);
            const std::vector<std::uint8_t> bytes = readFileBytes(path);
            const std::uint32_t used = readLe32(&bytes[14]) >= 36 ? readLe32(&bytes[46]) : 0;
            EXPECT_EQ(image.colorsUsed, used <= 256 ? used : depth == 8 ? 256u : 0u);
        }
    }
    EXPECT_EQ(files, 58);
}

// Depth each PNG colour type opens as (all are 32 × 32); interlacing changes nothing.
TEST(Corpus, PngsOpenAtTheirDepth) {
    const std::pair<const char*, int> depths[] = {
        {"basn0g01", 1},   {"basn0g02", 4},  {"basn0g04", 4},  {"basn0g08", 8},  {"basn0g16", 8},
        {"basn2c08", 24},  {"basn2c16", 24}, {"basn3p01", 1},  {"basn3p02", 4},  {"basn3p04", 4},
        {"basn3p08", 8},   {"basn4a08", 24}, {"basn4a16", 24}, {"basn6a08", 24}, {"basn6a16", 24},
        {"ftbbn3p08", 24}, {"ftp0n3p08", 8}, {"ftp1n3p08", 24}};
    for (const auto& [file, depth] : depths) {
        SCOPED_TRACE(file);
        const DibImage plain = loadOrFail(corpusPath(std::string("png/") + file + ".png"));
        EXPECT_EQ(std::tuple(plain.width, plain.height, plain.bitsPerPixel),
                  std::tuple(32, 32, depth));
        for (const char* folder : {"png/i", "png/interlaced/i"}) {
            const fs::path interlaced = corpusPath(std::string(folder) + file + ".png");
            const DibImage other = fs::exists(interlaced) ? loadOrFail(interlaced) : plain;
            EXPECT_EQ(std::tuple(other.bitsPerPixel, compareColors(plain, other).maximum),
                      std::tuple(depth, 0));
        }
    }
}

// Colour JPEGs against the baseline (round trips hold decoder to encoder), the turned one upright;
// gray opens as 8 bits with a ramp; 12-bit is refused cleanly; one in a bitmap shows as its file.
TEST(Corpus, JpegsDecodeCloseToTheBaselineFile) {
    const DibImage original = loadOrFail(corpusPath("jpeg/testorig.jpg"));
    DibImage turned;
    std::string error;
    ASSERT_TRUE(imageio::rotateFlip(original, turned, 1, 0, error));
    const std::tuple<const char*, bool, double> cases[] = {{"testimgari.jpg", false, 0.5},
                                                           {"testimgint.jpg", false, 1.5},
                                                           {"progressive.jpg", false, 1.5},
                                                           {"cmyk.jpg", false, 3.0},
                                                           {"orientation6.jpg", true, 2.0}};
    for (const auto& [file, sideways, meanLimit] : cases) {
        SCOPED_TRACE(file);
        const DibImage image = loadOrFail(corpusPath(std::string("jpeg/") + file));
        const DibImage& expected = sideways ? turned : original;
        ASSERT_EQ(std::tuple(image.width, image.height, image.bitsPerPixel, image.colorsUsed),
                  std::tuple(expected.width, expected.height, 24, 0u));
        EXPECT_LT(compareColors(image, expected).mean, meanLimit);
    }
    const DibImage gray = loadOrFail(corpusPath("jpeg/gray.jpg"));
    EXPECT_EQ(std::tuple(gray.width, gray.height, imageio::isGrayRamp(gray), gray.colorsUsed),
              std::tuple(227, 149, true, 256u));
    refusal(readFileBytes(corpusPath("jpeg/monkey12.jpg")));
    const DibImage wrapped = loadOrFail(corpusPath("bmp/q/rgb24jpeg.bmp"));
    EXPECT_LT(compareColors(wrapped, loadOrFail(corpusPath("bmp/reference/rgb24.jpg"))).mean, 1.0);
}

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

// Run-length bitmap: info (40) or OS/2 (64) header, two-colour table when indexed, codes as pixels.
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

// A PNG of `rows` (each after its filter byte), `chunks` (type, contents) between header and data.
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

// A GIF: one top-left frame of LZW codes clear, 1, end (one pixel of index 1; `codes` is the
// stream's first byte), a two-colour table and, when given, a graphic control block.
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
// bytes said to lie at the header. A photometric of -1 or an orientation of 0 leaves its tag out.
ByteVector tiffFile(std::uint32_t width, std::uint32_t height, std::uint32_t bits, int photometric,
                    const ByteVector& pixels = {}, std::uint32_t orientation = 0) {
    ByteVector file = {'I', 'I', 42, 0};
    putLe32(file, 8);
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t value;
    };
    const std::uint32_t count = (photometric < 0 ? 8 : 9) + (orientation != 0);
    const std::uint32_t strip = pixels.empty() ? 8 : 8 + 2 + count * 12 + 4,
                        stripBytes = pixels.empty() ? 16 : std::uint32_t(pixels.size());
    std::vector<Entry> entries = {{256, 4, width},  {257, 4, height},    {258, 3, bits},
                                  {259, 3, 1},      {273, 4, strip},     {277, 3, 1},
                                  {278, 4, height}, {279, 4, stripBytes}};
    if (photometric >= 0) entries.insert(entries.begin() + 4, {262, 3, std::uint32_t(photometric)});
    if (orientation != 0) entries.insert(entries.end() - 3, {274, 3, orientation});
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

// A budget cap (as fuzzing runs set) refuses what memory would allow; sizes past the 32-bit fields
// (the last 4.8 GB) never fit, nor empty ones. A tiny file's picture is zero but for what it says.
TEST(BadInput, CappedBudgetRefusesLargePicturesFromTinyFiles) {
    EXPECT_FALSE(imageio::pictureFits(60000, 60000, 24) ||
                 imageio::pictureFits(std::int64_t(1) << 31, 1, 8) ||
                 imageio::pictureFits(20000, 60000, 32));
    EXPECT_FALSE(imageio::pictureFits(0, 10, 8) || imageio::pictureFits(10, 0, 8));
    EXPECT_TRUE(imageio::pictureFits(1, 1, 1) && imageio::pictureFits(301, 301, 32) &&
                imageio::pictureFits(0x7FFFFFFF, 1, 1));
    const ByteVector file = rleBmp(40, 4000, 3000, 8, 1, {0, 1, 0, 0}); // its first code ends it
    const DibImage image = loadBytesOrFail(file);
    EXPECT_EQ(
        std::tuple(image.width, image.row(0)[0], image.row(2999)[3999], image.paletteEntry(1)[0]),
        std::tuple(4000, 0, 0, 0xFF));
    EXPECT_EQ(readLe32(image.paletteEntry(2)), 0u); // only the file's two entries are read
    const std::uint64_t previous = imageio::capMemoryBudget(std::uint64_t(8) << 20);
    EXPECT_TRUE(imageio::pictureFits(2000, 1000, 8) && !imageio::pictureFits(4000, 3000, 8));
    imageio::capMemoryBudget(54 + 32); // the header and one row of eight 32-bit pixels, exactly
    EXPECT_TRUE(imageio::pictureFits(8, 1, 32) && !imageio::pictureFits(9, 1, 32));
    std::vector<std::uint8_t> buffer;
    std::string error;
    EXPECT_TRUE(imageio::allocateBuffer(buffer, 86, error) &&
                !imageio::allocateBuffer(buffer, 87, error));
    imageio::capMemoryBudget(54 + 1024 + 8); // and the 256 entries of an 8-bit colour table
    EXPECT_TRUE(imageio::pictureFits(8, 1, 8) && !imageio::pictureFits(9, 1, 8));
    imageio::capMemoryBudget(previous);
    EXPECT_TRUE(imageio::pictureFits(4000, 3000, 24));
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

constexpr const char* kUnknownFormat =
    "the file is not a picture of a supported format (jpeg, png, tiff, gif, bmp)";

// Each file in memory loads as a picture (no reason) or is refused for its fault, never read past
// its end. A run-length stream may leave at most 4096 × 4096 pixels after it stops (end of picture
// or data); what end-of-line and delta codes skip is described, however large. Uncompressed rows
// must all be there, the last may lack padding; masks ending the file leave no room for rows, masks
// it ends in are damage. A JPEG of over 500 scans (passes) is refused. Working buffers need memory
// too, here capped: a 16 bpp bitmap's conversion table, libtiff's raster of four bytes a pixel.
TEST(BadInput, EachFileLoadsOrIsRefusedForItsFault) {
    const auto bad = [](const char* name) {
        return readFileBytes(corpusPath(std::string("bmp/b/") + name + ".bmp"));
    };
    const ByteVector tiff = encodeOrFail(imageio::encodeTiff, makePhotoLike(100, 100, 24));
    ByteVector cutTiff = tiffFile(8, 1, 1, 1, {0xA5});
    cutTiff.pop_back();
    const char *const tooShort = imageio::kTooShortText, *const tooLarge = imageio::kTooLargeText;
    const std::string bitmap = "the bitmap file ", truncated = bitmap + "is truncated",
                      damaged = bitmap + "is damaged";
    const std::tuple<ByteVector, std::uint64_t, std::string> cases[] = {
        {bad("reallybig"), 0, tooLarge},
        {bad("shortfile"), 0, truncated},
        {bad("badbitcount"), 0, bitmap + "has an unsupported number of bits per pixel"},
        {bad("badplanes"), 0, damaged},
        {bad("badheadersize"), 0, damaged},
        {rleBmp(65, 1, 1, 24, 0, ByteVector(4, 0)), 0, damaged}, // past the largest OS/2 header
        {bad("badwidth"), 0, damaged},
        {bad("rletopdown"), 0, bitmap + "uses a compression that is not supported"},
        {rleBmp(40, 1, 1, 8, 3, ByteVector(4, 0)), 0,
         bitmap + "uses a compression that is not supported"},
        {{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 24, 0},
         0,
         truncated},                                         // an OS/2 head alone
        {rleBmp(40, 8000, 8000, 8, 1, {0, 1}), 0, tooShort}, // the end only
        {rleBmp(40, 4097, 4096, 8, 1, {0, 1}), 0, tooShort},
        {rleBmp(40, 4096, 4096, 8, 1, {0, 1}), 0, ""},
        {rleBmp(40, 127, 600000, 4, 2, repeated({127, 0x12, 0, 0}, 64, {0, 1})), 0, tooShort},
        {rleBmp(40, 4200, 4200, 8, 1, repeated({0, 2, 0, 255}, 17)), 0, ""}, // deltas
        {rleBmp(40, 5000, 5000, 8, 1, repeated({0, 0}, 5000)), 0, ""},       // ends of line
        {rleBmp(40, 4096, 4098, 8, 1, {0, 0}), 0, tooShort},
        {rleBmp(40, 4, 2, 24, 0, ByteVector(24, 9)), 0, ""}, // 12 + 12 bytes
        {rleBmp(40, 4, 2, 24, 0, ByteVector(23, 9)), 0, truncated},
        {rleBmp(40, 1, 2, 1, 0, ByteVector(5, 0x80)), 0, ""}, // 4 + 1
        {rleBmp(40, 1, 2, 1, 0, ByteVector(4, 0x80)), 0, truncated},
        {rleBmp(40, 1, 1, 16, 3, ByteVector(12, 0)), 0, truncated}, // masks
        {rleBmp(40, 1, 1, 16, 3, ByteVector(8, 0)), 0, damaged},
        {manyScans(500), 0, ""},
        {manyScans(501), 0, "the jpeg file cannot be read: it has more than 500 scans"},
        {cutTiff, 0, "the tiff file is damaged"},
        {{'I', 'I', 43, 0, 8, 0, 0, 0}, 0, "the tiff file is damaged"}, // a BigTIFF head alone
        {rleBmp(40, 4000, 3000, 8, 1, {0, 1}), 8 << 20, tooLarge},
        {readFileBytes(corpusPath("bmp/g/rgb16.bmp")), 100 << 10, tooLarge},
        {readFileBytes(corpusPath("png/basn6a08.png")), 3500, tooLarge}, // 3126 + 4096 to blend
        {tiff, 35000, tooLarge}, // 30054 bytes of picture, 40000 of raster; a JPEG 100000 of work
        {tiff, 45000, "the tiff file cannot be read"}, // the raster fits, libtiff's own work not
        {encodeOrFail(imageio::encodeJpeg, makePhotoLike(100, 100, 24)), 50000, tooLarge},
        {tiff, 0, ""},
        {{0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0},
         0,
         "the png file is damaged: "},
        {{'h', 'e', 'l', 'l', 'o'}, 0, kUnknownFormat},
        {{}, 0, kUnknownFormat}};
    for (const auto& row : cases) {
        const auto& [file, budget, reason] = row;
        SCOPED_TRACE(&row - cases); // the row
        ByteVector padded = file;
        padded.resize(file.size() + 16, 0xFF);
        const std::uint64_t previous = imageio::capMemoryBudget(budget);
        DibImage image;
        std::string error;
        EXPECT_EQ(imageio::loadPictureFromMemory(padded.data(), file.size(), image, error),
                  reason.empty());
        EXPECT_EQ(error.substr(0, reason.size()), reason);
        EXPECT_TRUE(!reason.empty() || error.empty());
        imageio::capMemoryBudget(previous);
    }
}

// OS/2 24-bit run-length: runs and literals of blue, green, red; a run past its row's end is cut.
TEST(BadInput, RunLengthPixelsOpenInsteadOfPassingForJpeg) {
    const ByteVector codes = {0, 3, 10, 20, 30, 40, 50, 60, 70, 80, 90, 0,  // literal, padded
                              0, 0, 1,  5,  6,  7,  3,  8,  9,  10, 0,  1}; // row end, runs, end
    const DibImage image = loadBytesOrFail(rleBmp(64, 3, 2, 24, 4, codes));
    ASSERT_EQ(image.bitsPerPixel, 24);
    EXPECT_EQ(ByteVector(image.row(0), image.row(0) + 9),
              (ByteVector{10, 20, 30, 40, 50, 60, 70, 80, 90}));
    EXPECT_EQ(ByteVector(image.row(1), image.row(1) + 9),
              (ByteVector{5, 6, 7, 8, 9, 10, 8, 9, 10}));
    const DibImage cut = loadBytesOrFail(rleBmp(40, 4, 2, 8, 1, {6, 1})); // then the data ends
    EXPECT_EQ(ByteVector(cut.row(0), cut.row(0) + 8), (ByteVector{1, 1, 1, 1, 0, 0, 0, 0}));
    // Bit fields (565 red and green, no blue): a channel without a mask reads 0.
    const ByteVector masks = {0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0};
    EXPECT_EQ(rgbAt(loadBytesOrFail(rleBmp(40, 1, 1, 16, 3, masks)), 0, 0), 0xFFFF00u);
}

// Every encoder's output, cut short at many points and with single bytes spoiled: each
// attempt either gives a well-formed picture or an error text, and a file cut in half is refused.
TEST(BadInput, TruncatedAndSpoiledFilesNeverCrash) {
    const DibImage photo = makePhotoLike(37, 23, 24), indexed = randomPicture(37, 23, 4, 7);
    for (const auto& [encode, source] : {std::pair{&imageio::encodeBmp, &indexed},
                                         {&imageio::encodePng, &photo},
                                         {&imageio::encodeJpeg, &photo},
                                         {&imageio::encodeGif, &indexed},
                                         {&imageio::encodeTiff, &photo}}) {
        const ByteVector whole = encodeOrFail(encode, *source, {80});
        std::string error;
        for (std::size_t at = 0; at < 2 * whole.size(); at += 1 + whole.size() / 151) {
            ByteVector bytes = whole; // cut short on the first pass, one byte spoiled on the second
            at < whole.size() ? bytes.resize(at) : void(bytes[at - whole.size()] ^= 0xA5);
            DibImage image;
            error.clear();
            const bool opened =
                imageio::loadPictureFromMemory(bytes.data(), bytes.size(), image, error);
            EXPECT_TRUE(opened ? imageio::isWellFormed(image) : !error.empty()) << at;
            // Rows cut off inside the data are an error, not a picture (JPEG fills them in gray).
            if (at < whole.size() / 2 && encode != &imageio::encodeJpeg) {
                EXPECT_FALSE(opened) << at;
            }
        }
    }
}

// Two gray TIFF 2 bpp rows (1, 3, 2, 3, 3, 2, 1, 0) open as 4 bpp, same indices, levels up from
// black (white if so marked). No usable pixel offset: rows follow the colours-used table (0: all).
TEST(HandBuilt, IndexedRowsOpenAsStored) {
    const ByteVector rows = {0x7B, 0xE4, 0x7B, 0xE4};
    const ByteVector minIsBlack = tiffFile(8, 2, 2, 1, rows),
                     minIsWhite = tiffFile(8, 2, 2, 0, rows);
    for (const ByteVector& file : {minIsBlack, minIsWhite}) { // and bitmaps: see the corpus
        const DibImage image = loadBytesOrFail(file);
        EXPECT_EQ(std::pair(int(image.bitsPerPixel), readLe32(image.paletteEntry(4))),
                  std::pair(4, 0u));
        EXPECT_EQ(ByteVector(image.row(1), image.row(1) + 4), (ByteVector{0x13, 0x23, 0x32, 0x10}));
    }
    EXPECT_EQ(std::tuple(rgbAt(loadBytesOrFail(minIsBlack), 0, 0),
                         rgbAt(loadBytesOrFail(minIsWhite), 0, 0)),
              std::tuple(0x555555u, 0xAAAAAAu));
    // A one-byte 1-bit strip reads as it stands; with no photometric tag, 0 is white.
    const DibImage oneBit = loadBytesOrFail(tiffFile(8, 1, 1, -1, {0xA5}));
    EXPECT_EQ(std::tuple(oneBit.bitsPerPixel, oneBit.colorsUsed, oneBit.row(0)[0],
                         rgbAt(oneBit, 0, 0), rgbAt(oneBit, 1, 0)),
              std::tuple(1, 2u, 0xA5, 0u, 0xFFFFFFu));
    // Gray rows stored bottom-up, or 16 bits deep, take libtiff's RGBA reader: upright, 24 bpp.
    const DibImage upright = loadBytesOrFail(tiffFile(1, 2, 8, 1, {0x10, 0x80}, 4));
    const DibImage deep = loadBytesOrFail(tiffFile(1, 1, 16, 1, {0x00, 0x80}));
    EXPECT_EQ(std::tuple(upright.bitsPerPixel, screenRgb(upright, 0, 0), deep.bitsPerPixel,
                         screenRgb(deep, 0, 0)),
              std::tuple(24, 0x808080u, 24, 0x808080u));
    ByteVector noOffset = rleBmp(40, 8, 1, 1, 0, {0xA5, 0, 0, 0});
    writeLe32(noOffset.data() + 10, 0);
    writeLe32(noOffset.data() + 46, 0);
    const DibImage bitmap = loadBytesOrFail(noOffset);
    EXPECT_EQ(std::tuple(bitmap.row(0)[0], rgbAt(bitmap, 0, 0), rgbAt(bitmap, 1, 0)),
              std::tuple(0xA5, 0xFFFFFFu, 0x112233u));
}

// A GIF without any table opens at 8 bpp with a gray ramp. A 1 × 1 frame of index 1 at (1, 1) past
// its 1 × 1 screen, its control block making 0 transparent: the screen grows, the rest transparent,
// shown white, not the background (1). Codes clear, 3, end: an index past the table shows entry 0.
TEST(HandBuilt, GifScreensFramesAndIndices) {
    ByteVector file = gifFile(1, 1, 1, 1);
    file[10] = 0, file.erase(file.begin() + 13, file.begin() + 19); // no table
    const DibImage gray = loadBytesOrFail(file);
    EXPECT_EQ(std::tuple(gray.bitsPerPixel, rgbAt(gray, 0, 0)), std::tuple(8, 0x010101u));
    file = gifFile(1, 1, 1, 1, {0x21, 0xF9, 4, 1, 0, 0, 0, 0});
    file[28] = file[30] = 1; // the frame's left and top
    const DibImage image = loadBytesOrFail(file);
    EXPECT_EQ(std::tuple(image.width, image.height, screenRgb(image, 1, 1), screenRgb(image, 0, 1),
                         screenRgb(image, 1, 0), readLe32(image.paletteEntry(0))),
              std::tuple(2, 2, 0xC86432u, 0xFFFFFFu, 0xFFFFFFu, 0xFFFFFFu)); // reserved byte 0
    EXPECT_EQ(rgbAt(loadBytesOrFail(gifFile(1, 1, 1, 1, {}, 0x5C)), 0, 0), 0x0A141Eu);
    file = gifFile(2, 2, 1, 1);
    for (const auto& [background, shown] : {std::pair{1, 0xC86432u}, {2, 0x0A141Eu}}) {
        file[11] = std::uint8_t(background); // beside and below the frame; past the table: entry 0
        const DibImage screen = loadBytesOrFail(file);
        EXPECT_EQ(std::pair(screenRgb(screen, 1, 0), screenRgb(screen, 0, 1)),
                  std::pair(shown, shown));
    }
}

// The encoder's rows, with the frame marked interlaced, are read as four passes: every eighth
// row from row 0, every eighth from 4, every fourth from 2, every second from 1. Its screen says
// 8 bits of colour resolution and a table of 256, background 0.
TEST(HandBuilt, InterlacedGifRowsArriveInFourPasses) {
    for (const int height : {3, 19}) {
        const DibImage picture = randomPicture(3, height, 8, 7);
        ByteVector file = encodeOrFail(imageio::encodeGif, picture);
        EXPECT_EQ(file[10] << 8 | file[11], 0xF700);
        file[13 + 3 * 256 + 9] |= 0x40; // the frame's flags, after the screen and 256 colours
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

// Sizes the file cannot back are refused before allocating, outputs untouched: past the 32-bit
// fields or (capped) memory, or what compressed data can give. PNG rows with filter bytes are at
// most 1100× the file: 100 bytes may hold 12344 one-bit rows 64 wide. Sequential JPEG spends ≥ 2
// bits an 8 × 8 block: 5770 bytes, 1024 × 1923 pixels. GIF codes (≥ 3 bits, ≤ 4096 pixels): 35
// bytes, 1000 × 393. A GIF screen over 4096² pixels and 64 times its frame holds no picture.
TEST(BadInput, DeclaredSizesMustFitTheMemoryAndTheFile) {
    ByteVector pngFits = pngFile(64, 12344, 1, 0, {}), pngTooMany = pngFile(64, 12345, 1, 0, {});
    pngFits.resize(100), pngTooMany.resize(100);
    const std::string tooLarge = imageio::kTooLargeText, tooShort = imageio::kTooShortText;
    const std::pair<ByteVector, std::string> cases[] = {
        {rleBmp(40, 60000, 60000, 24, 0, ByteVector(64, 0x55)), tooLarge},
        {pngFile(60000, 60000, 8, 2, {}), tooLarge},
        {gifFile(65535, 65535, 65535, 65535), tooLarge},
        {gifFile(0, 0, 0, 0), "the gif file is damaged: the picture is empty"},
        {resizedJpeg(60000, 60000), tooLarge},
        {tiffFile(60000, 60000, 8, 1), tooLarge},
        {tiffFile(122, 1, 8, 1), ""}, // uncompressed: no more samples than the file's 122 bytes
        {tiffFile(123, 1, 8, 1), tooShort},
        {pngFits, ""},
        {pngTooMany, tooShort},
        {resizedJpeg(1024, 1923), ""},
        {resizedJpeg(1024, 1924), tooShort},
        {gifFile(1000, 393, 1000, 393), ""},
        {gifFile(1000, 394, 1000, 394), tooShort},
        {tallScreenGif(4096, 63), ""},
        {tallScreenGif(4097, 64),
         "the gif file is damaged: its screen is far larger than its picture"},
        {tallScreenGif(4160, 65), ""}}; // just 64 times the frame
    const std::uint64_t previous = imageio::capMemoryBudget(std::uint64_t(256) << 20);
    for (const auto& row : cases) {
        const auto& [file, reason] = row;
        SCOPED_TRACE(&row - cases); // the row
        imageio::PictureInfo info{7, 0, 0, {}};
        std::string error;
        EXPECT_EQ(imageio::probePictureFromMemory(file.data(), file.size(), info, error),
                  reason.empty());
        EXPECT_EQ(std::tuple(error, info.width == 7), std::tuple(reason, !reason.empty()));
        if (reason.empty()) continue; // the rows themselves are not there
        DibImage image = makeImage(2, 2, 8);
        const DibImage before = image;
        EXPECT_FALSE(imageio::loadPictureFromMemory(file.data(), file.size(), image, error));
        EXPECT_EQ(std::tuple(error, image.data == before.data), std::tuple(reason, true));
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
