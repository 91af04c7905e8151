#include "color/colorConversion.h"
#include "color/colorTestImages.h"
#include "color/evenPaletteFile.h"
#include "color/paletteFolderGuard.h"
#include "color/referenceColor.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vellora::test {
namespace {

class ColorProcessing : public testing::Test {
  protected:
    ColorProcessing() : session(frontend), guard(builtPresetFolder(), folder.path()) {}

    void choose(std::uint32_t method, std::uint32_t choice, bool diffuse) {
        session.workingBlock.colorMethod = method;
        if (method < 4) session.workingBlock.colorChoice[method] = choice;
        session.workingBlock.colorDiffusion = diffuse ? 1 : 0;
    }
    void choosePalette(const std::string& path) {
        choose(4, 0, false);
        std::strncpy(session.workingBlock.userPalettePath, path.c_str(),
                     sizeof session.workingBlock.userPalettePath - 1);
    }
    // Runs the command as the dispatcher does; on success returns the new picture.
    int run(DibImage* result = nullptr) {
        before = session.currentPath;
        const int status = runCommandHandler(session, colorConversionHandler);
        if (status == 0 && result) *result = readImage(session.currentPath);
        return status;
    }
    void expectUnchanged() {
        EXPECT_EQ(session.currentPath, before);
        EXPECT_EQ(session.history.historyDepth, 0);
    }

    TempDir folder;
    RecordingFrontend frontend;
    Session session;
    PaletteFolderGuard guard;
    std::string before;
};

TEST_F(ColorProcessing, MedianCutOfAnEightBitPictureTo256Colours) {
    const DibImage picture = noiseImage(21, 11, 8, 4, 256);
    setCurrentPicture(session, picture);
    choose(0, 7, false);
    DibImage result;
    ASSERT_EQ(run(&result), 0);
    EXPECT_EQ(result.bitsPerPixel, 8);
    EXPECT_EQ(result.colorsUsed, 256u);
    const ReferenceCut expected = referenceMedianCut(picture, 256, 8);
    EXPECT_EQ(std::vector<std::uint8_t>(result.paletteEntry(0), result.paletteEntry(256)),
              expected.palette);
    EXPECT_TRUE(frontend.messages.empty());
    EXPECT_EQ(session.currentInfo.state, kStateZoom);
    EXPECT_EQ(frontend.progressVisibility, (std::vector<bool>{true, false}));
}

TEST_F(ColorProcessing, NeedlessMedianCutShowsTheNoticeOnly) {
    const struct {
        int bits;
        std::uint32_t choice;
        bool needless;
    } cases[] = {{4, 4, true},  {4, 3, false},  {1, 0, false}, {1, 1, true},
                 {8, 7, false}, {24, 7, false}, {32, 7, false}};
    for (const auto& c : cases)
        EXPECT_EQ(isNeedlessMedianCut(int(c.choice), c.bits), c.needless);

    setCurrentPicture(session, noiseImage(6, 4, 4, 2, 256));
    choose(0, 4, true); // 32 colours from a 4-bit picture
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(frontend.messages,
              (std::vector<Message>{{"notice", std::string(kNoNeedToDecreaseText)}}));
    EXPECT_TRUE(frontend.progressVisibility.empty());
    expectUnchanged();
}

TEST_F(ColorProcessing, ThirtyTwoBitPictureTo256ColoursRuns) {
    setCurrentPicture(session, noiseImage(9, 9, 32, 6, 256));
    choose(0, 7, true);
    DibImage result;
    ASSERT_EQ(run(&result), 0);
    EXPECT_EQ(result.bitsPerPixel, 8);
}

TEST_F(ColorProcessing, TrueColour32KeepsTheColoursAndNeverDiffuses) {
    const DibImage picture = noiseImage(13, 6, 24, 9, 256);
    setCurrentPicture(session, picture);
    choose(3, 1, true);
    DibImage result;
    ASSERT_EQ(run(&result), 0);
    EXPECT_EQ(result.bitsPerPixel, 32);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(rgbAt(result, x, y), rgbAt(picture, x, y));
}

TEST_F(ColorProcessing, SixteenBasicAlwaysGivesFourBitsWithoutNotice) {
    for (const int bits : {1, 8, 24}) {
        setCurrentPicture(session, noiseImage(7, 3, bits, 3, 256));
        choose(1, 0, true);
        DibImage result;
        ASSERT_EQ(run(&result), 0) << bits;
        EXPECT_EQ(result.bitsPerPixel, 4);
        EXPECT_EQ(result.colorsUsed, 16u);
    }
    EXPECT_TRUE(frontend.messages.empty());
}

TEST_F(ColorProcessing, UserCsvPaletteMapsToItsColours) {
    writeFileBytes(folder / "two.csv", {'r', ',',  'g', ',', 'b', '\n', '0', ',', '0', ',',
                                        '0', '\n', '2', '5', '5', ',',  '0', ',', '0', '\n'});
    setCurrentPicture(
        session, makeTrueColorImage(2, 1, [](int x, int) { return x ? 0xF01010u : 0x101010u; }));
    choosePalette((folder / "two.csv").string());
    DibImage result;
    ASSERT_EQ(run(&result), 0);
    EXPECT_EQ(result.bitsPerPixel, 1);
    EXPECT_EQ(result.colorsUsed, 2u);
    EXPECT_EQ(rgbAt(result, 0, 0), 0x000000u);
    EXPECT_EQ(rgbAt(result, 1, 0), 0xFF0000u);
}

TEST_F(ColorProcessing, UserEvenPaletteFileUsesTheEvenLookup) {
    const std::vector<std::uint8_t> file = evenPaletteFileBytes(6, 6, 6);
    writeFileBytes(folder / "safe.ecp", file);
    setCurrentPicture(session, makeTrueColorImage(1, 1, [](int, int) { return 0x1A3300u; }));
    choosePalette((folder / "safe.ecp").string());
    DibImage result;
    ASSERT_EQ(run(&result), 0);
    EXPECT_EQ(result.colorsUsed, 216u);
    EXPECT_EQ(rgbAt(result, 0, 0), 0x333300u); // red 26 goes up to 51, green 51, blue 0
}

TEST_F(ColorProcessing, UnloadablePaletteStopsBeforeTheFrame) {
    writeFileBytes(folder / "bad.csv", {'r', ',', 'g', '\n', '1', ',', '2', ',', '3', '\n'});
    setCurrentPicture(session, noiseImage(3, 3, 24, 1, 256));
    choosePalette((folder / "bad.csv").string());
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(
        frontend.messages,
        (std::vector<Message>{{"error", "illegal file structure as a color palette csv file"}}));
    EXPECT_TRUE(frontend.progressVisibility.empty());
    expectUnchanged();
}

TEST_F(ColorProcessing, FailingStepAddsTheCommandMessage) {
    PaletteFolderGuard noPresets(folder.path(), folder.path());
    setCurrentPicture(session, noiseImage(3, 3, 24, 1, 256));
    choose(2, 9, false);
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(frontend.withoutCauses(),
              (std::vector<Message>{{"error", "failed to open the file"},
                                    {"error", "failed to convert the image color"}}));
    EXPECT_EQ(frontend.progressVisibility, (std::vector<bool>{true, false}));
    expectUnchanged();
}

TEST_F(ColorProcessing, CodesFromTheBlock) {
    ParameterBlock block = defaultParameterBlock();
    EXPECT_EQ(colorConversionCode(block), 7); // defaults: decrease, 256
    block.colorMethod = 2;
    EXPECT_EQ(colorConversionCode(block), 512 + 9);
    block.colorMethod = 1;
    EXPECT_EQ(colorConversionCode(block), 257);
    block.colorMethod = 3;
    EXPECT_EQ(colorConversionCode(block), 768);
    block.colorMethod = 4;
    EXPECT_EQ(colorConversionCode(block), 1024);
}

} // namespace
} // namespace vellora::test
