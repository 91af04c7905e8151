// The test pictures (tests/data/corpus): what each set is documented to give.
#include "imageioTestSupport.h"

#include "imageio/pictureHelpers.h"
#include "imageio/pictureLibrary.h"
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

// The "good" bitmap set, each against the picture it must look like (an editor keeps
// non-square pixels as stored), and three of the questionable set: OS/2's 16-byte header and
// the 52-byte one, which are rarer, and a wrapped PNG (a wrapped JPEG is with the JPEGs). OS/2
// headers have no colours-used field: such a picture says it uses all of its table.
TEST(Corpus, GoodBitmapsMatchTheirReferencePictures) {
    struct BmpGood {
        const char* reference;
        int depth;
        std::vector<std::string> files;
    };
    const BmpGood goodBitmaps[] = {
        {"pal1", 1, {"pal1", "pal1wb"}},
        {"pal1bg", 1, {"pal1bg"}},
        {"pal4", 4, {"pal4", "pal4rle"}},
        {"pal4gs", 4, {"pal4gs"}},
        {"pal8", 8, {"pal8-0", "pal8", "pal8os2", "pal8rle", "pal8topdown", "pal8v4", "pal8v5"}},
        {"pal8", 8, {"../q/pal8os2v2-16"}},
        {"pal8gs", 8, {"pal8gs"}},
        {"pal8nonsquare-e", 8, {"pal8nonsquare"}},
        {"pal8w124", 8, {"pal8w124"}},
        {"pal8w125", 8, {"pal8w125"}},
        {"pal8w126", 8, {"pal8w126"}},
        {"rgb16-565", 24, {"rgb16-565", "rgb16-565pal"}},
        {"rgb16", 24, {"rgb16", "rgb16bfdef"}},
        {"rgb24", 24, {"rgb24", "rgb24pal", "rgb32bf", "../q/rgb32h52", "../q/rgb24png"}},
        {"rgb24", 32, {"rgb32", "rgb32bfdef"}},
    };
    for (const BmpGood& good : goodBitmaps) {
        const DibImage reference =
            loadOrFail(corpusPath(std::string("bmp/reference/") + good.reference + ".png"));
        for (const std::string& file : good.files) {
            SCOPED_TRACE(file);
            const DibImage image = loadOrFail(corpusPath("bmp/g/" + file + ".bmp"));
            EXPECT_EQ(std::tuple(image.bitsPerPixel, compareColors(image, reference).maximum),
                      std::tuple(good.depth, 0));
            if (file.find("os2") != std::string::npos) EXPECT_EQ(image.colorsUsed, 0u);
        }
    }
}

// The "bad" bitmap set is covered by the whole-corpus test; these must be refused outright.
TEST(Corpus, HugeAndTruncatedBitmapsAreRefused) {
    for (const char* name : {"reallybig", "shortfile", "badbitcount", "badplanes", "badheadersize",
                             "badwidth", "rletopdown"})
        refusal(readFileBytes(corpusPath(std::string("bmp/b/") + name + ".bmp")));
}

struct PngDepth {
    const char* file;
    int depth;
};

// Depth each PNG colour type opens as (all are 32 × 32).
constexpr PngDepth kPngDepths[] = {
    {"basn0g01", 1},   {"basn0g02", 4},  {"basn0g04", 4},   {"basn0g08", 8},  {"basn0g16", 8},
    {"basn2c08", 24},  {"basn2c16", 24}, {"basn3p01", 1},   {"basn3p02", 4},  {"basn3p04", 4},
    {"basn3p08", 8},   {"basn4a08", 24}, {"basn4a16", 24},  {"basn6a08", 24}, {"basn6a16", 24},
    {"ftbbn3p08", 24}, {"ftp0n3p08", 8}, {"ftp1n3p08", 24},
};

// Interlacing changes nothing.
TEST(Corpus, PngsOpenAtTheirDepth) {
    for (const auto& [file, depth] : kPngDepths) {
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

TEST(Corpus, PngGrayRampsAndAlphaOverWhite) {
    DibImage nearly = loadOrFail(corpusPath("png/basn0g08.png"));
    nearly.paletteEntry(0)[2] = 1; // a ramp but for its first entry
    EXPECT_FALSE(imageio::isGrayRamp(nearly));
    const DibImage alpha = loadOrFail(corpusPath("png/basn6a08.png"));
    // basn6a08's alpha runs from 0 at the left: its first column is pure white over white.
    for (int y = 0; y < alpha.height; ++y)
        EXPECT_EQ(screenRgb(alpha, 0, y), 0xFFFFFFu);
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

// Each GIF opens with its screen size and its table's depth; interlacing changes no pixel.
TEST(Corpus, GifsOpenWithTheScreenSizeAndTableDepth) {
    const std::tuple<const char*, int, int, int> gifs[] = {
        {"fire.gif", 30, 60, 8},      {"gifgrid.gif", 100, 100, 4},
        {"porsche.gif", 320, 200, 8}, {"solid2.gif", 640, 400, 8},
        {"treescap.gif", 40, 40, 4},  {"welcome2.gif", 290, 48, 8},
        {"x-trans.gif", 100, 100, 8}, {"treescap-interlaced.gif", 40, 40, 4}};
    const auto open = [](const std::string& file) { return loadOrFail(corpusPath("gif/" + file)); };
    for (const auto& [file, width, height, depth] : gifs) {
        const DibImage image = open(file);
        EXPECT_EQ(std::tuple(image.width, image.height, image.bitsPerPixel),
                  std::tuple(width, height, depth))
            << file;
    }
    EXPECT_EQ(compareColors(open("treescap.gif"), open("treescap-interlaced.gif")).maximum, 0);
}

} // namespace
} // namespace vellora::test
