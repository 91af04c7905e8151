#include "tiling/designTiling.h"
#include "color/ciede2000.h"
#include "color/colorConversion.h"
#include "core/history.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"
#include "tiling/expressTable.h"
#include "tiling/runTiling.h"
#include "tiling/tableText.h"
#include "tiling/tileBands.h"
#include "tiling/tileColorMapping.h"
#include "tiling/tileEdit.h"
#include "tilingTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace vellora {
namespace {

// Hues all round the circle, light to dark, so tiles meet every part of a palette.
DibImage huePicture(int width, int height) {
    return test::makeTrueColorImage(width, height, [&](int x, int y) {
        const double angle = 6.283 * x / width;
        const double light = 0.2 + 0.8 * y / height;
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
        if (d < best) {
            best = d;
            chosen = std::uint8_t(i);
        }
    }
    return chosen;
}

struct DesignFixture : ::testing::Test {
    test::RecordingFrontend frontend;
    Session session{frontend};
    DibImage source;

    void start(const DibImage& picture, const ParameterBlock& block) {
        source = picture;
        test::setCurrentPicture(session, picture);
        session.workingBlock = block;
        session.picturePath = "/pictures/sample.bmp";
    }

    // Every tile's index, in grid order, checked to fill its whole tile.
    std::vector<std::uint8_t> tileIndices(const DibImage& tiled) {
        const TileGeometry g =
            computeTileGeometry(session.workingBlock, source.width, source.height);
        std::vector<std::uint8_t> indices(std::size_t(g.tileCount()));
        for (const TileBand& band : tileBands(g, source.height))
            for (int c = 0; c < g.tileColumns; ++c) {
                std::uint8_t first = 0;
                getIndex(tiled, first, band.paintBegin, tileColumnX(g, c), tiled.bitsPerPixel);
                indices[std::size_t(band.gridRow * g.tileColumns + c)] = first;
                std::uint8_t last = 0;
                getIndex(tiled, last, band.paintEnd - 1,
                         std::min(source.width, tileColumnX(g, c) + g.tileWidth) - 1,
                         tiled.bitsPerPixel);
                EXPECT_EQ(last, first);
            }
        return indices;
    }

    std::vector<Bgr> averages() {
        const TileGeometry g =
            computeTileGeometry(session.workingBlock, source.width, source.height);
        std::vector<Bgr> colors(std::size_t(g.tileCount()));
        for (const TileBand& band : tileBands(g, source.height))
            for (int c = 0; c < g.tileColumns; ++c)
                colors[std::size_t(band.gridRow * g.tileColumns + c)] =
                    averageTileColor(source, g, band.blockY, tileColumnX(g, c));
        return colors;
    }
};

ParameterBlock paletteBlock(std::uint32_t paletteClass) {
    ParameterBlock block = test::tileSizeBlock(5, 4, 1);
    block.tilingConvert = 1;
    block.tilingPaletteClass = paletteClass;
    return block;
}

TEST_F(DesignFixture, EveryTileTakesTheNearestEntryNotExcluded) {
    struct Case {
        std::uint32_t paletteClass; // 0 median cut 16, 1 the 216 safe colours
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
        start(huePicture(97, 63), paletteBlock(c.paletteClass));
        session.design.match = c.match;
        session.design.excluded = c.excluded;
        session.designPalette.colors = c.designPalette;
        ASSERT_EQ(runCommandHandler(session, tilingHandler), 0)
            << testing::PrintToString(frontend.texts());
        const DibImage tiled = test::readImage(session.currentPath);
        std::vector<Bgr> palette;
        for (int i = 0; i < int(tiled.colorsUsed); ++i)
            palette.push_back(
                {tiled.paletteEntry(i)[0], tiled.paletteEntry(i)[1], tiled.paletteEntry(i)[2]});
        if (!c.designPalette.empty()) EXPECT_EQ(palette, c.designPalette);
        const std::vector<Bgr> colors = averages();
        const std::vector<std::uint8_t> indices = tileIndices(tiled);
        for (std::size_t t = 0; t < indices.size(); ++t) {
            ASSERT_EQ(indices[t], referenceNearest(palette, c.excluded, c.match, colors[t]))
                << "tile " << t;
            ASSERT_EQ(std::ranges::count(c.excluded, int(indices[t])), 0);
        }
    }
}

TEST_F(DesignFixture, EveryEntryExcludedIsRefusedAndNothingChanges) {
    start(huePicture(30, 20), paletteBlock(0));
    session.designPalette.colors = {{0, 0, 0}, {255, 255, 255}};
    session.design.excluded = {1, 0};
    const std::string before = session.currentPath;
    EXPECT_EQ(runCommandHandler(session, tilingHandler), 1);
    EXPECT_EQ(session.currentPath, before);
    EXPECT_EQ(frontend.texts(), (std::vector<std::string>{std::string(kAllColorsExcludedText),
                                                          "failed to tiling the image"}));
}

// A gray ramp bent towards dark on black and white: plain mapping makes the mosaic as a whole
// too dark; passing each tile's error on keeps its mean near the picture's.
TEST_F(DesignFixture, TileDitherKeepsCountsAndBringsTheMeanCloser) {
    const DibImage ramp = test::makeTrueColorImage(120, 90, [](int x, int) {
        const auto v = std::uint32_t(255.0 * (x / 119.0) * (x / 119.0));
        return v << 16 | v << 8 | v;
    });
    const auto meanError = [&](bool dither) {
        start(ramp, paletteBlock(0));
        session.designPalette.colors = {{0, 0, 0}, {255, 255, 255}};
        session.design.tileDither = dither;
        EXPECT_EQ(runCommandHandler(session, tilingHandler), 0);
        const DibImage tiled = test::readImage(session.currentPath);
        TilingTable table;
        EXPECT_EQ(buildTilingTable(session, table), 0);
        const std::vector<std::int64_t> counts = paletteUseCounts(table);
        EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), std::int64_t(0)),
                  table.geometry.tileCount());
        double mosaic = 0;
        double picture = 0;
        const std::vector<Bgr> colors = averages();
        const std::vector<std::uint8_t> indices = tileIndices(tiled);
        for (std::size_t t = 0; t < indices.size(); ++t) {
            mosaic += tiled.paletteEntry(indices[t])[1];
            picture += colors[t][1];
        }
        return std::abs(mosaic - picture) / double(indices.size());
    };
    const double plain = meanError(false);
    const double dithered = meanError(true);
    EXPECT_GT(plain, 5.0);
    EXPECT_LT(dithered, plain / 4);
}

// Colour Processing to 16 colours with diffusion, then a tiling that keeps that palette: the
// tiled picture, its table and its counts are all on those 16 colours.
TEST_F(DesignFixture, KeptPaletteFollowsColourProcessing) {
    ParameterBlock block = paletteBlock(1);
    block.colorMethod = 0;
    block.colorChoice[0] = 3;
    block.colorDiffusion = 1;
    start(huePicture(80, 50), block);
    ASSERT_EQ(runCommandHandler(session, colorConversionHandler), 0);
    const DibImage reduced = test::readImage(session.currentPath);
    ASSERT_EQ(reduced.colorsUsed, 16u);
    source = reduced;
    session.currentInfo.width = reduced.width;
    session.currentInfo.height = reduced.height;
    session.design.keepPalette = true;
    ASSERT_EQ(runCommandHandler(session, tilingHandler), 0);
    const DibImage tiled = test::readImage(session.currentPath);
    ASSERT_EQ(tiled.colorsUsed, 16u);
    EXPECT_TRUE(std::equal(tiled.paletteEntry(0), tiled.paletteEntry(16), reduced.paletteEntry(0)));
    const TileColorMapping nearest = pictureColorMapping(reduced);
    const std::vector<Bgr> colors = averages();
    const std::vector<std::uint8_t> indices = tileIndices(tiled);
    for (std::size_t t = 0; t < indices.size(); ++t)
        ASSERT_EQ(indices[t], nearest.paletteIndex(colors[t])) << t;

    std::string text;
    ASSERT_EQ(expressTilingTable(session, text), 0);
    EXPECT_NE(text.find("\n     15,"), std::string::npos);
    EXPECT_EQ(text.find("\n     16,"), std::string::npos);
    TilingTable table;
    ASSERT_EQ(buildTilingTable(session, table), 0);
    const std::vector<std::int64_t> counts = paletteUseCounts(table);
    EXPECT_EQ(counts.size(), 16u);
    EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), std::int64_t(0)),
              table.geometry.tileCount());
}

// W = 34, H = 35, tiles 10 x 10, slits 2: columns at 0, 12, 24; the bottom row of tiles is 11
// rows high (stored 0 … 10), the rows above start at stored rows 13 and 25.
TEST(TileEdit, PointsFindTheirTileAndSlitsNone) {
    const TileGeometry g = computeTileGeometry(test::tileSizeBlock(10, 10, 2), 34, 35);
    struct Case {
        int x, top;
        std::optional<TileCell> cell;
    };
    const Case cases[] = {
        {0, 0, TileCell{0, 0}},  {9, 9, TileCell{0, 0}},   {10, 0, std::nullopt},
        {12, 0, TileCell{0, 1}}, {33, 34, TileCell{2, 2}}, {0, 10, std::nullopt},
        {0, 12, TileCell{1, 0}}, {0, 24, TileCell{2, 0}},  {0, 23, std::nullopt},
        {-1, 0, std::nullopt},   {34, 0, std::nullopt},    {0, 35, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tileAtPoint(g, 34, 35, c.x, c.top), c.cell) << c.x << "," << c.top;
}

// One painted tile moves one count from its old entry to the new one, and undo moves it back.
TEST_F(DesignFixture, PaintedTileMovesOneCountAndUndoRestoresIt) {
    start(huePicture(40, 30), paletteBlock(0));
    ASSERT_EQ(runCommandHandler(session, tilingHandler), 0);
    const auto counts = [&] {
        TilingTable table;
        EXPECT_EQ(buildTilingTable(session, table), 0);
        return paletteUseCounts(table);
    };
    const std::vector<std::int64_t> before = counts();
    const TileGeometry g = computeTileGeometry(session.workingBlock, 40, 30);
    const TileCell cell{2, 3};
    const int old = tileIndex(test::readImage(session.currentPath), g, cell);
    const int fresh = (old + 5) % 16;
    ASSERT_EQ(paintTile(session, cell, fresh), 0);
    EXPECT_EQ(tileIndex(test::readImage(session.currentPath), g, cell), fresh);
    std::vector<std::int64_t> expected = before;
    --expected[std::size_t(old)];
    ++expected[std::size_t(fresh)];
    EXPECT_EQ(counts(), expected);
    ASSERT_TRUE(undo(session));
    EXPECT_EQ(counts(), before);

    const std::string current = session.currentPath;
    EXPECT_EQ(paintTile(session, cell, 16), 1);
    EXPECT_EQ(paintTile(session, TileCell{9, 0}, 1), 1);
    EXPECT_EQ(session.currentPath, current);
    EXPECT_EQ(frontend.texts(),
              (std::vector<std::string>{"the colour is not in the picture's palette",
                                        "there is no tile to paint there"}));
}

} // namespace
} // namespace vellora
