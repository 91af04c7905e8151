// Bitmap files: reading (refusals included), writing, creating blocks, geometry, error codes;
// pixel access at every depth and the copy to true colour.
#include "core/dibImage.h"
#include "core/errors.h"
#include "core/pixelAccess.h"
#include "core/trueColor.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <tuple>

namespace vellora {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The 54 header bytes of a bitmap file, written field by field so that they do not depend on
// the code under test, followed by `body` (colour table and rows as the test wants them).
struct BitmapHeader {
    std::int32_t width = 1, height = 1;
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = 0, colorsUsed = 0, bitsOffsetField = 0;
    std::uint16_t signature = 19778; // "BM"
};

Bytes bitmapBytes(const BitmapHeader& h, const Bytes& body) {
    Bytes bytes(54 + body.size(), 0);
    const auto put = [&](std::size_t offset, std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes[offset + std::size_t(i)] = std::uint8_t(value >> (8 * i));
    };
    put(0, h.signature, 2), put(10, h.bitsOffsetField, 4);
    put(14, 40, 4), put(18, std::uint32_t(h.width), 4), put(22, std::uint32_t(h.height), 4);
    put(26, 1, 2), put(28, h.bitsPerPixel, 2), put(30, h.compression, 4), put(46, h.colorsUsed, 4);
    std::copy(body.begin(), body.end(), bytes.begin() + 54);
    return bytes;
}

// Each refusal gives its code and its one message and leaves no block, read from a file or from
// bytes in memory alike (a block left from earlier work is released too).
TEST(ReadBitmapFile, RefusalsGiveTheirCodeOneMessageAndNoBlock) {
    const auto file = [](BitmapHeader h, std::size_t body = 4) {
        return bitmapBytes(h, Bytes(body, 0));
    };
    constexpr const char* kNot = "not bitmap file";
    constexpr const char* kRead = "failed to read the file";
    constexpr const char* kCompress = "compress not supported";
    constexpr const char* kDepth = "error of count bits per pixel";
    // {what, bytes, code, message}
    const std::tuple<const char*, Bytes, int, const char*> cases[] = {
        {"BL, not BM", file({.signature = 0x4C42}), 32, kNot},
        {"one byte", {'B'}, 32, kNot},
        {"empty", {}, 32, kNot},
        {"BM alone", {'B', 'M'}, 4, kRead},
        {"run-length", file({.compression = 1}), 64, kCompress},
        {"bit fields", file({.bitsPerPixel = 16, .compression = 3}), 64, kCompress},
        {"16 bpp", file({.bitsPerPixel = 16}), 1, kDepth},
        {"2 bpp", file({.bitsPerPixel = 2}), 1, kDepth},
        {"truncated rows", file({.width = 10, .height = 10}, 319), 4, kRead}, // needs 320
        {"size overflow", file({.width = 0x7FFFFFFF, .height = 0x7FFFFFFF}), 32, kNot},
        {"rows past 4 GiB", file({.width = 65536, .height = 65536}), 32, kNot},
        {"width 0, header alone", file({.width = 0}, 0), 32, kNot},
        {"height 0", file({.height = 0}), 32, kNot},
        {"negative width", file({.width = -4}), 32, kNot},
        // 2^30 + 6 pixels of 4 bits: half a gigabyte of row, not 4 bytes.
        {"wide 4 bpp row", file({.width = 0x40000006, .height = -1, .bitsPerPixel = 4}, 128), 4,
         kRead},
        // Only 2 entries there: the 256-entry table runs past the end.
        {"short colour table", file({.bitsPerPixel = 8, .colorsUsed = 2}, 12), 4, kRead},
    };
    test::TempDir dir;
    for (const auto& [what, bytes, code, message] : cases) {
        SCOPED_TRACE(what);
        test::writeFileBytes(dir / "refused.dib", bytes);
        test::RecordingFrontend frontend;
        DibImage image, fromBytes;
        image.data.assign(16, 1);
        fromBytes.data = image.data;
        EXPECT_EQ(readBitmapFile(frontend, dir / "refused.dib", image), code);
        EXPECT_EQ(readBitmapBytes(frontend, bytes, fromBytes), code);
        EXPECT_EQ(frontend.messages, (std::vector<test::Message>(2, {"error", message})));
        EXPECT_TRUE(image.data.empty() && fromBytes.data.empty());
    }
}

// 8 bpp saying 100 colours used: the table still has 256 entries, rows start at 1078 whatever the
// pixel offset says. A top-down file reads with the positive height, row 0 its first stored row.
TEST(ReadBitmapFile, FullTableAndTopDownRows) {
    Bytes body(1024 + 8);
    std::iota(body.begin(), body.end(), std::uint8_t(0));
    const auto bytes = bitmapBytes(
        {.width = 4, .height = 2, .bitsPerPixel = 8, .colorsUsed = 100, .bitsOffsetField = 454},
        body);
    test::RecordingFrontend frontend;
    DibImage image;
    ASSERT_EQ(readBitmapBytes(frontend, bytes, image), 0);
    EXPECT_EQ(std::tuple(image.colorsUsed, image.paletteEntries, image.bitsOffset, image.row(1)[3]),
              std::tuple(100u, 256u, 1078u, bytes[1078 + 7]));
    const Bytes rows = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0};
    ASSERT_EQ(readBitmapBytes(frontend, bitmapBytes({.width = 1, .height = -3}, rows), image), 0);
    EXPECT_EQ(std::tuple(image.height, image.row(0)[0], image.row(2)[2]), std::tuple(3, 1, 9));
}

// Hand-worked sizes of a 7 x 3 picture: rows padded to 4 bytes, the full colour table of an
// indexed depth. Written over the file before and read back, every byte stays.
TEST(BitmapFile, CreateWriteReadRoundTripAtEveryDepth) {
    test::TempDir dir;
    // {depth, stride, colour table bytes}
    const std::tuple<int, int, std::uint32_t> depths[] = {
        {1, 4, 8}, {4, 4, 64}, {8, 8, 1024}, {24, 24, 0}, {32, 28, 0}};
    for (const auto& [bpp, stride, tableBytes] : depths) {
        SCOPED_TRACE(bpp);
        const std::uint32_t fileSize = 54 + tableBytes + 3 * std::uint32_t(stride);
        test::RecordingFrontend frontend;
        DibImage image = test::makeImage(7, 3, bpp, 2);
        const std::uint8_t* h = image.data.data();
        EXPECT_EQ(std::tuple(image.stride, image.data.size(), h[0], h[1]),
                  std::tuple(stride, fileSize, 'B', 'M'));
        // {offset, value} of each 32-bit header field; planes and depth are 16 bits.
        const std::pair<std::size_t, std::uint32_t> fields[] = {
            {2, fileSize}, {6, 0},  {10, fileSize - 3 * stride}, {14, 40}, {18, 7},
            {22, 3},       {30, 0}, {34, 3u * stride},           {38, 0},  {42, 0},
            {46, 2},       {50, 0}};
        for (const auto& [offset, value] : fields)
            EXPECT_EQ(readLe32(h + offset), value) << offset;
        EXPECT_EQ(std::tuple(readLe16(h + 26), readLe16(h + 28)), std::tuple(1, bpp));
        for (std::size_t i = 54; i < image.data.size(); ++i)
            image.data[i] = std::uint8_t(i * 7);
        const auto path = dir / "picture.dib"; // each depth replaces the file of the one before
        ASSERT_EQ(writeBitmapFile(frontend, path, image), 0);
        EXPECT_EQ(test::readFileBytes(path), image.data);
        DibImage read;
        ASSERT_EQ(readBitmapFile(frontend, path, read), 0);
        EXPECT_EQ(read.data, image.data);
        EXPECT_EQ(std::tuple(read.bitsPerPixel, read.width, read.height, read.colorsUsed),
                  std::tuple(bpp, 7, 3, 2u));
        // The header is the one a new picture gets, until a field or the length changes.
        EXPECT_TRUE(hasFreshHeader(read));
        read.data[46] = 1; // colours used
        EXPECT_FALSE(hasFreshHeader(read));
        read.data[46] = 2;
        read.data.resize(read.fileSize - 1);
        EXPECT_FALSE(hasFreshHeader(read));
        // A block shorter than its size is not written, and the old file stays.
        EXPECT_EQ(writeBitmapFile(frontend, path, read), 8);
        EXPECT_EQ(frontend.texts(), std::vector<std::string>{"failed to write the file"});
        EXPECT_EQ(test::readFileBytes(path), image.data);
    }
}

// An indexed target takes the source's colour table (header and table suffice); a reused dirty
// block is zeroed. Sizes past the 32-bit fields are refused: 70000 x 3 bytes x 70000 rows > 14 GB.
TEST(CreateDib, CopiesTheSourceTableZeroFillsAReusedBlockAndRefusesImpossibleSizes) {
    test::RecordingFrontend frontend;
    DibImage source = test::makeImage(3, 3, 4);
    for (int i = 0; i < 16; ++i)
        source.paletteEntry(i)[1] = std::uint8_t(10 + i);
    source.data.resize(source.bitsOffset);
    DibImage indexed;
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_EQ(createDib(frontend, indexed, 5, 2, 4, 16, &source), 0);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(indexed.paletteEntry(i)[1], 10 + i);
        EXPECT_EQ(std::count(indexed.data.begin() + indexed.bitsOffset, indexed.data.end(), 0), 8);
        std::fill(indexed.data.begin() + indexed.bitsOffset, indexed.data.end(),
                  std::uint8_t(0xAB));
    }
    // {width, height, depth, code}
    const std::tuple<int, int, int, int> cases[] = {
        {0, 5, 24, 16}, {5, 0, 8, 16}, {-1, 5, 24, 16}, {70000, 70000, 24, 16}, {5, 5, 16, 128}};
    constexpr const char* kDepth = "error of count bits per pixel";
    for (const auto& [width, height, bpp, code] : cases) {
        frontend.clear();
        DibImage image;
        EXPECT_EQ(createDib(frontend, image, width, height, std::uint16_t(bpp), 0), code);
        const std::string tooLarge = "failed to allocate memory\na " + std::to_string(width) +
                                     " x " + std::to_string(height) + " picture of " +
                                     std::to_string(bpp) +
                                     " bits per pixel does not fit in a bitmap file";
        EXPECT_EQ(frontend.texts(), std::vector<std::string>{code == 128 ? kDepth : tooLarge});
        EXPECT_TRUE(image.data.empty());
    }
    // Width × depth passes 2^32 before / 8, yet fits; header: all four width bytes, lowest first.
    DibImage wide;
    wide.width = 0x40000006, wide.height = 1, wide.bitsPerPixel = 4;
    ASSERT_EQ(deriveGeometry(frontend, wide), 0);
    EXPECT_EQ(std::tuple(wide.stride, wide.fileSize), std::tuple(536870916, 54u + 64 + 536870916));
    std::uint8_t header[54];
    writeDibHeader(wide, header);
    EXPECT_EQ(std::tuple(header[18], header[19], header[20], header[21], readLe32(header + 2)),
              std::tuple(0x06, 0, 0, 0x40, wide.fileSize));
    wide.width = 20000, wide.height = 58000, wide.bitsPerPixel = 24; // 3.48 GB still fit
    EXPECT_EQ(std::tuple(deriveGeometry(frontend, wide), wide.fileSize),
              std::tuple(0, 54u + 60000u * 58000u));
    wide.width = 4, wide.height = 1073741554, wide.bitsPerPixel = 8; // 2^32 - 2 bytes in all: fits
    EXPECT_EQ(deriveGeometry(frontend, wide), 0);
}

// The other codes' texts are shown where their failures happen; 512 and the codes reserved
// beside it (powers of two up to 32768) show nothing, and unknown codes say so.
TEST(ReportError, ShowsTheCodesMessageAndReturnsTheCode) {
    constexpr const char *kUnknown = "unknown error of processing",
                         *kWrite = "failed to write the file";
    const std::pair<int, const char*> cases[] = {
        {8, kWrite},     {512, nullptr},   {1024, ""},       {32768, ""},
        {256, kUnknown}, {1000, kUnknown}, {65536, kUnknown}};
    for (const auto& [code, text] : cases) {
        test::RecordingFrontend frontend;
        EXPECT_EQ(std::tuple(reportError(frontend, code), errorMessage(code)),
                  std::tuple(code, text ? text : ""));
        EXPECT_EQ(frontend.messages, (text ? std::vector<test::Message>{{"error", text}}
                                           : std::vector<test::Message>{}))
            << code;
    }
}

// An index pattern using every value, changing inside every byte and between pixels 8 apart.
int patternIndex(int x, int y, int bpp) {
    return (x * 5 + y * 3 + x / 8 + 1) % (1 << std::min(bpp, 8));
}

// A row of indices packed bit by bit, leftmost pixel highest in its byte, over bytes of `before`.
Bytes packedRow(const Bytes& indices, int bpp, std::uint8_t before) {
    Bytes row((indices.size() * std::size_t(bpp) + 7) / 8, before);
    for (std::size_t x = 0; x < indices.size(); ++x) {
        const std::size_t bit = x * std::size_t(bpp);
        const int shift = 8 - bpp - int(bit % 8), mask = ((1 << bpp) - 1) << shift;
        row[bit / 8] = std::uint8_t((row[bit / 8] & ~mask) | indices[x] << shift);
    }
    return row;
}

// On 0xFF rows setIndex, any order, sets only its pixel's bits; sequential and whole-row writes
// replace bytes at their first pixel: plain packing. Index readers give indices, getColor entries.
TEST(PixelAccess, IndexedWritersGiveThePackingAndReadersTheIndicesAndColours) {
    for (const int bpp : {1, 4, 8}) {
        SCOPED_TRACE(bpp);
        const int width = 13, height = 3;
        DibImage random = test::randomPicture(width, height, bpp, 5);
        std::fill(random.data.begin() + random.bitsOffset, random.data.end(), 0xFF);
        DibImage sequential = random, rows = random;
        const std::size_t used = (std::size_t(width) * std::size_t(bpp) + 7) / 8;
        int returned = 0;
        for (int y = 0; y < height; ++y) {
            Bytes indices(width + 8, 1); // the writer reads only `width`
            for (int x = 0; x < width; ++x)
                indices[std::size_t(x)] = std::uint8_t(patternIndex(x, y, bpp));
            for (int x = width - 1; x >= 0; x -= 2) // odd pixels, then even ones
                returned |= setIndex(random, indices[std::size_t(x)], y, x, bpp);
            for (int x = width - 2; x >= 0; x -= 2)
                returned |= setIndex(random, indices[std::size_t(x)], y, x, bpp);
            for (int x = 0; x < width; ++x)
                returned |= putIndexSequential(sequential, indices[std::size_t(x)], y, x, bpp);
            writeRowIndices(rows, y, indices.data());
            indices.resize(std::size_t(width));
            Bytes packed = packedRow(indices, bpp, 0xFF);
            packed.resize(std::size_t(random.stride), 0xFF); // nor the bytes after
            EXPECT_EQ(Bytes(random.row(y), random.row(y) + random.stride), packed);
            for (const DibImage* image : {&sequential, &rows})
                EXPECT_EQ(Bytes(image->row(y), image->row(y) + used), packedRow(indices, bpp, 0));
            Bytes read(indices.size());
            readRowIndices(random, y, read.data());
            EXPECT_EQ(read, indices);
            for (int x = 0; x < width; ++x) {
                std::uint8_t index = 0xEE, bgr[3] = {};
                returned |= getIndex(random, index, y, x, bpp);
                returned |= getColor(random, bgr, y, x, bpp);
                const std::uint8_t* entry = random.paletteEntry(indices[std::size_t(x)]);
                ASSERT_EQ(std::tuple(index, bgr[0], bgr[1], bgr[2]),
                          std::tuple(indices[std::size_t(x)], entry[0], entry[1], entry[2]))
                    << x << "," << y;
            }
        }
        EXPECT_EQ(returned, 0);
    }
}

// A colour row written at 24 and 32 bpp lands pixel by pixel; 4th bytes, padding, other rows stay.
TEST(PixelAccess, ColourRowsWriteTheirPixelsAndNothingElse) {
    const int width = 5;
    Bytes colors(3 * width);
    std::iota(colors.begin(), colors.end(), std::uint8_t(1));
    for (const int bpp : {24, 32}) {
        DibImage image = test::makeImage(width, 2, bpp);
        std::fill(image.data.begin() + image.bitsOffset, image.data.end(), 0x77);
        writeRowColors(image, 1, colors.data());
        Bytes expected(std::size_t(image.stride), 0x77);
        for (int x = 0; x < width; ++x)
            std::copy_n(colors.begin() + 3 * x, 3, expected.begin() + bpp / 8 * x);
        EXPECT_EQ(Bytes(image.row(1), image.row(1) + image.stride), expected) << bpp;
        EXPECT_EQ(std::count(image.row(0), image.row(0) + image.stride, 0x77), image.stride) << bpp;
    }
}

// Colours from the palette and index pattern, not the row readers, read back with getColor into
// the 24 bpp target the true-colour header makes; the copy leaves its padding (0x77 here) alone.
TEST(CopyAsTrueColor, EveryPixelKeepsItsColourAtEveryDepth) {
    const int width = 11, height = 4;
    const auto paletteRgb = [](int i) {
        return std::uint32_t(i * 9 + 3) % 256 << 16 | std::uint32_t(200 - i) << 8 |
               std::uint32_t(i);
    };
    const auto trueRgb = [](int x, int y) {
        return std::uint32_t(x * 20) << 16 | std::uint32_t(y * 30) << 8 | 0x5Au;
    };
    for (int sourceBpp : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(sourceBpp);
        std::vector<std::uint32_t> palette;
        for (int i = 0; sourceBpp < 24 && i < (1 << sourceBpp); ++i)
            palette.push_back(paletteRgb(i));
        const auto index = [sourceBpp](int x, int y) { return patternIndex(x, y, sourceBpp); };
        DibImage source = sourceBpp < 24
                              ? test::makeIndexedImage(width, height, sourceBpp, palette, index)
                              : test::makeTrueColorImage(width, height, trueRgb, sourceBpp);
        DibImage target;
        test::RecordingFrontend frontend;
        ASSERT_EQ(makeTrueColorHeader(frontend, target, source), 0);
        std::fill(target.data.begin() + target.bitsOffset, target.data.end(), 0x77);
        EXPECT_EQ(copyAsTrueColor(target, source), 0);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t rgb = sourceBpp >= 24 ? trueRgb(x, y) : paletteRgb(index(x, y));
                std::uint8_t bgr[3] = {};
                ASSERT_EQ(getColor(target, bgr, y, x, 24), 0);
                ASSERT_EQ(bgr[0] | bgr[1] << 8 | bgr[2] << 16, int(rgb)) << x << "," << y;
            }
            EXPECT_EQ(std::count(target.row(y) + 3 * width, target.row(y) + target.stride, 0x77),
                      target.stride - 3 * width);
        }
    }
}

} // namespace
} // namespace vellora
