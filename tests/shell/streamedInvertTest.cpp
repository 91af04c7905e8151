// Streamed invert writes what inverting the whole picture gives, or leaves all it cannot alone.
#include "shell/streamedInvert.h"

#include "color/invert.h"
#include "core/dibImage.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

namespace vellora {
namespace {

using test::readFileBytes;
using test::writeFileBytes;
using Bytes = std::vector<std::uint8_t>;

// A random 24 bpp picture's file with an unusual resolution and its padding set, to be cleared.
Bytes pictureFile(int width, int height, DibImage& picture) {
    picture = test::randomPicture(width, height, 24, unsigned(width * height));
    Bytes file(picture.data.begin(), picture.data.begin() + picture.fileSize);
    file[38] = 7;
    const std::size_t rowBytes = 3 * std::size_t(width);
    for (int y = 0; y < height; ++y)
        for (std::size_t i = rowBytes; i < std::size_t(picture.stride); ++i)
            file[picture.bitsOffset + std::size_t(y) * picture.stride + i] = 0xA5;
    return file;
}

TEST(StreamedInvert, WritesTheBytesOfTheWholePictureInverted) {
    // Widths 1 … 4 give every amount of row padding; 700 × 600 rows fill several pieces.
    for (const auto& [width, height] : {std::pair{1, 3}, {2, 2}, {3, 5}, {4, 1}, {700, 600}}) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        const test::TempDir folder("streamed");
        test::RecordingFrontend frontend;
        Session session(frontend);
        DibImage picture;
        writeFileBytes(folder / "in.bmp", pictureFile(width, height, picture));
        ASSERT_TRUE(invertFileStreamed(session, (folder / "in.bmp").string(),
                                       (folder / "out.bmp").string()));
        DibImage inverted;
        ASSERT_EQ(invertToImage(session, picture, inverted, 0), 0);
        const Bytes expected(inverted.data.begin(), inverted.data.begin() + inverted.fileSize);
        ASSERT_EQ(readFileBytes(folder / "out.bmp"), expected);
        EXPECT_EQ(test::rgbAt(test::readImage(folder / "out.bmp"), width - 1, 0),
                  0xFFFFFFu - test::rgbAt(picture, width - 1, 0));
    }
}

TEST(StreamedInvert, LeavesWhatCannotStreamToTheUsualWay) {
    DibImage picture;
    const Bytes plain = pictureFile(5, 4, picture);
    Bytes trailing = plain, topDown = plain, truncated = plain;
    trailing.push_back(0);
    topDown[22] = 0xFC; // a height of -4: rows stored top-down
    topDown[23] = topDown[24] = topDown[25] = 0xFF;
    truncated.pop_back();
    const DibImage gray = test::randomPicture(5, 4, 8, 3);
    const Bytes indexed(gray.data.begin(), gray.data.begin() + gray.fileSize);
    struct Case {
        const char* what;
        const Bytes& input;
        std::uint32_t depthIndex;
        const char* output;
    };
    for (const Case& c :
         {Case{"trailing bytes", trailing, 0, "out.bmp"}, Case{"top-down", topDown, 0, "out.bmp"},
          Case{"truncated", truncated, 0, "out.bmp"}, Case{"8 bpp", indexed, 0, "out.bmp"},
          Case{"to 32 bpp", plain, 2, "out.bmp"}, Case{"to PNG", plain, 0, "out.png"}}) {
        SCOPED_TRACE(c.what);
        const test::TempDir folder("streamed");
        test::RecordingFrontend frontend;
        Session session(frontend);
        session.workingBlock.invertDepthIndex = c.depthIndex;
        writeFileBytes(folder / "in.bmp", c.input);
        writeFileBytes(folder / c.output, {1, 2, 3});
        EXPECT_FALSE(invertFileStreamed(session, (folder / "in.bmp").string(),
                                        (folder / c.output).string()));
        EXPECT_EQ(readFileBytes(folder / c.output), (Bytes{1, 2, 3}));
        EXPECT_FALSE(invertFileStreamed(session, (folder / "missing.bmp").string(),
                                        (folder / c.output).string()));
    }
}

} // namespace
} // namespace vellora
