#include "core/dibImage.h"
#include "core/errors.h"
#include "bitmapBytes.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <utility>

namespace vellora {
namespace {

using test::BitmapHeader;
using test::bitmapBytes;

struct RefusedCase {
    const char* what;
    std::vector<std::uint8_t> bytes;
    int code;
    std::vector<std::string> messages;
};

std::vector<std::uint8_t> zeros(std::size_t n) { return std::vector<std::uint8_t>(n, 0); }

std::vector<RefusedCase> refusedCases() {
    BitmapHeader notBm;
    notBm.signature = 0x4D42 ^ 0x0100; // "BL"
    BitmapHeader compressed;
    compressed.compression = 1;
    BitmapHeader bitFields;
    bitFields.compression = 3;
    bitFields.bitsPerPixel = 16;
    BitmapHeader sixteen;
    sixteen.bitsPerPixel = 16;
    BitmapHeader twoBits;
    twoBits.bitsPerPixel = 2;
    BitmapHeader truncated;
    truncated.width = 10;
    truncated.height = 10; // needs 54 + 320 bytes
    BitmapHeader overflow;
    overflow.width = 0x7FFFFFFF;
    overflow.height = 0x7FFFFFFF;
    BitmapHeader tallOverflow;
    tallOverflow.width = 65536;
    tallOverflow.height = 65536; // 12 GiB of rows
    BitmapHeader widthZero;
    widthZero.width = 0;
    BitmapHeader heightZero;
    heightZero.height = 0;
    BitmapHeader negativeWidth;
    negativeWidth.width = -4;
    BitmapHeader wideNibbles; // 2^30 + 6 pixels of 4 bits: half a gigabyte of row, not 4 bytes
    wideNibbles.width = 0x40000006;
    wideNibbles.height = -1;
    wideNibbles.bitsPerPixel = 4;
    BitmapHeader shortTable;
    shortTable.bitsPerPixel = 8;
    shortTable.colorsUsed = 2; // only 2 entries there, the 256-entry table runs past the end
    return {
        {"not BM", bitmapBytes(notBm, zeros(4)), 32, {"not bitmap file"}},
        {"one byte", {'B'}, 32, {"not bitmap file"}},
        {"empty", {}, 32, {"not bitmap file"}},
        {"BM alone", {'B', 'M'}, 4, {"failed to read the file"}},
        {"run-length", bitmapBytes(compressed, zeros(4)), 64, {"compress not supported"}},
        {"bit fields", bitmapBytes(bitFields, zeros(4)), 64, {"compress not supported"}},
        {"16 bpp", bitmapBytes(sixteen, zeros(4)), 1, {"error of count bits per pixel"}},
        {"2 bpp", bitmapBytes(twoBits, zeros(4)), 1, {"error of count bits per pixel"}},
        {"truncated rows", bitmapBytes(truncated, zeros(319)), 4, {"failed to read the file"}},
        {"size overflow", bitmapBytes(overflow, zeros(4)), 32, {"not bitmap file"}},
        {"rows past 4 GiB", bitmapBytes(tallOverflow, zeros(4)), 32, {"not bitmap file"}},
        {"width 0", bitmapBytes(widthZero, zeros(4)), 32, {"not bitmap file"}},
        {"height 0", bitmapBytes(heightZero, zeros(4)), 32, {"not bitmap file"}},
        {"negative width", bitmapBytes(negativeWidth, zeros(4)), 32, {"not bitmap file"}},
        {"wide 4 bpp row", bitmapBytes(wideNibbles, zeros(64 + 64)), 4,
         {"failed to read the file"}},
        {"short colour table", bitmapBytes(shortTable, zeros(8 + 4)), 4,
         {"failed to read the file"}},
    };
}

class RefusedBitmapFile : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedBitmapFile, GivesItsCodeOneMessageAndNoBlock) {
    const RefusedCase& c = GetParam();
    test::TempDir dir;
    test::writeFileBytes(dir / "refused.dib", c.bytes);
    test::RecordingFrontend frontend;
    DibImage image;
    image.data.assign(16, 1); // a block left from earlier work is released too
    EXPECT_EQ(readBitmapFile(frontend, dir / "refused.dib", image), c.code) << c.what;
    EXPECT_EQ(frontend.texts(), c.messages) << c.what;
    for (const auto& m : frontend.messages) EXPECT_EQ(m.caption, "error");
    EXPECT_TRUE(image.data.empty()) << c.what;

    // The in-memory entry applies the same checks.
    test::RecordingFrontend memoryFrontend;
    DibImage fromBytes;
    EXPECT_EQ(readBitmapBytes(memoryFrontend, c.bytes, fromBytes), c.code) << c.what;
    EXPECT_EQ(memoryFrontend.texts(), c.messages) << c.what;
    EXPECT_TRUE(fromBytes.data.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedBitmapFile, ::testing::ValuesIn(refusedCases()));

TEST(ReadBitmapFile, MissingFileAndFolderFailToOpenAndSayWhy) {
    test::TempDir dir;
    const std::pair<std::filesystem::path, const char*> cases[] = {
        {dir / "absent.dib", "No such file or directory"},
        {dir.path(), "it is not a regular file"},
    };
    for (const auto& [path, why] : cases) {
        test::RecordingFrontend frontend;
        DibImage image;
        EXPECT_EQ(readBitmapFile(frontend, path, image), 1) << path;
        EXPECT_EQ(frontend.texts(), std::vector<std::string>{"failed to open the file\ncannot read \"" +
                                                              path.string() + "\": " + why});
        EXPECT_TRUE(image.data.empty());
    }
}

// 8 bpp saying 100 colours used: the table still has 256 entries and the rows start at 1078,
// whatever the pixel offset field says.
TEST(ReadBitmapFile, EightBitsWithFewColoursUsedKeepsFullTable) {
    BitmapHeader h;
    h.width = 4;
    h.height = 2;
    h.bitsPerPixel = 8;
    h.colorsUsed = 100;
    h.bitsOffsetField = 54 + 400;
    std::vector<std::uint8_t> body(1024 + 8);
    std::iota(body.begin(), body.end(), std::uint8_t(0));
    const auto bytes = bitmapBytes(h, body);
    test::RecordingFrontend frontend;
    DibImage image;
    ASSERT_EQ(readBitmapBytes(frontend, bytes, image), 0);
    EXPECT_EQ(image.colorsUsed, 100u);
    EXPECT_EQ(image.paletteEntries, 256u);
    EXPECT_EQ(image.bitsOffset, 1078u);
    EXPECT_EQ(image.fileSize, 1078u + 8);
    EXPECT_EQ(image.row(0)[0], bytes[1078]);
    EXPECT_EQ(image.row(1)[3], bytes[1078 + 7]);
    EXPECT_TRUE(frontend.messages.empty());
}

// A top-down file is read with the positive height; row 0 stays its first stored row.
TEST(ReadBitmapFile, TopDownFileReadsPositiveHeightInStoredOrder) {
    BitmapHeader h;
    h.width = 1;
    h.height = -3;
    h.bitsPerPixel = 24;
    const std::vector<std::uint8_t> rows = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0};
    DibImage image;
    test::RecordingFrontend frontend;
    ASSERT_EQ(readBitmapBytes(frontend, bitmapBytes(h, rows), image), 0);
    EXPECT_EQ(image.height, 3);
    EXPECT_EQ(image.row(0)[0], 1);
    EXPECT_EQ(image.row(2)[2], 9);
}

TEST(ReadBitmapFile, DerivedSizesReplaceTheHeaderFields) {
    BitmapHeader h;
    h.width = 5;
    h.height = 2;
    h.bitsPerPixel = 24;
    h.fileSizeField = 7;
    h.bitsOffsetField = 999;
    DibImage image;
    test::RecordingFrontend frontend;
    // Longer than needed: the extra bytes are kept but not counted.
    ASSERT_EQ(readBitmapBytes(frontend, bitmapBytes(h, zeros(40)), image), 0);
    EXPECT_EQ(image.fileSize, 54u + 32);
    EXPECT_EQ(image.bitsOffset, 54u);
    EXPECT_EQ(image.stride, 16);
    EXPECT_EQ(image.imageSize, 32u);
}

TEST(BitmapFile, CreateWriteReadRoundTripAtEveryDepth) {
    test::TempDir dir;
    for (int bpp : {1, 4, 8, 24, 32}) {
        test::RecordingFrontend frontend;
        DibImage image = test::makeImage(7, 3, bpp, 2);
        for (std::size_t i = 54; i < image.data.size(); ++i) image.data[i] = std::uint8_t(i * 7);
        const auto path = dir / ("depth" + std::to_string(bpp) + ".dib");
        ASSERT_EQ(writeBitmapFile(frontend, path, image), 0);
        EXPECT_EQ(test::readFileBytes(path), image.data) << bpp;
        DibImage read;
        ASSERT_EQ(readBitmapFile(frontend, path, read), 0);
        EXPECT_EQ(read.data, image.data);
        EXPECT_EQ(read.bitsPerPixel, bpp);
        EXPECT_EQ(read.width, 7);
        EXPECT_EQ(read.height, 3);
        EXPECT_EQ(read.colorsUsed, 2u);
        EXPECT_TRUE(frontend.messages.empty());
    }
}

TEST(CreateDib, WritesTheHeaderFieldByField) {
    test::RecordingFrontend frontend;
    DibImage image;
    ASSERT_EQ(createDib(frontend, image, 10, 10, 8, 256), 0);
    const auto& d = image.data;
    ASSERT_EQ(d.size(), 1198u);
    const auto le32 = [&](std::size_t o) { return readLe32(d.data() + o); };
    EXPECT_EQ(d[0], 'B');
    EXPECT_EQ(d[1], 'M');
    EXPECT_EQ(le32(2), 1198u);
    EXPECT_EQ(le32(6), 0u);
    EXPECT_EQ(le32(10), 1078u);
    EXPECT_EQ(le32(14), 40u);
    EXPECT_EQ(le32(18), 10u);
    EXPECT_EQ(le32(22), 10u);
    EXPECT_EQ(readLe16(d.data() + 26), 1);
    EXPECT_EQ(readLe16(d.data() + 28), 8);
    EXPECT_EQ(le32(30), 0u);
    EXPECT_EQ(le32(34), 120u);
    EXPECT_EQ(le32(38), 0u);
    EXPECT_EQ(le32(42), 0u);
    EXPECT_EQ(le32(46), 256u);
    EXPECT_EQ(le32(50), 0u);
    for (std::size_t i = 54; i < d.size(); ++i) ASSERT_EQ(d[i], 0) << i;
}

TEST(CreateDib, CopiesTheSourceColourTableOnlyForIndexedTargets) {
    test::RecordingFrontend frontend;
    DibImage source = test::makeImage(3, 3, 4);
    for (int i = 0; i < 16; ++i) source.paletteEntry(i)[1] = std::uint8_t(10 + i);
    DibImage indexed;
    ASSERT_EQ(createDib(frontend, indexed, 5, 2, 4, 16, &source), 0);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(indexed.paletteEntry(i)[1], 10 + i);
    EXPECT_EQ(indexed.row(0)[0], 0);

    DibImage trueColor;
    ASSERT_EQ(createDib(frontend, trueColor, 5, 2, 24, 16, &source), 0);
    EXPECT_EQ(trueColor.data.size(), 54u + 2 * 16);
    for (std::size_t i = 54; i < trueColor.data.size(); ++i) ASSERT_EQ(trueColor.data[i], 0);
}

TEST(CreateDib, LargeBlockReusedAfterDirtyPixelsIsZeroFilledAgain) {
    // 1501 x 1200 at 24 bpp is over 5 MB, enough for the large-page path, with row padding.
    test::RecordingFrontend frontend;
    DibImage image;
    ASSERT_EQ(createDib(frontend, image, 1501, 1200, 24, 0), 0);
    std::fill(image.data.begin() + 54, image.data.end(), std::uint8_t(0xAB));
    ASSERT_EQ(createDib(frontend, image, 1501, 1200, 24, 0), 0);
    ASSERT_EQ(image.data.size(), 54u + 4504u * 1200u);
    EXPECT_EQ(std::count(image.data.begin() + 54, image.data.end(), std::uint8_t(0)),
              std::ptrdiff_t(image.data.size() - 54));
    EXPECT_EQ(image.data[0], 'B');
    EXPECT_EQ(image.data[28], 24);
}

TEST(CreateDib, RefusesImpossibleSizes) {
    struct Case {
        int width, height, bpp, code;
        const char* message;
    };
    const Case cases[] = {
        {0, 5, 24, 16,
         "failed to allocate memory\na 0 x 5 picture of 24 bits per pixel does not fit in a "
         "bitmap file"},
        {5, 0, 8, 16,
         "failed to allocate memory\na 5 x 0 picture of 8 bits per pixel does not fit in a "
         "bitmap file"},
        {-1, 5, 24, 16,
         "failed to allocate memory\na -1 x 5 picture of 24 bits per pixel does not fit in a "
         "bitmap file"},
        // 70000 x 3 bytes x 70000 rows is over 14 GB, past the 32-bit size fields.
        {70000, 70000, 24, 16,
         "failed to allocate memory\na 70000 x 70000 picture of 24 bits per pixel does not fit "
         "in a bitmap file"},
        {5, 5, 16, 128, "error of count bits per pixel"},
    };
    for (const Case& c : cases) {
        test::RecordingFrontend frontend;
        DibImage image;
        EXPECT_EQ(createDib(frontend, image, c.width, c.height, std::uint16_t(c.bpp), 0), c.code)
            << c.width << "x" << c.height;
        EXPECT_EQ(frontend.texts(), std::vector<std::string>{c.message});
        EXPECT_TRUE(image.data.empty());
    }
}

TEST(WriteBitmapFile, UnwritablePathGivesCode2) {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    DibImage image = test::makeImage(2, 2, 24);
    EXPECT_EQ(writeBitmapFile(frontend, dir / "missing" / "x.dib", image), 2);
    EXPECT_EQ(frontend.texts(),
              std::vector<std::string>{"failed to create the file\ncannot write \"" +
                                       (dir / "missing" / "x.dib").string() +
                                       "\": No such file or directory"});
    EXPECT_FALSE(image.data.empty()); // the block stays the caller's
}

TEST(WriteBitmapFile, ReplacesAnExistingFile) {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    test::writeFileBytes(dir / "x.dib", std::vector<std::uint8_t>(5000, 9));
    DibImage image = test::makeImage(2, 2, 24);
    ASSERT_EQ(writeBitmapFile(frontend, dir / "x.dib", image), 0);
    EXPECT_EQ(test::readFileBytes(dir / "x.dib"), image.data);
}

struct ErrorCase {
    int code;
    bool shown;
    const char* text;
};

class ReportErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ReportErrorTest, ShowsTheCodesMessageAndReturnsTheCode) {
    const ErrorCase c = GetParam();
    test::RecordingFrontend frontend;
    EXPECT_EQ(reportError(frontend, c.code), c.code);
    if (!c.shown) {
        EXPECT_TRUE(frontend.messages.empty());
        return;
    }
    ASSERT_EQ(frontend.messages.size(), 1u);
    EXPECT_EQ(frontend.messages[0], (test::Message{"error", c.text}));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ReportErrorTest,
    ::testing::Values(ErrorCase{1, true, "failed to open the file"},
                      ErrorCase{2, true, "failed to create the file"},
                      ErrorCase{4, true, "failed to read the file"},
                      ErrorCase{8, true, "failed to write the file"},
                      ErrorCase{16, true, "failed to allocate memory"},
                      ErrorCase{32, true, "not bitmap file"},
                      ErrorCase{64, true, "compress not supported"},
                      ErrorCase{128, true, "error of count bits per pixel"},
                      ErrorCase{512, false, ""}, ErrorCase{1024, true, ""},
                      ErrorCase{32768, true, ""},
                      ErrorCase{3, true, "unknown error of processing"},
                      ErrorCase{256, true, "unknown error of processing"},
                      ErrorCase{65536, true, "unknown error of processing"},
                      ErrorCase{-1, true, "unknown error of processing"}));

} // namespace
} // namespace vellora
