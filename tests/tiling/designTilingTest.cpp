#include "tiling/designTiling.h"
#include "color/ciede2000.h"
#include "core/history.h"
#include "core/operationFrame.h"
#include "tiling/expressTable.h"
#include "tiling/runTiling.h"
#include "tiling/tableText.h"
#include "tiling/tileColorMapping.h"
#include "tiling/tileDither.h"
#include "tiling/tileEdit.h"
#include "tiling/tileMatcher.h"
#include "tilingTestSupport.h"

#include <cmath>
#include <numeric>
#include <random>

namespace vellora {
namespace {

using test::tileSizeBlock;

// Hues all round the circle, light to dark, so tiles meet every part of a palette.
DibImage huePicture(int width, int height) {
    return test::makeTrueColorImage(width, height, [&](int x, int y) {
        const double angle = 6.283 * x / width, light = 0.2 + 0.8 * y / height;
        const auto channel = [&](double phase) {
            return std::uint32_t(
                std::clamp(light * (128 + 120 * std::cos(angle + phase)), 0.0, 255.0));
        };
        return channel(0) << 16 | channel(2.1) << 8 | channel(4.2);
    });
}

// The nearest allowed entry by a plain search over every entry, lowest index on ties.
std::uint8_t referenceNearest(const std::vector<Bgr>& palette, const std::vector<int>& excluded,
                              ColorMatch match, const Bgr& color) {
    double best = INFINITY;
    std::uint8_t chosen = 0;
    const Lab lab = labFromSrgb(color[0], color[1], color[2]);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        if (std::ranges::count(excluded, int(i)) != 0) continue;
        const Bgr& e = palette[i];
        double d = 0;
        if (match == ColorMatch::Ciede2000)
            d = ciede2000(lab, labFromSrgb(e[0], e[1], e[2]));
        else
            for (int k = 0; k < 3; ++k)
                d += (color[k] - e[k]) * (color[k] - e[k]);
        if (d < best) best = d, chosen = std::uint8_t(i);
    }
    return chosen;
}

struct DesignTiling : test::TilingSession {
    void start(const DibImage& picture, std::uint32_t paletteClass = 0) {
        ParameterBlock block = tileSizeBlock(5, 4, 1);
        block.tilingConvert = 1;
        block.tilingPaletteClass = paletteClass;
        TilingSession::start(picture, block);
    }
    std::vector<std::int64_t> counts() {
        TilingTable table;
        EXPECT_EQ(buildTilingTable(session, table), 0);
        EXPECT_EQ(readLe32(table.header.data.data() + 46),
                  table.header.colorsUsed); // the bitmap header's place
        const std::vector<std::int64_t> counts = paletteUseCounts(table);
        EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), std::int64_t(0)),
                  table.geometry.tileCount());
        return counts;
    }
};

TEST_F(DesignTiling, EveryTileTakesTheNearestEntryNotExcluded) {
    // Palette class 0 median cut 16, 1 the 216 safe colours.
    struct Case {
        std::uint32_t paletteClass;
        ColorMatch match;
        std::vector<int> excluded;
        std::vector<Bgr> designPalette;
    };
    const Case cases[] = {
        {0, ColorMatch::Ciede2000, {}, {}},
        {0, ColorMatch::Ciede2000, {0, 3, 7, 8, 15}, {}},
        {0, ColorMatch::Rgb, {1, 2, 4, 9}, {}},
        {1, ColorMatch::Ciede2000, {}, {}},
        {1, ColorMatch::Ciede2000, {43, 0, 215, 500}, {}},
        {0, ColorMatch::Ciede2000, {1}, {{0, 0, 200}, {200, 0, 0}, {0, 200, 0}, {90, 90, 90}}},
        {1, ColorMatch::Rgb, {}, {{30, 60, 90}, {250, 250, 250}, {10, 10, 10}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "class " << c.paletteClass << " excluded " << c.excluded.size()
                     << " design " << c.designPalette.size());
        start(huePicture(97, 63), c.paletteClass);
        session.design.match = c.match;
        session.design.excluded = c.excluded;
        session.designPalette.colors = c.designPalette;
        ASSERT_EQ(runCommandHandler(session, tilingHandler), 0);
        const DibImage tiled = current();
        const std::vector<Bgr> palette = paletteColors(tiled);
        EXPECT_TRUE(c.designPalette.empty() || palette == c.designPalette);
        const std::vector<Bgr> averages = test::mappedAverages(source, geometry());
        const std::vector<Bgr> tiles = test::paintedTiles(tiled, geometry());
        for (std::size_t t = 0; t < tiles.size(); ++t)
            ASSERT_EQ(tiles[t][0], referenceNearest(palette, c.excluded, c.match, averages[t]))
                << t;
    }
}

// Worked by hand on a 2 × 2 grid, black or white by blue ≥ 128: tile 0 (100) passes 7/16 of
// 100 right, 5/16 down and 1/16 down-right; tile 1 (0 + 43.75) passes 5/16 of 43.75 down
// and 3/16 down-left; tile 2 (31.25 + 8.2) passes 7/16 of 39.45 right. Tile 3 gets
// 6.25 + 13.67 + 17.26 = 37.18: with 90 it is 127.18, black; with 91, 128.18, white.
TEST(TileDither, FloydSteinbergWeightsOnTheGrid) {
    const TileColorMapping threshold{[](const Bgr& c) { return std::uint8_t(c[0] >= 128); }};
    const std::vector<Bgr> palette = {{0, 0, 0}, {255, 255, 255}};
    for (std::uint8_t last : {90, 91}) {
        std::vector<Bgr> grid = {{100, 100, 100}, {0, 0, 0}, {0, 0, 0}, {last, last, last}};
        ditherTileGrid(grid, 2, threshold, palette);
        EXPECT_EQ(grid,
                  (std::vector<Bgr>{
                      {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {Bgr{std::uint8_t(last == 91), 0, 0}}}));
    }
    // No palette, no columns or a true-colour mapping: the averages stay.
    const std::vector<Bgr> averages = {{200, 10, 10}, {30, 30, 30}};
    for (auto [columns, colours, mapping] : {std::tuple{2, std::vector<Bgr>{}, threshold},
                                             {0, palette, threshold},
                                             {2, palette, TileColorMapping{}}}) {
        std::vector<Bgr> grid = averages;
        ditherTileGrid(grid, columns, mapping, colours);
        EXPECT_EQ(grid, averages);
    }
}

// A gray ramp bent towards dark on black and white: plain mapping makes the mosaic as a whole
// too dark; passing each tile's error on keeps its mean near the picture's.
TEST_F(DesignTiling, TileDitherKeepsCountsAndBringsTheMeanCloser) {
    const DibImage ramp = test::makeTrueColorImage(120, 90, [](int x, int) {
        return std::uint32_t(255.0 * (x / 119.0) * (x / 119.0)) * 0x010101u;
    });
    const auto meanError = [&](bool dither) {
        start(ramp);
        session.designPalette.colors = {{0, 0, 0}, {255, 255, 255}};
        session.design.tileDither = dither;
        EXPECT_EQ(runCommandHandler(session, tilingHandler), 0);
        counts();
        const std::vector<Bgr> averages = test::mappedAverages(source, geometry());
        const std::vector<Bgr> tiles = test::paintedTiles(current(), geometry());
        double difference = 0;
        for (std::size_t t = 0; t < tiles.size(); ++t)
            difference += 255 * tiles[t][0] - averages[t][1];
        return std::abs(difference) / double(tiles.size());
    };
    const double plain = meanError(false);
    EXPECT_GT(plain, 5.0);
    EXPECT_LT(meanError(true), plain / 4);
}

// A 16-colour picture whose palette is kept: the tiles take its nearest entries.
TEST_F(DesignTiling, KeptPaletteIsThePicturesOwn) {
    std::vector<std::uint32_t> palette;
    for (std::uint32_t i = 0; i < 16; ++i)
        palette.push_back(i * 0x0F0B07u);
    start(test::makeIndexedImage(80, 50, 4, palette,
                                 [](int x, int y) { return (x / 3 + y / 2) % 16; }),
          1);
    session.design.keepPalette = true;
    ASSERT_EQ(runCommandHandler(session, tilingHandler), 0);
    const DibImage tiled = current();
    EXPECT_EQ(paletteColors(tiled), paletteColors(source));
    EXPECT_EQ(test::paintedTiles(tiled, geometry()),
              test::mappedAverages(source, geometry(), pictureColorMapping(source)));
    EXPECT_EQ(counts().size(), 16u);
}

// Colours one red step apart and each the other's neighbour in memory: answers remembered by
// colour must tell them apart.
TEST(TileMatcher, RemembersAnswersByTheWholeColour) {
    const TileMatcher matcher({{0, 0, 0}, {0, 0, 255}}, {true, true}, ColorMatch::Ciede2000);
    const std::vector<Bgr> colors = {{0, 0, 0}, {0, 0, 255}, {0, 0, 0}, {0, 0, 255}};
    for (std::size_t i = 0; i < colors.size(); ++i)
        EXPECT_EQ(matcher.nearest(colors[i]), i % 2) << i;
    EXPECT_FALSE(TileMatcher({{1, 2, 3}}, {false}, ColorMatch::Rgb).anyAllowed());
}

// A walk of colours, with jumps, over random palettes (grays with near duplicates on every
// other one): the last answer, the lightness window and both bounds must never lose the
// entry a plain search finds.
TEST(TileMatcher, Ciede2000AgreesWithAPlainSearch) {
    std::mt19937 random(3);
    const auto byte = [&] { return std::uint8_t(random()); };
    for (int trial = 0; trial < 30; ++trial) {
        std::vector<Bgr> palette(1 + random() % 256);
        for (Bgr& c : palette) {
            const std::uint8_t g = byte();
            c = trial % 2 ? Bgr{g, g, std::uint8_t(g + random() % 3)} : Bgr{byte(), byte(), byte()};
        }
        std::vector<bool> allowed(palette.size());
        std::vector<int> excluded;
        for (std::size_t i = 0; i < palette.size(); ++i)
            if (!(allowed[i] = random() % 5 != 0)) excluded.push_back(int(i));
        const TileMatcher matcher(palette, allowed, ColorMatch::Ciede2000);
        Bgr color{byte(), byte(), byte()};
        for (int q = 0; matcher.anyAllowed() && q < 400; ++q) {
            for (std::uint8_t& k : color)
                k = random() % 10 == 0 ? byte() : std::uint8_t(k + int(random() % 7) - 3);
            ASSERT_EQ(matcher.nearest(color),
                      referenceNearest(palette, excluded, ColorMatch::Ciede2000, color))
                << trial << " " << q;
        }
    }
}

// W = 34, H = 35, tiles 10 × 10, slits 2: columns at 0, 12, 24; the bottom row of tiles is 11
// rows high (stored 0 … 10), the rows above start at stored rows 13 and 25.
TEST(TileEdit, PointsFindTheirTileAndSlitsNone) {
    const TileGeometry g = computeTileGeometry(tileSizeBlock(10, 10, 2), 34, 35);
    const struct {
        int x, top;
        std::optional<TileCell> cell;
    } cases[] = {
        {0, 0, TileCell{0, 0}},  {9, 9, TileCell{0, 0}},   {10, 0, std::nullopt},
        {12, 0, TileCell{0, 1}}, {33, 34, TileCell{2, 2}}, {0, 10, std::nullopt},
        {0, 12, TileCell{1, 0}}, {0, 24, TileCell{2, 0}},  {0, 23, std::nullopt},
        {-1, 0, std::nullopt},   {34, 0, std::nullopt},    {0, 35, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tileAtPoint(g, 34, 35, c.x, c.top), c.cell) << c.x << "," << c.top;
    // No tile and no slit: no pitch to divide by.
    EXPECT_EQ(tileAtPoint(TileGeometry{}, 9, 9, 3, 3), std::nullopt);
}

// One painted tile moves one count from its old entry to the new one, and undo moves it back.
TEST_F(DesignTiling, PaintedTileMovesOneCountAndUndoRestoresIt) {
    start(huePicture(40, 30));
    ASSERT_EQ(runCommandHandler(session, tilingHandler), 0);
    const std::vector<std::int64_t> before = counts();
    const TileCell cell{2, 3};
    const int old = tileIndex(current(), geometry(), cell);
    const int fresh = (old + 5) % 16;
    const DibImage tiled = current();
    ASSERT_EQ(paintTile(session, cell, fresh), 0);
    const DibImage painted = current();
    EXPECT_EQ(tileIndex(painted, geometry(), cell), fresh);
    int changed = 0; // the whole 5 × 4 tile and nothing else
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            changed += test::rgbAt(tiled, x, y) != test::rgbAt(painted, x, y);
    EXPECT_EQ(changed, 5 * 4);
    std::vector<std::int64_t> expected = before;
    --expected[std::size_t(old)];
    ++expected[std::size_t(fresh)];
    EXPECT_EQ(counts(), expected);
    ASSERT_TRUE(undo(session));
    EXPECT_EQ(counts(), before);

    const std::string kept = session.currentPath;
    EXPECT_EQ(paintTile(session, cell, 16), 1);
    EXPECT_EQ(paintTile(session, cell, -1), 1);
    EXPECT_EQ(paintTile(session, TileCell{9, 0}, 1), 1);
    EXPECT_EQ(session.currentPath, kept);
    ASSERT_EQ(paintTile(session, cell, 0), 0); // the first entry is a colour like any other
    EXPECT_EQ(tileIndex(current(), geometry(), cell), 0);
    start(huePicture(40, 30)); // not tiled: true colour
    EXPECT_EQ(paintTile(session, cell, 0), 1);
    EXPECT_EQ(frontend.texts(),
              (std::vector<std::string>{"the colour is not in the picture's palette",
                                        "the colour is not in the picture's palette",
                                        "there is no tile to paint there",
                                        "tiles can be painted only on a palette picture"}));
}

} // namespace
} // namespace vellora
