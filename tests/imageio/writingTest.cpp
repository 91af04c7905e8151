// Writing and turning: every encoder at every depth, read back; saving and its failures; turns and
// flips against a forward map of every pixel; EXIF orientation; bitmap blocks written, taken as is.
#include "imageioTestSupport.h"

#include "imageio/bmpAsIs.h"
#include "imageio/exifOrientation.h"
#include "imageio/pictureHelpers.h"

#include "core/scratchStore.h"

#include <cstring>

namespace vellora::test {
namespace {

// The last makes files of over a megabyte, the TIFF directory after the rows.
constexpr std::pair<int, int> kAwkwardSizes[] = {{1, 1},   {1, 7},     {7, 1},
                                                 {11, 13}, {301, 301}, {701, 601}};

struct RoundTrip {
    const char* format; // the MIME type's second half
    int depth, reopenedDepth;
    bool lossless;     // lossy: close on average
    bool gray = false; // an 8 bpp gray ramp, to be stored as gray and reopened as one
};

// Bitmaps, written as they stand, are with BmpAsIs below.
constexpr RoundTrip kRoundTrips[] = {
    {"png", 1, 1, true},        {"png", 4, 4, true},       {"png", 8, 8, true},
    {"png", 24, 24, true},      {"png", 32, 24, true},     {"tiff", 1, 1, true},
    {"tiff", 4, 4, true},       {"tiff", 8, 8, true},      {"tiff", 24, 24, true},
    {"tiff", 32, 24, true},     {"gif", 1, 1, true},       {"gif", 4, 4, true},
    {"gif", 8, 8, true},        {"jpeg", 24, 24, false},   {"jpeg", 32, 24, false},
    {"jpeg", 8, 24, false},     {"png", 8, 8, true, true}, {"tiff", 8, 8, true, true},
    {"jpeg", 8, 8, false, true}};

// 256 palette entries: a gray ramp, or a ramp of colours.
std::vector<std::uint32_t> ramp(bool gray) {
    std::vector<std::uint32_t> palette;
    for (std::uint32_t i = 0; i < 256; ++i)
        palette.push_back(gray ? i * 0x010101u : i << 16 | (255 - i) << 8 | i / 2);
    return palette;
}

// Smooth pictures for JPEG (its loss on noise says nothing) and gray; random for other indexed.
DibImage sourceFor(const RoundTrip& trip, int width, int height) {
    if (trip.depth > 8) return makePhotoLike(width, height, trip.depth);
    if (trip.lossless && !trip.gray) return randomPicture(width, height, trip.depth, 7);
    return makeIndexedImage(width, height, 8, ramp(trip.gray),
                            [&](int x, int) { return x * 255 / std::max(1, width - 1); });
}

TEST(Encoders, PixelsSurviveAtEveryDepthAndAwkwardSize) {
    TempDir folder;
    for (const RoundTrip& trip : kRoundTrips)
        for (const auto& [width, height] : kAwkwardSizes) {
            const std::string mimeType = std::string("image/") + trip.format;
            SCOPED_TRACE(::testing::Message()
                         << mimeType << " " << trip.depth << (trip.gray ? " gray " : " ") << width
                         << "x" << height);
            ASSERT_TRUE(imageio::hasEncoder(mimeType));
            const DibImage source = sourceFor(trip, width, height);
            const auto path = folder / "picture";
            std::string error;
            ASSERT_TRUE(imageio::savePicture(path, source, mimeType, 90, trip.depth, error))
                << error;
            const DibImage back = loadOrFail(path);
            EXPECT_EQ(std::tuple(back.bitsPerPixel, imageio::isGrayRamp(back)),
                      std::tuple(trip.reopenedDepth, trip.gray));
            const Difference difference = compareColors(source, back);
            // A few pixels spanning the whole range lose more to chroma subsampling.
            if (trip.lossless)
                EXPECT_EQ(difference.maximum, 0);
            else
                EXPECT_LT(difference.mean, width * height >= 100 ? 3.5 : 12.0);
            imageio::PictureInfo info;
            ASSERT_TRUE(imageio::probePictureFile(path, info, error)) << error;
            EXPECT_EQ(std::tuple(info.width, info.height, info.bitsPerPixel),
                      std::tuple(back.width, back.height, back.bitsPerPixel));
        }
}

// A PNG's palette holds the colours the picture says it uses when no pixel lies past them, else
// the whole table. (A table that is a gray ramp but for one byte, any of the three, is a palette.)
TEST(Encoders, PngPaletteHoldsTheColoursUsed) {
    for (const auto& [used, index, held] :
         {std::tuple{1u, 0, 1u}, {5u, 4, 5u}, {5u, 5, 256u}, {0u, 3, 256u}}) {
        DibImage picture = makeIndexedImage(
            3, 2, 8, ramp(true), [&](int x, int y) { return x + 2 * y == 2 ? index : 0; });
        picture.colorsUsed = used;
        picture.paletteEntry(0)[index % 3] = 1;
        const DibImage back = loadBytesOrFail(encodeOrFail(imageio::encodePng, picture));
        EXPECT_EQ(back.colorsUsed, held) << used << index;
    }
}

// Levels past 0 … 9 are taken as the nearest end; 0 stores the rows, 9 packs them.
TEST(Encoders, PngCompressionLevelIsKeptInRangeAndUsed) {
    const DibImage picture = makePhotoLike(40, 30, 24);
    std::vector<std::vector<std::uint8_t>> files;
    for (const int level : {-3, 0, 9, 42}) {
        imageio::setPngCompressionLevel(level);
        files.push_back(encodeOrFail(imageio::encodePng, picture));
    }
    imageio::setPngCompressionLevel(imageio::kDefaultPngCompressionLevel);
    EXPECT_TRUE(files[0] == files[1] && files[2] == files[3]);
    EXPECT_GT(files[1].size(), files[2].size() + 1000);
}

// A picture its format cannot hold is refused: a GIF side past 65535, a JPEG one past 65500.
TEST(Encoders, RefuseSidesTheirFormatCannotHold) {
    PictureBytes file;
    std::string error;
    for (const auto& [width, height] : {std::pair{65536, 1}, {1, 65536}}) {
        EXPECT_FALSE(imageio::encodeGif(makeImage(width, height, 1), {}, file, error));
        EXPECT_EQ(error, "the picture is too large for a gif file");
    }
    EXPECT_TRUE(imageio::encodeGif(makeImage(65535, 1, 1), {}, file, error)) << error;
    EXPECT_FALSE(imageio::encodeJpeg(makeImage(65501, 1, 24), {}, file, error));
    EXPECT_EQ(error.rfind("failed to write the jpeg file: ", 0), 0u) << error;
}

// Without a reducer the save fails (SavePicture below); the GIF carries what the reducer gives
// (here the green channel as gray), which must be a usable 8 bpp picture of the same size.
TEST(GifEncoder, ReducesTrueColourThroughTheInstalledReducer) {
    const DibImage source = makePhotoLike(20, 10, 24);
    const auto green = [](const DibImage& p, int x, int y) { return rgbAt(p, x, y) >> 8 & 255; };
    imageio::setTrueColorReducer([&](const DibImage& t, DibImage& indexed) {
        indexed = makeIndexedImage(t.width, t.height, 8, ramp(true),
                                   [&](int x, int y) { return int(green(t, x, y)); });
        return true;
    });
    const DibImage back = loadBytesOrFail(encodeOrFail(imageio::encodeGif, source));
    ASSERT_EQ(back.bitsPerPixel, 8);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x)
            EXPECT_EQ(rgbAt(back, x, y), 0x010101u * green(source, x, y)) << x;
    const std::tuple<int, int, int, bool> failures[] = {{20, 10, 4, true},
                                                        {21, 10, 8, true},
                                                        {20, 11, 8, true},
                                                        {20, 10, 8, false},
                                                        {20, 0, 8, true}};
    for (const auto& [width, height, depth, reduced] : failures) {
        imageio::setTrueColorReducer([=](const DibImage&, DibImage& indexed) {
            indexed = height ? makeImage(width, height, depth) : DibImage{};
            return reduced;
        });
        PictureBytes file;
        std::string error;
        EXPECT_FALSE(imageio::encodeGif(source, {}, file, error));
        EXPECT_EQ(error, "failed to reduce the picture to 256 colours");
    }
    imageio::setTrueColorReducer({});
}

namespace fs = std::filesystem;

// Only the target, with no temporary file left beside it.
std::ptrdiff_t entries(const TempDir& folder) {
    return std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator());
}

// A run without undo keeps its intermediate pictures in memory: saved, probed, opened, no file.
TEST(SavePicture, ScratchPicturesStayInMemory) {
    TempDir folder;
    ScratchStore store;
    store.switchOn();
    store.serve(folder.path());
    const DibImage picture = randomPicture(5, 3, 8, 7);
    std::string error;
    ASSERT_TRUE(imageio::savePicture(folder / "a.bmp", DibImage(picture), "image/bmp", 75, 0, error,
                                     FileDurability::scratch));
    imageio::PictureInfo info;
    ASSERT_TRUE(imageio::probePictureFile(folder / "a.bmp", info, error)) << error;
    EXPECT_EQ(std::tuple(entries(folder), info.width, info.height, info.bitsPerPixel),
              std::tuple(0, 5, 3, 8));
    expectSamePicture(loadOrFail(folder / "a.bmp"), picture);
}

TEST(SavePicture, AFailedSaveLeavesTheTargetAndTheFolderAsTheyWere) {
    TempDir folder;
    const std::vector<std::uint8_t> old(100000, 7); // longer than any picture saved here
    writeFileBytes(folder / "target", old);
    const DibImage photo = makePhotoLike(9, 9, 24);
    DibImage broken = photo;
    broken.data.resize(100); // the header promises more rows than the block holds
    DibImage rowless = photo;
    rowless.height = 0;
    imageio::setTrueColorReducer({});
    for (const auto& [what, image, mime] : {std::tuple{"no encoder", &photo, "image/x-unknown"},
                                            {"no reducer for gif", &photo, "image/gif"},
                                            {"malformed picture", &broken, "image/png"},
                                            {"no rows", &rowless, "image/png"}}) {
        SCOPED_TRACE(what);
        std::string error;
        EXPECT_FALSE(imageio::savePicture(folder / "target", *image, mime, 90, 24, error) ||
                     error.empty());
        EXPECT_EQ(std::pair(readFileBytes(folder / "target"), entries(folder)), std::pair(old, 1L));
    }
    std::string error;
    EXPECT_FALSE(
        imageio::savePicture(folder / "missing" / "x.png", photo, "image/png", 90, 24, error) ||
        error.empty());
    for (const char* mime : {"image/PNG", "image/jpg", "image/tif", ""})
        EXPECT_FALSE(imageio::hasEncoder(mime)) << mime;
    DibImage image; // loading what is not there, a folder or an empty file fails, saying why
    writeFileBytes(folder / "empty", {});
    for (const auto& [name, reason] :
         {std::pair{"x.png", "No such file or directory"},
          {"", "it is not a regular file"},
          {"empty", "the file is not a picture of a supported format"}}) {
        EXPECT_FALSE(imageio::loadPicture(folder / name, image, error));
        EXPECT_TRUE(error.starts_with(reason)) << error;
    }
    // A save that works replaces the old file whole.
    ASSERT_TRUE(imageio::savePicture(folder / "target", photo, "image/png", 90, 24, error));
    EXPECT_EQ(compareColors(photo, loadOrFail(folder / "target")).maximum, 0);
    EXPECT_EQ(entries(folder), 2); // the target and the empty file
}

// An APP1 body: "Exif\0\0", a TIFF header in the given byte order and one directory of a make
// tag, to be skipped, and the given one (more entries said to follow make it run past the end).
std::vector<std::uint8_t> exifSegment(bool bigEndian, std::uint16_t tag, std::uint16_t type,
                                      std::uint16_t value, int entries = 2) {
    std::vector<std::uint8_t> s = {'E', 'x', 'i', 'f', 0, 0};
    auto u16 = [&](std::uint32_t v) {
        s.insert(s.end(),
                 {std::uint8_t(bigEndian ? v >> 8 : v), std::uint8_t(bigEndian ? v : v >> 8)});
    };
    auto u32 = [&](std::uint32_t v) {
        bigEndian ? (u16(v >> 16), u16(v)) : (u16(v), u16(v >> 16));
    };
    s.insert(s.end(), 2, bigEndian ? 'M' : 'I');
    u16(42), u32(8), u16(std::uint32_t(entries));
    u16(0x010F), u16(2), u32(4), u32(0);
    u16(tag), u16(type), u32(1), u16(value), u16(0);
    return s;
}

// A JPEG with an orientation tag, either byte order, opens upright and probes at its opened size.
// The orientation says which upright pixel the stored picture holds at (x, y), from the top: from 5
// on, x and y swap first; then x, y or both count from the far side. A tag out of range, mistyped
// or past the directory's end, or a segment not EXIF or of no byte order, leaves it as stored.
TEST(ExifOrientation, JpegOpensUpright) {
    constexpr int w = 5, h = 3; // upright
    struct Stored {
        bool swapped, mirroredX, mirroredY;
    };
    constexpr Stored kOrientations[] = {
        {false, false, false}, {false, true, false}, {false, true, true}, {false, false, true},
        {true, false, false},  {true, true, false},  {true, true, true},  {true, false, true}};
    std::vector<std::pair<std::vector<std::uint8_t>, int>> cases = {
        {exifSegment(false, 0x0112, 3, 9), 1},
        {exifSegment(false, 0x0112, 4, 6), 1},
        {exifSegment(false, 0x0110, 3, 6), 1},
        {exifSegment(false, 0x0110, 3, 6, 40), 1},
        {exifSegment(false, 0x0112, 3, 6, 1), 1}, // the tag past the one entry said
        {{'J', 'F', 'I', 'F', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0}, 1}};
    for (const auto& [at, spoilt] : {std::pair{7, 'M'}, {8, '+'}, {0, 'J'}}) { // "IM", not 42, Jxif
        cases.push_back({exifSegment(false, 0x0112, 3, 6), 1});
        cases.back().first[at] = spoilt;
    }
    const std::vector<std::uint8_t> turned =
        exifSegment(false, 0x0112, 3, 6); // the entry cut short:
    EXPECT_EQ(imageio::exifOrientation(turned.data(), turned.size() - 1), 1);
    for (int orientation = 1; orientation <= 8; ++orientation)
        cases.push_back({exifSegment(orientation % 2 == 0, 0x0112, 3, std::uint16_t(orientation)),
                         orientation});
    for (const auto& [exif, orientation] : cases) {
        SCOPED_TRACE(orientation);
        const Stored stored = kOrientations[orientation - 1];
        const int sw = stored.swapped ? h : w, sh = stored.swapped ? w : h;
        const std::vector<std::uint8_t> plain =
            encodeOrFail(imageio::encodeJpeg, makePhotoLike(sw, sh, 24), {90, 24});
        std::vector<std::uint8_t> file = {0xFF, 0xD8, 0xFF, 0xE1, 0, std::uint8_t(exif.size() + 2)};
        file.insert(file.end(), exif.begin(), exif.end());
        file.insert(file.end(), plain.begin() + 2, plain.end());
        const DibImage image = loadBytesOrFail(file);
        const DibImage picture = loadBytesOrFail(plain);
        ASSERT_EQ(std::pair(image.width, image.height), std::pair(w, h));
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x) {
                int ux = stored.swapped ? y : x, uy = stored.swapped ? x : y;
                if (stored.mirroredX) ux = w - 1 - ux;
                if (stored.mirroredY) uy = h - 1 - uy;
                ASSERT_EQ(screenRgb(image, ux, uy), screenRgb(picture, x, y));
            }
        imageio::PictureInfo info;
        std::string error;
        ASSERT_TRUE(imageio::probePictureFromMemory(file.data(), file.size(), info, error));
        EXPECT_EQ(std::pair(info.width, info.height), std::pair(w, h));
    }
}

// Screen pixel (x, y): a clockwise quarter turn sends it to (h − 1 − y, x); the flips mirror that.
void forward(int& x, int& y, int width, int height, int turns, int flip) {
    for (int t = 0; t < turns; ++t) {
        const int nx = height - 1 - y, ny = x;
        x = nx, y = ny;
        std::swap(width, height);
    }
    if (flip & 1) x = width - 1 - x;
    if (flip & 2) y = height - 1 - y;
}

TEST(RotateFlip, EveryTurnAndFlipMovesEachPixelWhereExpected) {
    for (const int depth : {1, 4, 8, 24, 32}) {
        const DibImage source = randomPicture(13, 2, depth, 7); // turned, two pixels wide
        for (int turns = 0; turns < 4; ++turns)
            for (int flip = 0; flip < 4; ++flip) {
                SCOPED_TRACE(std::to_string(depth) + " bpp, turns " + std::to_string(turns) +
                             " flip " + std::to_string(flip));
                DibImage target;
                std::string error;
                ASSERT_TRUE(imageio::rotateFlip(source, target, turns, flip, error)) << error;
                ASSERT_EQ(
                    std::tuple(target.bitsPerPixel, target.width, target.height, target.colorsUsed),
                    std::tuple(depth, turns % 2 ? 2 : 13, turns % 2 ? 13 : 2, source.colorsUsed));
                EXPECT_EQ(0, std::memcmp(target.paletteEntry(0), source.paletteEntry(0),
                                         source.paletteBytes));
                EXPECT_TRUE(imageio::isBmpFileAsIs(target)); // padding and unused bits clear
                for (int y = 0; y < source.height; ++y)
                    for (int x = 0; x < source.width; ++x) {
                        int tx = x, ty = y;
                        forward(tx, ty, source.width, source.height, turns, flip);
                        ASSERT_EQ(screenRgb(target, tx, ty), screenRgb(source, x, y)) << x << y;
                    }
            }
    }
}

// Turns or flips out of range, or a broken picture, leave the target as it was.
TEST(RotateFlip, RefusesBadArgumentsAndLeavesTheTarget) {
    const DibImage source = randomPicture(3, 3, 8, 7), broken;
    DibImage target = makeImage(2, 2, 24);
    const DibImage before = target;
    for (const auto& [turns, flip] : {std::pair{4, 0}, {0, 4}, {-1, 0}, {0, -1}, {1, 1}}) {
        std::string error; // the last, in range, turns the broken picture
        const DibImage& picture = turns == 1 ? broken : source;
        EXPECT_FALSE(imageio::rotateFlip(picture, target, turns, flip, error) || error.empty());
        EXPECT_EQ(target.data, before.data);
    }
}

// Top row first (stored row 1 of 2), opaque; a broken picture (or one of a depth not ours) none.
TEST(ViewPixels, GivesOpaqueColoursTopDown) {
    const DibImage image = makeIndexedImage(3, 2, 4, {0x102030, 0xA0B0C0, 0xFFFFFF},
                                            [](int x, int y) { return (x + y) % 3; });
    std::vector<std::uint32_t> argb;
    imageio::viewPixels(image, argb);
    EXPECT_EQ(argb, (std::vector<std::uint32_t>{0xFFA0B0C0, 0xFFFFFFFF, 0xFF102030, 0xFF102030,
                                                0xFFA0B0C0, 0xFFFFFFFF}));
    DibImage deep = makeImage(1, 2, 24); // 16 bpp, its one pixel rows as long as at 24 bpp
    deep.bitsPerPixel = 16;
    for (const DibImage& broken : {DibImage{}, deep}) {
        imageio::viewPixels(broken, argb);
        EXPECT_TRUE(argb.empty());
    }
}

// Bitmap blocks written or taken over as is: exactly the row-by-row encoder's and decoder's bytes.

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
    expectSamePicture(taken, loadBytesOrFail(file)); // decoded row by row
    return true;
}

// Pictures of each intermediate-file depth, with and without row padding, are written as they stand
// and taken over on loading; with a header byte or padding dirtied they are not as-is, saved clean.
TEST(BmpAsIs, OwnPicturesAreWrittenAndTakenOverAsTheyStand) {
    TempDir folder;
    for (int width : {1, 2, 3, 4, 5, 7, 8, 13})
        for (int depth : {1, 4, 8, 24, 32}) {
            SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(depth));
            const DibImage picture = randomPicture(width, 3, depth, 7);
            ASSERT_TRUE(imageio::isBmpFileAsIs(picture));
            const Bytes file = encodeOrFail(imageio::encodeBmp, picture);
            EXPECT_EQ(file, bytesOf(picture));
            std::string error;
            const auto saved = folder / "saved.bmp";
            ASSERT_TRUE(imageio::savePicture(saved, picture, "image/bmp", 75, 0, error)) << error;
            EXPECT_EQ(readFileBytes(saved), file);
            EXPECT_TRUE(takeOverMatchesDecoding(file));
            expectSamePicture(loadOrFail(saved), picture);
            const std::size_t padding = picture.bitsOffset + (width * depth + 7) / 8;
            for (const std::size_t at : {std::size_t(6), padding}) {     // reserved, first padding
                if (at == picture.bitsOffset + picture.stride) continue; // no padding
                DibImage dirty = picture;
                dirty.data[at] = 0xAB;
                EXPECT_FALSE(imageio::isBmpFileAsIs(dirty)) << at;
                ASSERT_TRUE(imageio::savePicture(saved, dirty, "image/bmp", 75, 0, error));
                EXPECT_EQ(readFileBytes(saved), file) << at;
            }
        }
}

// Whether the bytes decoding carries over into its block: all but the file size and reserved
// fields, the image size, the resolutions and the important-colours count.
bool carried(std::size_t at) {
    return (at < 2 || at >= 10) && (at < 34 || at >= 46) && (at < 50 || at >= 54);
}

// Each byte of a picture's file spoiled in turn (also top-down, or a byte longer): it is taken over
// exactly when row-by-row decoding gives its bytes (bar those it lacks), the result as decoded.
TEST(BmpAsIs, AFileIsTakenOverExactlyWhenDecodingGivesItsBytes) {
    for (const auto& [width, depth] : {std::pair{9, 1}, {5, 4}, {3, 8}, {3, 24}, {2, 32}}) {
        SCOPED_TRACE(depth);
        const Bytes clean = bytesOf(randomPicture(width, 3, depth, 7));
        std::vector<Bytes> files(2, clean);
        files[0].push_back(0);
        writeLe32(files[1].data() + 22, std::uint32_t(-3));
        for (std::size_t at = 0; at < clean.size(); ++at)
            for (const std::uint8_t flip : {0x01, 0x80}) {
                files.push_back(clean);
                files.back()[at] ^= flip;
            }
        for (const Bytes& file : files) {
            DibImage decoded;
            std::string error;
            bool same = imageio::decodeBmp(file, decoded, error) && decoded.fileSize == file.size();
            for (std::size_t at = 0; same && at < file.size(); ++at)
                same = !carried(at) || decoded.data[at] == file[at];
            EXPECT_EQ(takeOverMatchesDecoding(file), same) << &file - files.data();
        }
    }
}

} // namespace
} // namespace vellora::test
