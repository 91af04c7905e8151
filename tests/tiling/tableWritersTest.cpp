#include "core/pixelAccess.h"
#include "tiling/expressTable.h"
#include "tiling/saveTableCsv.h"
#include "tiling/tableText.h"
#include "tiling/textFormat.h"
#include "tilingTestSupport.h"

namespace vellora {
namespace {

using test::tileSizeBlock;

// A tiled 5 × 5 picture at 4 bpp, 6 colours, tiles 2 × 2, slit 1: top tile row (stored rows 3–4)
// indices 2 and 5, bottom (stored rows 0–1) 2 and 2; horizontal slit (stored row 2) 1, vertical
// slit (column 2) 3, each but its first pixel 4. The file: 54 + 64 + 5 rows of 4 bytes = 138.
DibImage twoByTwoTiledPicture() {
    const std::vector<std::uint32_t> palette = {0, 0xCCCCCC, 0xFF0000, 0x666666, 0, 0x0000FF};
    return test::makeIndexedImage(5, 5, 4, palette, [](int x, int y) {
        if (x == 2) return y == 1 ? 4 : 3;
        if (y == 2) return x == 0 ? 1 : 4;
        return (y >= 3 && x >= 3) ? 5 : 2;
    });
}

struct Tables : test::TilingSession {
    std::string text() {
        std::string text = "old text";
        EXPECT_EQ(expressTilingTable(session, text), 0);
        return text;
    }
    std::string file(const std::string& name) {
        const std::vector<std::uint8_t> bytes = test::readFileBytes(folder / name);
        return {bytes.begin(), bytes.end()};
    }
    std::string csv(const std::string& name) {
        EXPECT_EQ(saveTilingTableCsv(session, folder / name), 0);
        return file(name);
    }
};

const char* const kTwoByTwoText =
    "source file : a.jpg\n\n"
    "basic info of tiling 'bitmap' file as follows:\n"
    "bitmap file size               ,138\n"
    "image width * height           ,5 * 5\n"
    "bits per pixel                 ,4\n"
    "tile count width * height      ,2 * 2\n"
    "tile pixel size width * height ,2 * 2\n"
    "slit pixel size                ,1\n\n"
    "palette colors as follows:\n"
    "index  ,red    ,green  ,blue   ,count\n"
    "      0,      0,      0,      0,      0\n      1,    204,    204,    204,      0\n"
    "      2,    255,      0,      0,      3\n      3,    102,    102,    102,      0\n"
    "      4,      0,      0,      0,      0\n      5,      0,      0,    255,      1\n\n"
    "slit color index as follows:\n"
    "horizon slit   ,      1\n"
    "vertical slit  ,      3\n\n"
    "tile color index as follows:\n"
    "       ,horz  0,horz  1\n"
    "vert  0,      2,      5\n"
    "vert  1,      2,      2\n";

const char* const kTwoByTwoCsv =
    "source file :a.jpg\n\n"
    "basic info of tiling 'bitmap' file as follows:\n"
    "bitmap file size,,138\nimage width * height,,5,5\nbits per pixel,,4\n"
    "tile count width * height,,2,2\ntile pixel size width * height,,2,2\nslit pixel size,,1\n\n"
    "palette colors as follows:\n"
    "index,red,green,blue,count\n"
    "0,0,0,0,0\n1,204,204,204,0\n2,255,0,0,3\n3,102,102,102,0\n4,0,0,0,0\n5,0,0,255,1\n\n"
    "slit color index as follows:\nhorizon slit,1\nvertical slit,3\n\n"
    "tile color index as follows:\n,horz 0,horz 1\nvert 0,2,5\nvert 1,2,2\n";

// The text, its file and the CSV file; a text file that cannot be made gives its message.
TEST_F(Tables, IndexTablesOfTwoByTwoGrid) {
    start(twoByTwoTiledPicture(), tileSizeBlock(2, 2, 1), "a.jpg");
    EXPECT_EQ(text(), kTwoByTwoText);
    // The bar shows while the table is read from the picture, and again while it is written.
    EXPECT_EQ(frontend.progressVisibility, (std::vector<bool>{true, false, true, false}));
    ASSERT_EQ(saveTilingTableText(session, folder / "a.txt"), 0);
    EXPECT_EQ(std::tuple(file("a.txt"), csv("a.csv")), std::tuple(kTwoByTwoText, kTwoByTwoCsv));
    EXPECT_TRUE(!frontend.progressVisibility.back() && frontend.messages.empty());
    EXPECT_EQ(saveTilingTableText(session, folder / "missing" / "a.txt"), 1);
    EXPECT_EQ(frontend.texts(),
              (std::vector<std::string>{"failed to create the file\ncannot write \"" +
                                        (folder / "missing" / "a.txt").string() +
                                        "\": No such file or directory"}));
}

// One 24-bit tile as wide as the 3 × 2 picture and higher: slits just outside, their entries grays.
TEST_F(Tables, ColorTablesOfOneTile) {
    start(test::makeTrueColorImage(3, 2,
                                   [](int x, int y) { return x + y == 0 ? 0x0A141Eu : 0x808080u; }),
          tileSizeBlock(3, 5, 1, 0, 1), "pic.png");
    EXPECT_EQ(text(), "source file : pic.png\n\n"
                      "basic info of tiling 'bitmap' file as follows:\n"
                      "bitmap file size               ,78\n"
                      "image width * height           ,3 * 2\n"
                      "bits per pixel                 ,24\n"
                      "tile count width * height      ,1 * 1\n"
                      "tile pixel size width * height ,3 * 5\n"
                      "slit pixel size                ,1\n\n"
                      "slit color index as follows:\n"
                      "             ,red    ,green  ,blue\n"
                      "horizon slit ,    255,    255,    255\n"
                      "vertical slit,    204,    204,    204\n\n"
                      "tile color as follows:\n"
                      "vert  ,horz  ,red    ,green  ,blue\n"
                      "     0,     0,     10,     20,     30\n");
    const std::string table = csv("pic.csv");
    EXPECT_EQ(table.substr(table.find("slit pixel size")),
              "slit pixel size,,1\n\nslit color data as follows:\n,,red,green,blue\n"
              "horizon slit,,255,255,255\nvertical slit,,204,204,204\n\n"
              "tile color data as follows:\nvert,horz,red,green,blue\n0,0,10,20,30\n");
    session.workingBlock = tileSizeBlock(1, 1, 0); // no slit: no slit sections
    EXPECT_NE(text().find("slit pixel size                ,0\n\ntile color as follows:\n"),
              std::string::npos);
    EXPECT_EQ(csv("x.csv").find("slit color"), std::string::npos);
}

// Slits outside the picture take the nearest entry of their gray: white → 2, light gray 204 → 1
// (200, 200, 200). A header claiming 40 colours at 4 bpp lists the colour table's 16 entries. A
// name of 240 letters makes the first line 256 bytes, more than the formatter's own buffer holds.
TEST_F(Tables, IndexedSlitsOutsideThePictureAndColoursClaimedBeyondTheTable) {
    const std::string name = std::string(236, 'n') + ".jpg";
    start(test::makeIndexedImage(3, 2, 8, {0, 0xC8C8C8, 0xFFFFFF}, [](int, int) { return 0; }),
          tileSizeBlock(5, 5, 1, 0, 1), name);
    std::string listed = text();
    EXPECT_EQ(listed.rfind("source file : " + name + "\n\n", 0), 0u);
    EXPECT_NE(listed.find("horizon slit   ,      2\nvertical slit  ,      1\n"), std::string::npos);
    EXPECT_EQ(listed.find("\n      3,"), std::string::npos);
    std::string twice = "ab"; // a long line after others
    appendFormatted(twice, "%s%s", name.c_str(), name.c_str());
    EXPECT_EQ(twice, "ab" + name + name);
    DibImage claims40 = test::makeIndexedImage(4, 4, 4, {0xFF0000}, [](int, int) { return 0; });
    EXPECT_EQ(claims40.listedEntries(), 1);
    writeLe32(claims40.data.data() + 46, 40);
    start(claims40, tileSizeBlock(2, 2, 0));
    listed = text();
    EXPECT_NE(listed.find("\n     15,"), std::string::npos);
    EXPECT_EQ(listed.find("\n     16,"), std::string::npos);
    EXPECT_EQ(csv("t.csv").find("\n16,"), std::string::npos);
}

// Both table build failures (unreadable picture, grid of no pitch) give 1 after their own message,
// each command adding its own. A CSV is written whole or not at all: a missing folder gives 2 and
// no file, an existing file is replaced or, if the build fails, kept, and no temporary stays.
TEST_F(Tables, FailuresLeaveNoTextAndNoPartFile) {
    start(twoByTwoTiledPicture(), tileSizeBlock(2, 2, 1), "a.jpg");
    const auto missing = folder / "no-such-folder" / "a.csv";
    EXPECT_EQ(saveTilingTableCsv(session, missing), 2);
    EXPECT_EQ(frontend.texts(),
              (std::vector<std::string>{"failed to save tiling table as csv file\ncannot write \"" +
                                        missing.string() + "\": No such file or directory"}));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
    test::writeFileBytes(folder / "a.csv", std::vector<std::uint8_t>(10000, 'x'));
    EXPECT_EQ(csv("a.csv"), kTwoByTwoCsv);

    session.currentPath = (folder / "gone.dib").string();
    frontend.clear();
    EXPECT_EQ(saveTilingTableCsv(session, folder / "a.csv"), 1);
    std::string text = "old";
    EXPECT_EQ(expressTilingTable(session, text), 1);
    EXPECT_TRUE(text.empty());
    const std::string unread = "failed to open the file\ncannot read \"" + session.currentPath +
                               "\": No such file or directory";
    EXPECT_EQ(frontend.texts(),
              (std::vector<std::string>{unread, "failed to save tiling table as csv file", unread,
                                        "failed to get tiling table"}));
    EXPECT_EQ(file("a.csv"), kTwoByTwoCsv);
    TilingTable table;
    start(twoByTwoTiledPicture(), tileSizeBlock(0, 0, 0));
    frontend.clear();
    EXPECT_EQ(buildTilingTable(session, table), 1);
    ASSERT_EQ(frontend.messages.size(), 1u);
    EXPECT_EQ(frontend.messages[0].caption, "alert");
}

} // namespace
} // namespace vellora
