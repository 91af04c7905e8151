// The colour conversion command and the target it prepares for every conversion code.
#include "color/colorConversion.h"
#include "color/colorTestImages.h"
#include "color/conversionCode.h"
#include "color/conversionTarget.h"
#include "color/evenPaletteFile.h"
#include "color/paletteFolderGuard.h"
#include "color/userPalette.h"
#include "core/operationFrame.h"
#include "support/recordingFrontend.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

namespace vellora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Messages = std::vector<Message>;
using Ints = std::vector<int>;

class ColorProcessing : public testing::Test {
  protected:
    ColorProcessing() : session(frontend), guard(builtPresetFolder(), folder.path()) {}
    // Runs the command as the dispatcher does; on failure picture and history must be untouched.
    int run(const DibImage& picture, std::uint32_t method, std::uint32_t choice, bool diffuse,
            DibImage* result = nullptr, const std::string& palette = "") {
        setCurrentPicture(session, picture);
        session.workingBlock.colorMethod = method;
        if (method < 4) session.workingBlock.colorChoice[method] = choice;
        session.workingBlock.colorDiffusion = diffuse ? 1 : 0;
        std::strncpy(session.workingBlock.userPalettePath, palette.c_str(),
                     sizeof session.workingBlock.userPalettePath - 1);
        const std::string before = session.currentPath;
        const int status = runCommandHandler(session, colorConversionHandler);
        if (status == 0 && result) *result = readImage(session.currentPath);
        EXPECT_TRUE(status == 0 ||
                    (session.currentPath == before && !session.history.historyDepth));
        return status;
    }
    int prepare(DibImage& target, int code, const UserPalette* user = nullptr) {
        return prepareConversionTarget(session, target, randomPicture(5, 3, 24, 1), user, record,
                                       code);
    }
    std::string writeText(const std::string& name, const std::string& text) {
        writeFileBytes(folder / name, Bytes(text.begin(), text.end()));
        return (folder / name).string();
    }
    TempDir folder;
    RecordingFrontend frontend;
    Session session;
    PaletteFolderGuard guard;
    EvenPaletteRecord record;
};

TEST_F(ColorProcessing, NeedlessMedianCutShowsTheNoticeOnly) {
    // bits, choice, needless
    const int cases[][3] = {{4, 4, 1}, {4, 3, 0},  {1, 0, 0}, {1, 1, 1},
                            {8, 7, 0}, {24, 7, 0}, {32, 7, 0}};
    for (const auto& [bits, choice, needless] : cases)
        EXPECT_EQ(isNeedlessMedianCut(choice, bits), bool(needless));
    EXPECT_EQ(run(randomPicture(6, 4, 4, 2), 0, 4, true), 1); // 32 colours from a 4-bit picture
    EXPECT_EQ(frontend.messages, Messages({{"notice", std::string(kNoNeedToDecreaseText)}}));
    EXPECT_TRUE(frontend.progressVisibility.empty());
}

TEST_F(ColorProcessing, TrueColourBasicAndUserPalettes) {
    const DibImage picture = randomPicture(13, 6, 24, 9);
    DibImage result;
    ASSERT_EQ(run(picture, 3, 1, true, &result), 0); // 32 bpp keeps the colours, never diffuses
    EXPECT_EQ(result.bitsPerPixel, 32);
    for (int y = 0; y < 6; ++y)
        EXPECT_EQ(rowColors(result, y), rowColors(picture, y));
    EXPECT_EQ(session.currentInfo.state, kStateZoom);
    EXPECT_EQ(frontend.progressVisibility, (std::vector<bool>{true, false}));
    const std::string two = writeText("two.csv", "r,g,b\n0,0,0\n255,0,0\n");
    ASSERT_EQ(run(makeTrueColorImage(2, 1, [](int x, int) { return x ? 0xF01010u : 0x101010u; }), 4,
                  0, false, &result, two),
              0);
    EXPECT_EQ(Ints({result.bitsPerPixel, int(result.colorsUsed)}), Ints({1, 2}));
    EXPECT_EQ(rowColors(result), (std::vector<std::uint32_t>{0x000000, 0xFF0000}));
    writeFileBytes(folder / "safe.ecp", evenPaletteFileBytes(6, 6, 6));
    ASSERT_EQ(run(makeTrueColorImage(1, 1, [](int, int) { return 0x1A3300u; }), 4, 0, false,
                  &result, (folder / "safe.ecp").string()),
              0);
    // The even lookup: red 26 goes up to 51.
    EXPECT_EQ(Ints({int(result.colorsUsed), int(rgbAt(result, 0, 0))}), Ints({216, 0x333300}));
    EXPECT_TRUE(frontend.messages.empty());
}

TEST_F(ColorProcessing, TargetDepthColoursAndHeaderForEveryCode) {
    // code, depth, colours used
    const int cases[][3] = {{0, 1, 2},     {1, 4, 4},    {2, 4, 8},    {3, 4, 16},    {4, 8, 32},
                            {5, 8, 64},    {6, 8, 128},  {7, 8, 256},  {256, 4, 16},  {257, 8, 147},
                            {512, 1, 2},   {513, 1, 2},  {514, 1, 2},  {515, 4, 16},  {516, 8, 32},
                            {517, 8, 48},  {518, 8, 60}, {519, 8, 96}, {520, 8, 140}, {521, 8, 216},
                            {522, 8, 240}, {768, 24, 0}, {769, 32, 0}};
    DibImage target;
    for (const auto& [code, bits, colors] : cases) {
        SCOPED_TRACE(code);
        ASSERT_EQ(prepare(target, code), 0);
        // The colours used in the header too.
        EXPECT_EQ(Ints({target.bitsPerPixel, int(target.colorsUsed),
                        int(readLe32(target.data.data() + 46)), int(target.data.size())}),
                  Ints({bits, colors, colors, int(target.fileSize)}));
    }
    // An even preset's entries and record.
    ASSERT_EQ(prepare(target, 512), 0);
    EXPECT_EQ(Bytes(target.paletteEntry(0), target.paletteEntry(2)),
              (Bytes{16, 16, 0, 0, 16, 16, 255, 0}));
    EXPECT_EQ(std::tuple(record.colorCount, record.divisions[2]), std::tuple(2u, 2));
    // A user palette's depth follows its colour count; only the colours in use are copied.
    for (const auto& [colors, bits] :
         {std::pair{1u, 1}, {2u, 1}, {3u, 4}, {16u, 4}, {17u, 8}, {256u, 8}}) {
        UserPalette user;
        std::iota(user.buffer.begin(), user.buffer.end(), std::uint8_t(0));
        user.record.colorCount = colors;
        ASSERT_EQ(prepare(target, kCodeUserCsv, &user), 0) << colors;
        EXPECT_EQ(Ints({target.bitsPerPixel, int(target.colorsUsed)}), Ints({bits, int(colors)}));
        EXPECT_EQ(Bytes(target.paletteEntry(0), target.paletteEntry(int(colors))),
                  Bytes(user.buffer.begin(), user.buffer.begin() + 4 * colors));
        EXPECT_TRUE(colors == target.paletteEntries || target.paletteEntry(int(colors))[0] == 0);
        EXPECT_EQ(record.colorCount, colors);
    }
    EXPECT_TRUE(frontend.messages.empty());
}

// Bad code or user palette; preset missing, too long or short, wrong colour count: target released.
TEST_F(ColorProcessing, TargetFailuresReleaseTheTarget) {
    UserPalette empty; // count 0
    const std::string illegal = "illegal color conversion code",
                      missing = "failed to open the file",
                      bad = "illegal file structure as an even color palette file";
    writeFileBytes(folder / "basicColorPalette_016.bcp", Bytes(68, 1));
    writeFileBytes(folder / "evenColorPalette_002_211.ecp", Bytes(12, 1));
    writeFileBytes(folder / "evenColorPalette_002_121.ecp", evenPaletteFileBytes(4, 4, 3));
    const std::tuple<int, const UserPalette*, std::string> cases[] = {
        {8, nullptr, illegal},
        {1280, nullptr, illegal},
        {kCodeUserEven, nullptr, illegal},
        {kCodeUserCsv, &empty, illegal},
        {521, nullptr, missing},
        {256, nullptr, "illegal file size as a basic color palette file"},
        {512, nullptr, bad},
        {513, nullptr, bad}};
    for (const auto& [code, user, message] : cases) {
        PaletteFolderGuard presets(code >= 256 ? folder.path() : builtPresetFolder(),
                                   folder.path());
        frontend.clear();
        DibImage target = randomPicture(2, 2, 24, 1);
        EXPECT_EQ(prepare(target, code, user), 1) << code;
        EXPECT_TRUE(target.data.empty()) << code;
        EXPECT_EQ(frontend.withoutCauses(), Messages({{"error", message}})) << code;
    }
    // A preset missing in the frame: the cause, then the operation's own message.
    frontend.clear();
    PaletteFolderGuard noPresets(folder.path(), folder.path());
    EXPECT_EQ(run(randomPicture(3, 3, 24, 1), 2, 9, false), 1);
    EXPECT_EQ(frontend.withoutCauses(), Messages({{"error", "failed to open the file"},
                                                  {"error", "failed to convert the image color"}}));
    EXPECT_EQ(frontend.progressVisibility, (std::vector<bool>{true, false}));
}

// A user palette that cannot be read stops the command with one message, before the frame.
TEST_F(ColorProcessing, UserPaletteFailuresShowOneErrorMessage) {
    Bytes tooManyColours = evenPaletteFileBytes(6, 6, 6);
    tooManyColours.erase(tooManyColours.begin() + 84, tooManyColours.end() - 20); // 16 entries
    Bytes longFile = evenPaletteFileBytes(6, 6, 6);
    longFile.push_back(0);
    writeFileBytes(folder / "long.ecp", longFile);
    writeFileBytes(folder / "short.ecp", Bytes(19, 1));
    writeFileBytes(folder / "few.ecp", tooManyColours);
    writeFileBytes(folder / "capital.ECP", evenPaletteFileBytes(2, 1, 1)); // read as CSV
    const std::string ecpOpen = "failed to open the even color palette file",
                      csvOpen = "failed to open the csv file cause might be illegal data",
                      bad = "illegal file structure as an even color palette file",
                      structure = "illegal file structure as a color palette csv file";
    // file, message
    const std::pair<std::string, std::string> cases[] = {
        {"none.ecp", ecpOpen},  {"", csvOpen},
        {"long.ecp", bad},      {"short.ecp", bad},
        {"few.ecp", bad},       {"v.csv", "illegal data value found which must be among 0 ~ 255"},
        {"bad.csv", structure}, {"capital.ECP", structure}};
    writeText("v.csv", "r,g,b\n1,2,256\n");
    writeText("bad.csv", "r,g\n1,2,3\n");
    for (const auto& [name, message] : cases) {
        frontend.clear();
        EXPECT_EQ(run(randomPicture(3, 3, 24, 1), 4, 0, false, nullptr,
                      name.empty() ? "" : (folder / name).string()),
                  1)
            << name;
        EXPECT_EQ(frontend.withoutCauses(), Messages({{"error", message}})) << name;
        EXPECT_TRUE(frontend.progressVisibility.empty()) << name; // stopped before the frame
    }
}

} // namespace
} // namespace vellora::test
