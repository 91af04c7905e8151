// Quarter turns and flips of the current picture, each an undoable step.
#include "shell/rotateFlip.h"
#include "core/history.h"
#include "core/operationFrame.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <functional>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

// The colour seen at column x, row `top` counted from the top of the picture.
std::uint32_t seenAt(const DibImage& image, int x, int top) {
    return rgbAt(image, x, image.height - 1 - top);
}

// Every pixel names where it was seen: x in red and green, the top row in blue.
DibImage coordinatePicture(int width, int height) {
    DibImage image = makeTrueColorImage(width, height, [height](int x, int y) {
        return std::uint32_t(x) << 8 | std::uint32_t(height - 1 - y);
    });
    return image;
}

// Where the pixel seen at (x, top) of a w × h picture lands.
using Mapping = std::function<std::pair<int, int>(int x, int top, int w, int h)>;

struct TurnCase {
    const char* name;
    Handler handler;
    bool swapsSides;
    Mapping mapping;
};

class QuarterTurn : public ::testing::TestWithParam<TurnCase> {};

TEST_P(QuarterTurn, MovesEveryPixelWhereTheCommandSays) {
    RecordingFrontend frontend;
    Session session(frontend);
    const int w = 300, h = 200;
    const DibImage picture = coordinatePicture(w, h);
    setCurrentPicture(session, picture);
    const std::string before = session.currentPath;
    ASSERT_EQ(runCommandHandler(session, GetParam().handler), 0);
    EXPECT_TRUE(frontend.messages.empty());
    EXPECT_TRUE(frontend.progressVisibility.empty()); // quarter turns show no progress bar
    EXPECT_NE(session.currentPath, before);
    EXPECT_EQ(session.history.historyDepth, 1);
    EXPECT_EQ(session.currentInfo.state, kStateZoom);
    const DibImage turned = readImage(session.currentPath);
    EXPECT_EQ(turned.bitsPerPixel, 24);
    ASSERT_EQ(turned.width, GetParam().swapsSides ? h : w);
    ASSERT_EQ(turned.height, GetParam().swapsSides ? w : h);
    for (int top = 0; top < h; ++top)
        for (int x = 0; x < w; ++x) {
            const auto [nx, ntop] = GetParam().mapping(x, top, w, h);
            ASSERT_EQ(seenAt(turned, nx, ntop), seenAt(picture, x, top)) << x << "," << top;
        }
    ASSERT_TRUE(undo(session));
    EXPECT_EQ(session.currentPath, before);
}

INSTANTIATE_TEST_SUITE_P(Commands, QuarterTurn,
                         ::testing::Values(TurnCase{"right90", rotateRight90Handler, true,
                                                    [](int x, int top, int, int h) {
                                                        return std::pair{h - 1 - top, x};
                                                    }},
                                           TurnCase{"turn180", rotate180Handler, false,
                                                    [](int x, int top, int w, int h) {
                                                        return std::pair{w - 1 - x, h - 1 - top};
                                                    }},
                                           TurnCase{"left90", rotateLeft90Handler, true,
                                                    [](int x, int top, int w, int) {
                                                        return std::pair{top, w - 1 - x};
                                                    }},
                                           TurnCase{"flipHorizontal", flipHorizontalHandler, false,
                                                    [](int x, int top, int w, int) {
                                                        return std::pair{w - 1 - x, top};
                                                    }},
                                           TurnCase{"flipVertical", flipVerticalHandler, false,
                                                    [](int x, int top, int, int h) {
                                                        return std::pair{x, h - 1 - top};
                                                    }}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RotateFlip, FlipHorizontalTwiceGivesBackTheSamePixels) {
    RecordingFrontend frontend;
    Session session(frontend);
    const DibImage picture = makeIndexedImage(13, 7, 4, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF},
                                              [](int x, int y) { return (x * x + y) % 4; });
    setCurrentPicture(session, picture);
    ASSERT_EQ(runCommandHandler(session, flipHorizontalHandler), 0);
    ASSERT_EQ(runCommandHandler(session, flipHorizontalHandler), 0);
    EXPECT_EQ(session.history.historyDepth, 2);
    const DibImage back = readImage(session.currentPath);
    EXPECT_EQ(back.bitsPerPixel, 4);
    ASSERT_EQ(back.width, 13);
    ASSERT_EQ(back.height, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(rgbAt(back, x, y), rgbAt(picture, x, y));
}

struct BadTurn {
    int turns;
    int flip;
};

class TransformArguments : public ::testing::TestWithParam<BadTurn> {};

TEST_P(TransformArguments, OutsideTheRuleFailAtOnceAndWriteNothing) {
    RecordingFrontend frontend;
    Session session(frontend);
    setCurrentPicture(session, coordinatePicture(4, 3));
    session.nextPath = (fs::path(session.currentPath).parent_path() / "__VL_001.dib").string();
    EXPECT_EQ(transformPicture(session, session.currentPath, 24, GetParam().turns, GetParam().flip),
              1);
    EXPECT_FALSE(fs::exists(session.nextPath));
    EXPECT_TRUE(frontend.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Arguments, TransformArguments,
                         ::testing::Values(BadTurn{0, 0}, BadTurn{4, 0}, BadTurn{0, 4},
                                           BadTurn{-1, 1}, BadTurn{1, -1}));

TEST(RotateFlip, BothFlipsAtOnceEqualAHalfTurn) {
    RecordingFrontend frontend;
    Session session(frontend);
    const DibImage picture = coordinatePicture(5, 3);
    setCurrentPicture(session, picture);
    session.nextPath = (fs::path(session.currentPath).parent_path() / "__VL_001.dib").string();
    ASSERT_EQ(transformPicture(session, session.currentPath, 24, 0, 3), 0);
    const DibImage both = readImage(session.nextPath);
    for (int top = 0; top < 3; ++top)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(seenAt(both, 4 - x, 2 - top), seenAt(picture, x, top));
}

TEST(RotateFlip, MissingIntermediateFileFailsWithTheCommandText) {
    RecordingFrontend frontend;
    Session session(frontend);
    setCurrentPicture(session, coordinatePicture(4, 3));
    fs::remove(session.currentPath);
    const std::string before = session.currentPath;
    EXPECT_EQ(runCommandHandler(session, rotateRight90Handler), 1);
    EXPECT_EQ(frontend.texts(), std::vector<std::string>{"failed to rotate or flip the image"});
    EXPECT_EQ(session.currentPath, before);
    EXPECT_EQ(session.history.historyDepth, 0);
}

} // namespace
} // namespace vellora::test
