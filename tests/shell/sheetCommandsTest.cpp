#include "shell/commandTable.h"
#include "shell/dispatcher.h"
#include "shell/sheetSetup.h"
#include "shell/shellServices.h"

#include "core/parameterBlock.h"
#include "support/acceptingWindow.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vellora {
namespace {

namespace fs = std::filesystem;

std::string fileText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

class SheetCommands : public ::testing::Test {
  protected:
    // An 8 × 4 picture in 2 × 2 tiles: white on the left, dark red on the right.
    void tile() {
        test::setCurrentPicture(session, test::makeTrueColorImage(8, 4, [](int x, int) {
                                    return x < 4 ? 0xffffffu : 0xc80000u;
                                }));
        session.picturePath = (dir / "sample.jpg").string();
        session.workingBlock = defaultParameterBlock();
        session.workingBlock.tilingSizeMethod = 1;
        session.workingBlock.tilePixelWidth = 2;
        session.workingBlock.tilePixelHeight = 2;
        session.workingBlock.slitPixelWidth = 0;
        dispatcher.setMenuState(kMenuOpened, 0);
        dispatcher.dispatch(kCmdTiling);
    }

    test::RecordingFrontend frontend;
    Session session{frontend};
    test::TempDir dir;
    test::AcceptingWindow window;
    Dispatcher dispatcher{session, window, defaultShellServices()};
};

TEST_F(SheetCommands, ChartAndShoppingListComeFromTheTilingWithTheTileLinesStock) {
    std::ofstream(dir / "line.tiles") << "name,code,red,green,blue,stock\n"
                                         "Snow,W1,250,250,250,1\nInk,K1,10,10,10,1\n"
                                         "Signal red,R1,200,0,0,0\n";
    session.design.tileLinePath = (dir / "line.tiles").string();
    tile();
    ASSERT_EQ(frontend.messages, std::vector<test::Message>{});
    window.chosen = {(dir / "chart.svg").string(), (dir / "chart.pdf").string(),
                     (dir / "list.csv").string()};
    dispatcher.dispatch(kCmdSaveChart);
    dispatcher.dispatch(kCmdSaveChart);
    dispatcher.dispatch(kCmdSaveShoppingList);
    EXPECT_EQ(window.offered, (std::vector<std::string>{(dir / "sample.pdf").string(),
                                                        (dir / "sample.pdf").string(),
                                                        (dir / "sample.shopping.csv").string()}));
    // Red is out of stock: the red half takes the nearer of the two in stock, ink.
    EXPECT_EQ(fileText(dir / "list.csv"),
              "index,name,code,red,green,blue,tiles,tiles with spare,pack size,packs\n"
              "0,Snow,W1,250,250,250,4,5,100,1\n1,Ink,K1,10,10,10,4,5,100,1\n");
    const std::string svg = fileText(dir / "chart.svg");
    EXPECT_NE(svg.find("width=\"86mm\" height=\"42mm\""), std::string::npos) << svg;
    EXPECT_EQ(fileText(dir / "chart.pdf").substr(0, 5), "%PDF-");

    dispatcher.dispatch(kCmdExpressTable);
    EXPECT_NE(window.tableText.find("finished mm width * height     ,86 * 42\n"), std::string::npos)
        << window.tableText;
    EXPECT_NE(window.tableText.find("      1,      4,K1     ,Ink\n"), std::string::npos);
}

TEST_F(SheetCommands, ABadTileLineStopsTheTilingAndTheDefaultTableHasNoSheetLines) {
    std::ofstream(dir / "bad.tiles") << "name,code,red,green\nSnow,W1,250,250\n";
    session.design.tileLinePath = (dir / "bad.tiles").string();
    tile();
    ASSERT_EQ(frontend.messages.size(), 2u);
    EXPECT_NE(frontend.messages[0].text.find("bad.tiles"), std::string::npos);
    EXPECT_EQ(frontend.messages[1].text, "failed to tiling the image");
    EXPECT_EQ(session.history.historyDepth, 0);

    session.design.tileLinePath.clear();
    frontend.clear();
    tile();
    dispatcher.dispatch(kCmdExpressTable);
    EXPECT_EQ(window.tableText.find("build sheet"), std::string::npos);
    EXPECT_NE(window.tableText.find("count"), std::string::npos);
}

TEST_F(SheetCommands, SettingsRoundTripAndADamagedFileGivesTheDefaults) {
    const fs::path path = sheetSettingsPathBeside(dir / "config" / "vellora.par");
    session.design.tileLinePath = "/lines/glass.tiles";
    session.design.tileWidthMm = 12.5;
    session.design.packSize = 250;
    session.design.paper = Paper::Letter;
    ASSERT_EQ(saveSessionSheetSettings(session, path), 0); // the missing folder is made
    Session reread{frontend};
    ASSERT_EQ(loadSessionSheetSettings(reread, path), 0);
    EXPECT_EQ(reread.design.tileLinePath, "/lines/glass.tiles");
    EXPECT_EQ(reread.design.tileWidthMm, 12.5);
    EXPECT_EQ(reread.design.packSize, 250);
    EXPECT_EQ(reread.design.paper, Paper::Letter);

    std::ofstream(path) << "pack=250\ngrout-mm=wide\n";
    EXPECT_EQ(loadSessionSheetSettings(reread, path), 1);
    const DesignSettings defaults;
    EXPECT_EQ(reread.design.tileLinePath, "");
    EXPECT_EQ(reread.design.tileWidthMm, defaults.tileWidthMm);
    EXPECT_EQ(reread.design.packSize, defaults.packSize);
    EXPECT_EQ(reread.design.paper, defaults.paper);
    ASSERT_EQ(frontend.messages.size(), 1u);
    EXPECT_EQ(frontend.messages[0].caption, "alert");
    EXPECT_NE(frontend.messages[0].text.find("line 2: grout-mm needs"), std::string::npos)
        << frontend.messages[0].text;
    EXPECT_NE(frontend.messages[0].text.find("the defaults"), std::string::npos);
}

} // namespace
} // namespace vellora
