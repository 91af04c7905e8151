#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"
#include "tiling/expressTable.h"
#include "tiling/saveTableCsv.h"
#include "tiling/tableText.h"
#include "tilingTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace vellora {
namespace {

using test::tileSizeBlock;

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// A tiled 5 × 5 picture at 4 bpp, tiles 2 × 2 with slit 1: the top row of tiles (stored rows
// 3–4) holds indices 3 and 12, the bottom row (stored rows 0–1) 3 and 3; horizontal slit
// (stored row 2) index 7, vertical slit (column 2) index 9.
DibImage twoByTwoTiledPicture() {
    const std::vector<std::uint32_t> palette = {0, 0,        0, 0xFF0000, 0,        0, 0, 0xCCCCCC,
                                                0, 0x666666, 0, 0,        0x0000FF, 0, 0, 0};
    return test::makeIndexedImage(5, 5, 4, palette, [](int x, int y) {
        if (x == 2) return 9;
        if (y == 2) return 7;
        return (y >= 3 && x >= 3) ? 12 : 3;
    });
}

struct TableFixture : ::testing::Test {
    test::RecordingFrontend frontend;
    Session session{frontend};
    test::TempDir folder;

    void usePicture(const DibImage& picture, const ParameterBlock& block, const std::string& name) {
        test::setCurrentPicture(session, picture);
        session.workingBlock = block;
        session.picturePath = "/pictures/" + name;
    }
};

const char* const kTwoByTwoText = "source file : a.jpg\n"
                                  "\n"
                                  "basic info of tiling 'bitmap' file as follows:\n"
                                  "bitmap file size               ,138\n"
                                  "image width * height           ,5 * 5\n"
                                  "bits per pixel                 ,4\n"
                                  "tile count width * height      ,2 * 2\n"
                                  "tile pixel size width * height ,2 * 2\n"
                                  "slit pixel size                ,1\n"
                                  "\n"
                                  "palette colors as follows:\n"
                                  "index  ,red    ,green  ,blue   ,count\n"
                                  "      0,      0,      0,      0,      0\n"
                                  "      1,      0,      0,      0,      0\n"
                                  "      2,      0,      0,      0,      0\n"
                                  "      3,    255,      0,      0,      3\n"
                                  "      4,      0,      0,      0,      0\n"
                                  "      5,      0,      0,      0,      0\n"
                                  "      6,      0,      0,      0,      0\n"
                                  "      7,    204,    204,    204,      0\n"
                                  "      8,      0,      0,      0,      0\n"
                                  "      9,    102,    102,    102,      0\n"
                                  "     10,      0,      0,      0,      0\n"
                                  "     11,      0,      0,      0,      0\n"
                                  "     12,      0,      0,    255,      1\n"
                                  "     13,      0,      0,      0,      0\n"
                                  "     14,      0,      0,      0,      0\n"
                                  "     15,      0,      0,      0,      0\n"
                                  "\n"
                                  "slit color index as follows:\n"
                                  "horizon slit   ,      7\n"
                                  "vertical slit  ,      9\n"
                                  "\n"
                                  "tile color index as follows:\n"
                                  "       ,horz  0,horz  1\n"
                                  "vert  0,      3,     12\n"
                                  "vert  1,      3,      3\n";

const char* const kTwoByTwoCsv =
    "source file :a.jpg\n"
    "\n"
    "basic info of tiling 'bitmap' file as follows:\n"
    "bitmap file size,,138\n"
    "image width * height,,5,5\n"
    "bits per pixel,,4\n"
    "tile count width * height,,2,2\n"
    "tile pixel size width * height,,2,2\n"
    "slit pixel size,,1\n"
    "\n"
    "palette colors as follows:\n"
    "index,red,green,blue,count\n"
    "0,0,0,0,0\n1,0,0,0,0\n2,0,0,0,0\n3,255,0,0,3\n4,0,0,0,0\n5,0,0,0,0\n6,0,0,0,0\n"
    "7,204,204,204,0\n8,0,0,0,0\n9,102,102,102,0\n10,0,0,0,0\n11,0,0,0,0\n12,0,0,255,1\n"
    "13,0,0,0,0\n14,0,0,0,0\n15,0,0,0,0\n"
    "\n"
    "slit color index as follows:\n"
    "horizon slit,7\n"
    "vertical slit,9\n"
    "\n"
    "tile color index as follows:\n"
    ",horz 0,horz 1\n"
    "vert 0,3,12\n"
    "vert 1,3,3\n";

TEST_F(TableFixture, IndexTextOfTwoByTwoGrid) {
    usePicture(twoByTwoTiledPicture(), tileSizeBlock(2, 2, 1), "a.jpg");
    std::string text = "old text";
    ASSERT_EQ(expressTilingTable(session, text), 0);
    EXPECT_EQ(text, kTwoByTwoText);
    EXPECT_TRUE(frontend.messages.empty());
    ASSERT_FALSE(frontend.progressVisibility.empty());
    EXPECT_FALSE(frontend.progressVisibility.back());
}

TEST_F(TableFixture, TextFileHoldsTheExpressText) {
    usePicture(twoByTwoTiledPicture(), tileSizeBlock(2, 2, 1), "a.jpg");
    const auto path = folder / "a.txt";
    ASSERT_EQ(saveTilingTableText(session, path), 0);
    EXPECT_EQ(readText(path), kTwoByTwoText);
    EXPECT_EQ(saveTilingTableText(session, folder / "missing" / "a.txt"), 1);
    EXPECT_EQ(frontend.texts(), (std::vector<std::string>{
                                    "failed to create the file\ncannot write \"" +
                                    (folder / "missing" / "a.txt").string() +
                                    "\": No such file or directory"}));
}

TEST_F(TableFixture, IndexCsvOfTwoByTwoGrid) {
    usePicture(twoByTwoTiledPicture(), tileSizeBlock(2, 2, 1), "a.jpg");
    const auto path = folder / "a.csv";
    ASSERT_EQ(saveTilingTableCsv(session, path), 0);
    EXPECT_EQ(readText(path), kTwoByTwoCsv);
    EXPECT_TRUE(frontend.messages.empty());
}

// One 24-bit tile larger than the 3 × 2 picture: both slits lie outside it, so their entries
// are the slit grays themselves.
DibImage oneTileTrueColor() {
    return test::makeTrueColorImage(
        3, 2, [](int x, int y) { return x == 0 && y == 0 ? 0x0A141Eu : 0x808080u; });
}

TEST_F(TableFixture, ColorTextAndCsvOfOneTile) {
    usePicture(oneTileTrueColor(), tileSizeBlock(5, 5, 1, 0, 1), "pic.png");
    std::string text;
    ASSERT_EQ(expressTilingTable(session, text), 0);
    EXPECT_EQ(text, "source file : pic.png\n"
                    "\n"
                    "basic info of tiling 'bitmap' file as follows:\n"
                    "bitmap file size               ,78\n"
                    "image width * height           ,3 * 2\n"
                    "bits per pixel                 ,24\n"
                    "tile count width * height      ,1 * 1\n"
                    "tile pixel size width * height ,5 * 5\n"
                    "slit pixel size                ,1\n"
                    "\n"
                    "slit color index as follows:\n"
                    "             ,red    ,green  ,blue\n"
                    "horizon slit ,    255,    255,    255\n"
                    "vertical slit,    204,    204,    204\n"
                    "\n"
                    "tile color as follows:\n"
                    "vert  ,horz  ,red    ,green  ,blue\n"
                    "     0,     0,     10,     20,     30\n");
    const auto path = folder / "pic.csv";
    ASSERT_EQ(saveTilingTableCsv(session, path), 0);
    EXPECT_EQ(readText(path), "source file :pic.png\n"
                              "\n"
                              "basic info of tiling 'bitmap' file as follows:\n"
                              "bitmap file size,,78\n"
                              "image width * height,,3,2\n"
                              "bits per pixel,,24\n"
                              "tile count width * height,,1,1\n"
                              "tile pixel size width * height,,5,5\n"
                              "slit pixel size,,1\n"
                              "\n"
                              "slit color data as follows:\n"
                              ",,red,green,blue\n"
                              "horizon slit,,255,255,255\n"
                              "vertical slit,,204,204,204\n"
                              "\n"
                              "tile color data as follows:\n"
                              "vert,horz,red,green,blue\n"
                              "0,0,10,20,30\n");
}

// Slits outside the picture take the nearest palette entry of their gray: white → 2,
// light gray 204 → 1 (200, 200, 200).
TEST_F(TableFixture, IndexedSlitOutsideThePictureTakesItsMappedIndex) {
    const DibImage picture =
        test::makeIndexedImage(3, 2, 8, {0x000000, 0xC8C8C8, 0xFFFFFF}, [](int, int) { return 0; });
    usePicture(picture, tileSizeBlock(5, 5, 1, 0, 1), "s.png");
    std::string text;
    ASSERT_EQ(expressTilingTable(session, text), 0);
    EXPECT_NE(text.find("horizon slit   ,      2\nvertical slit  ,      1\n"), std::string::npos)
        << text;
}

TEST_F(TableFixture, OneIndexedTileCsvGrid) {
    const DibImage picture =
        test::makeIndexedImage(2, 2, 1, {0x000000, 0xFFFFFF}, [](int, int) { return 1; });
    usePicture(picture, tileSizeBlock(4, 4, 0), "one.bmp");
    const auto path = folder / "one.csv";
    ASSERT_EQ(saveTilingTableCsv(session, path), 0);
    const std::string csv = readText(path);
    const std::string tail = "\ntile color index as follows:\n,horz 0\nvert 0,1\n";
    ASSERT_GE(csv.size(), tail.size());
    EXPECT_EQ(csv.substr(csv.size() - tail.size()), tail);
    // Two palette lines for a 1-bit picture, straight on to the grid without slits.
    EXPECT_NE(csv.find("index,red,green,blue,count\n0,0,0,0,0\n1,255,255,255,1\n\ntile color"),
              std::string::npos);
    EXPECT_EQ(csv.rfind("slit"), csv.find("slit pixel size"));
}

TEST_F(TableFixture, SlitZeroLeavesOutSlitSections) {
    usePicture(oneTileTrueColor(), tileSizeBlock(1, 1, 0), "x.png");
    std::string text;
    ASSERT_EQ(expressTilingTable(session, text), 0);
    EXPECT_EQ(text.find("slit color"), std::string::npos);
    EXPECT_NE(text.find("slit pixel size                ,0\n\ntile color as follows:\n"),
              std::string::npos);
    const auto path = folder / "x.csv";
    ASSERT_EQ(saveTilingTableCsv(session, path), 0);
    EXPECT_EQ(readText(path).find("slit color"), std::string::npos);
}

TEST_F(TableFixture, ColumnNumbersAboveNineHundredNinetyNineWiden) {
    const DibImage picture =
        test::makeIndexedImage(1002, 1, 8, {0, 0xFF}, [](int x, int) { return x % 2; });
    usePicture(picture, tileSizeBlock(1, 1, 0), "wide.png");
    std::string text;
    ASSERT_EQ(expressTilingTable(session, text), 0);
    EXPECT_NE(text.find(",horz999,horz1000,horz1001\n"), std::string::npos);
    EXPECT_NE(text.find("vert  0,      0,      1,"), std::string::npos);
    const auto path = folder / "wide.csv";
    ASSERT_EQ(saveTilingTableCsv(session, path), 0);
    EXPECT_NE(readText(path).find(",horz 999,horz 1000,horz 1001\nvert 0,0,1,0,"),
              std::string::npos);
}

TEST_F(TableFixture, CountsAddUpToTheGrid) {
    const DibImage picture =
        test::makeIndexedImage(47, 31, 8, std::vector<std::uint32_t>(200, 0x102030),
                               [](int x, int y) { return (x * 7 + y * 13) % 200; });
    usePicture(picture, tileSizeBlock(3, 2, 1), "c.png");
    TilingTable table;
    ASSERT_EQ(buildTilingTable(session, table), 0);
    std::int64_t total = 0;
    for (std::int64_t count : paletteUseCounts(table))
        total += count;
    EXPECT_EQ(table.paletteLength(), 200);
    EXPECT_EQ(total, table.geometry.tileCount());
    EXPECT_EQ(table.geometry.tileCount(), std::int64_t(12) * 11);
}

TEST_F(TableFixture, ColorsUsedBeyondTheColourTableListsTheTableOnly) {
    DibImage picture = test::makeIndexedImage(4, 4, 4, {0xFF0000}, [](int, int) { return 0; });
    writeLe32(picture.data.data() + 46, 40); // a header claiming 40 colours at 4 bpp
    usePicture(picture, tileSizeBlock(2, 2, 0), "p.bmp");
    TilingTable table;
    ASSERT_EQ(buildTilingTable(session, table), 0);
    EXPECT_EQ(table.paletteLength(), 16);
    std::string text;
    ASSERT_EQ(expressTilingTable(session, text), 0);
    EXPECT_NE(text.find("\n     15,"), std::string::npos);
    EXPECT_EQ(text.find("\n     16,"), std::string::npos);
}

TEST_F(TableFixture, UnreadablePictureFailsWithBothMessages) {
    session.currentPath = (folder / "missing.dib").string();
    session.workingBlock = tileSizeBlock(2, 2, 1);
    std::string text = "old";
    EXPECT_EQ(expressTilingTable(session, text), 1);
    EXPECT_TRUE(text.empty());
    const std::string unread = "failed to open the file\ncannot read \"" + session.currentPath +
                               "\": No such file or directory";
    EXPECT_EQ(frontend.texts(), (std::vector<std::string>{unread, "failed to get tiling table"}));
    frontend.clear();
    const auto path = folder / "t.csv";
    EXPECT_EQ(saveTilingTableCsv(session, path), 1);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(frontend.texts(),
              (std::vector<std::string>{unread, "failed to save tiling table as csv file"}));
}

TEST_F(TableFixture, ZeroPitchIsRefusedBeforeReading) {
    usePicture(twoByTwoTiledPicture(), tileSizeBlock(0, 0, 0), "a.jpg");
    std::string text;
    EXPECT_EQ(expressTilingTable(session, text), 1);
    ASSERT_EQ(frontend.messages.size(), 2u);
    EXPECT_EQ(frontend.messages[0].caption, "alert");
    EXPECT_EQ(frontend.messages[1].text, "failed to get tiling table");
}

TEST_F(TableFixture, CsvThatCannotBeCreatedKeepsNothing) {
    usePicture(twoByTwoTiledPicture(), tileSizeBlock(2, 2, 1), "a.jpg");
    EXPECT_EQ(saveTilingTableCsv(session, folder / "no-such-folder" / "a.csv"), 2);
    EXPECT_EQ(frontend.texts(), (std::vector<std::string>{
                                    "failed to save tiling table as csv file\ncannot write \"" +
                                    (folder / "no-such-folder" / "a.csv").string() +
                                    "\": No such file or directory"}));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST_F(TableFixture, ExistingCsvIsReplacedWholeOrKept) {
    usePicture(twoByTwoTiledPicture(), tileSizeBlock(2, 2, 1), "a.jpg");
    const auto path = folder / "a.csv";
    test::writeFileBytes(path, std::vector<std::uint8_t>(10000, 'x'));
    ASSERT_EQ(saveTilingTableCsv(session, path), 0);
    EXPECT_EQ(readText(path), kTwoByTwoCsv);
    // A failed build leaves the existing file alone.
    session.currentPath = (folder / "gone.dib").string();
    EXPECT_EQ(saveTilingTableCsv(session, path), 1);
    EXPECT_EQ(readText(path), kTwoByTwoCsv);
    // No temporary files are left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
}

} // namespace
} // namespace vellora
