// Tile lines, sheet settings, real sizes and the shopping list.
#include "sheet/realSize.h"
#include "sheet/saveSheet.h"
#include "sheet/sheetSettingsFile.h"
#include "sheet/sheetSummary.h"
#include "sheet/shoppingList.h"
#include "sheet/tileLine.h"
#include "sheetTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

namespace vellora {
namespace {

std::string colorLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "c" + std::to_string(i) + ",C" + std::to_string(i) + ",1,2,3\n";
    return text;
}

TEST(TileLine, ReadsColumnsInAnyOrderWithCommentsQuotesAndOptionalColumns) {
    const std::string text = "# a maker's line\r\n"
                             "blue , stock,name,code,notes,green,red,pack\r\n"
                             "\n"
                             "  # a comment between rows\n"
                             "3,0,\"Deep, dark \"\"red\"\"\",R-1,x,2,1,25\n"
                             "30,,Sky,S-2,,20,10,\n"
                             "255,1,White,,W,255,255";
    TileLine line;
    std::string error;
    ASSERT_TRUE(parseTileLine(text, line, error)) << error;
    ASSERT_EQ(line.colors.size(), 3u);
    using Rgb = std::array<std::uint8_t, 3>;
    const auto row = [&](std::size_t i) {
        const TileColor& c = line.colors[i];
        return std::tuple(c.name + " " + c.code, c.rgb, c.pack, c.inStock);
    };
    EXPECT_EQ(row(0), std::tuple("Deep, dark \"red\" R-1", Rgb{1, 2, 3}, 25, false));
    EXPECT_EQ(row(1), std::tuple("Sky S-2", Rgb{10, 20, 30}, 0, true)); // 0: the design's pack
    EXPECT_EQ(line.colors[2].name, "White");
    // A design takes the line as its palette; the row out of stock is excluded, once.
    test::RecordingFrontend frontend;
    Session session(frontend);
    session.design.excluded = {2};
    useTileLine(session, line);
    useTileLine(session, line);
    ASSERT_EQ(session.designPalette.colors.size(), 3u);
    EXPECT_EQ(session.designPalette.colors[1], (std::array<std::uint8_t, 3>{30, 20, 10})); // BGR
    EXPECT_EQ(session.design.excluded, (std::vector<int>{2, 0}));
}

const std::string kHeader = "name,code,red,green,blue\n";

// Each bad file names its line and column, and leaves the line as it was.
TEST(TileLine, BadFilesAreNamedAndChangeNothing) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "the file is empty: no header line naming the columns"},
        {"code,red,green,blue\n", "line 1 (header): no column \"name\""},
        {"name,red,green,blue\n", "line 1 (header): no column \"code\""},
        {"code,name,blue,green\n", "line 1 (header): no column \"red\""},
        {"name,code,red,blue\n", "line 1 (header): no column \"green\""},
        {"# x\nname,code,red,green\n", "line 2 (header): no column \"blue\""},
        {"name,code,Red,green,blue,red\n", "line 1 (header): column \"red\" named twice"},
        {kHeader, "no colour after the header"},
        {kHeader + "a,b,1,2x,3\n", "line 2, column 4 (green): \"2x\" is not a whole number"},
        {kHeader + "a,b,1,2,3\n# c\na,b,256,2,3\n",
         "line 4, column 3 (red): \"256\" is out of range 0 to 255"},
        {kHeader + "a,b,1,2\n", "line 2, column 5 (blue): missing"},
        {kHeader + ",b,1,2,3\n", "line 2, column 1 (name): the name is empty"},
        {"name,code,red,green,blue,pack\na,b,1,2,3,0\n",
         "line 2, column 6 (pack): \"0\" is out of range 1 to 1000000"},
        {"name,code,red,green,blue,stock\na,b,1,2,3,2\n",
         "line 2, column 6 (stock): \"2\" is out of range 0 to 1"},
        {"name,code,red,green,blue,stock\na,b,1,2,3,0\n", "no colour of the line is in stock"},
        {kHeader + "\"a,b,1,2,3\n", "line 2: a quoted field is not closed"},
        {kHeader + colorLines(257), "line 258: more than 256 colours"}};
    for (const auto& [text, message] : cases) {
        TileLine line;
        line.colors.push_back({"kept", "K", {9, 9, 9}});
        std::string error;
        EXPECT_FALSE(parseTileLine(text, line, error)) << message;
        EXPECT_EQ(error, message);
        ASSERT_EQ(line.colors.size(), 1u);
        EXPECT_EQ(line.colors[0].name, "kept");
    }
}

// The most colours a line holds and the sample lines shipped with the program load; a file that
// cannot be read is named, and a fifo is never opened: it would wait.
TEST(TileLine, TheMostColoursAndTheSampleLinesLoadAndAFileThatCannotBeReadIsNamed) {
    TileLine line;
    std::string error;
    EXPECT_TRUE(parseTileLine(kHeader + colorLines(256), line, error)) << error;
    EXPECT_EQ(line.colors.size(), 256u);
    for (const auto& [file, colors, outOfStock] :
         {std::tuple("cssBasic.tiles", 16, 2), {"cssExtended.tiles", 147, 0}}) {
        ASSERT_TRUE(loadTileLine(std::filesystem::path(VELLORA_TILE_LINES_DIR) / file, line, error))
            << error;
        EXPECT_EQ(std::pair(int(line.colors.size()),
                            int(std::ranges::count(line.colors, false, &TileColor::inStock))),
                  std::pair(colors, outOfStock))
            << file;
    }
    test::TempDir dir;
    const std::string fifo = (dir / "line.tiles").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(dir / "big.tiles") << std::string((4 << 20) + 1, '#'); // one byte past 4 MB
    for (const auto& [path, why] : {std::pair((dir / "none.tiles").string(), "does not exist"),
                                    {dir.path().string(), "is not a file"},
                                    {fifo, "is not a file"},
                                    {(dir / "big.tiles").string(), "is larger than 4 MB"}}) {
        EXPECT_FALSE(loadTileLine(path, line, error));
        EXPECT_EQ(error, "tile line \"" + path + "\": " + why);
    }
}

// The ends of the ranges are values too: tiles of 0.1 to 10000 mm, packs of 1 to 1000000.
TEST(SheetSettings, RoundTripMissingFileAndBadLines) {
    test::TempDir dir;
    const std::filesystem::path file = dir / "vellora.sheet";
    DesignSettings written;
    written.tileLinePath = "/lines/glass, blue.tiles";
    written.tileWidthMm = 0.1, written.tileHeightMm = 10000, written.groutMm = 0;
    written.sparePercent = 7.5, written.packSize = 1000000, written.paper = Paper::Letter;
    ASSERT_TRUE(writeSheetSettings(file, written));
    DesignSettings read;
    read.excluded = {3}; // not a sheet field: stays
    std::string error;
    ASSERT_TRUE(readSheetSettings(file, read, error)) << error;
    EXPECT_EQ(std::tuple(read.tileLinePath, read.tileWidthMm, read.tileHeightMm, read.groutMm,
                         read.sparePercent, read.packSize, read.paper, read.excluded),
              std::tuple(written.tileLinePath, 0.1, 10000.0, 0.0, 7.5, 1000000, Paper::Letter,
                         std::vector<int>{3}));
    DesignSettings settings;
    EXPECT_TRUE(readSheetSettings(dir / "none.sheet", settings, error));
    // A bad fourth line is named and nothing changes; pack 1 on the third is good.
    const std::pair<const char*, std::string> bad[] = {
        {"paper=a5", "paper needs a4 or letter, got \"a5\""},
        {"tile-mm=20x10000.5", "tile-mm needs WIDTH or WIDTHxHEIGHT in millimetres (0.1 to "
                               "10000), got \"20x10000.5\""},
        {"tile-mm=0.09", "tile-mm needs WIDTH or WIDTHxHEIGHT in millimetres (0.1 to 10000), "
                         "got \"0.09\""},
        {"grout-mm=-1e999", "grout-mm needs a width in millimetres (0 to 1000), got \"-1e999\""},
        {"spare=5x", "spare needs a share in percent (0 to 1000), got \"5x\""},
        {"pack=1000001",
         "pack needs a whole number of tiles per pack (1 to 1000000), got \"1000001\""}};
    for (const auto& [line, why] : bad) {
        std::ofstream(file) << "# settings\nlater-field=1\npack=1\n" << line << "\n";
        EXPECT_FALSE(readSheetSettings(file, settings, error));
        EXPECT_EQ(error, "sheet settings \"" + file.string() + "\": line 4: " + why);
    }
    EXPECT_FALSE(readSheetSettings(dir.path(), settings, error));
    EXPECT_EQ(error, "sheet settings \"" + dir.path().string() + "\": is not a file");
    EXPECT_EQ(settings.packSize * 100 + settings.sparePercent, 10010);
}

// No tiles, no size (tile sizes: chart and summary tests); lengths keep ≤ 3 decimals, no sign on
// zero. Summary shown for a tile line or own tile or grout size: tile width, height, grout; shown.
TEST(RealSize, NoTilesThreeDecimalsAndWhenTheSummaryIsShown) {
    const DesignSettings defaults; // 20 mm tiles, 2 mm grout
    EXPECT_EQ(
        std::pair(finishedSize(0, 1, defaults).widthMm, finishedSize(1, 0, defaults).heightMm),
        std::pair(0.0, 0.0));
    EXPECT_EQ(formatDecimal(3144) + " " + formatDecimal(0.1 + 0.2) + " " + formatDecimal(1.2346) +
                  " " + formatDecimal(-0.0001),
              "3144 0.3 1.235 0");
    DesignSettings withLine;
    withLine.tileLinePath = "a.tiles";
    EXPECT_TRUE(sheetSummaryShown(withLine));
    const std::tuple<double, double, double, bool> cases[] = {
        {20, 20, 2, false}, {21, 20, 2, true}, {20, 19, 2, true}, {20, 20, 0, true}};
    for (const auto& [width, height, grout, shown] : cases) {
        DesignSettings s;
        s.tileWidthMm = width, s.tileHeightMm = height, s.groutMm = grout;
        EXPECT_EQ(sheetSummaryShown(s), shown) << width << " " << height << " " << grout;
    }
}

TEST(ShoppingList, SpareAndPacksRoundUpExactly) {
    // Tiles, spare percent, pack size; tiles with spare, packs.
    const std::tuple<std::int64_t, double, int, std::int64_t, std::int64_t> cases[] = {
        {120, 10, 100, 132, 2},  {100, 10, 110, 110, 1}, {101, 10, 100, 112, 2},
        {7, 0, 7, 7, 1},         {1, 10, 100, 2, 1},     {0, 10, 100, 0, 0},
        {3, 33.333333, 1, 4, 4}, {40, 12.5, 45, 45, 1},  {1000, 0.1, 1001, 1001, 1},
        {9, -5, 3, 9, 3},        {5, 10, 0, 6, 6}};
    for (const auto& [tiles, spare, pack, withSpare, packs] : cases) {
        EXPECT_EQ(tilesWithSpare(tiles, spare), withSpare) << tiles << " + " << spare << " %";
        EXPECT_EQ(packsFor(withSpare, pack), packs) << withSpare << " / " << pack;
    }
}

TEST(ShoppingList, OneLinePerUsedEntryWithTheTableCountsAndTheLineNames) {
    // Index 1 is never used; 0 is used 8 times, 2 three times, 3 once.
    const TilingTable table =
        test::indexedTable(4, 3, {0x102030, 0xffffff, 0xff0000, 0x00ff00}, [](int c, int r) {
            return r == 2 && c > 0 ? 2 : (r == 1 && c == 3 ? 3 : 0);
        });
    TileLine line;
    line.colors = {{"Night, blue", "N1", {0x10, 0x20, 0x30}, 5}, // the others in another order
                   {"Red", "R\"7", {255, 0, 0}, 1},
                   {"White", "W", {255, 255, 255}}};
    DesignSettings settings;
    settings.packSize = 2;
    EXPECT_EQ(shoppingListCsv(makeSheetDesign(table, &line), settings),
              "index,name,code,red,green,blue,tiles,tiles with spare,pack size,packs\n"
              "0,\"Night, blue\",N1,16,32,48,8,9,5,2\n"
              "2,Red,\"R\"\"7\",255,0,0,3,4,1,4\n"
              "3,#00ff00,3,0,255,0,1,2,2,1\n");
    const SheetDesign design = makeSheetDesign(table, nullptr);
    ASSERT_EQ(design.entries.size(), 4u); // the palette's entries and no more
    EXPECT_EQ(design.entries[1].name + " " + design.entries[1].code, "#ffffff 1");
}

// A true-colour table: each distinct colour is one entry (1,0,0 and 0,128,0 share no bit).
TEST(ShoppingList, TrueColourTableGivesAnEntryPerColour) {
    TileGeometry geometry{.tileHeight = 1, .tileWidth = 1, .tileRows = 1, .tileColumns = 3};
    test::RecordingFrontend frontend;
    TilingTable table;
    ASSERT_EQ(allocateTilingTable(frontend, table, test::makeImage(3, 1, 24), geometry), 0);
    const std::uint8_t bgr[3][3] = {{0, 0, 1}, {0, 128, 0}, {0, 0, 1}};
    for (int n = 0; n < 3; ++n)
        std::memcpy(table.entry(n), bgr[n], 3);
    const SheetDesign design = makeSheetDesign(table, nullptr);
    ASSERT_EQ(design.entries.size(), 2u);
    EXPECT_EQ(design.entries[0].name + " " + design.entries[1].name, "#010000 #008000");
    EXPECT_EQ(design.grid, (std::vector<std::uint32_t>{0, 1, 0}));
}

// No tiled picture, nothing to write: 1, the reason, the failure, no file. With one (20 × 10 in
// 9-px default tiles: 2 × 1, all red) each file is of it; an unreadable named tile line stops all.
TEST(SaveSheet, TheTiledPicturesFilesOrTheReasonWhyNot) {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    Session session(frontend);
    std::string text = "older";
    EXPECT_EQ(saveShoppingList(session, dir / "list.csv") * 10 + sheetSummary(session, text), 11);
    EXPECT_EQ(frontend.texts().at(1), "failed to save the shopping list"); // after its reason
    EXPECT_EQ(text, "");
    EXPECT_FALSE(std::filesystem::exists(dir / "list.csv"));
    test::setCurrentPicture(
        session, test::makeIndexedImage(20, 10, 4, {0, 0xFF0000}, [](int, int) { return 1; }));
    ASSERT_EQ(saveShoppingList(session, dir / "list.csv"), 0);
    EXPECT_TRUE(
        test::readText(dir / "list.csv").ends_with("packs\n1,#ff0000,1,255,0,0,2,3,100,1\n"));
    // The chart's format follows the extension in any case; any other is a PDF.
    for (const auto& [name, start] :
         {std::pair("c.SVG", "<?xml"), {"c.Pdf", "%PDF-"}, {"c.png", "%PDF-"}}) {
        ASSERT_EQ(saveChart(session, dir / name), 0) << name;
        EXPECT_EQ(test::readText(dir / name).substr(0, 5), start) << name;
    }
    // The tile line names the red entry (1) by its only row (0), the first of that colour.
    std::ofstream(dir / "red.tiles") << kHeader << "Poppy,P1,255,0,0\n";
    session.design.tileLinePath = (dir / "red.tiles").string();
    session.design.tileWidthMm = 12.5, session.design.groutMm = 1.5;
    ASSERT_EQ(sheetSummary(session, text), 0);
    EXPECT_EQ(text, "\nbuild sheet as follows:\n"
                    "tile mm width * height         ,12.5 * 20\n"
                    "grout mm                       ,1.5\n"
                    "finished mm width * height     ,26.5 * 20\n"
                    "finished cm width * height     ,2.65 * 2\n"
                    "\ntile colors as follows:\n"
                    "index  ,count  ,code   ,name\n"
                    "      1,      2,P1     ,Poppy\n");
    session.design.tileLinePath = (dir / "none.tiles").string();
    EXPECT_EQ(saveChart(session, dir / "c.svg"), 1);
    EXPECT_EQ(frontend.texts().back(), "failed to save the chart");
    EXPECT_FALSE(std::filesystem::exists(dir / "c.svg"));
}

} // namespace
} // namespace vellora
