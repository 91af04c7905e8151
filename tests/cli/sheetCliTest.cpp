// The build sheet from the command line: options refused before anything runs, the files of a
// real tiling, and the tile line's names on the tiles.
#include "cli/sheetOptions.h"
#include "cliProcess.h"
#include "imageio/pictureLibrary.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <fstream>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

struct SheetCli : CliTest {
    std::string writeFile(const std::string& name, const std::string& text) {
        std::ofstream(work() / name, std::ios::binary) << text;
        return (work() / name).string();
    }
    // 90 × 60 pixels of four colour bands: 9 × 6 tiles at the default tile size.
    std::string writePicture() {
        const DibImage image = makeIndexedImage(90, 60, 8, {0x102030, 0xf0e0d0, 0x20a040, 0xc02020},
                                                [](int x, int y) { return (x / 25 + y / 20) % 4; });
        std::string error;
        EXPECT_TRUE(imageio::savePicture(work() / "bands.bmp", image, "image/bmp", 90, 8, error));
        return "bands.bmp";
    }
};

TEST_F(SheetCli, BadSheetOptionsAreRefusedBeforeAnythingRuns) {
    const std::string picture = writePicture();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--chart", "x.png"},
         "alert: --chart needs a file name ending in .pdf or .svg, got \"x.png\""},
        {{"--chart", "a.pdf", "--chart", "b.PDF"},
         "alert: --chart given twice for the same format"},
        {{"--tile-mm", "20x"},
         "alert: --tile-mm needs WIDTH or WIDTHxHEIGHT in millimetres (0.1 to 10000), got \"20x\""},
        {{"--grout-mm", "-1"},
         "alert: --grout-mm needs a width in millimetres (0 to 1000), got \"-1\""},
        {{"--spare", "ten"}, "alert: --spare needs a share in percent (0 to 1000), got \"ten\""},
        {{"--pack", "0"},
         "alert: --pack needs a whole number of tiles per pack (1 to 1000000), got \"0\""},
        {{"--paper", "a3"}, "alert: --paper needs a4 or letter, got \"a3\""},
        {{"--spare", "5", "--spare", "6"}, "alert: --spare given twice"},
        {{"--shopping", "missing/s.csv"}, "alert: the output folder \"missing\" does not exist"},
        {{"--chart", "s.svg", "--shopping", "./s.svg"},
         "alert: --chart and --shopping name the same file \"./s.svg\""},
        {{"--chart", "bands.bmp.svg", "--shopping", "bands.bmp"},
         "alert: the output \"bands.bmp\" is the input file"},
    };
    for (const auto& [options, message] : cases) {
        std::vector<std::string> arguments = {picture, "tiling", "-o", "out.png"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const CliResult result = run(arguments);
        EXPECT_EQ(result.exitStatus, 2) << message;
        EXPECT_EQ(result.err.substr(0, result.err.find('\n')), message);
        EXPECT_EQ(folderEntries(work()), std::vector<std::string>{"bands.bmp"}) << message;
    }
}

TEST_F(SheetCli, TilesTakeTheNamesOfTheTileLineRows) {
    const std::string picture = writePicture();
    const std::string palette =
        writeFile("bands.csv", "red,green,blue\n16,32,48\n240,224,208\n32,160,64\n192,32,32\n");
    const std::string line =
        writeFile("bands.tiles", "# four glazes\ncode,name,red,green,blue,pack\nN,Night,16,32,48,\n"
                                 "S,Sand,240,224,208,7\nL,Leaf,32,160,64,\nR,Rust,192,32,32,\n");
    const CliResult result = run({picture, "tiling", "--set", "tilingPaletteClass=2", "--set",
                                  "userPalettePath=" + palette, "--tiles", line, "--pack", "3",
                                  "--shopping", "shop.csv"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::vector<std::string> shop = split(readText(work() / "shop.csv"), '\n');
    ASSERT_EQ(shop.size(), 5u);
    const char* const names[][3] = {
        {"Night", "N", "3"}, {"Sand", "S", "7"}, {"Leaf", "L", "3"}, {"Rust", "R", "3"}};
    for (std::size_t i = 1; i < shop.size(); ++i) {
        const std::vector<std::string> f = split(shop[i], ',');
        EXPECT_EQ(std::tuple(f[1], f[2], f[8]),
                  std::tuple(names[i - 1][0], names[i - 1][1], names[i - 1][2]));
    }
}

TEST_F(SheetCli, ABadTileLineFailsTheRunAndWritesNothing) {
    const std::string picture = writePicture();
    const std::string line = writeFile("bad.tiles", "name,code,red,green,blue\nA,1,1,2,300\n");
    writeFile("chart.pdf", "old chart");
    const CliResult result =
        run({picture, "tiling", "--tiles", line, "--chart", "chart.pdf", "-o", "out.png"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, "error: tile line \"" + line +
                              "\": line 2, column 5 (blue): \"300\" is out of range 0 to 255\n");
    EXPECT_EQ(readText(work() / "chart.pdf"), "old chart");
    EXPECT_FALSE(fs::exists(work() / "out.png"));
}

TEST(SheetOptions, ATileLineBecomesTheTilingsPaletteWithoutItsOutOfStockRows) {
    TempDir dir;
    std::ofstream(dir / "line.tiles")
        << "name,code,red,green,blue,stock\nA,1,1,2,3,1\nB,2,4,5,6,0\nC,3,7,8,9,\n";
    cli::SheetRequest sheet;
    sheet.fields = {{"tiles", (dir / "line.tiles").string()}, {"tile-mm", "30"}};
    RecordingFrontend frontend;
    Session session(frontend);
    session.design.excluded = {2, 1};
    session.design.groutMm = 7;
    ASSERT_EQ(cli::prepareSheet(session, sheet), 0);
    using Bgr = std::array<std::uint8_t, 3>;
    EXPECT_EQ(session.designPalette.colors, (std::vector<Bgr>{{3, 2, 1}, {6, 5, 4}, {9, 8, 7}}));
    EXPECT_EQ(session.design.excluded, (std::vector<int>{2, 1}));
    session.design.excluded.clear();
    ASSERT_EQ(cli::prepareSheet(session, sheet), 0);
    EXPECT_EQ(session.design.excluded, std::vector<int>{1});
    EXPECT_EQ(session.design.tileLinePath, (dir / "line.tiles").string());
    EXPECT_EQ(std::pair(session.design.tileHeightMm, session.design.groutMm),
              std::pair(30.0, 7.0)); // grout: as it was
}

} // namespace
} // namespace vellora::test
