#include "color/blackWhite.h"
#include "color/colorTestImages.h"
#include "color/grayScale.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <vector>

namespace vellora {
namespace {

// Row y as seen: 1 white, 0 black.
std::vector<int> whites(const DibImage& image, int y = 0) {
    std::vector<int> out;
    for (const std::uint32_t rgb : test::rowColors(image, y))
        out.push_back(rgb == 0xFFFFFFu);
    return out;
}

DibImage binarize(const DibImage& source, const BlackWhiteRequest& request) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    DibImage result;
    EXPECT_EQ(blackWhiteToImage(session, source, result, request), 0);
    EXPECT_EQ(result.bitsPerPixel, 1);
    EXPECT_TRUE(frontend.messages.empty());
    return result;
}

BlackWhiteRequest byThreshold(int threshold, bool diffusion = false) {
    BlackWhiteRequest request;
    request.medianCut = false;
    request.threshold = threshold;
    request.diffusion = diffusion;
    return request;
}

TEST(BlackWhite, HandWorkedRows) {
    const struct {
        std::vector<int> grays;
        BlackWhiteRequest request;
        std::vector<int> whites;
    } cases[] = {
        {{10, 200, 60, 150, 100}, {}, {0, 1, 0, 1, 0}}, // median cut: the mean 105 splits
        {{0, 127, 128, 254, 255}, byThreshold(0), {1, 1, 1, 1, 1}}, // white at or above
        {{0, 127, 128, 254, 255}, byThreshold(255), {0, 0, 0, 0, 1}},
        {{0, 127, 128, 254, 255}, byThreshold(128), {0, 0, 1, 1, 1}},
        // Diffusion decides at 128 whatever the threshold: 100 → black, +44 → 144 white,
        // −48 → 52 black, +23 → 123 black.
        {{100, 100, 100, 100}, byThreshold(0, true), {0, 1, 0, 0}},
        {{100, 100, 100, 100}, byThreshold(200, true), {0, 1, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(whites(binarize(test::grayRows(c.grays), c.request)), c.whites);
    // Pure green (150) and pure blue (27) from a palette: the mean 88.5 splits them.
    EXPECT_EQ(whites(binarize(test::makeIndexedImage(4, 1, 4, {0x00FF00, 0x0000FF},
                                                     [](int x, int) { return x % 2; }),
                              {})),
              std::vector<int>({1, 0, 1, 0}));
    // Uniform black keeps index 1 with the palette white, black.
    const DibImage black = binarize(test::grayRows({0, 0, 0, 0}, 3), {});
    EXPECT_EQ(black.paletteEntry(0)[0], 255);
    EXPECT_EQ(black.paletteEntry(1)[0], 0);
    std::uint8_t index = 0;
    getIndex(black, index, 2, 3, 1);
    EXPECT_EQ(index, 1);
}

TEST(BlackWhite, StretchMapsTheGraysOntoOutsetEndset) {
    BlackWhiteRequest request = byThreshold(101);
    request.stretch = true;
    request.outset = request.endset = 100; // every gray becomes 100, below the threshold
    EXPECT_EQ(whites(binarize(test::grayRows({0, 40, 255}), request)), std::vector<int>({0, 0, 0}));
    // colours used 3: entries 20, 100, 200 → 10 … 190 by (v − 20) × 1 + 10
    DibImage image = test::makeIndexedImage(2, 1, 4, {0x141414, 0x646464, 0xC8C8C8},
                                            [](int x, int) { return x; });
    stretchGrayPalette(image, 10, 190);
    EXPECT_EQ(image.paletteEntry(0)[0], 10);
    EXPECT_EQ(image.paletteEntry(1)[2], 90);
    EXPECT_EQ(image.paletteEntry(2)[1], 190);
    EXPECT_EQ(image.paletteEntry(3)[0], 0); // beyond the colours used
    // A single gray takes the outset instead of dividing by zero.
    DibImage single =
        test::makeIndexedImage(2, 1, 1, {0x323232, 0x323232}, [](int x, int) { return x; });
    stretchGrayPalette(single, 10, 200);
    EXPECT_EQ(single.paletteEntry(0)[0], 10);
    EXPECT_EQ(single.paletteEntry(1)[0], 10);
}

TEST(BlackWhiteDialog, RangeThenOrderAndTheCommandRefuses) {
    const std::string_view range = "out of range, which must be 0 ~ 255";
    const std::string_view order = "outset must be smaller than endset";
    const struct {
        std::int64_t threshold, outset, endset;
        std::string_view message;
    } cases[] = {{300, 1, 255, range}, {-1, 1, 255, range}, {128, 256, 255, range},
                 {128, 9, 8, order},   {128, 9, 9, ""},     {255, 0, 255, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(blackWhiteValuesError(c.threshold, c.outset, c.endset), c.message) << c.threshold;
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, test::grayRows({1, 2, 3}));
    const std::string before = session.currentPath;
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.bwThreshold = 300;
    EXPECT_EQ(runCommandHandler(session, blackWhiteHandler), 1);
    EXPECT_EQ(session.currentPath, before);
    EXPECT_EQ(frontend.messages, (std::vector<test::Message>{{"alart", std::string(range)}}));
}

} // namespace
} // namespace vellora
