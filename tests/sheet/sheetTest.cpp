// Tile lines, sheet settings, real sizes and the shopping list.
#include "sheet/realSize.h"
#include "sheet/saveSheet.h"
#include "sheet/sheetFields.h"
#include "sheet/sheetSettingsFile.h"
#include "sheet/shoppingList.h"
#include "sheet/tileLine.h"
#include "sheetTestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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
                             "blue , stock,name,notes,code,green,red,pack\r\n"
                             "\n"
                             "  # a comment between rows\n"
                             "3,0,\"Deep, dark \"\"red\"\"\",x,R-1,2,1,25\n"
                             "30,,Sky,,S-2,20,10,\n"
                             "255,1,White,,W,255,255";
    TileLine line;
    std::string error;
    ASSERT_TRUE(parseTileLine(text, line, error)) << error;
    ASSERT_EQ(line.colors.size(), 3u);
    const TileColor& first = line.colors[0];
    EXPECT_EQ(first.name + " " + first.code, "Deep, dark \"red\" R-1");
    EXPECT_EQ(first.rgb, (std::array<std::uint8_t, 3>{1, 2, 3}));
    EXPECT_EQ(std::pair(first.pack, first.inStock), std::pair(25, false));
    EXPECT_EQ(line.colors[1].rgb, (std::array<std::uint8_t, 3>{10, 20, 30}));
    EXPECT_EQ(std::pair(line.colors[1].pack, line.colors[1].inStock),
              std::pair(0, true)); // 0: the design's pack size
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
    struct BadFile {
        const char* what;
        std::string text, message;
    };
    const BadFile cases[] = {
        {"empty", "", "the file is empty: no header line naming the columns"},
        {"missing column", "# x\nname,code,red,green\n", "line 2 (header): no column \"blue\""},
        {"no red", "code,name,blue,green\n", "line 1 (header): no column \"red\""},
        {"duplicate column", "name,code,Red,green,blue,red\n",
         "line 1 (header): column \"red\" named twice"},
        {"header only", kHeader, "no colour after the header"},
        {"bad number", kHeader + "a,b,1,2x,3\n",
         "line 2, column 4 (green): \"2x\" is not a whole number"},
        {"out of range", kHeader + "a,b,1,2,3\n# c\na,b,256,2,3\n",
         "line 4, column 3 (red): \"256\" is out of range 0 to 255"},
        {"missing field", kHeader + "a,b,1,2\n", "line 2, column 5 (blue): missing"},
        {"empty name", kHeader + ",b,1,2,3\n", "line 2, column 1 (name): the name is empty"},
        {"bad pack", "name,code,red,green,blue,pack\na,b,1,2,3,0\n",
         "line 2, column 6 (pack): \"0\" is out of range 1 to 1000000"},
        {"bad stock", "name,code,red,green,blue,stock\na,b,1,2,3,2\n",
         "line 2, column 6 (stock): \"2\" is out of range 0 to 1"},
        {"nothing in stock", "name,code,red,green,blue,stock\na,b,1,2,3,0\n",
         "no colour of the line is in stock"},
        {"open quote", kHeader + "\"a,b,1,2,3\n", "line 2: a quoted field is not closed"},
        {"too many colours", kHeader + colorLines(257), "line 258: more than 256 colours"}};
    for (const BadFile& c : cases) {
        TileLine line;
        line.colors.push_back({"kept", "K", {9, 9, 9}});
        std::string error;
        EXPECT_FALSE(parseTileLine(c.text, line, error)) << c.what;
        EXPECT_EQ(error, c.message);
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
    for (const auto& [path, why] : {std::pair((dir / "none.tiles").string(), "does not exist"),
                                    {dir.path().string(), "is not a file"},
                                    {fifo, "is not a file"}}) {
        EXPECT_FALSE(loadTileLine(path, line, error));
        EXPECT_EQ(error, "tile line \"" + path + "\": " + why);
    }
}

TEST(SheetSettings, RoundTripMissingFileAndBadLines) {
    test::TempDir dir;
    DesignSettings written;
    written.tileLinePath = "/lines/glass, blue.tiles";
    written.tileWidthMm = 12.5, written.tileHeightMm = 25, written.groutMm = 0;
    written.sparePercent = 7.5, written.packSize = 250, written.paper = Paper::Letter;
    ASSERT_TRUE(writeSheetSettings(dir / "vellora.sheet", written));
    DesignSettings read;
    read.excluded = {3}; // not a sheet field: stays
    std::string error;
    ASSERT_TRUE(readSheetSettings(dir / "vellora.sheet", read, error)) << error;
    EXPECT_EQ(std::tuple(read.tileLinePath, read.tileWidthMm, read.tileHeightMm, read.groutMm,
                         read.sparePercent, read.packSize, read.paper, read.excluded),
              std::tuple(written.tileLinePath, 12.5, 25.0, 0.0, 7.5, 250, Paper::Letter,
                         std::vector<int>{3}));

    DesignSettings settings;
    EXPECT_TRUE(readSheetSettings(dir / "none.sheet", settings, error));
    EXPECT_EQ(settings.tileWidthMm, 20);
    // A bad line is named and nothing changes.
    std::ofstream(dir / "vellora.sheet") << "# settings\nlater-field=1\nspare=5\npaper=a5\n";
    EXPECT_FALSE(readSheetSettings(dir / "vellora.sheet", settings, error));
    EXPECT_EQ(error, "sheet settings \"" + (dir / "vellora.sheet").string() +
                         "\": line 4: paper needs a4 or letter, got \"a5\"");
    EXPECT_FALSE(readSheetSettings(dir.path(), settings, error));
    EXPECT_EQ(error, "sheet settings \"" + dir.path().string() + "\": is not a file");
    EXPECT_EQ(settings.sparePercent, 10);
}

// The ends of the ranges are values too: tiles of 0.1 to 10000 mm, packs of 1 to 1000000.
TEST(SheetFields, TheEndsOfTheRangesAreIncluded) {
    DesignSettings s;
    std::string why;
    const auto parse = [&](const char* name, const char* value) {
        return findSheetField(name)->parse(value, s, why);
    };
    EXPECT_TRUE(parse("tile-mm", "0.1x10000"));
    EXPECT_EQ(std::pair(s.tileWidthMm, s.tileHeightMm), std::pair(0.1, 10000.0));
    EXPECT_FALSE(parse("tile-mm", "20x10000.5"));
    EXPECT_FALSE(parse("tile-mm", "0.09x20"));
    EXPECT_FALSE(parse("spare", "5x")); // a number with more after it
    EXPECT_TRUE(parse("pack", "1"));
    EXPECT_EQ(s.packSize, 1);
    EXPECT_TRUE(parse("pack", "1000000"));
    EXPECT_FALSE(parse("pack", "1000001"));
}

TEST(RealSize, TilesWithGroutBetweenAndNoneAtTheEdges) {
    // Columns, rows; tile width, height and grout; finished width and height in millimetres.
    const std::tuple<int, int, double, double, double, double, double> cases[] = {
        {1, 1, 20, 20, 2, 20, 20},
        {143, 94, 20, 20, 2, 3144, 2066},
        {3, 2, 10, 25, 0, 30, 50},
        {2, 3, 12.5, 8, 1.5, 26.5, 27},
        {0, 0, 20, 20, 2, 0, 0}};
    for (const auto& [columns, rows, tileW, tileH, grout, widthMm, heightMm] : cases) {
        DesignSettings s;
        s.tileWidthMm = tileW, s.tileHeightMm = tileH, s.groutMm = grout;
        const FinishedSize size = finishedSize(columns, rows, s);
        EXPECT_DOUBLE_EQ(size.widthMm, widthMm) << columns;
        EXPECT_DOUBLE_EQ(size.heightMm, heightMm) << rows;
    }
    EXPECT_EQ(formatDecimal(3144) + " " + formatDecimal(26.5) + " " + formatDecimal(0.1 + 0.2),
              "3144 26.5 0.3");
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
    line.colors = {{"Night, blue", "N1", {0x10, 0x20, 0x30}, 5},
                   {"White", "W", {255, 255, 255}},
                   {"Red", "R\"7", {255, 0, 0}}};
    DesignSettings settings;
    settings.packSize = 2;
    EXPECT_EQ(shoppingListCsv(makeSheetDesign(table, &line), settings),
              "index,name,code,red,green,blue,tiles,tiles with spare,pack size,packs\n"
              "0,\"Night, blue\",N1,16,32,48,8,9,5,2\n"
              "2,Red,\"R\"\"7\",255,0,0,3,4,2,2\n"
              "3,#00ff00,3,0,255,0,1,2,2,1\n");
    const std::vector<std::int64_t> counts = test::tableCounts(table);
    const SheetDesign design = makeSheetDesign(table, nullptr);
    ASSERT_EQ(design.entries.size(), 4u); // the palette's entries and no more
    for (const SheetEntry& entry : design.entries)
        EXPECT_EQ(entry.count, counts[std::size_t(entry.index)]) << entry.index;
    EXPECT_EQ(design.entries[0].name + " " + design.entries[0].code, "#102030 0");
}

// A true-colour table: each distinct colour is one entry, however close (0,1,2 and 0,2,2).
TEST(ShoppingList, TrueColourTableGivesAnEntryPerColour) {
    TileGeometry geometry{.tileHeight = 1, .tileWidth = 1, .tileRows = 1, .tileColumns = 3};
    test::RecordingFrontend frontend;
    TilingTable table;
    ASSERT_EQ(allocateTilingTable(frontend, table, test::makeImage(3, 1, 24), geometry), 0);
    const std::uint8_t bgr[3][3] = {{2, 1, 0}, {2, 2, 0}, {2, 1, 0}};
    for (int n = 0; n < 3; ++n)
        std::memcpy(table.entry(n), bgr[n], 3);
    const SheetDesign design = makeSheetDesign(table, nullptr);
    ASSERT_EQ(design.entries.size(), 2u);
    EXPECT_EQ(design.entries[0].name + " " + design.entries[1].name, "#000102 #000202");
    EXPECT_EQ(design.entries[0].count, 2);
    EXPECT_EQ(design.grid, (std::vector<std::uint32_t>{0, 1, 0}));
}

// Without a tiled picture there is nothing to list: 1, the reason and then the failure, no file.
// With one (20 × 10 pixels in the default 9-pixel tiles: 2 × 1 tiles, all red) the list names it.
TEST(ShoppingList, SavingNeedsATiling) {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    Session session(frontend);
    EXPECT_EQ(saveShoppingList(session, dir / "list.csv"), 1);
    ASSERT_FALSE(frontend.messages.empty());
    EXPECT_EQ(frontend.messages.back(),
              (test::Message{"error", "failed to save the shopping list"}));
    EXPECT_FALSE(std::filesystem::exists(dir / "list.csv"));
    test::setCurrentPicture(
        session, test::makeIndexedImage(20, 10, 4, {0, 0xFF0000}, [](int, int) { return 1; }));
    ASSERT_EQ(saveShoppingList(session, dir / "list.csv"), 0);
    std::ifstream in(dir / "list.csv");
    std::string header, line, more;
    std::getline(in, header), std::getline(in, line);
    EXPECT_EQ(line.rfind("1,#ff0000,1,255,0,0,2,3,", 0), 0u) << line;
    EXPECT_FALSE(std::getline(in, more));
}

} // namespace
} // namespace vellora
