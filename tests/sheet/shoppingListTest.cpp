#include "sheet/shoppingList.h"
#include "sheet/realSize.h"
#include "sheet/saveSheet.h"
#include "sheetTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vellora {
namespace {

TEST(RealSize, TilesWithGroutBetweenAndNoneAtTheEdges) {
    struct Case {
        int columns, rows;
        double tileW, tileH, grout;
        double widthMm, heightMm;
    };
    for (const Case& c : {Case{1, 1, 20, 20, 2, 20, 20}, Case{143, 94, 20, 20, 2, 3144, 2066},
                          Case{3, 2, 10, 25, 0, 30, 50}, Case{2, 3, 12.5, 8, 1.5, 26.5, 27},
                          Case{0, 0, 20, 20, 2, 0, 0}}) {
        DesignSettings s;
        s.tileWidthMm = c.tileW;
        s.tileHeightMm = c.tileH;
        s.groutMm = c.grout;
        const FinishedSize size = finishedSize(c.columns, c.rows, s);
        EXPECT_DOUBLE_EQ(size.widthMm, c.widthMm) << c.columns;
        EXPECT_DOUBLE_EQ(size.heightMm, c.heightMm) << c.rows;
    }
    EXPECT_EQ(formatDecimal(3144), "3144");
    EXPECT_EQ(formatDecimal(26.5), "26.5");
    EXPECT_EQ(formatDecimal(0.1 + 0.2), "0.3");
}

TEST(ShoppingList, SpareAndPacksRoundUpExactly) {
    struct Case {
        std::int64_t tiles;
        double spare;
        int pack;
        std::int64_t withSpare, packs;
    };
    for (const Case& c :
         {Case{120, 10, 100, 132, 2}, Case{100, 10, 110, 110, 1}, Case{101, 10, 100, 112, 2},
          Case{7, 0, 7, 7, 1}, Case{1, 10, 100, 2, 1}, Case{0, 10, 100, 0, 0},
          Case{3, 33.333333, 1, 4, 4}, Case{40, 12.5, 45, 45, 1}, Case{1000, 0.1, 1001, 1001, 1},
          Case{9, -5, 3, 9, 3}, Case{5, 10, 0, 6, 6}}) {
        const std::int64_t withSpare = tilesWithSpare(c.tiles, c.spare);
        EXPECT_EQ(withSpare, c.withSpare) << c.tiles << " + " << c.spare << " %";
        EXPECT_EQ(packsFor(withSpare, c.pack), c.packs) << withSpare << " / " << c.pack;
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
    const std::string withLine = shoppingListCsv(makeSheetDesign(table, &line), settings);
    EXPECT_EQ(withLine, "index,name,code,red,green,blue,tiles,tiles with spare,pack size,packs\n"
                        "0,\"Night, blue\",N1,16,32,48,8,9,5,2\n"
                        "2,Red,\"R\"\"7\",255,0,0,3,4,2,2\n"
                        "3,#00ff00,3,0,255,0,1,2,2,1\n");
    const std::vector<std::int64_t> counts = test::tableCounts(table);
    const SheetDesign design = makeSheetDesign(table, nullptr);
    for (const SheetEntry& entry : design.entries)
        EXPECT_EQ(entry.count, counts[std::size_t(entry.index)]) << entry.index;
    EXPECT_EQ(design.entries[0].name, "#102030");
    EXPECT_EQ(design.entries[0].code, "0");
}

// A true-colour table: each distinct colour is one entry, however close (0,1,2 and 0,2,2).
TEST(ShoppingList, TrueColourTableGivesAnEntryPerColour) {
    TileGeometry geometry;
    geometry.tileWidth = geometry.tileHeight = 1;
    geometry.tileColumns = 3;
    geometry.tileRows = 1;
    test::RecordingFrontend frontend;
    TilingTable table;
    ASSERT_EQ(allocateTilingTable(frontend, table, test::makeImage(3, 1, 24), geometry), 0);
    const std::uint8_t bgr[3][3] = {{2, 1, 0}, {2, 2, 0}, {2, 1, 0}};
    for (int n = 0; n < 3; ++n) std::memcpy(table.entry(n), bgr[n], 3);
    const SheetDesign design = makeSheetDesign(table, nullptr);
    ASSERT_EQ(design.entries.size(), 2u);
    EXPECT_EQ(design.entries[0].name, "#000102");
    EXPECT_EQ(design.entries[0].count, 2);
    EXPECT_EQ(design.entries[1].name, "#000202");
    EXPECT_EQ(design.grid, (std::vector<std::uint32_t>{0, 1, 0}));
}

// Without a tiled picture there is nothing to list: 1, the reason and then the failure, no file.
TEST(ShoppingList, SavingWithoutATilingFails) {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    Session session(frontend);
    EXPECT_EQ(saveShoppingList(session, dir / "list.csv"), 1);
    ASSERT_FALSE(frontend.messages.empty());
    EXPECT_EQ(frontend.messages.back().text, "failed to save the shopping list");
    EXPECT_FALSE(std::filesystem::exists(dir / "list.csv"));
}

} // namespace
} // namespace vellora
