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

DibImage modify(const DibImage& source, const HistogramRequest& request,
                std::vector<int>* progress = nullptr) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    DibImage target;
    EXPECT_EQ(modifyHistogramToImage(session, source, target, request), 0);
    if (progress) *progress = frontend.progressPositions;
    return target;
}

std::vector<std::uint32_t> colors(const DibImage& image) {
    std::vector<std::uint32_t> out;
    for (int x = 0; x < image.width; ++x)
        out.push_back(test::rgbAt(image, x, 0));
    return out;
}

DibImage row(const std::vector<std::uint32_t>& pixels) {
    return test::makeTrueColorImage(int(pixels.size()), 1,
                                    [&](int x, int) { return pixels[std::size_t(x)]; });
}

TEST(Histogram, DefaultsStretchEveryChannelByItsOwnSpan) {
    // Blue 20 … 200 (110 → trunc(90 × 255 / 180) = 127), green 0 … 255 already, red 50 … 135
    // (scale 3).
    const DibImage result = modify(row({0x320014, 0x64FF6E, 0x8780C8}), {});
    EXPECT_EQ(colors(result), std::vector<std::uint32_t>({0x000000, 0x96FF7F, 0xFF80FF}));
}

struct TableCase {
    int lo, hi, outset, endset;
    int value, expected;
};

class HistogramTables : public ::testing::TestWithParam<TableCase> {};

TEST_P(HistogramTables, ScaledFromLoAndTruncated) {
    const TableCase c = GetParam();
    EXPECT_EQ(histogramChannelTable(true, c.lo, c.hi, c.outset, c.endset)[std::size_t(c.value)],
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Spans, HistogramTables,
    ::testing::Values(TableCase{20, 200, 0, 255, 20, 0}, TableCase{20, 200, 0, 255, 110, 127},
                      TableCase{20, 200, 0, 255, 200, 255},
                      // 50 × (255 / 50) is a hair below 255 in doubles and truncates to 254
                      TableCase{50, 100, 0, 255, 100, 254}, TableCase{0, 255, 100, 100, 255, 100},
                      // values outside lo … hi (other palette entries) are clamped
                      TableCase{100, 200, 0, 255, 0, 0}, TableCase{100, 200, 0, 255, 250, 255},
                      TableCase{60, 60, 30, 90, 60, 30}));

TEST(Histogram, DisabledOrAlreadyInRangeIsTheIdentity) {
    const auto off = histogramChannelTable(false, 3, 9, 0, 255);
    const auto same = histogramChannelTable(true, 0, 255, 0, 255);
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(off[std::size_t(v)], v);
        EXPECT_EQ(same[std::size_t(v)], v);
    }
}

TEST(Histogram, ChannelAlreadySpanningTheRangeIsCopied) {
    HistogramRequest request;
    request.outset = {20, 0, 0};
    request.endset = {200, 255, 255};
    const DibImage source = row({0x0000C8, 0xFFFF14, 0x007F6E});
    EXPECT_EQ(modify(source, request).data, source.data);
}

TEST(Histogram, EqualOutsetAndEndsetMakeTheChannelConstant) {
    HistogramRequest request;
    request.outset = {100, 0, 0};
    request.endset = {100, 255, 255};
    request.enabled = {true, false, false};
    EXPECT_EQ(colors(modify(row({0x102003, 0x4050FE}), request)),
              std::vector<std::uint32_t>({0x102064, 0x405064}));
}

TEST(Histogram, UncheckedChannelsAreCopied) {
    HistogramRequest request;
    request.enabled = {false, false, true};
    // red 10 … 95 → 0 … 255; blue and green stay
    EXPECT_EQ(colors(modify(row({0x0A0D0E, 0x5FF0F1}), request)),
              std::vector<std::uint32_t>({0x000D0E, 0xFFF0F1}));
}

TEST(Histogram, SingleValueChannelTakesTheOutset) {
    HistogramRequest request;
    request.outset = {10, 0, 0};
    request.endset = {200, 255, 255};
    // Blue is 77 everywhere: no span to stretch. Green and red span 0 … 255 already.
    EXPECT_EQ(colors(modify(row({0x00004D, 0xFFFF4D}), request)),
              std::vector<std::uint32_t>({0x00000A, 0xFFFF0A}));
}

TEST(Histogram, EightBitsChangesOnlyThePaletteOnePassPerEntry) {
    const DibImage source =
        test::makeIndexedImage(6, 2, 8, {0x202020, 0x404040, 0x606060, 0x808080},
                               [](int x, int y) { return (x + y) % 4; });
    std::vector<int> progress;
    const DibImage result = modify(source, {}, &progress);
    ASSERT_EQ(result.bitsPerPixel, 8);
    EXPECT_EQ(0, std::memcmp(result.row(0), source.row(0), std::size_t(source.stride) * 2));
    // 32 … 128 → 0 … 255 in steps of 85
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(result.paletteEntry(i)[1], 85 * i);
    EXPECT_EQ(progress, std::vector<int>({25, 50, 75, 100}));
}

// Each channel's span found pixel by pixel, then every pixel through the channel tables.
std::vector<std::uint32_t> referenceStretch(const DibImage& source,
                                            const HistogramRequest& request) {
    int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x)
            for (int c = 0; c < 3; ++c) {
                const int v = int(test::rgbAt(source, x, y) >> (8 * c) & 0xFF);
                lo[c] = std::min(lo[c], v);
                hi[c] = std::max(hi[c], v);
            }
    std::vector<std::uint32_t> out;
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            std::uint32_t rgb = 0;
            for (int c = 0; c < 3; ++c) {
                const auto table = histogramChannelTable(request.enabled[std::size_t(c)], lo[c],
                                                         hi[c], request.outset[std::size_t(c)],
                                                         request.endset[std::size_t(c)]);
                const int v = int(test::rgbAt(source, x, y) >> (8 * c) & 0xFF);
                rgb |= std::uint32_t(table[std::size_t(v)]) << (8 * c);
            }
            out.push_back(rgb);
        }
    return out;
}

TEST(Histogram, WideRowsFindEachChannelsExtremesWhereverTheyLie) {
    // 53 pixels a row: three whole 16-pixel blocks and a 5-pixel tail. Each extreme sits at a
    // different place: blue's minimum in the tail, green's maximum in the first block, red's
    // minimum on a block's last pixel, the rest near the middle.
    DibImage source = test::makeTrueColorImage(53, 3, [](int x, int y) {
        return 0x404040u + std::uint32_t((x * 7 + y * 13) % 64) * 0x010101u;
    });
    const auto put = [&](int x, int y, int c, std::uint8_t v) { source.row(y)[3 * x + c] = v; };
    put(50, 2, 0, 3);   // blue minimum, in the tail
    put(31, 1, 0, 250); // blue maximum
    put(2, 0, 1, 241);  // green maximum, first block
    put(20, 2, 1, 17);  // green minimum
    put(47, 1, 2, 9);   // red minimum, last pixel of the third block
    put(52, 0, 2, 199); // red maximum, last pixel of the row
    HistogramRequest request;
    request.outset = {10, 0, 30};
    request.endset = {240, 255, 220};
    const DibImage result = modify(source, request);
    std::vector<std::uint32_t> got;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 53; ++x)
            got.push_back(test::rgbAt(result, x, y));
    EXPECT_EQ(got, referenceStretch(source, request));
    // The extremes themselves land on the ends of the requested ranges.
    EXPECT_EQ(result.row(2)[3 * 50], 10);
    EXPECT_EQ(result.row(0)[3 * 2 + 1], 255);
    EXPECT_EQ(result.row(1)[3 * 47 + 2], 30);
}

TEST(Histogram, ThirtyTwoBitsKeepsDepthWithZeroFourthBytes) {
    DibImage source = test::makeImage(2, 1, 32);
    const std::uint8_t a[3] = {10, 20, 30}, b[3] = {95, 105, 115};
    setColor(source, a, 0, 0, 32);
    setColor(source, b, 0, 1, 32);
    source.row(0)[3] = source.row(0)[7] = 0x99;
    const DibImage result = modify(source, {});
    ASSERT_EQ(result.bitsPerPixel, 32);
    EXPECT_EQ(colors(result), std::vector<std::uint32_t>({0x000000, 0xFFFFFF}));
    EXPECT_EQ(result.row(0)[3], 0);
    EXPECT_EQ(result.row(0)[7], 0);
}

TEST(Histogram, BlockFieldsAreRedGreenBlue) {
    ParameterBlock block = defaultParameterBlock();
    block.histEnabled[1] = 0;
    block.histOutset[0] = 7;
    block.histEndset[2] = 99;
    const HistogramRequest request = histogramRequest(block);
    EXPECT_EQ(request.enabled, (std::array<bool, 3>{true, false, true}));
    EXPECT_EQ(request.outset, (std::array<int, 3>{0, 0, 7}));
    EXPECT_EQ(request.endset, (std::array<int, 3>{99, 255, 255}));
}

struct ValuesCase {
    std::array<std::int64_t, 3> outset, endset;
    std::string_view message;
};

class HistogramDialogValues : public ::testing::TestWithParam<ValuesCase> {};

TEST_P(HistogramDialogValues, RedGreenBlueOutsetBeforeEndset) {
    EXPECT_EQ(histogramValuesError(GetParam().outset, GetParam().endset), GetParam().message);
}

constexpr std::string_view kRange = "out of range which must be 0 ~ 255";
constexpr std::string_view kOrder = "outset must be smaller than endset";

INSTANTIATE_TEST_SUITE_P(Rules, HistogramDialogValues,
                         ::testing::Values(ValuesCase{{0, 0, 0}, {255, 255, 255}, ""},
                                           ValuesCase{{5, 5, 5}, {5, 5, 5}, ""},
                                           ValuesCase{{0, 0, 0}, {255, 256, 255}, kRange},
                                           ValuesCase{{0, -1, 0}, {255, 255, 255}, kRange},
                                           ValuesCase{{9, 0, 0}, {8, 255, 255}, kOrder},
                                           // red's order fails before blue's range is looked at
                                           ValuesCase{{9, 0, 0}, {8, 255, 300}, kOrder}));

TEST(HistogramCommand, UncheckedGreenIsLeftAlone) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, row({0x102030, 0x506070}));
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.histEnabled[1] = 0;
    ASSERT_EQ(runCommandHandler(session, histogramHandler), 0);
    EXPECT_EQ(colors(test::readImage(session.currentPath)),
              std::vector<std::uint32_t>({0x002000, 0xFF60FF}));
}

TEST(HistogramCommand, OutsetAboveEndsetIsRefused) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, row({0x102030}));
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.histOutset[2] = 200;
    session.workingBlock.histEndset[2] = 100;
    EXPECT_EQ(runCommandHandler(session, histogramHandler), 1);
    EXPECT_EQ(frontend.messages, (std::vector<test::Message>{
                                     {"alart", std::string(kOrder)},
                                     {"error", "failed to modify the histogram of the image"}}));
}

} // namespace
} // namespace vellora
