#include "tiling/runTiling.h"
#include "color/evenPalette.h"
#include "color/nearestPalette.h"
#include "core/history.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"
#include "tiling/expressTable.h"
#include "tiling/saveTableCsv.h"
#include "tiling/tableText.h"
#include "tiling/tileBands.h"
#include "tiling/tileColorMapping.h"
#include "tilingTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

namespace vellora {
namespace {

using test::tileSizeBlock;

// A picture with smooth gradients and a hard edge, so tiles differ.
DibImage gradientPicture(int width, int height) {
    return test::makeTrueColorImage(width, height, [&](int x, int y) {
        const std::uint32_t red = std::uint32_t(255 * x / std::max(1, width - 1));
        const std::uint32_t green = std::uint32_t(255 * y / std::max(1, height - 1));
        const std::uint32_t blue = x > width / 2 ? 200u : 30u;
        return red << 16 | green << 8 | blue;
    });
}

struct TilingFixture : ::testing::Test {
    test::RecordingFrontend frontend;
    Session session{frontend};
    test::TempDir folder;
    DibImage source;

    void start(const DibImage& picture, const ParameterBlock& block) {
        source = picture;
        test::setCurrentPicture(session, picture);
        session.workingBlock = block;
        session.picturePath = "/pictures/sample.jpg";
    }

    DibImage tiledResult() { return test::readImage(session.currentPath); }

    // Checks every tile pixel against the mapped average of the source under the tile.
    void expectTilesMapped(const DibImage& tiled, const TileColorMapping& mapping) {
        const TileGeometry g =
            computeTileGeometry(session.workingBlock, source.width, source.height);
        for (const TileBand& band : tileBands(g, source.height))
            for (int c = 0; c < g.tileColumns; ++c) {
                const int x0 = tileColumnX(g, c);
                const Bgr expected =
                    mapTileColor(mapping, averageTileColor(source, g, band.blockY, x0));
                for (int y = band.paintBegin; y < band.paintEnd; ++y)
                    for (int x = x0; x < std::min(source.width, x0 + g.tileWidth); ++x) {
                        if (tiled.isIndexed()) {
                            std::uint8_t index = 0;
                            getIndex(tiled, index, y, x, tiled.bitsPerPixel);
                            ASSERT_EQ(index, expected[0]) << x << "," << y;
                        } else {
                            std::uint8_t bgr[3] = {0, 0, 0};
                            getColor(tiled, bgr, y, x, tiled.bitsPerPixel);
                            ASSERT_EQ(Bgr({bgr[0], bgr[1], bgr[2]}), expected) << x << "," << y;
                        }
                    }
            }
    }
};

ParameterBlock withConversion(ParameterBlock block, std::uint32_t paletteClass) {
    block.tilingConvert = 1;
    block.tilingPaletteClass = paletteClass;
    return block;
}

TEST(TilingCode, FromTheBlock) {
    ParameterBlock block = defaultParameterBlock();
    EXPECT_EQ(tilingConversionCode(block, 0), 521); // even colour "216 safe color"
    block.tilingPaletteClass = 0;
    EXPECT_EQ(tilingConversionCode(block, 0), 3); // median cut 16
    block.tilingPaletteClass = 2;
    EXPECT_EQ(tilingConversionCode(block, 1), 1025);
    EXPECT_EQ(tilingConversionCode(block, 0), 1024);
    block.tilingConvert = 0;
    EXPECT_EQ(tilingConversionCode(block, 1), 768);
}

TEST_F(TilingFixture, WithoutConversionKeepsAveragesAndGrays) {
    ParameterBlock block = tileSizeBlock(10, 10, 2, 2, 4);
    block.tilingConvert = 0;
    start(gradientPicture(37, 35), block);
    const std::string before = session.currentPath;
    session.currentInfo.zoomIndex = 3;
    ASSERT_EQ(runCommandHandler(session, tilingHandler), 0);
    EXPECT_NE(session.currentPath, before);
    EXPECT_EQ(session.history.historyDepth, 1);
    EXPECT_EQ(session.currentInfo.zoomIndex, kZoom100Index);
    EXPECT_EQ(session.currentInfo.state, kStateZoom);
    const DibImage tiled = tiledResult();
    ASSERT_EQ(tiled.bitsPerPixel, 24);
    expectTilesMapped(tiled, TileColorMapping{});
    EXPECT_EQ(test::rgbAt(tiled, 0, 11), 0x999999u);  // horizontal slit, little gray
    EXPECT_EQ(test::rgbAt(tiled, 10, 11), 0x333333u); // crossing, vertical deep gray
    EXPECT_TRUE(frontend.messages.empty());
}

TEST_F(TilingFixture, MedianCutSixteenOnFourBits) {
    start(gradientPicture(60, 41), withConversion(tileSizeBlock(9, 9, 2), 0));
    ASSERT_EQ(runCommandHandler(session, tilingHandler), 0);
    const DibImage tiled = tiledResult();
    ASSERT_EQ(tiled.bitsPerPixel, 4);
    ASSERT_EQ(tiled.colorsUsed, 16u);
    expectTilesMapped(tiled, tileColorMapping(tiled, 3, EvenPaletteRecord{}));
}

TEST_F(TilingFixture, EvenPaletteByDefault) {
    ParameterBlock block = defaultParameterBlock();
    start(gradientPicture(50, 30), block);
    ASSERT_EQ(runCommandHandler(session, tilingHandler), 0)
        << ::testing::PrintToString(frontend.texts());
    const DibImage tiled = tiledResult();
    ASSERT_EQ(tiled.bitsPerPixel, 8);
    ASSERT_EQ(tiled.colorsUsed, 216u);
    const EvenPaletteRecord record = makeEvenPaletteRecord(6, 6, 6);
    expectTilesMapped(tiled, tileColorMapping(tiled, 521, record));
    // The default light gray slits: 204 is a level of the safe palette.
    EXPECT_EQ(test::rgbAt(tiled, 0, 0), 0xCCCCCCu); // bottomRemainder 0: row 0 is a slit
    EXPECT_EQ(test::rgbAt(tiled, 9, 15), 0xCCCCCCu);
}

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// A user CSV palette through the whole road: tiling, text table and CSV table.
TEST_F(TilingFixture, UserCsvPaletteWholeRoad) {
    const auto palettePath = folder / "three.csv";
    std::ofstream(palettePath) << "red,green,blue\n255,0,0\n0,0,255\n250,250,250\n";
    ParameterBlock block = withConversion(tileSizeBlock(6, 5, 1, 0, 5), 2);
    std::strcpy(block.userPalettePath, palettePath.c_str());
    start(gradientPicture(40, 23), block);
    ASSERT_EQ(runCommandHandler(session, tilingHandler), 0)
        << ::testing::PrintToString(frontend.texts());
    const DibImage tiled = tiledResult();
    ASSERT_EQ(tiled.bitsPerPixel, 4);
    ASSERT_EQ(tiled.colorsUsed, 3u);
    expectTilesMapped(tiled, tileColorMapping(tiled, 1025, EvenPaletteRecord{}));

    std::string text;
    ASSERT_EQ(expressTilingTable(session, text), 0);
    EXPECT_NE(text.find("source file : sample.jpg\n"), std::string::npos);
    EXPECT_NE(text.find("index  ,red    ,green  ,blue   ,count\n      0,    255,      0,      0,"),
              std::string::npos);
    EXPECT_NE(text.find("\n      2,    250,    250,    250,"), std::string::npos);
    EXPECT_EQ(text.find("\n      3,"), std::string::npos) << "three palette lines only";
    // White slits map to (250, 250, 250); black is as far from red as from blue (65025), and
    // the tie goes to the lower index, red.
    EXPECT_NE(text.find("horizon slit   ,      2\nvertical slit  ,      0\n"), std::string::npos);

    TilingTable table;
    ASSERT_EQ(buildTilingTable(session, table), 0);
    std::int64_t total = 0;
    for (std::int64_t n : paletteUseCounts(table))
        total += n;
    EXPECT_EQ(total, std::int64_t(table.geometry.tileRows) * table.geometry.tileColumns);

    const auto csvPath = folder / "table.csv";
    ASSERT_EQ(saveTilingTableCsv(session, csvPath), 0);
    const std::string csv = readText(csvPath);
    EXPECT_EQ(csv.rfind("source file :sample.jpg\n\n", 0), 0u);
    EXPECT_NE(csv.find("\nhorizon slit,2\nvertical slit,0\n"), std::string::npos);
    EXPECT_TRUE(frontend.messages.empty());
}

TEST_F(TilingFixture, MissingUserPaletteStopsBeforeTheFrame) {
    ParameterBlock block = withConversion(tileSizeBlock(6, 5, 1), 2);
    std::strcpy(block.userPalettePath, (folder / "none.csv").c_str());
    start(gradientPicture(20, 20), block);
    const std::string before = session.currentPath;
    EXPECT_EQ(runCommandHandler(session, tilingHandler), 1);
    EXPECT_EQ(session.currentPath, before);
    EXPECT_EQ(frontend.texts(), (std::vector<std::string>{
                                    "failed to open the csv file cause might be illegal data\n"
                                    "cannot read \"" + (folder / "none.csv").string() +
                                    "\": No such file or directory"}));
    EXPECT_TRUE(frontend.progressVisibility.empty());
}

TEST_F(TilingFixture, ZeroPitchRefusedBeforeAnythingRuns) {
    ParameterBlock block = tileSizeBlock(9, 9, 0);
    block.tilingSizeMethod = 0;
    block.tileCountWide = 500; // more tiles than pixels: size 0, and no slit
    start(gradientPicture(20, 20), block);
    const std::string before = session.currentPath;
    EXPECT_EQ(runCommandHandler(session, tilingHandler), 1);
    EXPECT_EQ(session.currentPath, before);
    ASSERT_EQ(frontend.messages.size(), 1u);
    EXPECT_EQ(frontend.messages[0].caption, "alert");
    EXPECT_TRUE(frontend.progressVisibility.empty());
}

TEST_F(TilingFixture, UnreadablePictureGivesTheFailureText) {
    start(gradientPicture(20, 20), tileSizeBlock(3, 3, 1));
    test::writeFileBytes(session.currentPath, {'B', 'M', 1, 2});
    const std::string before = session.currentPath;
    EXPECT_EQ(runCommandHandler(session, tilingHandler), 1);
    EXPECT_EQ(session.currentPath, before);
    ASSERT_FALSE(frontend.messages.empty());
    EXPECT_EQ(frontend.messages.back().text, "failed to tiling the image");
    EXPECT_EQ(frontend.messages.back().caption, "error");
}

// The table reads slit entries that lie outside the picture from the picture's own palette;
// for the gray levels that is the even lookup's answer with every usable set of divisions.
TEST(SlitFallback, NearestEntryEqualsEvenLookupForEverySlitGray) {
    for (int r = 1; r <= 9; ++r)
        for (int g = 1; g <= 9; ++g)
            for (int b = 1; b <= 9; ++b) {
                const int count = r * g * b;
                if (count < 2 || count > 256) continue;
                const EvenPaletteRecord record = makeEvenPaletteRecord(r, g, b);
                DibImage palette = test::makeImage(1, 1, 8, std::uint32_t(count));
                fillEvenPaletteEntries(record, palette.paletteEntry(0));
                for (std::uint32_t gray = 0; gray < 6; ++gray) {
                    const std::uint8_t v = slitGrayValue(gray);
                    ASSERT_EQ(nearestPaletteIndex(palette, v, v, v),
                              evenPaletteIndex(record, v, v, v))
                        << r << g << b << " gray " << v;
                }
            }
}

} // namespace
} // namespace vellora
