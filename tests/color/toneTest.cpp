// The tone steps: gray scale, black and white, histogram, invert, posterize; vector kernels.
#include "color/blackWhite.h"
#include "color/channelTables.h"
#include "color/colorTestImages.h"
#include "color/grayScale.h"
#include "color/histogramModify.h"
#include "color/invert.h"
#include "color/posterize.h"
#include "color/referenceColor.h"
#include "core/intermediateFiles.h"
#include "core/operationFrame.h"
#include "support/recordingFrontend.h"
#include "support/simdLevels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <random>

namespace vellora::test {
namespace {

using Ints = std::vector<int>;
using Colors = std::vector<std::uint32_t>;
using Messages = std::vector<Message>;

DibImage row(const Colors& pixels) {
    return makeTrueColorImage(int(pixels.size()), 1, [&](int x, int) { return pixels[x]; });
}

// Runs an operation of the form op(session, source, target, args...) and expects success.
template <class Op, class... Args>
DibImage apply(Op op, const DibImage& source, std::vector<int>* progress, Args... args) {
    RecordingFrontend frontend;
    Session session(frontend);
    DibImage target;
    EXPECT_EQ(op(session, source, target, args...), 0);
    EXPECT_TRUE(frontend.messages.empty());
    if (progress) *progress = frontend.progressPositions;
    return target;
}

DibImage modify(const DibImage& source, const HistogramRequest& request,
                std::vector<int>* progress = nullptr) {
    return apply(modifyHistogramToImage, source, progress, request);
}

// The messages of a command the block's values make refuse, leaving the picture as it was.
Messages refusal(int (*handler)(Session&), void (*change)(ParameterBlock&)) {
    RecordingFrontend frontend;
    Session session(frontend);
    setCurrentPicture(session, row({0x102030, 0x506070}));
    const std::string before = session.currentPath;
    session.workingBlock = defaultParameterBlock();
    change(session.workingBlock);
    EXPECT_EQ(runCommandHandler(session, handler), 1);
    EXPECT_EQ(session.currentPath, before);
    return frontend.messages;
}

TEST(GrayScale, FormatsAndCounts) {
    constexpr int C = int(GrayPath::PaletteConversion), R = int(GrayPath::Reduction),
                  D = int(GrayPath::Direct);
    // source depth, levels, depth, entries, path
    const int formats[][5] = {{1, 2, 1, 2, C},      {1, 256, 1, 2, C},   {4, 2, 1, 2, R},
                              {4, 4, 4, 4, R},      {4, 8, 4, 8, R},     {4, 16, 4, 16, C},
                              {4, 256, 4, 16, C},   {8, 2, 1, 2, R},     {8, 16, 4, 16, R},
                              {8, 32, 8, 32, R},    {8, 128, 8, 128, R}, {8, 256, 8, 256, C},
                              {24, 2, 1, 2, R},     {24, 4, 4, 4, R},    {32, 64, 8, 64, R},
                              {24, 256, 8, 256, D}, {32, 256, 8, 256, D}};
    for (const auto& [sourceDepth, count, depth, entries, path] : formats) {
        const GrayFormat format = grayResultFormat(sourceDepth, count);
        EXPECT_EQ(Ints({format.depth, format.entries, int(format.path)}),
                  Ints({depth, entries, path}))
            << sourceDepth << " " << count;
    }
    for (const auto& [index, count] : {std::pair{0, 2}, {-3, 2}, {3, 16}, {7, 256}})
        EXPECT_EQ(grayLevelCount(index), count) << index;
}

struct Gray {
    DibImage image;
    Gray(const DibImage& source, bool diffusion, int levels)
        : image(apply(grayScaleToImage, source, nullptr, diffusion, levels)) {}
    Ints row(int y) const { // the indices
        const std::vector<std::uint8_t> all = indicesOf(image);
        return Ints(all.begin() + y * image.width, all.begin() + (y + 1) * image.width);
    }
    Ints entries() const { // the grays of the colours used
        Ints out;
        for (std::uint32_t i = 0; i < image.colorsUsed; ++i)
            out.push_back(image.paletteEntry(int(i))[0]);
        return out;
    }
};

TEST(GrayScale, HandWorkedReductions) {
    const struct {
        Ints values;
        int levels;
        bool diffusion;
        Ints entries, indices;
    } cases[] = {
        {{90, 90, 90, 90, 90}, 2, false, {0, 90}, {1, 1, 1, 1, 1}}, // uniform: the upper label
        {{0, 0, 0, 0, 0}, 2, false, {0, 0}, {0, 0, 0, 0, 0}}, // the first of two equal entries
        // Mean 120: {10, 20} below (mean 15), {200, 250} at or above (mean 225).
        {{10, 200, 20, 250}, 2, false, {15, 225}, {0, 1, 0, 1}},
        // Two grays at four levels leave the lower labels black.
        {{60, 180, 60, 180, 60, 180}, 4, false, {0, 60, 0, 180}, {1, 3, 1, 3, 1, 3}},
        // Mean 202.9: {0, 200, 200} below (mean 133), the 255s above. Diffused, 0 leaves −133:
        // 200 − 57 = 143 takes 133 and passes 10 on; 204 takes 255.
        {{0, 200, 200, 255, 255, 255, 255}, 2, false, {133, 255}, {0, 1, 1, 1, 1, 1, 1}},
        {{0, 200, 200, 255, 255, 255, 255}, 2, true, {133, 255}, {0, 0, 1, 1, 1, 1, 1}},
    };
    for (const auto& c : cases) {
        const Gray g(grayRows(c.values, 3), c.diffusion, c.levels);
        EXPECT_EQ(g.image.bitsPerPixel, c.levels == 2 ? 1 : 4);
        EXPECT_EQ(g.entries(), c.entries) << c.values[1];
        EXPECT_EQ(g.row(c.diffusion ? 0 : 2), c.indices) << c.values[1];
    }
    // True colour at 256 levels is the ramp, each pixel its own gray, weighted and truncated.
    const Gray ramp(row({0xFFFFFF, 0x00FF00, 0xFF0000, 0x0000FF}), true, 256);
    ASSERT_EQ(ramp.image.bitsPerPixel, 8);
    Ints all(256);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(std::pair(ramp.entries(), ramp.row(0)), std::pair(all, Ints({255, 150, 76, 27})));
}

// Diffused reductions of noise match the full-buffer reference, taking the nearest level of the
// result's palette (never one 255 or more away: the one before stays); three values a channel give
// many blacks, pushed below 0 by errors. Undiffused: two workers share rows, each pixel nearest.
TEST(GrayScale, ReductionsMapToTheNearestLevelDiffusedAsTheFullBufferReference) {
    setenv("VELLORA_THREADS", "2", 1);
    for (const auto& [levels, values] : {std::pair{2, 256}, {8, 256}, {64, 256}, {2, 3}, {4, 3}}) {
        const DibImage source = randomPicture(97, 61, 24, std::uint32_t(levels), values);
        const Gray g(source, true, levels);
        // Its grays as a picture: diffusing three equal channels is diffusing the gray.
        const DibImage grays = makeTrueColorImage(97, 61, [&](int x, int y) {
            std::uint8_t bgr[3];
            getColor(source, bgr, y, x, 24);
            return std::uint32_t(grayLevel(bgr)) * 0x010101u;
        });
        int chosen = 0;
        const auto nearest = [&](const int* v) {
            for (int i = 0, best = 255; i < int(g.image.colorsUsed); ++i)
                if (const int d = std::abs(*v - g.image.paletteEntry(i)[0]); d < best)
                    best = d, chosen = i;
            return chosen;
        };
        EXPECT_EQ(indicesOf(g.image), referenceDiffused(g.image, grays, nearest)) << levels;
        // Black and white diffuses the same grays, two rows at once, deciding at 128.
        const DibImage bw = apply(blackWhiteToImage, source, nullptr, BlackWhiteRequest{true});
        EXPECT_EQ(indicesOf(bw),
                  referenceDiffused(bw, grays, [](const int* v) { return *v >> 7; }));
        std::vector<std::uint8_t> plain;
        chosen = 0;
        for (int y = 0; y < 61; ++y)
            for (int x = 0; x < 97; ++x) {
                const int v = int(rgbAt(grays, x, y) & 0xFF);
                plain.push_back(std::uint8_t(nearest(&v)));
            }
        EXPECT_EQ(indicesOf(Gray(source, false, levels).image), plain) << levels;
    }
    unsetenv("VELLORA_THREADS");
}

TEST(GrayScale, ProgressOfTheSplitsAndTheRows) {
    RecordingFrontend frontend;
    Session session(frontend);
    setCurrentPicture(session, grayRows({0, 40, 80}, 4));
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.grayLevelIndex = 0;
    ASSERT_EQ(runCommandHandler(session, grayScaleHandler), 0);
    // One split (0 → 100), then four rows.
    EXPECT_EQ(frontend.progressPositions, Ints({0, 100, 25, 50, 75, 100}));
    // Eight grays at 16 levels: every cluster is split, down to those of one gray, which moves
    // up: 15 units; gray i takes label 2i + 1, the even labels stay black.
    DibImage target;
    ASSERT_EQ(createDib(frontend, target, 8, 1, 4, 16), 0);
    ASSERT_EQ(reduceGrayLevels(session, target, grayRows({0, 32, 64, 96, 128, 160, 192, 224})), 0);
    EXPECT_EQ(session.progress.progressNow, 15);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(target.paletteEntry(i)[0], i % 2 * 32 * (i / 2)) << i;
    EXPECT_EQ(indicesOf(target), (std::vector<std::uint8_t>{1, 3, 5, 7, 9, 11, 13, 15}));
}

// Pixels are counted per weighted sum in row bands, one a worker (indexed: by index); any thread
// count matches a plain scan; indexed pictures reduce as their colours from a true-colour copy do.
TEST(GrayScale, ClustersCountEveryPixelIndexedPicturesReduceAsTheirColoursOrGrayTheirPalette) {
    for (const char* threads : {"1", "2", "3"})
        for (int depth : {1, 4, 8}) {
            SCOPED_TRACE(testing::Message() << depth << " bpp on " << threads);
            setenv("VELLORA_THREADS", threads, 1);
            const DibImage indexed = randomPicture(29, 50, depth, unsigned(depth));
            const DibImage colours =
                makeTrueColorImage(29, 50, [&](int x, int y) { return rgbAt(indexed, x, y); });
            std::vector<std::uint64_t> plain(GrayClusters::kSums);
            for (int y = 0; y < 50; ++y)
                for (int x = 0; x < 29; ++x) {
                    const std::uint32_t c = rgbAt(indexed, x, y);
                    ++plain[77 * (c >> 16) + 151 * (c >> 8 & 255) + 28 * (c & 255)];
                }
            EXPECT_EQ(gatherGrayClusters(indexed).counts, plain);
            EXPECT_EQ(gatherGrayClusters(colours).counts, plain);
            RecordingFrontend frontend;
            Session session(frontend);
            DibImage reduced[2];
            for (int i = 0; i < 2; ++i) {
                ASSERT_EQ(createDib(frontend, reduced[i], 29, 50, depth == 1 ? 1 : 4,
                                    std::min(4, 1 << depth)),
                          0);
                ASSERT_EQ(reduceGrayLevels(session, reduced[i], i ? colours : indexed), 0);
            }
            EXPECT_EQ(reduced[0].data, reduced[1].data);
            // At no fewer levels than entries the palette turns gray and the pixel bytes stay.
            const Gray converted(indexed, true, 256);
            ASSERT_EQ(converted.image.bitsPerPixel, depth);
            EXPECT_EQ(0, std::memcmp(converted.image.row(0), indexed.row(0),
                                     std::size_t(indexed.stride) * 50));
            for (int i = 0; i < (1 << depth); ++i) {
                const std::uint8_t* entry = converted.image.paletteEntry(i);
                EXPECT_EQ(Ints(entry, entry + 3), Ints(3, grayLevel(indexed.paletteEntry(i)))) << i;
            }
        }
    unsetenv("VELLORA_THREADS");
}

// Row 0 of the black and white result: 1 white, 0 black.
Ints whites(const DibImage& source, const BlackWhiteRequest& request) {
    const DibImage result = apply(blackWhiteToImage, source, nullptr, request);
    EXPECT_EQ(result.bitsPerPixel, 1);
    Ints out;
    for (const std::uint32_t rgb : rowColors(result))
        out.push_back(rgb == 0xFFFFFFu);
    return out;
}

TEST(BlackWhite, HandWorkedRowsAndStretchedPalettes) {
    // diffusion, median cut, threshold, stretch, outset, endset
    const BlackWhiteRequest threshold0{false, false, 0}, threshold255{false, false, 255},
        threshold128{false, false, 128}, stretched{false, false, 101, true, 100, 100};
    const struct {
        Ints grays;
        BlackWhiteRequest request;
        Ints whites;
    } cases[] = {
        {{10, 200, 60, 150, 100}, {}, {0, 1, 0, 1, 0}},         // median cut: the mean 105 splits
        {{0, 127, 128, 254, 255}, threshold0, {1, 1, 1, 1, 1}}, // white at or above
        {{0, 127, 128, 254, 255}, threshold255, {0, 0, 0, 0, 1}},
        {{0, 127, 128, 254, 255}, threshold128, {0, 0, 1, 1, 1}},
        // Diffused, at 128 not 200: 100 → black, +44 → 144 white, −48 → 52 black, +23 → 123 black.
        {{100, 100, 100, 100}, {true, false, 200}, {0, 1, 0, 0}},
        {{0, 40, 255}, stretched, {0, 0, 0}}, // every gray becomes 100, below the threshold
    };
    for (const auto& c : cases)
        EXPECT_EQ(whites(grayRows(c.grays), c.request), c.whites);
    Ints grays(200000), expected; // a long row, decided in the scratch of a single worker
    for (std::size_t i = 0; i < grays.size(); ++i) {
        grays[i] = int(i * 7 % 256);
        expected.push_back(grays[i] >= 128);
    }
    EXPECT_EQ(whites(grayRows(grays), threshold128), expected);
    // Pure green (150) and pure blue (27) from a palette: the mean 88.5 splits them, as does 128.
    for (const BlackWhiteRequest& request : {BlackWhiteRequest{}, threshold128})
        EXPECT_EQ(whites(makeIndexedImage(4, 1, 4, {0x00FF00, 0x0000FF},
                                          [](int x, int) { return x % 2; }),
                         request),
                  Ints({1, 0, 1, 0}));
    // Uniform black keeps index 1 with the palette white, black.
    const DibImage black =
        apply(blackWhiteToImage, grayRows({0, 0, 0, 0}, 3), nullptr, BlackWhiteRequest{});
    EXPECT_EQ(std::tuple(black.paletteEntry(0)[0], black.paletteEntry(1)[0], indicesOf(black)[11]),
              std::tuple(255, 0, 1));
    // colours used 3: entries 20, 100, 200 → 10 … 190 by (v − 20) × 1 + 10
    DibImage image =
        makeIndexedImage(4, 1, 4, {0x141414, 0x646464, 0xC8C8C8}, [](int x, int) { return x; });
    stretchGrayPalette(image, 10, 190);
    EXPECT_EQ(rowColors(image), Colors({0x0A0A0A, 0x5A5A5A, 0xBEBEBE, 0})); // 3 beyond those used
    // A single gray takes the outset instead of dividing by zero; the entry past it stays.
    DibImage single = makeIndexedImage(2, 1, 1, {0x323232}, [](int x, int) { return x; });
    stretchGrayPalette(single, 10, 200);
    EXPECT_EQ(rowColors(single), Colors({0x0A0A0A, 0}));
}

TEST(BlackWhite, RangeThenOrderAndTheCommandRefuses) {
    const std::string_view range = "out of range, which must be 0 ~ 255";
    const std::string_view order = "outset must be smaller than endset";
    const struct {
        std::int64_t threshold, outset, endset;
        std::string_view message;
    } cases[] = {{300, 1, 255, range}, {-1, 1, 255, range}, {128, 256, 255, range},
                 {128, 9, 8, order},   {128, 9, 9, ""},     {255, 0, 255, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(blackWhiteValuesError(c.threshold, c.outset, c.endset), c.message) << c.threshold;
    EXPECT_EQ(refusal(blackWhiteHandler, [](ParameterBlock& b) { b.bwThreshold = 300; }),
              Messages({{"alart", std::string(range)}}));
    // The command's request comes from the block: threshold 60 after a stretch to 10 ~ 200.
    RecordingFrontend frontend;
    Session session(frontend);
    const DibImage source = grayRows({0, 60, 110, 150, 240}, 2);
    setCurrentPicture(session, source);
    ParameterBlock& b = session.workingBlock = defaultParameterBlock();
    b.bwMedianCut = 0, b.bwThreshold = 60, b.bwStretch = 1, b.bwOutset = 10, b.bwEndset = 200;
    ASSERT_EQ(runCommandHandler(session, blackWhiteHandler), 0);
    EXPECT_EQ(rowColors(readImage(session.currentPath)),
              rowColors(apply(blackWhiteToImage, source, nullptr,
                              BlackWhiteRequest{false, false, 60, true, 10, 200})));
}

TEST(Histogram, HandWorkedRows) {
    const HistogramRequest all{{true, true, true}, {20, 0, 0}, {200, 255, 255}},
        blueTo100{{true, false, false}, {100, 0, 0}, {100, 255, 255}},
        redOnly{{false, false, true}, {0, 0, 0}, {255, 255, 255}},
        blueFrom10{{true, true, true}, {10, 0, 0}, {200, 255, 255}};
    // request, source, expected
    // clang-format off
    const std::tuple<HistogramRequest, Colors, Colors> cases[] = {
        // Blue 20 … 200 (110 → trunc(90 × 255 / 180) = 127), green spans already, red 50 … 135.
        {{}, {0x320014, 0x64FF6E, 0x8780C8}, {0x000000, 0x96FF7F, 0xFF80FF}},
        // Every channel already spans its range: copied.
        {all, {0x0000C8, 0xFFFF14, 0x007F6E}, {0x0000C8, 0xFFFF14, 0x007F6E}},
        // Equal outset and endset make blue constant; green and red unchecked.
        {blueTo100, {0x102003, 0x4050FE}, {0x102064, 0x405064}},
        // Only red checked: 10 … 95 → 0 … 255.
        {redOnly, {0x0A0D0E, 0x5FF0F1}, {0x000D0E, 0xFFF0F1}},
        // Blue is 77 everywhere: no span to stretch, it takes the outset.
        {blueFrom10, {0x00004D, 0xFFFF4D}, {0x00000A, 0xFFFF0A}},
        // Blue 50 … 100: 50 × (255 / 50) is a hair below 255 in doubles and truncates to 254.
        {{}, {0x000032, 0x000064}, {0x000000, 0x0000FE}}};
    // clang-format on
    for (const auto& [request, source, expected] : cases)
        EXPECT_EQ(rowColors(modify(row(source), request)), expected);
    // 53 pixels: three 16-pixel blocks and a tail; blue's extremes at the end of the second
    // block and in the last pixel must be found: 128 → trunc(118 × 255 / 190) = 158.
    Colors pixels(53, 0x808080), expected(53, 0x80809E);
    pixels[31] = 0x8080C8, pixels[52] = 0x80800A;
    expected[31] = 0x8080FF, expected[52] = 0x808000;
    EXPECT_EQ(rowColors(modify(row(pixels), {{true, false, false}, {0, 0, 0}, {255, 255, 255}})),
              expected);
}

TEST(Histogram, IndexedChangesOnlyThePaletteAndThirtyTwoBitsZeroFourthBytes) {
    const DibImage indexed = makeIndexedImage(6, 2, 8, {0x202020, 0x404040, 0x606060, 0x808080},
                                              [](int x, int y) { return (x + y) % 4; });
    std::vector<int> progress;
    const DibImage result = modify(indexed, {}, &progress);
    ASSERT_EQ(result.bitsPerPixel, 8);
    EXPECT_EQ(0, std::memcmp(result.row(0), indexed.row(0), std::size_t(indexed.stride) * 2));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(result.paletteEntry(i)[1], 85 * i);         // 32 … 128 → 0 … 255
    EXPECT_EQ(progress, std::vector<int>({25, 50, 75, 100})); // one pass per entry
    // 32 bpp rows pass through each worker's own colour row, yet map as their 24 bpp copy does.
    setenv("VELLORA_THREADS", "4", 1);
    DibImage wide = randomPicture(3001, 64, 32, 4, 7);
    wide.row(63)[3] = 0x99;
    const HistogramRequest request{{true, true, true}, {10, 20, 30}, {200, 210, 220}};
    const DibImage stretched = modify(wide, request);
    const DibImage copy = modify(
        makeTrueColorImage(3001, 64, [&](int x, int y) { return rgbAt(wide, x, y); }), request);
    unsetenv("VELLORA_THREADS");
    ASSERT_EQ(stretched.bitsPerPixel, 32);
    for (int y = 0; y < 64; ++y)
        ASSERT_EQ(rowColors(stretched, y), rowColors(copy, y)) << y;
    EXPECT_EQ(stretched.row(63)[3], 0);
}

TEST(Histogram, DialogValuesAndTheCommand) {
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
    EXPECT_EQ(histogramValuesError({5, 5, 5}, {5, 5, 5}), "");
    EXPECT_EQ(histogramValuesError({0, 0, 0}, {255, 256, 255}), range);
    EXPECT_EQ(histogramValuesError({0, -1, 0}, {255, 255, 255}), range);
    EXPECT_EQ(histogramValuesError({9, 0, 0}, {8, 255, 300}), order); // red's order first
    EXPECT_EQ(refusal(histogramHandler,
                      [](ParameterBlock& b) { b.histOutset[2] = 200, b.histEndset[2] = 100; }),
              Messages({{"alart", std::string(order)},
                        {"error", "failed to modify the histogram of the image"}}));
}

// Each channel its own table (blue adds 1, green 86, red 171, modulo 256), on runs around the
// 64-pixel blocks of the wide path: empty, shorter than a block, every length of remainder.
TEST(ChannelTables, EveryByteThroughItsChannelsTable) {
    ChannelTables tables;
    for (std::size_t c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            tables[c][std::size_t(v)] = std::uint8_t(v + 1 + 85 * int(c));
    for (const std::size_t pixels : {0, 1, 2, 63, 64, 65, 127, 128, 129, 130, 192, 1000}) {
        std::mt19937 generator{std::uint32_t(pixels)};
        std::vector<std::uint8_t> in(3 * pixels), out(3 * pixels + 1, 0xEE);
        for (std::uint8_t& b : in)
            b = std::uint8_t(generator());
        mapThroughChannelTables(in.data(), out.data(), pixels, tables);
        for (std::size_t i = 0; i < 3 * pixels; ++i)
            ASSERT_EQ(out[i], std::uint8_t(in[i] + 1 + 85 * (i % 3))) << pixels << " at " << i;
        EXPECT_EQ(out[3 * pixels], 0xEE) << "written past the run of " << pixels;
    }
}

// 37 pixels: a 111-byte row plus a padding byte, longer than any vector width; 64 rows, four bands.
// A 24 bpp picture kept at 24 bpp is inverted in the block it reads, yet the bytes are a new
// picture's (padding cleared, header as made) even where the block's header differs; 32 bpp results
// get zero fourth bytes; an indexed picture keeps its indices and inverts its palette.
TEST(Invert, ComplementsEveryPixelIntoTheBytesOfANewPicture) {
    setenv("VELLORA_THREADS", "4", 1);
    DibImage wide = randomPicture(37, 64, 24, 5);
    for (int y = 0; y < 64; ++y)
        wide.row(y)[111] = 0xAB;
    DibImage foreignHeader = wide;
    foreignHeader.data[38] = 1; // horizontal resolution: not what a new picture gets
    const DibImage indexed = randomPicture(37, 64, 4, 2);
    for (const auto& [source, depth] : {std::pair<const DibImage*, int>{&wide, 0},
                                        {&wide, 24},
                                        {&wide, 32},
                                        {&foreignHeader, 0},
                                        {&indexed, 0}}) {
        SCOPED_TRACE(testing::Message() << source->bitsPerPixel << " to " << depth);
        RecordingFrontend frontend;
        Session session(frontend);
        setCurrentPicture(session, *source);
        ASSERT_EQ(nextIntermediatePath(session, session.nextPath), 0);
        ASSERT_EQ(invertImage(session, depth), 0);
        const DibImage result = readImage(session.nextPath);
        ASSERT_EQ(result.bitsPerPixel, depth ? depth : source->bitsPerPixel);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 37; ++x) {
                ASSERT_EQ(rgbAt(result, x, y), 0xFFFFFFu - rgbAt(*source, x, y)) << x << "," << y;
                ASSERT_TRUE(depth != 32 || result.row(y)[4 * x + 3] == 0);
            }
        EXPECT_EQ(result.data, apply(invertToImage, *source, nullptr, depth).data);
        EXPECT_TRUE(result.bitsPerPixel != 24 || result.row(63)[111] == 0);
        EXPECT_TRUE(!result.isIndexed() || indicesOf(result) == indicesOf(*source));
        EXPECT_EQ(readImage(session.currentPath).data, source->data);
    }
    unsetenv("VELLORA_THREADS");
}

TEST(Posterize, FormatAndLevelsOfTheCountsWhichMustBe1To128NotAllOne) {
    // blue, green, red, depth, colours
    const int formats[][5] = {{1, 1, 2, 1, 2},     {1, 1, 3, 4, 3},     {2, 2, 2, 4, 8},
                              {4, 2, 2, 4, 16},    {17, 1, 1, 8, 17},   {6, 6, 6, 8, 216},
                              {1, 15, 17, 8, 255}, {16, 16, 1, 8, 256}, {257, 1, 1, 24, 257},
                              {7, 7, 7, 24, 343}};
    for (const auto& [blue, green, red, depth, colors] : formats) {
        const PosterFormat format = posterResultFormat({blue, green, red});
        EXPECT_EQ(format.depth, depth) << blue << " " << green << " " << red;
        EXPECT_EQ(format.colors, colors) << blue << " " << green << " " << red;
    }
    // value, levels, component, level index; the steps are 255, 127, 42, 15 (the quotient 17
    // of 255 / 15 lies above the top level and is limited to it), 2.
    const int channels[][4] = {{127, 2, 0, 0},       {128, 2, 255, 1},   {255, 3, 254, 2},
                               {190, 3, 127, 1},     {191, 3, 254, 2},   {255, 7, 252, 6},
                               {255, 17, 255, 16},   {240, 17, 240, 16}, {200, 1, 16, 0},
                               {255, 128, 254, 127}, {3, 128, 2, 1}};
    for (const auto& [value, levels, component, index] : channels) {
        EXPECT_EQ(posterComponent(value, levels), component) << value << " " << levels;
        EXPECT_EQ(posterLevelIndex(value, levels), index) << value << " " << levels;
    }
    // common, levels, red, green, blue, valid
    const int cases[][6] = {{0, 2, 1, 1, 1, 0},   {1, 1, 2, 2, 2, 0},   {1, 2, 1, 1, 1, 1},
                            {1, 128, 1, 1, 1, 1}, {1, 129, 1, 1, 1, 0}, {0, 1, 2, 1, 1, 1},
                            {0, 1, 1, 1, 128, 1}, {0, 1, 0, 2, 2, 0},   {0, 1, 2, 129, 2, 0},
                            {0, 1, 1, 2, 1, 1},   {0, 1, 1, 1, 2, 1}};
    for (const auto& [common, rgb, red, green, blue, valid] : cases)
        EXPECT_EQ(posterLevelsValid(common, rgb, red, green, blue), bool(valid))
            << common << " " << rgb << " " << red << green << blue;
    EXPECT_EQ(refusal(posterizeHandler, [](ParameterBlock& b) { b.posterLevelRed = 1; }),
              Messages({{"alert", "each level must be 1 ~ 128 and not 1 same all"},
                        {"error", "failed to posterization the image"}}));
}

TEST(Posterize, HandWorkedPictures) {
    // levels (blue, green, red), pixels, colours, depth, index of the first pixel
    // clang-format off
    const std::tuple<LevelCounts, Colors, Colors, int, int> cases[] = {
        // One level is the 16 of a single division; the default splits red only.
        {{1, 1, 2}, {0x7FFFFF, 0x800000, 0xFF0000, 0}, {0x001010, 0xFF1010, 0xFF1010, 0x001010}, 1, 0},
        {{2, 2, 2}, {0x7F7F7F, 0x808080, 0x80007F, 0x0080FF}, {0, 0xFFFFFF, 0xFF0000, 0x00FFFF}, 4, 0},
        {{6, 6, 6}, {0xFFFFFF, 0x000000, 0x336699}, {0xFFFFFF, 0x000000, 0x336699}, 8, 215},
        // 43 → 42, 21 → 0 (the remainder 21 is not above the half step 21)
        {{7, 7, 7}, {0xFFFFFF, 0x2B0015}, {0xFCFCFC, 0x2A0000}, 24, -1},
        // red level 16, green level 0, one blue level: index 16 × 15
        {{1, 15, 17}, {0xFF0000, 0x0F0000}, {0xFF0010, 0x0F0010}, 8, 240}};
    // clang-format on
    for (const auto& [levels, pixels, colors, depth, firstIndex] : cases) {
        SCOPED_TRACE(depth);
        const DibImage result = apply(posterizeToImage, row(pixels), nullptr, levels);
        ASSERT_EQ(result.bitsPerPixel, depth);
        EXPECT_EQ(rowColors(result), colors);
        if (firstIndex < 0) continue;
        EXPECT_EQ(indicesOf(result)[0], firstIndex);
        const int combinations = levels[0] * levels[1] * levels[2];
        EXPECT_EQ(result.colorsUsed, std::uint32_t(combinations));
        EXPECT_TRUE(combinations >= int(result.paletteEntries) ||
                    result.paletteEntry(combinations)[0] == 0); // past the combinations
    }
    // A palette picture posterizes as its colours do.
    const DibImage indexed = randomPicture(37, 5, 8, 3);
    const DibImage colours =
        makeTrueColorImage(37, 5, [&](int x, int y) { return rgbAt(indexed, x, y); });
    for (const LevelCounts levels : {LevelCounts{3, 5, 4}, LevelCounts{7, 8, 9}})
        EXPECT_EQ(apply(posterizeToImage, indexed, nullptr, levels).data,
                  apply(posterizeToImage, colours, nullptr, levels).data);
}

// Vector-kernel operations: odd sizes leave remainders at every width, few levels tie at cuts.
TEST(ColorAtEveryLevel, SameBytesAsTheBaseline) {
    const PictureOperation operations[] = {
        [](Session& s, const DibImage& source, DibImage& target) {
            return grayScaleToImage(s, source, target, false, 256);
        },
        [](Session& s, const DibImage& source, DibImage& target) {
            return posterizeToImage(s, source, target, {100, 7, 128});
        },
        [](Session& s, const DibImage& source, DibImage& target) {
            return modifyHistogramToImage(s, source, target,
                                          {{true, false, true}, {10, 0, 30}, {200, 255, 240}});
        }};
    for (const PictureOperation& operation : operations)
        for (const DibImage& source :
             {randomPicture(317, 61, 24, 5), randomPicture(64, 33, 8, 9, 6)})
            expectSamePictureAtEveryLevel(operation, source);
}

} // namespace
} // namespace vellora::test
