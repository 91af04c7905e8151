// The test pictures (tests/data/corpus): what each set is documented to give.
#include "imageioTestSupport.h"

#include "imageio/pictureHelpers.h"
#include "imageio/pictureLibrary.h"
#include "imageio/pictureLimits.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

// Every file: either a well-formed picture whose probe agrees with it, or a clear refusal; and
// the probe of the file, which reads only its head, answers as the probe of the whole file does.
// Loading a file, which takes a plain bitmap's block over, gives what decoding it gives.
TEST(Corpus, EveryFileLoadsOrFailsWithAReason) {
    int loaded = 0, refused = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpusPath(""))) {
        if (!entry.is_regular_file()) continue;
        SCOPED_TRACE(entry.path().string());
        const std::vector<std::uint8_t> bytes = readFileBytes(entry.path());
        imageio::PictureInfo info, fromMemory;
        std::string error, memoryError;
        const bool probed = imageio::probePictureFile(entry.path(), info, error);
        EXPECT_EQ(probed, imageio::probePictureFromMemory(bytes.data(), bytes.size(), fromMemory,
                                                          memoryError));
        EXPECT_EQ(std::tuple(error, info.width, info.height, info.bitsPerPixel, info.format),
                  std::tuple(memoryError, fromMemory.width, fromMemory.height,
                             fromMemory.bitsPerPixel, fromMemory.format));
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
// like: the one of its own name unless named (an editor keeps non-square pixels as stored; a
// cut-off run-length stream leaves index 0, "-0"); a channel of 7, 6 or 1 bits may round either
// way. A picture says it uses the colours its header's field gives (none past 256, all of an
// 8-bit table), 0 (all) when its header is too short to hold the field.
TEST(Corpus, BitmapsMatchTheirReferencePictures) {
    struct BmpGood {
        const char* reference; // nullptr: each file's own name
        int depth;
        std::vector<std::string> files;
        int rounding = 0;
    };
    const BmpGood goodBitmaps[] = {
        {nullptr, 1, {"g/pal1", "g/pal1bg", "q/pal1p1"}},
        {nullptr, 4, {"q/pal2", "q/pal2color", "g/pal4", "g/pal4gs"}},
        {nullptr, 8, {"g/pal8", "g/pal8gs", "g/pal8w124", "g/pal8w125", "g/pal8w126"}},
        {nullptr, 24, {"g/rgb16-565", "g/rgb16", "q/rgb16-231", "q/rgb16-3103", "q/rgba16-1924"}},
        {nullptr, 24, {"q/rgba16-4444", "q/rgba16-5551", "g/rgb24", "q/rgba32-1010102"}},
        {nullptr, 24, {"q/rgb32-7187", "q/rgba32-61754", "q/rgba32-81284"}, 1},
        {"pal1", 1, {"g/pal1wb"}},
        {"pal4", 4, {"g/pal4rle"}},
        {"pal4rlecut-0", 4, {"q/pal4rlecut"}},
        {"pal4rletrns-0", 4, {"q/pal4rletrns"}},
        {"pal8",
         8,
         {"g/pal8-0", "g/pal8os2", "g/pal8rle", "g/pal8topdown", "g/pal8v4", "g/pal8v5"}},
        {"pal8",
         8,
         {"q/pal8os2v2-16", "q/pal8os2v2", "q/pal8os2-sz", "q/pal8os2sp", "q/pal8os2-hs"}},
        {"pal8", 8, {"q/pal8os2v2-40sz", "q/pal8offs", "q/pal8oversizepal"}},
        {"pal8nonsquare-e", 8, {"g/pal8nonsquare"}},
        {"pal8rlecut-0", 8, {"q/pal8rlecut"}},
        {"pal8rletrns-0", 8, {"q/pal8rletrns"}},
        {"rgb16-565", 24, {"g/rgb16-565pal"}},
        {"rgb16", 24, {"g/rgb16bfdef"}},
        {"rgb24", 24, {"g/rgb24pal", "q/rgb24largepal", "q/rgb24lprof", "q/rgb24prof"}},
        {"rgb24", 24, {"q/rgb24png", "g/rgb32bf", "q/rgb32h52", "q/rgb32-xbgr"}},
        {"rgb24", 24, {"q/rgb32-111110"}, 1},
        {"rgb24", 32, {"g/rgb32", "g/rgb32bfdef"}},
        {"rgba32", 24, {"q/rgba32-1", "q/rgba32-2", "q/rgba32abf", "q/rgba32h56"}},
    };
    for (const BmpGood& good : goodBitmaps)
        for (const std::string& file : good.files) {
            SCOPED_TRACE(file);
            const fs::path path = corpusPath("bmp/" + file + ".bmp");
            const DibImage image = loadOrFail(path);
            const std::string name = good.reference ? good.reference : file.substr(2);
            const DibImage reference = loadOrFail(corpusPath("bmp/reference/" + name + ".png"));
            EXPECT_EQ(image.bitsPerPixel, good.depth);
            EXPECT_LE(compareColors(image, reference).maximum, good.rounding);
            const std::vector<std::uint8_t> bytes = readFileBytes(path);
            const std::uint32_t used = readLe32(&bytes[14]) >= 36 ? readLe32(&bytes[46]) : 0;
            EXPECT_EQ(image.colorsUsed, used <= 256 ? used : good.depth == 8 ? 256u : 0u);
        }
}

// The rest of the "bad" set opens (the whole-corpus test holds it to a well-formed picture).
TEST(Corpus, BadBitmapsAreRefusedForTheirFault) {
    const std::pair<const char*, const char*> refused[] = {
        {"reallybig", imageio::kTooLargeText},
        {"shortfile", "the bitmap file is truncated"},
        {"badbitcount", "the bitmap file has an unsupported number of bits per pixel"},
        {"badplanes", "the bitmap file is damaged"},
        {"badheadersize", "the bitmap file is damaged"},
        {"badwidth", "the bitmap file is damaged"},
        {"rletopdown", "the bitmap file uses a compression that is not supported"}};
    for (const auto& [name, reason] : refused)
        EXPECT_EQ(refusal(readFileBytes(corpusPath(std::string("bmp/b/") + name + ".bmp"))),
                  reason);
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
            if (!fs::exists(interlaced)) continue;
            const DibImage other = loadOrFail(interlaced);
            EXPECT_EQ(std::tuple(other.bitsPerPixel, compareColors(plain, other).maximum),
                      std::tuple(depth, 0))
                << interlaced;
        }
    }
}

// Each colour JPEG against testorig.ppm, turned upright for the one that says it is turned; a
// gray one opens as 8 bits with a ramp; a 12-bit one is refused cleanly; one wrapped in a bitmap
// shows as the file it wraps.
TEST(Corpus, JpegsDecodeCloseToTheOriginal) {
    const DibImage original = readPpm(corpusPath("jpeg/testorig.ppm"));
    DibImage turned;
    std::string error;
    ASSERT_TRUE(imageio::rotateFlip(original, turned, 1, 0, error));
    const std::tuple<const char*, bool, double> cases[] = {
        {"testorig.jpg", false, 1.0},   {"testimgari.jpg", false, 1.0},
        {"testimgint.jpg", false, 1.5}, {"progressive.jpg", false, 1.5},
        {"cmyk.jpg", false, 3.0},       {"orientation6.jpg", true, 2.0},
    };
    for (const auto& [file, sideways, meanLimit] : cases) {
        SCOPED_TRACE(file);
        const DibImage image = loadOrFail(corpusPath(std::string("jpeg/") + file));
        const DibImage& expected = sideways ? turned : original;
        ASSERT_EQ(std::tuple(image.width, image.height, image.bitsPerPixel),
                  std::tuple(expected.width, expected.height, 24));
        EXPECT_LT(compareColors(image, expected).mean, meanLimit);
    }
    const DibImage gray = loadOrFail(corpusPath("jpeg/gray.jpg"));
    EXPECT_EQ(std::tuple(gray.width, gray.height, imageio::isGrayRamp(gray)),
              std::tuple(227, 149, true));
    refusal(readFileBytes(corpusPath("jpeg/monkey12.jpg")));
    const DibImage wrapped = loadOrFail(corpusPath("bmp/q/rgb24jpeg.bmp"));
    EXPECT_LT(compareColors(wrapped, loadOrFail(corpusPath("bmp/reference/rgb24.jpg"))).mean, 1.0);
}

// Each GIF opens at its table's depth: 8 colours (gifgrid) or 16 (treescap) as 4 bpp, 32 as 8.
TEST(Corpus, GifsOpenAtTheirTablesDepth) {
    for (const auto& [file, depth] : {std::pair{"gifgrid", 4}, {"treescap", 4}, {"porsche", 8}})
        EXPECT_EQ(loadOrFail(corpusPath(std::string("gif/") + file + ".gif")).bitsPerPixel, depth)
            << file;
}

} // namespace
} // namespace vellora::test
