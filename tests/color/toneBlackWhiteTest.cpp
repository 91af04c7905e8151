#include "color/blackWhite.h"
#include "color/grayScale.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace vellora {
namespace {

DibImage grays(const std::vector<int>& values, int height = 1) {
    return test::makeTrueColorImage(int(values.size()), height, [&](int x, int) {
        return std::uint32_t(values[std::size_t(x)]) * 0x010101u;
    });
}

// The colours (0 black, 1 white as seen) of row 0.
std::vector<int> whites(const DibImage& image, int y = 0) {
    std::vector<int> out;
    for (int x = 0; x < image.width; ++x)
        out.push_back(test::rgbAt(image, x, y) == 0xFFFFFFu ? 1 : 0);
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

TEST(BlackWhite, MedianCutSplitsAtTheMeanGray) {
    // Mean 105: 10, 60 and 100 are below.
    const DibImage result = binarize(grays({10, 200, 60, 150, 100}), {});
    EXPECT_EQ(whites(result), std::vector<int>({0, 1, 0, 1, 0}));
    EXPECT_EQ(test::rgbAt(result, 0, 0), 0u);
    EXPECT_EQ(result.paletteEntry(0)[0], 0);
    EXPECT_EQ(result.paletteEntry(1)[0], 255);
}

TEST(BlackWhite, UniformBlackStaysBlackWithThePaletteWhiteBlack) {
    const DibImage result = binarize(grays({0, 0, 0, 0}, 3), {});
    EXPECT_EQ(result.paletteEntry(0)[0], 255);
    EXPECT_EQ(result.paletteEntry(1)[0], 0);
    std::uint8_t index = 0;
    getIndex(result, index, 2, 3, 1);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(whites(result, 2), std::vector<int>({0, 0, 0, 0}));
}

struct ThresholdCase {
    int threshold;
    std::vector<int> expected;
};

class Thresholds : public ::testing::TestWithParam<ThresholdCase> {};

TEST_P(Thresholds, WhiteAtOrAboveTheThreshold) {
    BlackWhiteRequest request;
    request.medianCut = false;
    request.threshold = GetParam().threshold;
    EXPECT_EQ(whites(binarize(grays({0, 127, 128, 254, 255}), request)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, Thresholds,
                         ::testing::Values(ThresholdCase{0, {1, 1, 1, 1, 1}},
                                           ThresholdCase{255, {0, 0, 0, 0, 1}},
                                           ThresholdCase{128, {0, 0, 1, 1, 1}}));

TEST(BlackWhite, DiffusionDecidesAtOneHundredTwentyEight) {
    // 100 → black, +44 → 144 white, −48 → 52 black, +23 → 123 black.
    for (const int threshold : {0, 200}) {
        BlackWhiteRequest request;
        request.medianCut = false;
        request.threshold = threshold;
        request.diffusion = true;
        EXPECT_EQ(whites(binarize(grays({100, 100, 100, 100}), request)),
                  std::vector<int>({0, 1, 0, 0}))
            << threshold;
    }
}

// Diffusion over a noisy picture of odd width against a full-buffer single-channel reference:
// every pixel's gray plus its waiting error decides at 128, and the error spreads to the four
// neighbours, never wrapping.
// Rows are walked two at a time; odd heights and the narrowest widths take the edge paths.
TEST(BlackWhite, DiffusionMatchesTheFullBufferReference) {
    for (const auto& size : {std::pair{37, 11}, {1, 5}, {2, 4}, {3, 1}, {64, 2}}) {
        const int w = size.first, h = size.second;
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        std::uint32_t state = 7;
        const DibImage source = test::makeTrueColorImage(w, h, [&](int, int) {
            state = state * 1664525u + 1013904223u;
            return state >> 8;
        });
        BlackWhiteRequest request;
        request.medianCut = false;
        request.diffusion = true;
        const DibImage result = binarize(source, request);
        std::vector<int> error(std::size_t((w + 1) * (h + 1)), 0);
        const auto cell = [&](int r, int c) -> int& { return error[std::size_t(r * (w + 1) + c)]; };
        for (int r = 0; r < h; ++r) {
            std::vector<int> expected;
            for (int c = 0; c < w; ++c) {
                std::uint8_t bgr[3];
                getColor(source, bgr, r, c, 24);
                const int v = std::clamp(grayLevel(bgr) + cell(r, c), 0, 255);
                const int white = v >= 128 ? 1 : 0;
                expected.push_back(white);
                const int e = v - 255 * white;
                cell(r, c + 1) += (7 * e + 8) / 16;
                if (c > 0) cell(r + 1, c - 1) += (3 * e + 8) / 16;
                cell(r + 1, c) += (5 * e + 8) / 16;
                cell(r + 1, c + 1) += (e + 8) / 16;
            }
            ASSERT_EQ(whites(result, r), expected) << r;
        }
    }
}

TEST(BlackWhite, FullRangeStretchOfTrueColourChangesNothing) {
    const DibImage source = grays({3, 90, 140, 250, 127});
    BlackWhiteRequest stretched;
    stretched.stretch = true;
    stretched.outset = 0;
    stretched.endset = 255;
    EXPECT_EQ(binarize(source, stretched).data, binarize(source, {}).data);
}

TEST(BlackWhite, EqualOutsetAndEndsetMakeEveryGrayThatValue) {
    BlackWhiteRequest request;
    request.medianCut = false;
    request.stretch = true;
    request.outset = request.endset = 100;
    request.threshold = 100;
    EXPECT_EQ(whites(binarize(grays({0, 40, 255}), request)), std::vector<int>({1, 1, 1}));
    request.threshold = 101;
    EXPECT_EQ(whites(binarize(grays({0, 40, 255}), request)), std::vector<int>({0, 0, 0}));
}

TEST(StretchGrayPalette, MapsTheLowestAndHighestGrayOntoTheRange) {
    DibImage image = test::makeIndexedImage(2, 1, 4, {0x141414, 0x646464, 0xC8C8C8},
                                            [](int x, int) { return x; });
    // colours used 3: entries 20, 100, 200 → 10 … 190 by (v − 20) × 1 + 10
    stretchGrayPalette(image, 10, 190);
    EXPECT_EQ(image.paletteEntry(0)[0], 10);
    EXPECT_EQ(image.paletteEntry(1)[2], 90);
    EXPECT_EQ(image.paletteEntry(2)[1], 190);
    EXPECT_EQ(image.paletteEntry(3)[0], 0); // beyond the colours used
}

TEST(StretchGrayPalette, ASingleGrayTakesTheOutsetInsteadOfDividingByZero) {
    DibImage image =
        test::makeIndexedImage(2, 1, 1, {0x323232, 0x323232}, [](int x, int) { return x; });
    stretchGrayPalette(image, 10, 200);
    EXPECT_EQ(image.paletteEntry(0)[0], 10);
    EXPECT_EQ(image.paletteEntry(1)[0], 10);
}

TEST(BlackWhite, IndexedSourceUsesItsPaletteGrays) {
    // Pure green (150) and pure blue (27): mean over the four pixels 88.5.
    const DibImage source =
        test::makeIndexedImage(4, 1, 4, {0x00FF00, 0x0000FF}, [](int x, int) { return x % 2; });
    EXPECT_EQ(whites(binarize(source, {})), std::vector<int>({1, 0, 1, 0}));
}

struct ValuesCase {
    std::int64_t threshold, outset, endset;
    std::string_view message;
};

class BlackWhiteDialogValues : public ::testing::TestWithParam<ValuesCase> {};

TEST_P(BlackWhiteDialogValues, RangeThenOrder) {
    const ValuesCase c = GetParam();
    EXPECT_EQ(blackWhiteValuesError(c.threshold, c.outset, c.endset), c.message);
}

constexpr std::string_view kRange = "out of range, which must be 0 ~ 255";
constexpr std::string_view kOrder = "outset must be smaller than endset";

INSTANTIATE_TEST_SUITE_P(Rules, BlackWhiteDialogValues,
                         ::testing::Values(ValuesCase{300, 1, 255, kRange},
                                           ValuesCase{-1, 1, 255, kRange},
                                           ValuesCase{128, 256, 255, kRange},
                                           ValuesCase{128, 9, 8, kOrder}, ValuesCase{128, 9, 9, ""},
                                           ValuesCase{255, 0, 255, ""}));

TEST(BlackWhiteCommand, ThresholdBeyondTheRangeIsRefused) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, grays({1, 2, 3}));
    const std::string before = session.currentPath;
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.bwThreshold = 300;
    EXPECT_EQ(runCommandHandler(session, blackWhiteHandler), 1);
    EXPECT_EQ(session.currentPath, before);
    EXPECT_EQ(frontend.messages, (std::vector<test::Message>{{"alart", std::string(kRange)}}));
}

} // namespace
} // namespace vellora
