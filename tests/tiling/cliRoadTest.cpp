// The main job from the command line gives the same picture and tables as the library.
#ifdef VELLORA_CLI_PROGRAM
#include "core/operationFrame.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"
#include "tiling/expressTable.h"
#include "tiling/runTiling.h"
#include "tiling/saveTableCsv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace vellora {
namespace {

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

DibImage scenePicture() {
    return test::makeTrueColorImage(53, 31, [](int x, int y) {
        return std::uint32_t(x * 4) << 16 | std::uint32_t(y * 8) << 8 | (x > 20 ? 220u : 10u);
    });
}

TEST(CliRoad, UserCsvPaletteMatchesTheLibrary) {
    test::TempDir folder;
    const auto input = folder / "scene.bmp";
    const auto palette = folder / "tiles.csv";
    std::ofstream(palette) << "; tile colours\nred,green,blue\n200,30,30\n30,200,30\n30,30,200\n"
                              "240,240,240\n20,20,20\n";
    const DibImage picture = scenePicture();
    SilentFrontend silent;
    ASSERT_EQ(writeBitmapFile(silent, input, picture), 0);

    const std::string command =
        "TMPDIR='" + folder.path().string() + "' '" VELLORA_CLI_PROGRAM "'" +
        " --set tilingPaletteClass=2 --set userPalettePath='" + palette.string() + "'" +
        " --set tilePixelWidth=5 --set tilePixelHeight=4 --set slitPixelWidth=2" +
        " --set hSlitGrayIndex=0 --set vSlitGrayIndex=5 '" + input.string() + "' tiling" + " -o '" +
        (folder / "out.bmp").string() + "' --table '" + (folder / "t.txt").string() + "' --csv '" +
        (folder / "t.csv").string() + "' 2>'" + (folder / "err.txt").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << readText(folder / "err.txt");

    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, picture);
    session.picturePath = input.string();
    ParameterBlock& block = session.workingBlock;
    block.tilingPaletteClass = 2;
    std::strcpy(block.userPalettePath, palette.c_str());
    block.tilePixelWidth = 5;
    block.tilePixelHeight = 4;
    block.slitPixelWidth = 2;
    block.hSlitGrayIndex = 0;
    block.vSlitGrayIndex = 5;
    ASSERT_EQ(runCommandHandler(session, tilingHandler), 0);
    std::string text;
    ASSERT_EQ(expressTilingTable(session, text), 0);
    ASSERT_EQ(saveTilingTableCsv(session, folder / "library.csv"), 0);

    EXPECT_EQ(readText(folder / "t.txt"), text);
    EXPECT_EQ(readText(folder / "t.csv"), readText(folder / "library.csv"));
    EXPECT_NE(text.find("source file : scene.bmp\n"), std::string::npos);
    const DibImage fromCli = test::readImage(folder / "out.bmp");
    const DibImage fromLibrary = test::readImage(session.currentPath);
    ASSERT_EQ(fromCli.bitsPerPixel, 4);
    ASSERT_EQ(fromCli.width, fromLibrary.width);
    ASSERT_EQ(fromCli.height, fromLibrary.height);
    for (int y = 0; y < fromCli.height; ++y)
        for (int x = 0; x < fromCli.width; ++x)
            ASSERT_EQ(test::rgbAt(fromCli, x, y), test::rgbAt(fromLibrary, x, y)) << x << "," << y;
}

} // namespace
} // namespace vellora
#endif
