#include "color/medianCut.h"
#include "color/colorSpace.h"
#include "color/colorTestImages.h"
#include "color/referenceColor.h"
#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/simdLevels.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace vellora::test {
namespace {

struct CutRun {
    DibImage target;
    double splits = 0;
    std::vector<int> positions;
};

int bitsFor(std::uint32_t colors) {
    return colors == 2 ? 1 : colors <= 16 ? 4 : 8;
}

CutRun runCut(const DibImage& source, std::uint32_t colors) {
    RecordingFrontend frontend;
    Session session(frontend);
    CutRun run;
    run.target = makeImage(source.width, source.height, bitsFor(colors), colors);
    EXPECT_EQ(medianCutPalette(session, run.target, source), 0);
    run.splits = session.progress.progressNow;
    run.positions = frontend.progressPositions;
    EXPECT_TRUE(frontend.messages.empty());
    return run;
}

std::vector<std::uint8_t> indicesOf(const DibImage& image) {
    std::vector<std::uint8_t> result;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t index = 0;
            getIndex(image, index, y, x, image.bitsPerPixel);
            result.push_back(index);
        }
    return result;
}

std::vector<std::uint8_t> paletteOf(const DibImage& image) {
    return {image.paletteEntry(0), image.paletteEntry(0) + image.paletteBytes};
}

TEST(ColorSpace, WeightsAreTheSinglePrecisionValuesAsDoubles) {
    const std::pair<double, double> weights[] = {
        {kYRed, 0.298909991979599},      {kYGreen, 0.5866100192070007},
        {kYBlue, 0.11448000371456146},   {kCbRed, 0.16874000430107117},
        {kCbGreen, 0.33125999569892883}, {kCrGreen, 0.4186899960041046},
        {kCrBlue, 0.08130999654531479}};
    for (const auto& [used, expected] : weights)
        EXPECT_EQ(used, expected);
}

struct CutCase {
    int width, height, sourceBits, levels;
    std::uint32_t stream;
};

class MedianCutMatchesFullScan : public testing::TestWithParam<CutCase> {};

TEST_P(MedianCutMatchesFullScan, PaletteIndicesAndProgressAtEveryColourCount) {
    const CutCase c = GetParam();
    const DibImage source = noiseImage(c.width, c.height, c.sourceBits, c.stream, c.levels);
    for (std::uint32_t colors = 2; colors <= 256; colors *= 2) {
        SCOPED_TRACE(colors);
        const ReferenceCut expected = referenceMedianCut(source, colors, bitsFor(colors));
        const CutRun run = runCut(source, colors);
        EXPECT_EQ(paletteOf(run.target), expected.palette);
        EXPECT_EQ(indicesOf(run.target), expected.indices);
        EXPECT_EQ(run.splits, expected.splits);
    }
}

INSTANTIATE_TEST_SUITE_P(AwkwardSizesAndDepths, MedianCutMatchesFullScan,
                         testing::Values(CutCase{1, 1, 24, 256, 1}, CutCase{1, 7, 24, 256, 2},
                                         CutCase{7, 1, 32, 256, 3}, CutCase{11, 13, 24, 256, 4},
                                         CutCase{11, 13, 24, 3, 5}, CutCase{64, 48, 24, 256, 6},
                                         CutCase{64, 48, 24, 5, 7}, CutCase{33, 17, 8, 256, 8},
                                         CutCase{33, 17, 4, 256, 9}, CutCase{33, 17, 1, 256, 10},
                                         CutCase{301, 31, 32, 16, 11}));

TEST(MedianCut, OneColourFillsOnlyTheLastEntryAndProgressStopsShort) {
    // At every split all members equal the mean and move up, so only box 2^k − 1 has members;
    // the empty lower boxes report no progress: k splits of 2^k − 1 units.
    const struct {
        std::uint32_t colors;
        int lastPosition;
    } cases[] = {{2, 100}, {4, 66}, {8, 42}, {16, 26}, {256, 3}};
    const std::uint32_t colorsOfPicture[] = {0xFFFFFF, 0x204080};
    for (const std::uint32_t rgb : colorsOfPicture)
        for (const auto& c : cases) {
            SCOPED_TRACE(c.colors);
            const DibImage source = makeTrueColorImage(5, 3, [&](int, int) { return rgb; });
            const CutRun run = runCut(source, c.colors);
            for (std::uint32_t i = 0; i < run.target.paletteEntries; ++i) {
                const std::uint8_t* e = run.target.paletteEntry(int(i));
                const std::uint32_t entry = std::uint32_t(e[2]) << 16 | e[1] << 8 | e[0];
                EXPECT_EQ(entry, i == c.colors - 1 ? rgb : 0u) << i;
            }
            EXPECT_EQ(indicesOf(run.target),
                      std::vector<std::uint8_t>(15, std::uint8_t(c.colors - 1)));
            ASSERT_FALSE(run.positions.empty());
            EXPECT_EQ(run.positions.back(), c.lastPosition);
        }
}

TEST(MedianCut, TwoColoursSplitOnceIntoThemselves) {
    // Red against blue splits on Cb (blue far above the mean), black against white on Y; the
    // inverse transform with +0.49 gives the colours back exactly.
    const struct {
        std::uint32_t lower, upper;
    } cases[] = {{0xFF0000, 0x0000FF}, {0x000000, 0xFFFFFF}};
    for (const auto& c : cases) {
        const DibImage source =
            makeTrueColorImage(4, 2, [&](int x, int) { return x % 2 ? c.upper : c.lower; });
        const CutRun run = runCut(source, 2);
        EXPECT_EQ(rgbAt(run.target, 0, 0), c.lower);
        EXPECT_EQ(rgbAt(run.target, 1, 0), c.upper);
        EXPECT_EQ(indicesOf(run.target), (std::vector<std::uint8_t>{0, 1, 0, 1, 0, 1, 0, 1}));
        EXPECT_EQ(run.splits, 1);
    }
}

TEST(MedianCut, ReductionTo256ColoursEqualsTheCutsOwnIndices) {
    const DibImage source = noiseImage(37, 21, 24, 99, 256);
    DibImage indexed;
    ASSERT_TRUE(reduceTo256Colors(source, indexed));
    EXPECT_EQ(indexed.bitsPerPixel, 8);
    EXPECT_EQ(indexed.colorsUsed, 256u);
    const ReferenceCut expected = referenceMedianCut(source, 256, 8);
    EXPECT_EQ(paletteOf(indexed), expected.palette);
    EXPECT_EQ(indicesOf(indexed), expected.indices);
}

TEST(MedianCut, DepthIsTheNumberOfHalvings) {
    const std::pair<std::uint32_t, int> cases[] = {{2, 1}, {4, 2}, {16, 4}, {256, 8}, {1, 0}};
    for (const auto& [colors, depth] : cases)
        EXPECT_EQ(medianCutDepth(colors), depth) << colors;
}

} // namespace
} // namespace vellora::test

namespace vellora::test {
namespace {

// Sets VELLORA_THREADS for the life of a test.
class ThreadCount {
  public:
    explicit ThreadCount(const char* count) {
        if (const char* old = std::getenv("VELLORA_THREADS")) saved_ = old;
        setenv("VELLORA_THREADS", count, 1);
    }
    ~ThreadCount() {
        if (saved_.empty())
            unsetenv("VELLORA_THREADS");
        else
            setenv("VELLORA_THREADS", saved_.c_str(), 1);
    }

  private:
    std::string saved_;
};

TEST(MedianCut, LargePictureCutOnTwoThreadsGivesTheSamePalette) {
    const DibImage source = noiseImage(1024, 1031, 24, 21, 256);
    CutRun single, twoThreads;
    {
        ThreadCount one("1");
        single = runCut(source, 256);
    }
    {
        ThreadCount two("2");
        twoThreads = runCut(source, 256);
        const ReferenceCut expected = referenceMedianCut(source, 16, 4);
        const CutRun sixteen = runCut(source, 16);
        EXPECT_EQ(paletteOf(sixteen.target), expected.palette);
        EXPECT_EQ(indicesOf(sixteen.target), expected.indices);
        EXPECT_EQ(sixteen.splits, expected.splits);
    }
    EXPECT_EQ(paletteOf(twoThreads.target), paletteOf(single.target));
    EXPECT_EQ(indicesOf(twoThreads.target), indicesOf(single.target));
    EXPECT_EQ(twoThreads.splits, 255);
    EXPECT_EQ(twoThreads.positions.back(), 100);
}

// On two workers the first box is measured apart from the others: its cut must take the axis
// its ranges choose, here Cb when only blue varies and Cr when only red does.
TEST(MedianCut, TwoThreadsCutTheFirstBoxOnTheWidestAxisOfAnyKind) {
    ThreadCount two("2");
    for (const int shift : {0, 16}) {
        const DibImage source = makeTrueColorImage(1024, 1031, [shift](int x, int y) {
            const std::uint32_t varying = std::uint32_t(x * 7 + y * 13 + x * y % 17) % 256;
            return varying << shift | (0x505050u & ~(0xFFu << shift));
        });
        const ReferenceCut expected = referenceMedianCut(source, 16, 4);
        const CutRun run = runCut(source, 16);
        EXPECT_EQ(paletteOf(run.target), expected.palette) << shift;
        EXPECT_EQ(indicesOf(run.target), expected.indices) << shift;
    }
}

// From 4 megapixels on, the box of every colour is kept in the freed partition scratch.
TEST(MedianCut, PictureOfFourMegapixelsKeepsTheBoxTableInTheScratch) {
    const DibImage source = noiseImage(2048, 2049, 24, 33, 256);
    const ReferenceCut expected = referenceMedianCut(source, 4, 4);
    const CutRun run = runCut(source, 4);
    EXPECT_EQ(paletteOf(run.target), expected.palette);
    EXPECT_EQ(indicesOf(run.target), expected.indices);
}

// Every level's partition must keep the members' order exactly as the baseline one does:
// every later cut sums its members in that order.
TEST(MedianCut, PartitionKeepsTheOrderAtEveryLevel) {
    std::uint32_t state = 11;
    std::vector<std::uint32_t> colors(1003);
    for (std::uint32_t& c : colors) {
        state = state * 1664525u + 1013904223u;
        c = state >> 8;
    }
    for (const CutAxis axis : {CutAxis::Luma, CutAxis::BlueDifference, CutAxis::RedDifference})
        for (const std::size_t count : {0, 7, 8, 15, 16, 17, 33, 1003})
            for (const double mean : {-40.0, 0.0, 60.5, 127.0, 300.0})
                expectSameAtEveryLevel([&] {
                    std::vector<std::uint32_t> part(colors.begin(), colors.begin() + count);
                    std::vector<std::uint32_t> scratch(count + 1);
                    const std::size_t low =
                        partitionPackedColors(axis, part.data(), scratch.data(), count, mean);
                    return std::make_pair(low, part);
                });
}

// Box sums must carry exactly the bits of the plain sum, colour after colour, on boxes far past
// the point where the running sum starts to round: bright colours push Y past 2^26 soon, and
// full-range ones give Cb and Cr of both signs.
TEST(MedianCut, BoxSumsHaveTheBitsOfThePlainSumInOrderAtEveryLevel) {
    std::uint32_t state = 5;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    const std::size_t most = (std::size_t(1) << 20) + 3;
    std::vector<std::uint32_t> bright(most), any(most);
    for (std::size_t i = 0; i < most; ++i) {
        bright[i] = next() | 0xc0c0c0u;
        any[i] = next();
    }
    const std::size_t head = std::size_t(1) << 18;
    atEveryLevel([&](SimdLevel) {
        for (const std::vector<std::uint32_t>* colors : {&bright, &any})
            for (const std::size_t count :
                 {std::size_t(0), std::size_t(5), head - 3, head + 7, most}) {
                double plain[3] = {0, 0, 0};
                for (std::size_t i = 0; i < count; ++i) {
                    const std::uint32_t c = (*colors)[i];
                    const int blue = int(c & 255), green = int((c >> 8) & 255), red = int(c >> 16);
                    plain[0] += lumaOf(blue, green, red);
                    plain[1] += blueDifferenceOf(blue, green, red);
                    plain[2] += redDifferenceOf(blue, green, red);
                }
                double all[3];
                sumPackedColors(colors->data(), count, all);
                for (int k = 0; k < 3; ++k) {
                    EXPECT_EQ(all[k], plain[k]) << k << " " << count;
                    EXPECT_EQ(sumPackedColors(CutAxis(k), colors->data(), count), plain[k])
                        << k << " " << count;
                }
                // Side by side with the other set, longer or shorter, on every pair of axes.
                const std::vector<std::uint32_t>& other = colors == &bright ? any : bright;
                const std::size_t otherCount = most - count / 8;
                for (int k = 0; k < 3; ++k)
                    for (int m = 0; m < 3; ++m) {
                        double first = 0, second = 0;
                        sumPackedColorsSideBySide(CutAxis(k), colors->data(), count, CutAxis(m),
                                                  other.data(), otherCount, first, second);
                        EXPECT_EQ(first, plain[k]) << k << " " << m << " " << count;
                        EXPECT_EQ(second, sumPackedColors(CutAxis(m), other.data(), otherCount))
                            << k << " " << m << " " << count;
                    }
            }
    });
}

} // namespace
} // namespace vellora::test
