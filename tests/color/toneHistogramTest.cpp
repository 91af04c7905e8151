#include "color/colorTestImages.h"
#include "color/histogramModify.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace vellora {
namespace {

using test::rgbAt;
using Colors = std::vector<std::uint32_t>;

DibImage modify(const DibImage& source, const HistogramRequest& request,
                std::vector<int>* progress = nullptr) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    DibImage target;
    EXPECT_EQ(modifyHistogramToImage(session, source, target, request), 0);
    if (progress) *progress = frontend.progressPositions;
    return target;
}

DibImage row(const Colors& pixels) {
    return test::makeTrueColorImage(int(pixels.size()), 1, [&](int x, int) { return pixels[x]; });
}

TEST(Histogram, ChannelTablesScaleFromLoAndTruncate) {
    // lo, hi, outset, endset, value, result
    const int cases[][6] = {{20, 200, 0, 255, 20, 0},
                            {20, 200, 0, 255, 110, 127},
                            {20, 200, 0, 255, 200, 255},
                            // 50 × (255 / 50) is a hair below 255 in doubles and truncates to 254
                            {50, 100, 0, 255, 100, 254},
                            {0, 255, 100, 100, 255, 100},
                            // values outside lo … hi (other palette entries) are clamped
                            {100, 200, 0, 255, 0, 0},
                            {100, 200, 0, 255, 250, 255},
                            {60, 60, 30, 90, 60, 30}};
    for (const auto& [lo, hi, outset, endset, value, result] : cases)
        EXPECT_EQ(histogramChannelTable(true, lo, hi, outset, endset)[value], result)
            << lo << " " << hi << " " << value;
    const auto off = histogramChannelTable(false, 3, 9, 0, 255);
    const auto same = histogramChannelTable(true, 0, 255, 0, 255);
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(off[v], v);
        EXPECT_EQ(same[v], v);
    }
}

TEST(Histogram, HandWorkedRows) {
    const struct {
        HistogramRequest request;
        Colors source, expected;
    } cases[] = {
        // Blue 20 … 200 (110 → trunc(90 × 255 / 180) = 127), green spans already, red 50 … 135.
        {{}, {0x320014, 0x64FF6E, 0x8780C8}, {0x000000, 0x96FF7F, 0xFF80FF}},
        // Every channel already spans its range: copied.
        {{{true, true, true}, {20, 0, 0}, {200, 255, 255}},
         {0x0000C8, 0xFFFF14, 0x007F6E},
         {0x0000C8, 0xFFFF14, 0x007F6E}},
        // Equal outset and endset make blue constant; green and red unchecked.
        {{{true, false, false}, {100, 0, 0}, {100, 255, 255}},
         {0x102003, 0x4050FE},
         {0x102064, 0x405064}},
        // Only red checked: 10 … 95 → 0 … 255.
        {{{false, false, true}, {0, 0, 0}, {255, 255, 255}},
         {0x0A0D0E, 0x5FF0F1},
         {0x000D0E, 0xFFF0F1}},
        // Blue is 77 everywhere: no span to stretch, it takes the outset.
        {{{true, true, true}, {10, 0, 0}, {200, 255, 255}},
         {0x00004D, 0xFFFF4D},
         {0x00000A, 0xFFFF0A}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(test::rowColors(modify(row(c.source), c.request)), c.expected);
}

TEST(Histogram, IndexedChangesOnlyThePaletteAndThirtyTwoBitsZeroFourthBytes) {
    const DibImage indexed =
        test::makeIndexedImage(6, 2, 8, {0x202020, 0x404040, 0x606060, 0x808080},
                               [](int x, int y) { return (x + y) % 4; });
    std::vector<int> progress;
    const DibImage result = modify(indexed, {}, &progress);
    ASSERT_EQ(result.bitsPerPixel, 8);
    EXPECT_EQ(0, std::memcmp(result.row(0), indexed.row(0), std::size_t(indexed.stride) * 2));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(result.paletteEntry(i)[1], 85 * i);         // 32 … 128 → 0 … 255
    EXPECT_EQ(progress, std::vector<int>({25, 50, 75, 100})); // one pass per entry
    DibImage wide = test::makeImage(2, 1, 32);
    const std::uint8_t a[3] = {10, 20, 30}, b[3] = {95, 105, 115};
    setColor(wide, a, 0, 0, 32);
    setColor(wide, b, 0, 1, 32);
    wide.row(0)[3] = wide.row(0)[7] = 0x99;
    const DibImage stretched = modify(wide, {});
    ASSERT_EQ(stretched.bitsPerPixel, 32);
    EXPECT_EQ(test::rowColors(stretched), Colors({0x000000, 0xFFFFFF}));
    EXPECT_EQ(stretched.row(0)[3], 0);
    EXPECT_EQ(stretched.row(0)[7], 0);
}

// 53 pixels: three 16-pixel blocks and a tail; blue's extremes at the end of the second block
// and in the last pixel must be found: 128 → trunc(118 × 255 / 190) = 158.
TEST(Histogram, WideRowFindsTheExtremesInBlocksAndTail) {
    Colors pixels(53, 0x808080), expected(53, 0x80809E);
    pixels[31] = 0x8080C8, pixels[52] = 0x80800A;
    expected[31] = 0x8080FF, expected[52] = 0x808000;
    EXPECT_EQ(
        test::rowColors(modify(row(pixels), {{true, false, false}, {0, 0, 0}, {255, 255, 255}})),
        expected);
}

TEST(HistogramDialog, RedGreenBlueOutsetBeforeEndset) {
    ParameterBlock block = defaultParameterBlock();
    block.histEnabled[1] = 0;
    block.histOutset[0] = 7;
    block.histEndset[2] = 99;
    const HistogramRequest request = histogramRequest(block); // the block is red, green, blue
    EXPECT_EQ(request.enabled, (std::array<bool, 3>{true, false, true}));
    EXPECT_EQ(request.outset, (std::array<int, 3>{0, 0, 7}));
    EXPECT_EQ(request.endset, (std::array<int, 3>{99, 255, 255}));
    const std::string_view range = "out of range which must be 0 ~ 255";
    const std::string_view order = "outset must be smaller than endset";
    const struct {
        std::array<std::int64_t, 3> outset, endset;
        std::string_view message;
    } cases[] = {{{0, 0, 0}, {255, 255, 255}, ""},
                 {{5, 5, 5}, {5, 5, 5}, ""},
                 {{0, 0, 0}, {255, 256, 255}, range},
                 {{0, -1, 0}, {255, 255, 255}, range},
                 {{9, 0, 0}, {8, 255, 255}, order},
                 {{9, 0, 0}, {8, 255, 300}, order}}; // red's order before blue's range
    for (const auto& c : cases)
        EXPECT_EQ(histogramValuesError(c.outset, c.endset), c.message);
}

TEST(HistogramCommand, UncheckedGreenIsLeftAloneAndOutsetAboveEndsetIsRefused) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, row({0x102030, 0x506070}));
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.histEnabled[1] = 0;
    ASSERT_EQ(runCommandHandler(session, histogramHandler), 0);
    EXPECT_EQ(test::rowColors(test::readImage(session.currentPath)), Colors({0x002000, 0xFF60FF}));
    const std::string before = session.currentPath;
    session.workingBlock.histOutset[2] = 200;
    session.workingBlock.histEndset[2] = 100;
    EXPECT_EQ(runCommandHandler(session, histogramHandler), 1);
    EXPECT_EQ(session.currentPath, before);
    EXPECT_EQ(frontend.messages, (std::vector<test::Message>{
                                     {"alart", "outset must be smaller than endset"},
                                     {"error", "failed to modify the histogram of the image"}}));
}

} // namespace
} // namespace vellora
