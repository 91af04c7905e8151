// Opening and saving pictures: the first intermediate file, the encoder chosen by extension, the
// depth choice, and what a failed open or save leaves. Quarter turns and flips of the current
// picture, and the Arbitrary rotate command: angles normalised, multiples of 90 as quarter turns,
// each an undoable step.
#include "shell/pictureConvert.h"
#include "shell/pictureExport.h"
#include "shell/pictureImport.h"
#include "shell/rotateCommand.h"
#include "shell/rotateFlip.h"

#include "core/history.h"
#include "core/operationFrame.h"
#include "core/runFolders.h"
#include "imageio/pictureLibrary.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

// 11 x 6 at 8 bpp, a different gray in every pixel.
DibImage grayRamp() {
    std::vector<std::uint32_t> palette;
    for (std::uint32_t i = 0; i < 256; ++i)
        palette.push_back(i * 0x010101);
    return makeIndexedImage(11, 6, 8, palette, [](int x, int y) { return x * 20 + y; });
}
DibImage loaded(const fs::path& path) {
    DibImage image;
    std::string error;
    EXPECT_TRUE(imageio::loadPicture(path, image, error)) << path << ": " << error;
    return image;
}
void expectSameColors(const DibImage& actual, const DibImage& expected) {
    ASSERT_EQ(actual.width * 1000 + actual.height, expected.width * 1000 + expected.height);
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            ASSERT_EQ(rgbAt(actual, x, y), rgbAt(expected, x, y)) << x << "," << y;
}
std::size_t entries(const fs::path& folder) {
    return std::size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class PictureFiles : public ::testing::Test {
  protected:
    RecordingFrontend frontend;
    Session session{frontend};
    TempDir folder;
    DibImage picture = grayRamp();
};

TEST_F(PictureFiles, OpenConvertsIntoTheFirstIntermediateFileAndResetsTheHistory) {
    std::string error;
    ASSERT_TRUE(imageio::savePicture(folder / "in.png", picture, "image/png", 100, 8, error));
    session.history.historyDepth = 4;
    int repaints = 0;
    const OpenOutcome outcome = openPicture(session, (folder / "in.png").string(), [&](Session& s) {
        ++repaints;
        s.currentInfo.zoomIndex = 6;
        EXPECT_EQ(s.currentInfo.state, kStateFit); // the view fits the new picture
    });
    EXPECT_EQ(outcome.result * 10 + repaints, 1);
    EXPECT_TRUE(frontend.messages.empty() && !session.modified());
    // Both records zoomed as the view left them, at the depth the probe found.
    EXPECT_EQ((std::vector<int>{session.currentInfo.state, session.dialogInfo.state,
                                session.dialogInfo.zoomIndex, session.currentInfo.bitsPerPixel}),
              (std::vector<int>{kStateZoom, kStateZoom, 6, 8}));
    EXPECT_EQ(session.saveAsPath, (folder / "in.png").string());
    EXPECT_EQ(fs::path(session.currentPath).filename(), "__VL_000.dib");
    expectSameColors(readImage(session.currentPath), picture);
    // A picture that does not load leaves the earlier one current; the caller reports it.
    writeFileBytes(folder / "broken.gif", {'G', 'I', 'F', '8', '9', 'a', 0});
    const std::string current = session.currentPath;
    const OpenOutcome broken = openPicture(session, (folder / "broken.gif").string(),
                                           [&](Session&) { ++repaints; });
    EXPECT_EQ(broken.result * 10 + repaints, 11);
    EXPECT_TRUE(!broken.reason.empty() && frontend.messages.empty());
    EXPECT_EQ(session.currentPath, current);
    EXPECT_EQ(session.picturePath, (folder / "in.png").string());
    EXPECT_EQ(entries(fs::path(current).parent_path()), 2u); // the lock and the earlier picture
    const std::string overlong = (folder.path() / std::string(300, 'p')).string() + ".png";
    EXPECT_EQ(openPicture(session, overlong).result, 1);
    EXPECT_EQ(frontend.texts(), (std::vector<std::string>{
                                    "the file path is longer than 259 characters",
                                    "failed to open the image file not supported"}));
}

TEST(PictureConvert, ExactLowerCaseExtensionsOnlyAndPathsUpTo259) {
    const char* const cases[][2] = {
        {"/p/a.bmp", "image/bmp"}, {"a.dib", "image/bmp"},   {"a.jpg", "image/jpeg"},
        {"a.jpeg", "image/jpeg"},  {"a.gif", "image/gif"},   {"a.png", "image/png"},
        {"a.tiff", "image/tiff"},  {"a.JPG", ""},            {"a.tif", ""},
        {"a.png.txt", ""},         {"a.", ""},               {"noExtension", ""},
        {"/dir.png/file", ""},     {"", ""}};
    for (const auto& [destination, mime] : cases)
        EXPECT_EQ(encoderMimeType(destination), mime) << destination;
    EXPECT_TRUE(isUsablePicturePath(std::string(259, 'a')));
    EXPECT_FALSE(isUsablePicturePath(std::string(260, 'a')) || isUsablePicturePath(""));
    EXPECT_EQ(clampedQuality(101) * 1000 + clampedQuality(7), 100007); // at most 100
}

// 24 bpp converts the intermediate file in place before the save; "source" saves it as it is.
TEST_F(PictureFiles, SaveWritesTheChosenDepthAndMarksThePictureSaved) {
    for (std::uint32_t depthIndex : {0u, 1u}) {
        setCurrentPicture(session, picture);
        session.history.historyDepth = 3;
        session.picturePath = (folder / "picture.png").string();
        session.workingBlock.saveDepthIndex = depthIndex;
        const auto before = readFileBytes(session.currentPath);
        ASSERT_EQ(savePictureHandler(session), 0);
        EXPECT_TRUE(frontend.messages.empty());
        EXPECT_EQ(readFileBytes(session.currentPath) == before, depthIndex == 0);
        const DibImage saved = loaded(session.picturePath);
        EXPECT_EQ(readImage(session.currentPath).bitsPerPixel * 100 + saved.bitsPerPixel,
                  depthIndex == 0 ? 808 : 2424);
        expectSameColors(saved, picture);
        EXPECT_FALSE(session.modified());
        EXPECT_EQ(session.currentInfo.state * 1000 + session.dialogInfo.state, kStateSaved * 1001);
    }
    session.saveAsPath = (folder / "copy.tiff").string();
    ASSERT_EQ(savePictureAsHandler(session), 0);
    EXPECT_EQ(session.picturePath, session.saveAsPath);
    imageio::PictureInfo info;
    std::string error;
    ASSERT_TRUE(imageio::probePictureFile(session.saveAsPath, info, error)) << error;
    EXPECT_EQ(info.format, "tiff");
}

TEST_F(PictureFiles, RefusedSaveSaysWhyAndChangesNothing) {
    setCurrentPicture(session, picture);
    session.history.historyDepth = 3;
    session.picturePath = (folder / "picture.png").string();
    session.workingBlock.saveDepthIndex = 1; // would convert in place if the save went ahead
    const auto before = readFileBytes(session.currentPath);
    for (const char* name : {"out.JPG", "out.tif", "out", "out.bmp.bak", "missing/out.png"}) {
        frontend.clear();
        session.saveAsPath = (folder / name).string();
        EXPECT_EQ(savePictureAsHandler(session), 1);
        const std::string why = "failed to save a file\ncannot save \"" + session.saveAsPath;
        EXPECT_EQ(frontend.texts().at(0).rfind(why, 0), 0u) << frontend.texts().at(0);
        EXPECT_FALSE(fs::exists(session.saveAsPath));
    }
    EXPECT_EQ(readFileBytes(session.currentPath), before);
    EXPECT_EQ(session.picturePath, (folder / "picture.png").string());
    EXPECT_EQ(session.history.historyDepth * 1000 + session.currentInfo.state, 3000 + kStateZoom);

    fs::remove(session.currentPath); // the read fails first, then the save
    frontend.clear();
    EXPECT_EQ(savePictureHandler(session), 1);
    EXPECT_EQ(frontend.texts(), (std::vector<std::string>{
                                    "failed to open the file\ncannot read \"" +
                                        session.currentPath + "\": No such file or directory",
                                    "failed to save a file"}));
    EXPECT_FALSE(fs::exists(session.picturePath));
    EXPECT_TRUE(session.modified());
}

// Every pixel names where it was seen: x in red and green, the row from the top in blue.
DibImage coordinatePicture(int width, int height) {
    return makeTrueColorImage(width, height, [height](int x, int y) {
        return std::uint32_t(x) << 8 | std::uint32_t(height - 1 - y);
    });
}
std::uint32_t seenAt(const DibImage& image, int x, int top) {
    return rgbAt(image, x, image.height - 1 - top);
}

// Where the pixel seen at (x, top) of a w x h picture lands.
using Where = std::pair<int, int> (*)(int x, int top, int w, int h);

TEST(RotateFlip, EveryPixelMovesWhereTheCommandSaysAndUndoGoesBack) {
    const std::tuple<const char*, Handler, bool, Where> cases[] = {
        {"right 90", rotateRight90Handler, true,
         [](int x, int top, int, int h) { return std::pair{h - 1 - top, x}; }},
        {"180", rotate180Handler, false,
         [](int x, int top, int w, int h) { return std::pair{w - 1 - x, h - 1 - top}; }},
        {"left 90", rotateLeft90Handler, true,
         [](int x, int top, int w, int) { return std::pair{top, w - 1 - x}; }},
        {"horizontal", flipHorizontalHandler, false,
         [](int x, int top, int w, int) { return std::pair{w - 1 - x, top}; }},
        {"vertical", flipVerticalHandler, false,
         [](int x, int top, int, int h) { return std::pair{x, h - 1 - top}; }}};
    const int w = 30, h = 20;
    const DibImage picture = coordinatePicture(w, h);
    for (const auto& [name, handler, sideways, where] : cases) {
        SCOPED_TRACE(name);
        RecordingFrontend frontend;
        Session session(frontend);
        setCurrentPicture(session, picture);
        const std::string before = session.currentPath;
        ASSERT_EQ(runCommandHandler(session, handler), 0);
        EXPECT_TRUE(frontend.messages.empty() && frontend.progressVisibility.empty());
        EXPECT_EQ(session.history.historyDepth, 1);
        const DibImage turned = readImage(session.currentPath);
        ASSERT_EQ((std::array<int, 3>{turned.bitsPerPixel, turned.width, turned.height}),
                  (std::array<int, 3>{24, sideways ? h : w, sideways ? w : h}));
        for (int top = 0; top < h; ++top)
            for (int x = 0; x < w; ++x) {
                const auto [nx, ntop] = where(x, top, w, h);
                ASSERT_EQ(seenAt(turned, nx, ntop), seenAt(picture, x, top)) << x << "," << top;
            }
        ASSERT_TRUE(undo(session));
        EXPECT_EQ(session.currentPath, before);
    }
}

TEST(RotateFlip, TransformArgumentsAndDepth) {
    RecordingFrontend frontend;
    Session session(frontend);
    const DibImage picture = makeIndexedImage(13, 7, 4, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF},
                                              [](int x, int y) { return (x * x + y) % 4; });
    setCurrentPicture(session, picture);
    session.nextPath = (fs::path(session.currentPath).parent_path() / "__VL_001.dib").string();
    // Turns and flips 0 … 3, not both 0; a refusal writes nothing and says nothing.
    for (auto [turns, flip] : {std::pair{0, 0}, {4, 0}, {0, 4}, {-1, 1}, {1, -1}})
        EXPECT_EQ(transformPicture(session, session.currentPath, 4, turns, flip), 1) << turns;
    EXPECT_TRUE(!fs::exists(session.nextPath) && frontend.messages.empty());
    // Both flips at once are a half turn, and the depth asked for is kept.
    ASSERT_EQ(transformPicture(session, session.currentPath, 4, 0, 3), 0);
    const DibImage both = readImage(session.nextPath);
    EXPECT_EQ(both.bitsPerPixel, 4);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(rgbAt(both, 12 - x, 6 - y), rgbAt(picture, x, y)) << x << "," << y;
    // The picture library's quarter turns: 1 … 3 only, and 1 when the result cannot be written.
    EXPECT_EQ(rotateQuarterTurns(session, 4, false), 1);
    session.nextPath = (fs::path(session.currentPath).parent_path() / "gone" / "n.dib").string();
    EXPECT_EQ(rotateQuarterTurns(session, 1, true), 1);
    frontend.clear();
    fs::remove(session.currentPath); // the command's own text when its picture is gone
    EXPECT_EQ(runCommandHandler(session, rotateRight90Handler), 1);
    EXPECT_EQ(frontend.texts(), std::vector<std::string>{"failed to rotate or flip the image"});
    EXPECT_EQ(session.history.historyDepth, 0);
}

TEST(RotateCommand, AnglesAreNormalisedIntoZeroTo359) {
    for (const auto& [angle, normalized] :
         {std::pair{-30, 330}, {450, 90}, {360, 0}, {-360, 0}, {0, 0}, {-1, 359}, {725, 5}})
        EXPECT_EQ(normalizeAngle(angle), normalized) << angle;
}

// Multiples of 90 go to the picture library: no progress, no status text, the depth kept or
// made 24 bpp. Where the source's top-left pixel lands: 1 top-right, 2 bottom-right, 3 bottom-left.
TEST(RotateCommand, QuarterTurnsTurnClockwiseThroughThePictureLibrary) {
    // 3 x 2, every pixel its own entry; stored row 1 is the top row on screen.
    const DibImage source = makeIndexedImage(3, 2, 8, {1, 2, 3, 4, 5, 6},
                                             [](int x, int y) { return y * 3 + x; });
    const std::tuple<int, std::uint32_t, int> cases[] = {{90, 1, 1},  {450, 0, 1}, {-270, 1, 1},
                                                         {180, 0, 2}, {270, 0, 3}, {-90, 1, 3}};
    for (const auto& [angle, depthIndex, corner] : cases) {
        RecordingFrontend frontend;
        Session session(frontend);
        setCurrentPicture(session, source);
        session.workingBlock.rotateAngle = angle;
        session.workingBlock.rotateDepthIndex = depthIndex;
        ASSERT_EQ(runCommandHandler(session, rotateArbitraryHandler), 0) << angle;
        const DibImage result = readImage(session.currentPath);
        ASSERT_EQ((std::array<int, 3>{result.bitsPerPixel, result.width, result.height}),
                  (std::array<int, 3>{depthIndex == 1 ? 24 : 8, corner == 2 ? 3 : 2,
                                      corner == 2 ? 2 : 3}))
            << angle;
        const int right = result.width - 1, top = result.height - 1;
        const std::pair<int, int> corners[4] = {{0, top}, {right, top}, {right, 0}, {0, 0}};
        EXPECT_EQ(rgbAt(result, corners[corner].first, corners[corner].second), 4u) << angle;
        EXPECT_TRUE(frontend.progressVisibility.empty() && frontend.statusTexts.empty());
    }
}

} // namespace
} // namespace vellora::test
