// Quarter turns and flips of the current picture, and the Arbitrary rotate command: angles
// normalised, multiples of 90 as quarter turns, each an undoable step.
#include "shell/rotateCommand.h"
#include "shell/rotateFlip.h"

#include "core/history.h"
#include "core/operationFrame.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

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
        EXPECT_TRUE(frontend.messages.empty());
        EXPECT_TRUE(frontend.progressVisibility.empty()); // no progress bar for these
        EXPECT_EQ(session.history.historyDepth, 1);
        const DibImage turned = readImage(session.currentPath);
        EXPECT_EQ(turned.bitsPerPixel, 24);
        ASSERT_EQ(turned.width, sideways ? h : w);
        ASSERT_EQ(turned.height, sideways ? w : h);
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
    EXPECT_FALSE(fs::exists(session.nextPath));
    EXPECT_TRUE(frontend.messages.empty());
    // Both flips at once are a half turn, and the depth asked for is kept.
    ASSERT_EQ(transformPicture(session, session.currentPath, 4, 0, 3), 0);
    const DibImage both = readImage(session.nextPath);
    EXPECT_EQ(both.bitsPerPixel, 4);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(rgbAt(both, 12 - x, 6 - y), rgbAt(picture, x, y)) << x << "," << y;
    fs::remove(session.currentPath); // the command's own text when its picture is gone
    EXPECT_EQ(runCommandHandler(session, rotateRight90Handler), 1);
    EXPECT_EQ(frontend.texts(), std::vector<std::string>{"failed to rotate or flip the image"});
    EXPECT_EQ(session.history.historyDepth, 0);
}

TEST(RotateCommand, AnglesAreNormalisedIntoZeroTo359) {
    const std::pair<int, int> cases[] = {{-30, 330}, {450, 90}, {-270, 90}, {360, 0}, {-360, 0},
                                         {0, 0},     {359, 359}, {-1, 359}, {725, 5}};
    for (const auto& [angle, normalized] : cases)
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
        EXPECT_EQ(result.bitsPerPixel, depthIndex == 1 ? 24 : 8) << angle;
        ASSERT_EQ(result.width * 10 + result.height, corner == 2 ? 32 : 23) << angle;
        const int right = result.width - 1, top = result.height - 1;
        const std::pair<int, int> corners[4] = {{0, top}, {right, top}, {right, 0}, {0, 0}};
        EXPECT_EQ(rgbAt(result, corners[corner].first, corners[corner].second), 4u) << angle;
        EXPECT_TRUE(frontend.progressVisibility.empty() && frontend.statusTexts.empty());
    }
}

} // namespace
} // namespace vellora::test
