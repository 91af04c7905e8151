#include "color/medianCut.h"
#include "color/colorSpace.h"
#include "color/colorTestImages.h"
#include "color/referenceColor.h"
#include "support/recordingFrontend.h"
#include "support/simdLevels.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace vellora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct CutRun {
    DibImage target;
    double splits = 0;
    std::vector<int> positions;
};

CutRun runCut(const DibImage& source, std::uint32_t colors) {
    RecordingFrontend frontend;
    Session session(frontend);
    CutRun run;
    run.target = makeImage(source.width, source.height,
                           colors == 2    ? 1
                           : colors <= 16 ? 4
                                          : 8,
                           colors);
    EXPECT_EQ(medianCutPalette(session, run.target, source), 0);
    run.splits = session.progress.progressNow;
    run.positions = frontend.progressPositions;
    EXPECT_TRUE(frontend.messages.empty());
    return run;
}

void expectReferenceCut(const DibImage& source, std::uint32_t colors, bool splits = true) {
    SCOPED_TRACE(colors);
    const CutRun run = runCut(source, colors);
    const ReferenceCut expected = referenceMedianCut(source, colors, run.target.bitsPerPixel);
    EXPECT_EQ(
        Bytes(run.target.paletteEntry(0), run.target.paletteEntry(0) + run.target.paletteBytes),
        expected.palette);
    EXPECT_EQ(indicesOf(run.target), expected.indices);
    EXPECT_TRUE(!splits || run.splits == expected.splits) << run.splits;
}

// Palette, indices and progress as the whole-list reference gives them, at every colour count,
// for awkward sizes, every source depth and few levels (ties at the cut).
TEST(MedianCut, MatchesTheFullScanReference) {
    // width, height, depth, levels, stream
    const int cases[][5] = {{1, 1, 24, 256, 1},   {1, 7, 24, 256, 2},   {7, 1, 32, 256, 3},
                            {11, 13, 24, 256, 4}, {11, 13, 24, 3, 5},   {64, 48, 24, 256, 6},
                            {64, 48, 24, 5, 7},   {33, 17, 8, 256, 8},  {33, 17, 4, 256, 9},
                            {33, 17, 1, 256, 10}, {301, 31, 32, 16, 11}};
    for (const auto& [width, height, depth, levels, stream] : cases) {
        SCOPED_TRACE(stream);
        const DibImage source = randomPicture(width, height, depth, std::uint32_t(stream), levels);
        for (std::uint32_t colors = 2; colors <= 256; colors *= 2)
            expectReferenceCut(source, colors);
    }
    // The 256-colour reduction of other steps is the same cut.
    const DibImage source = randomPicture(37, 21, 24, 99, 256);
    DibImage indexed;
    ASSERT_TRUE(reduceTo256Colors(source, indexed));
    EXPECT_EQ(indexed.colorsUsed, 256u);
    const ReferenceCut expected = referenceMedianCut(source, 256, 8);
    EXPECT_EQ(Bytes(indexed.paletteEntry(0), indexed.paletteEntry(0) + indexed.paletteBytes),
              expected.palette);
    EXPECT_EQ(indicesOf(indexed), expected.indices);
    for (const auto& [colors, depth] : {std::pair{2u, 1}, {4u, 2}, {16u, 4}, {256u, 8}, {1u, 0}})
        EXPECT_EQ(medianCutDepth(colors), depth) << colors;
}

TEST(MedianCut, HandWorkedCuts) {
    // One colour: at every split all members equal the mean and move up, so only box 2^k − 1
    // has members; the empty lower boxes report no progress: k splits of 2^k − 1 units.
    for (const std::uint32_t rgb : {0xFFFFFFu, 0x204080u})
        for (const auto& [colors, lastPosition] :
             {std::pair{2u, 100}, {4u, 66}, {8u, 42}, {16u, 26}, {256u, 3}}) {
            SCOPED_TRACE(colors);
            const CutRun run =
                runCut(makeTrueColorImage(5, 3, [&](int, int) { return rgb; }), colors);
            for (std::uint32_t i = 0; i < run.target.paletteEntries; ++i) {
                const std::uint8_t* e = run.target.paletteEntry(int(i));
                EXPECT_EQ(std::uint32_t(e[2] << 16 | e[1] << 8 | e[0]), i == colors - 1 ? rgb : 0u)
                    << i;
            }
            EXPECT_EQ(indicesOf(run.target), Bytes(15, std::uint8_t(colors - 1)));
            ASSERT_FALSE(run.positions.empty());
            EXPECT_EQ(run.positions.back(), lastPosition);
        }
    // Red against blue splits on Cb, black against white on Y; the inverse transform with
    // +0.49 gives the colours back exactly.
    for (const auto& [lower, upper] : {std::pair{0xFF0000u, 0x0000FFu}, {0x000000u, 0xFFFFFFu}}) {
        const CutRun run =
            runCut(makeTrueColorImage(4, 2, [&](int x, int) { return x % 2 ? upper : lower; }), 2);
        EXPECT_EQ(rgbAt(run.target, 0, 0), lower);
        EXPECT_EQ(rgbAt(run.target, 1, 0), upper);
        EXPECT_EQ(indicesOf(run.target), (Bytes{0, 1, 0, 1, 0, 1, 0, 1}));
        EXPECT_EQ(run.splits, 1);
    }
}

// From 2^20 pixels on two workers the first cut partitions both halves at once; the members
// must still come out in the order of one stable partition, as the reference has them.
TEST(MedianCut, LargePictureOnTwoThreadsCutsAsTheReference) {
    setenv("VELLORA_THREADS", "2", 1);
    expectReferenceCut(randomPicture(1024, 1025, 24, 21, 256), 16);
    unsetenv("VELLORA_THREADS");
}

// Every level's partition keeps the members' order exactly as the baseline does (later cuts
// sum members in that order), and box sums carry exactly the bits of the plain sum, colour after
// colour, far past the point where the running sum starts to round: bright colours push Y past
// 2^26 soon, full-range ones give Cb and Cr of both signs.
TEST(MedianCut, PartitionAndSumsAtEveryLevel) {
    std::uint32_t state = 11;
    const auto next = [&state] { return (state = state * 1664525u + 1013904223u) >> 8; };
    std::vector<std::uint32_t> colors(1003);
    for (std::uint32_t& c : colors)
        c = next();
    for (const CutAxis axis : {CutAxis::Luma, CutAxis::BlueDifference, CutAxis::RedDifference})
        for (const std::size_t count : {0, 7, 8, 15, 16, 17, 33, 1003})
            for (const double mean : {-40.0, 0.0, 60.5, 127.0, 300.0})
                expectSameAtEveryLevel([&] {
                    std::vector<std::uint32_t> part(colors.begin(), colors.begin() + count);
                    std::vector<std::uint32_t> scratch(count + 1);
                    return std::make_pair(
                        partitionPackedColors(axis, part.data(), scratch.data(), count, mean),
                        part);
                });
    const std::size_t most = (std::size_t(1) << 20) + 3, head = std::size_t(1) << 18;
    std::vector<std::uint32_t> bright(most), any(most);
    for (std::size_t i = 0; i < most; ++i)
        bright[i] = next() | 0xc0c0c0u, any[i] = next();
    atEveryLevel([&](SimdLevel) {
        for (const std::vector<std::uint32_t>* set : {&bright, &any})
            for (const std::size_t count : {std::size_t(5), head - 3, head + 7, most}) {
                double plain[3] = {0, 0, 0}, all[3], first = 0, second = 0;
                for (std::size_t i = 0; i < count; ++i) {
                    const int blue = int((*set)[i] & 255), green = int(((*set)[i] >> 8) & 255),
                              red = int((*set)[i] >> 16);
                    plain[0] += lumaOf(blue, green, red);
                    plain[1] += blueDifferenceOf(blue, green, red);
                    plain[2] += redDifferenceOf(blue, green, red);
                }
                sumPackedColors(set->data(), count, all);
                // Side by side with the other set, longer or shorter, on another axis.
                const std::vector<std::uint32_t>& other = set == &bright ? any : bright;
                const std::size_t otherCount = most - count / 8;
                for (int k = 0; k < 3; ++k) {
                    const CutAxis axis = CutAxis(k), otherAxis = CutAxis((k + 1) % 3);
                    sumPackedColorsSideBySide(axis, set->data(), count, otherAxis, other.data(),
                                              otherCount, first, second);
                    EXPECT_EQ(
                        std::vector<double>(
                            {all[k], sumPackedColors(axis, set->data(), count), first, second}),
                        std::vector<double>({plain[k], plain[k], plain[k],
                                             sumPackedColors(otherAxis, other.data(), otherCount)}))
                        << k << " " << count;
                }
            }
    });
}

} // namespace
} // namespace vellora::test
