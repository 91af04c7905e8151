#include "color/ciede2000.h"
#include "core/history.h"
#include "core/operationFrame.h"
#include "tiling/designTiling.h"
#include "tiling/expressTable.h"
#include "tiling/palettePreview.h"
#include "tiling/runTiling.h"
#include "tiling/tableText.h"
#include "tiling/tileDither.h"
#include "tiling/tileEdit.h"
#include "tiling/tileMatcher.h"
#include "tilingTestSupport.h"

#include <cmath>
#include <cstring>
#include <fstream>
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

ParameterBlock withConversion(ParameterBlock block, std::uint32_t paletteClass) {
    block.tilingConvert = 1;
    block.tilingPaletteClass = paletteClass;
    return block;
}

struct Tiling : test::TilingSession {
    // Runs the command: the tiled picture, checked for its depth and colours used.
    DibImage tile(int bitsPerPixel, int colors) {
        EXPECT_EQ(runCommandHandler(session, tilingHandler), 0)
            << testing::PrintToString(frontend.texts());
        const DibImage tiled = current();
        EXPECT_EQ(std::tuple(int(tiled.bitsPerPixel), int(tiled.colorsUsed)),
                  std::tuple(bitsPerPixel, colors));
        return tiled;
    }
    // The use counts of the tiling table: the picture's header and colour table, then the entries.
    std::vector<std::int64_t> counts() {
        TilingTable table;
        EXPECT_EQ(buildTilingTable(session, table), 0);
        EXPECT_EQ(table.header.data.size(), 1078 + 3 * std::size_t(geometry().tileCount()) + 6);
        const DibImage picture = current();
        EXPECT_TRUE(std::equal(picture.data.begin(), picture.data.begin() + picture.bitsOffset,
                               table.header.data.begin()));
        return paletteUseCounts(table);
    }
    // The command fails with these texts and the current picture stays.
    void expectRefused(const std::vector<std::string>& texts) {
        const std::string before = session.currentPath;
        EXPECT_EQ(runCommandHandler(session, tilingHandler), 1);
        EXPECT_EQ(session.currentPath, before);
        EXPECT_TRUE(texts.empty() || frontend.texts() == texts)
            << testing::PrintToString(frontend.texts());
    }
};

// The roads below show each palette class's code by the target it makes; here the user palette
// by its format flag, a class past the list, and choices past any list kept in their class.
TEST(TilingCode, UserPaletteFormatsAndUnknownClass) {
    ParameterBlock user = withConversion(defaultParameterBlock(), 2);
    user.tilingMedianIndex = user.tilingEvenIndex = 256;
    EXPECT_EQ(std::tuple(tilingConversionCode(user, 0), tilingConversionCode(user, 1)),
              std::tuple(1024, 1025));
    EXPECT_EQ(tilingConversionCode(withConversion(user, 3), 0), -1);
    for (const auto& [tilingClass, code] : {std::pair{0u, 255}, {1u, 2 * 256 + 255}})
        EXPECT_EQ(tilingConversionCode(withConversion(user, tilingClass), 0), code);
}

// Every palette road, with and without design settings: each tile takes the entry a plain search
// finds nearest its average among those not left out (by RGB also the even palette's lookup, its
// levels equally spaced); with tile dithering, the entry the averages' grid dithered on that search
// gives; without a palette, its average. The table counts each entry's tiles; the palette
// previewed is the one used (a median cut's only by number). Slit probes: x, stored y, colour.
TEST_F(Tiling, EveryTileTakesTheNearestEntryNotExcluded) {
    std::ofstream(folder / "three.csv") << "red,green,blue\n255,0,0\n0,0,255\n250,250,250\n";
    ParameterBlock plain = tileSizeBlock(10, 10, 2, 2, 4);
    plain.tilingConvert = 0;
    ParameterBlock user = withConversion(tileSizeBlock(6, 5, 1, 0, 5), 2);
    std::strcpy(user.userPalettePath, (folder / "three.csv").c_str());
    const ParameterBlock median = withConversion(tileSizeBlock(5, 4, 1), 0),
                         even = withConversion(tileSizeBlock(5, 4, 1), 1);
    ParameterBlock two = withConversion(tileSizeBlock(9, 9, 2), 0);
    two.tilingMedianIndex = 0; // two colours
    const DibImage hues = huePicture(97, 63), indexed = test::randomPicture(80, 50, 4, 5u);
    const auto ciede = ColorMatch::Ciede2000, rgb = ColorMatch::Rgb;
    const struct {
        const char* name;
        DibImage picture;
        ParameterBlock block;
        int bitsPerPixel, colors;
        std::vector<std::array<std::uint32_t, 3>> probes = {};
        ColorMatch match = ColorMatch::Rgb;
        std::vector<int> excluded = {};
        std::vector<Bgr> designPalette = {};
        bool keepPalette = false, tileDither = false;
    } cases[] = {
        // clang-format off
        // Horizontal slits little gray, the crossings the vertical deep gray.
        {"no palette: nothing to match", huePicture(37, 35), plain, 24, 0,
         {{0, 11, 0x999999}, {10, 11, 0x333333}}, ciede},
        // Tiles 9 wide with slit 2 start at odd columns, within a byte of 1 bpp.
        {"median cut", huePicture(60, 41), two, 1, 2},
        // The default light gray slits are a safe colour; bottomRemainder 0 makes row 0 a slit.
        {"216 safe colours by default", huePicture(50, 30), defaultParameterBlock(), 8, 216,
         {{0, 0, 0xCCCCCC}, {9, 15, 0xCCCCCC}}},
        // White slits take (250, 250, 250); black ties between red and blue, the lower index: red.
        {"user palette file", huePicture(40, 23), user, 4, 3,
         {{0, 5, 0xFAFAFA}, {6, 0, 0xFF0000}, {13, 5, 0xFF0000}}},
        {"CIEDE2000 alone", hues, median, 4, 16, {}, ciede},
        {"four left out by RGB", hues, median, 4, 16, {}, rgb, {1, 2, 4, 9}},
        {"safe colours by CIEDE2000, some left out past the palette", hues, even, 8, 216, {}, ciede,
         {43, 0, 215, 500}},
        // The slits keep the palette's plain lookup: light gray is nearest (90, 90, 90).
        {"design palette", hues, median, 4, 4, {{5, 0, 0x5A5A5A}}, ciede, {3},
         {{0, 0, 200}, {200, 0, 0}, {0, 200, 0}, {90, 90, 90}}},
        {"kept palette", indexed, even, 4, 16, {}, rgb, {}, {}, true},
        {"palette not kept", indexed, even, 8, 216},
        // Each tile takes the entry its average plus the error carried to it is nearest.
        {"tile dither", hues, median, 4, 3, {}, ciede, {1},
         {{0, 0, 0}, {255, 255, 255}, {0, 0, 255}}, false, true},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        start(c.picture, c.block);
        session.design.match = c.match;
        session.design.excluded = c.excluded;
        session.design.keepPalette = c.keepPalette;
        session.design.tileDither = c.tileDither;
        session.designPalette.colors = c.designPalette;
        // What the tiling will choose from, as far as it is known beforehand.
        const PalettePreview preview = previewTilingPalette(session, c.block);
        const DibImage tiled = tile(c.bitsPerPixel, c.colors);
        for (auto [x, y, colour] : c.probes)
            EXPECT_EQ(test::rgbAt(tiled, int(x), int(y)), colour) << x << "," << y;
        const std::vector<Bgr> palette = paletteColors(tiled);
        EXPECT_EQ(preview.colors, preview.colorsKnown ? palette : std::vector<Bgr>(palette.size()));
        TileColorMapping nearest;
        if (tiled.isIndexed())
            nearest.paletteIndex = [&](const Bgr& color) {
                return referenceNearest(palette, c.excluded, c.match, color);
            };
        std::vector<Bgr> expected =
            test::mappedAverages(source, geometry(), c.tileDither ? TileColorMapping{} : nearest);
        if (c.tileDither) ditherTileGrid(expected, geometry().tileColumns, nearest, palette);
        std::vector<std::int64_t> tally(palette.size(), 0);
        for (const Bgr& tile : expected)
            if (tiled.isIndexed()) ++tally[tile[0]];
        EXPECT_EQ(test::paintedTiles(tiled, geometry()), expected);
        EXPECT_EQ(counts(), tally);
    }
    EXPECT_TRUE(frontend.messages.empty());
}

// A missing palette file (nothing to preview either) and a grid of no pitch stop before the
// operation starts; an unreadable picture and design palettes leaving no choice fail inside it.
TEST_F(Tiling, RefusalsLeaveTheCurrentPicture) {
    ParameterBlock block = withConversion(tileSizeBlock(6, 5, 1), 2);
    std::strcpy(block.userPalettePath, (folder / "none.csv").c_str());
    start(huePicture(20, 20), block);
    expectRefused({"failed to open the csv file cause might be illegal data\ncannot read \"" +
                   (folder / "none.csv").string() + "\": No such file or directory"});
    const PalettePreview unknown = previewTilingPalette(session, block);
    EXPECT_TRUE(unknown.colors.empty() && !unknown.colorsKnown);
    block = tileSizeBlock(0, 9, 0); // no tile width and no slit
    start(huePicture(20, 20), block);
    frontend.clear();
    expectRefused({"tile size and slit pixel size are both 0, so no tile can be laid out"});
    EXPECT_TRUE(frontend.progressVisibility.empty());
    start(huePicture(20, 20), tileSizeBlock(3, 3, 1));
    test::writeFileBytes(session.currentPath, {'B', 'M', 1, 2});
    expectRefused({});
    EXPECT_EQ(frontend.messages.back(), (test::Message{"error", "failed to tiling the image"}));
    start(huePicture(20, 20), tileSizeBlock(3, 3, 1));
    session.designPalette.colors = {{0, 0, 0}, {255, 255, 255}};
    session.design.excluded = {1, 0};
    frontend.clear();
    expectRefused({std::string(kAllColorsExcludedText), "failed to tiling the image"});
    session.design.excluded.clear();
    session.designPalette.colors.assign(257, Bgr{1, 2, 3});
    frontend.clear();
    expectRefused({std::string(kDesignPaletteSizeText), "failed to tiling the image"});
}

// By hand on a 2 × 2 grid of grays, black or white by rounded mean ≥ 128: tile 0 (120) passes 7/16
// of 120 right, 5/16 down, 1/16 down-right; tile 1 (0 + 52.5) 5/16 of 52.5 down, 3/16 down-left;
// tile 2 (37.5 + 9.84) 7/16 of 47.34 right. Tile 3 gets 7.5 + 16.41 + 20.71 = 44.62: with 82,
// 126.62, black; with 83, 127.62, white: so near the rounding edge no weight may be off.
TEST(TileDither, FloydSteinbergWeightsOnTheGrid) {
    const TileColorMapping threshold{
        [](const Bgr& c) { return std::uint8_t(c[0] + c[1] + c[2] >= 3 * 128); }};
    const std::vector<Bgr> palette = {{0, 0, 0}, {255, 255, 255}};
    for (std::uint8_t last : {82, 83}) {
        std::vector<Bgr> grid = {{120, 120, 120}, {0, 0, 0}, {0, 0, 0}, {last, last, last}};
        ditherTileGrid(grid, 2, threshold, palette);
        EXPECT_EQ(grid,
                  (std::vector<Bgr>{
                      {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {Bgr{std::uint8_t(last == 83), 0, 0}}}));
    }
    // One column: 97 gets only the 5/16 of 100 from above, 128.25, white; the rest falls outside.
    std::vector<Bgr> column = {{100, 100, 100}, {97, 97, 97}};
    ditherTileGrid(column, 1, threshold, palette);
    EXPECT_EQ(column, (std::vector<Bgr>{{0, 0, 0}, {1, 0, 0}}));
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

// A walk of colours, with jumps, over random palettes (every other one grays with near duplicates):
// the last answer, the lightness window and both bounds never lose the entry a plain search finds.
TEST(TileMatcher, Ciede2000AgreesWithAPlainSearch) {
    std::mt19937 random(3);
    const auto byte = [&] { return std::uint8_t(random()); };
    EXPECT_EQ(TileMatcher({{9, 9, 9}}, {false}, ColorMatch::Ciede2000).nearest({9, 9, 9}), 0);
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
        if (!matcher.anyAllowed()) continue;
        // A walk of colours, some repeated, asked for one at a time and in rows of up to 40.
        std::vector<Bgr> walk;
        Bgr color{byte(), byte(), byte()};
        while (walk.size() < 400) {
            for (std::uint8_t& k : color)
                k = random() % 10 == 0 ? byte() : std::uint8_t(k + int(random() % 7) - 3);
            walk.insert(walk.end(), 1 + random() % 2, color);
        }
        std::vector<std::uint8_t> found(walk.size());
        for (std::size_t q = 0, row = 0; q < walk.size(); q += row) {
            row = std::min<std::size_t>(walk.size() - q, random() % 41);
            if (row == 0)
                found[q] = matcher.nearest(walk[q]), row = 1;
            else
                matcher.nearestRow(&walk[q], row, &found[q]);
        }
        for (std::size_t q = 0; q < walk.size(); ++q)
            ASSERT_EQ(found[q], referenceNearest(palette, excluded, ColorMatch::Ciede2000, walk[q]))
                << trial << " " << q;
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
    // No tile and no slit: no pitch to divide by; 1-pixel tiles without slits: every pixel a tile.
    EXPECT_EQ(tileAtPoint(TileGeometry{}, 9, 9, 3, 3), std::nullopt);
    EXPECT_EQ(tileAtPoint(computeTileGeometry(tileSizeBlock(1, 1, 0), 9, 9), 9, 9, 3, 2),
              (TileCell{2, 3}));
    // Tiles of no height cover no pixel, so they have no index.
    const DibImage ones =
        test::makeIndexedImage(4, 4, 1, {0, 0xFFFFFF}, [](int, int) { return 1; });
    EXPECT_EQ(tileIndex(ones, computeTileGeometry(tileSizeBlock(2, 0, 1), 4, 4), {1, 0}), -1);
}

// Painting changes that tile alone and moves one count from old entry to new; undo moves it back.
TEST_F(Tiling, PaintedTileMovesOneCountAndUndoRestoresIt) {
    start(huePicture(40, 30), withConversion(tileSizeBlock(5, 4, 1), 0));
    const DibImage tiled = tile(4, 16);
    const std::vector<std::int64_t> before = counts();
    const TileCell cell{2, 0}; // the first column
    const int old = tileIndex(tiled, geometry(), cell);
    const int fresh = (old + 5) % 16;
    ASSERT_EQ(paintTile(session, cell, fresh), 0);
    const DibImage painted = current();
    EXPECT_EQ(tileIndex(painted, geometry(), cell), fresh);
    int changed = 0; // the whole 5 × 4 tile, stored rows 16 … 19, and nothing else
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            changed += (test::rgbAt(tiled, x, y) != test::rgbAt(painted, x, y)) *
                       (x < 5 && y >= 16 && y < 20 ? 1 : 100);
    EXPECT_EQ(changed, 5 * 4);
    std::vector<std::int64_t> expected = before;
    --expected[std::size_t(old)];
    ++expected[std::size_t(fresh)];
    EXPECT_EQ(counts(), expected);
    ASSERT_TRUE(undo(session));
    EXPECT_EQ(counts(), before);
    const std::string kept = session.currentPath;
    for (const auto& [at, index] : {std::pair{cell, 16}, {cell, -1}, {TileCell{0, 7}, 1}})
        EXPECT_EQ(paintTile(session, at, index), 1) << index;
    EXPECT_EQ(session.currentPath, kept);
    ASSERT_EQ(paintTile(session, cell, 0), 0); // the first entry is a colour like any other
    EXPECT_EQ(tileIndex(current(), geometry(), cell), 0);
    start(huePicture(40, 30), tileSizeBlock(5, 4, 1)); // not tiled: true colour
    EXPECT_EQ(std::pair(paintTile(session, cell, 0), tileIndex(source, geometry(), cell)),
              std::pair(1, -1));
    EXPECT_EQ(frontend.texts(),
              (std::vector<std::string>{"the colour is not in the picture's palette",
                                        "the colour is not in the picture's palette",
                                        "there is no tile to paint there",
                                        "tiles can be painted only on a palette picture"}));
}

} // namespace
} // namespace vellora
