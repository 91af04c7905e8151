#include "tiling/runTiling.h"
#include "color/evenPalette.h"
#include "core/operationFrame.h"
#include "tiling/designTiling.h"
#include "tiling/expressTable.h"
#include "tiling/palettePreview.h"
#include "tiling/saveTableCsv.h"
#include "tiling/tableText.h"
#include "tiling/tileColorMapping.h"
#include "tiling/tileMatcher.h"
#include "tilingTestSupport.h"

#include <cstring>

namespace vellora {
namespace {

using test::tileSizeBlock;

// Smooth gradients and a hard edge, so tiles differ.
DibImage gradientPicture(int width, int height) {
    return test::makeTrueColorImage(width, height, [&](int x, int y) {
        const auto red = std::uint32_t(255 * x / std::max(1, width - 1));
        const auto green = std::uint32_t(255 * y / std::max(1, height - 1));
        return red << 16 | green << 8 | (x > width / 2 ? 200u : 30u);
    });
}

ParameterBlock withConversion(ParameterBlock block, std::uint32_t paletteClass) {
    block.tilingConvert = 1;
    block.tilingPaletteClass = paletteClass;
    return block;
}

struct RunTiling : test::TilingSession {
    // Tiles the picture; the tiled result, checked to paint every tile with its mapped average.
    DibImage tile(int bitsPerPixel, int colors, int code, const EvenPaletteRecord& record = {}) {
        const std::string before = session.currentPath;
        EXPECT_EQ(runCommandHandler(session, tilingHandler), 0)
            << testing::PrintToString(frontend.texts());
        EXPECT_NE(session.currentPath, before);
        const DibImage tiled = current();
        EXPECT_EQ(std::tuple(int(tiled.bitsPerPixel), int(tiled.colorsUsed)),
                  std::tuple(bitsPerPixel, colors));
        const TileColorMapping mapping =
            code < 0 ? TileColorMapping{} : tileColorMapping(tiled, code, record);
        EXPECT_EQ(test::paintedTiles(tiled, geometry()),
                  test::mappedAverages(source, geometry(), mapping));
        return tiled;
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

// Even colour "216 safe color" by default, median cut 16, the user palette with either
// format flag, a class past the list, and no conversion.
TEST(TilingCode, FromTheBlock) {
    const struct {
        std::uint32_t convert, paletteClass;
        int userFormatFlag, code;
    } cases[] = {{1, 1, 0, 521},  {1, 0, 0, 3},  {1, 2, 1, 1025},
                 {1, 2, 0, 1024}, {1, 3, 0, -1}, {0, 2, 1, 768}};
    for (const auto& c : cases) {
        ParameterBlock block = defaultParameterBlock();
        block.tilingConvert = c.convert;
        block.tilingPaletteClass = c.paletteClass;
        EXPECT_EQ(tilingConversionCode(block, c.userFormatFlag), c.code) << c.paletteClass;
    }
}

// Each palette class paints every tile with its mapped average; probes of the slits.
TEST_F(RunTiling, EveryPaletteClassPaintsMappedAverages) {
    ParameterBlock plain = tileSizeBlock(10, 10, 2, 2, 4);
    plain.tilingConvert = 0;
    const struct {
        const char* name;
        ParameterBlock block;
        int width, height, bitsPerPixel, colors, code;
        EvenPaletteRecord record;
        std::vector<std::array<std::uint32_t, 3>> probes; // x, y, colour
    } cases[] = {
        // Horizontal slits little gray, the crossings the vertical deep gray. Without a palette
        // there is nothing to match or dither: the tiles keep their averages.
        {"no conversion", plain, 37, 35, 24, 0, -1, {}, {{0, 11, 0x999999}, {10, 11, 0x333333}}},
        {"median cut 16", withConversion(tileSizeBlock(9, 9, 2), 0), 60, 41, 4, 16, 3, {}, {}},
        // The default light gray slits: 204 is a level of the safe palette; with
        // bottomRemainder 0 row 0 is a slit.
        // clang-format off
        {"216 safe colours by default", defaultParameterBlock(), 50, 30, 8, 216, 521,
         makeEvenPaletteRecord(6, 6, 6), {{0, 0, 0xCCCCCC}, {9, 15, 0xCCCCCC}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        start(gradientPicture(c.width, c.height), c.block);
        session.currentInfo.zoomIndex = 3;
        session.design.match = c.code < 0 ? ColorMatch::Ciede2000 : ColorMatch::Rgb;
        session.design.tileDither = c.code < 0;
        const int depth = session.history.historyDepth;
        const DibImage tiled = tile(c.bitsPerPixel, c.colors, c.code, c.record);
        EXPECT_EQ(session.history.historyDepth, depth + 1);
        EXPECT_EQ(session.currentInfo.zoomIndex, kZoom100Index);
        EXPECT_EQ(session.currentInfo.state, kStateZoom);
        for (auto [x, y, rgb] : c.probes)
            EXPECT_EQ(test::rgbAt(tiled, int(x), int(y)), rgb) << x << "," << y;
        if (c.code != 521) continue;
        // Each tile takes the safe colour nearest its average: within half a step (25.5) in every
        // channel.
        const std::vector<Bgr> averages = test::mappedAverages(source, geometry()),
                               palette = paletteColors(tiled);
        const std::vector<Bgr> tiles = test::paintedTiles(tiled, geometry());
        for (std::size_t t = 0; t < tiles.size(); ++t)
            for (int k = 0; k < 3; ++k)
                ASSERT_LE(std::abs(palette[tiles[t][0]][k] - averages[t][k]), 25) << t;
    }
    EXPECT_TRUE(frontend.messages.empty());
}

// A user CSV palette through the whole road: tiling, text table and CSV table.
TEST_F(RunTiling, UserCsvPaletteWholeRoad) {
    const auto palettePath = folder / "three.csv";
    std::ofstream(palettePath) << "; tile colours\nred,green,blue\n255,0,0\n0,0,255\n250,250,250\n";
    ParameterBlock block = withConversion(tileSizeBlock(6, 5, 1, 0, 5), 2);
    std::strcpy(block.userPalettePath, palettePath.c_str());
    start(gradientPicture(40, 23), block, "scene.bmp");
    tile(4, 3, 1025);
    std::string text;
    ASSERT_EQ(expressTilingTable(session, text), 0);
    EXPECT_NE(text.find("source file : scene.bmp\n"), std::string::npos);
    EXPECT_NE(text.find("index  ,red    ,green  ,blue   ,count\n      0,    255,      0,      0,"),
              std::string::npos);
    EXPECT_NE(text.find("\n      2,    250,    250,    250,"), std::string::npos);
    EXPECT_EQ(text.find("\n      3,"), std::string::npos) << "three palette lines only";
    // White slits map to (250, 250, 250); black is as far from red as from blue (65025), and
    // the tie goes to the lower index, red.
    EXPECT_NE(text.find("horizon slit   ,      2\nvertical slit  ,      0\n"), std::string::npos);
    ASSERT_EQ(saveTilingTableCsv(session, folder / "table.csv"), 0);
    EXPECT_NE(test::readText(folder / "table.csv").find("\nhorizon slit,2\nvertical slit,0\n"),
              std::string::npos);
    EXPECT_TRUE(frontend.messages.empty());
}

// What a tiling will choose from, known before it runs: the design's own palette first, then a
// kept indexed picture's, a user file's colours, the 216 even colours (every mix of six levels);
// a median cut's 16 only by number; nothing without conversion or without a readable file.
TEST_F(RunTiling, PalettePreviewBeforeTheTiling) {
    std::ofstream(folder / "two.csv") << "red,green,blue\n255,0,0\n0,0,250\n";
    ParameterBlock user = withConversion(tileSizeBlock(6, 5, 1), 2), plain = tileSizeBlock(6, 5, 1);
    std::strcpy(user.userPalettePath, (folder / "two.csv").c_str());
    plain.tilingConvert = 0;
    start(test::makeIndexedImage(4, 4, 1, {0x010203, 0x040506}, [](int x, int) { return x % 2; }),
          user);
    using Preview = std::pair<std::vector<Bgr>, bool>;
    const auto preview = [&](const ParameterBlock& block) {
        PalettePreview p = previewTilingPalette(session, block);
        return Preview(p.colors, p.colorsKnown);
    };
    EXPECT_EQ(preview(user), Preview({{0, 0, 255}, {250, 0, 0}}, true));
    EXPECT_EQ(preview(withConversion(user, 0)), Preview(std::vector<Bgr>(16, Bgr{0, 0, 0}), false));
    EXPECT_EQ(preview(plain), Preview({}, false));
    std::vector<Bgr> mixes;
    for (std::uint8_t b = 0; b < 6; ++b)
        for (std::uint8_t g = 0; g < 6; ++g)
            for (std::uint8_t r = 0; r < 6; ++r)
                mixes.push_back({std::uint8_t(51 * b), std::uint8_t(51 * g), std::uint8_t(51 * r)});
    Preview even = preview(withConversion(user, 1));
    std::ranges::sort(even.first);
    EXPECT_EQ(even, Preview(mixes, true));
    session.design.keepPalette = true;
    EXPECT_EQ(preview(user), Preview({{3, 2, 1}, {6, 5, 4}}, true));
    session.design.keepPalette = false;
    std::strcpy(user.userPalettePath, (folder / "none.csv").c_str());
    EXPECT_EQ(preview(user), Preview({}, false));
    session.designPalette.colors = {{9, 9, 9}};
    EXPECT_EQ(preview(user), Preview({{9, 9, 9}}, true));
}

// A missing palette file and a grid of no pitch stop before the operation starts; an
// unreadable picture fails inside it with the command's text.
TEST_F(RunTiling, RefusalsLeaveTheCurrentPicture) {
    ParameterBlock block = withConversion(tileSizeBlock(6, 5, 1), 2);
    std::strcpy(block.userPalettePath, (folder / "none.csv").c_str());
    start(gradientPicture(20, 20), block);
    expectRefused({"failed to open the csv file cause might be illegal data\ncannot read \"" +
                   (folder / "none.csv").string() + "\": No such file or directory"});
    block = tileSizeBlock(9, 9, 0);
    block.tilingSizeMethod = 0;
    block.tileCountWide = 500; // more tiles than pixels: size 0, and no slit
    start(gradientPicture(20, 20), block);
    frontend.clear();
    expectRefused({});
    ASSERT_EQ(frontend.messages.size(), 1u);
    EXPECT_EQ(frontend.messages[0].caption, "alert");
    EXPECT_TRUE(frontend.progressVisibility.empty());
    start(gradientPicture(20, 20), tileSizeBlock(3, 3, 1));
    test::writeFileBytes(session.currentPath, {'B', 'M', 1, 2});
    expectRefused({});
    EXPECT_EQ(frontend.messages.back(), (test::Message{"error", "failed to tiling the image"}));
    // Every entry of the design palette left out.
    start(gradientPicture(20, 20), tileSizeBlock(3, 3, 1));
    session.designPalette.colors = {{0, 0, 0}, {255, 255, 255}};
    session.design.excluded = {1, 0};
    frontend.clear();
    expectRefused({std::string(kAllColorsExcludedText), "failed to tiling the image"});
    // A design palette past 256 colours.
    session.design.excluded.clear();
    session.designPalette.colors.assign(257, Bgr{1, 2, 3});
    frontend.clear();
    expectRefused({std::string(kDesignPaletteSizeText), "failed to tiling the image"});
}

} // namespace
} // namespace vellora
