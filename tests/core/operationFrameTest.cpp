#include "core/history.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "core/progress.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vellora {
namespace {

namespace fs = std::filesystem;

// An operation that copies the picture row by row, stepping the progress bar.
int copyBody(Session& s) {
    if (readBitmapFile(s.frontend, s.currentPath, s.sourceImage) != 0) return 1;
    DibImage& source = s.sourceImage;
    if (createDib(s.frontend, s.targetImage, source.width, source.height, source.bitsPerPixel,
                  source.colorsUsed, &source) != 0)
        return 1;
    progressBegin(s, source.height);
    for (int y = 0; y < source.height; ++y) {
        std::memcpy(s.targetImage.row(y), source.row(y), std::size_t(source.stride));
        progressAdvance(s);
    }
    return writeBitmapFile(s.frontend, s.nextPath, s.targetImage) == 0 ? 0 : 1;
}

int grayScaleLikeHandler(Session& s) { return runOperationFrame(s, Operation::GrayScale, copyBody); }

TEST(OperationFrame, FailedReadShowsTheCodeThenTheOperationText) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    session.currentPath = "/nonexistent/__VL_000.dib";
    session.currentInfo.state = 514;
    session.currentInfo.zoomIndex = 12;
    session.dialogInfo = session.currentInfo;
    session.currentInfo.state = 1026;
    EXPECT_EQ(runCommandHandler(session, grayScaleLikeHandler), 1);
    EXPECT_EQ(frontend.messages, (std::vector<test::Message>{
                                     {"error", "failed to open the file\ncannot read "
                                               "\"/nonexistent/__VL_000.dib\": No such file "
                                               "or directory"},
                                     {"error", "failed to gray scale the image"}}));
    EXPECT_EQ(session.currentPath, "/nonexistent/__VL_000.dib");
    EXPECT_EQ(session.history.historyDepth, 0);
    EXPECT_EQ(session.currentInfo.state, 1026);
    EXPECT_EQ(session.dialogInfo.state, 514);
    EXPECT_EQ(frontend.progressVisibility, (std::vector<bool>{true, false}));
    EXPECT_EQ(frontend.statusTexts, std::vector<std::string>{""});
}

TEST(OperationFrame, SuccessSetsZoomStateAndReleasesTheImages) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, test::makeImage(4, 200, 8));
    const std::string before = session.currentPath;
    EXPECT_EQ(runCommandHandler(session, grayScaleLikeHandler), 0);
    EXPECT_TRUE(frontend.messages.empty());
    EXPECT_NE(session.currentPath, before);
    EXPECT_EQ(session.history.historyDepth, 1);
    EXPECT_EQ(session.history.historyPaths[1], before);
    EXPECT_EQ(session.currentInfo.state, 514);
    EXPECT_EQ(session.dialogInfo.state, 514);
    EXPECT_TRUE(session.sourceImage.data.empty());
    EXPECT_TRUE(session.targetImage.data.empty());
    EXPECT_EQ(frontend.progressPositions.front(), 0);
    EXPECT_EQ(frontend.progressPositions.back(), 100);
    EXPECT_EQ(test::readFileBytes(session.currentPath), test::readFileBytes(before));
}

struct TraitCase {
    Operation operation;
    const char* failureText;
    bool showsProgress;
    bool resetsZoom;
};

class OperationTraitsTest : public ::testing::TestWithParam<TraitCase> {};

TEST_P(OperationTraitsTest, FailureTextProgressAndZoom) {
    const TraitCase c = GetParam();
    test::RecordingFrontend frontend;
    Session session(frontend);
    session.currentInfo.zoomIndex = 3;
    session.dialogInfo.zoomIndex = 3;
    EXPECT_EQ(runOperationFrame(session, c.operation, [](Session&) { return 1; }), 1);
    EXPECT_EQ(frontend.messages, (std::vector<test::Message>{{"error", c.failureText}}));
    EXPECT_EQ(frontend.progressVisibility.empty(), !c.showsProgress);
    frontend.clear();
    EXPECT_EQ(runOperationFrame(session, c.operation, [](Session&) { return 0; }), 0);
    EXPECT_TRUE(frontend.messages.empty());
    EXPECT_EQ(session.currentInfo.zoomIndex, c.resetsZoom ? 10 : 3);
    EXPECT_EQ(session.dialogInfo.zoomIndex, c.resetsZoom ? 10 : 3);
    EXPECT_EQ(frontend.statusTexts.empty(), !c.showsProgress);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, OperationTraitsTest,
    ::testing::Values(
        TraitCase{Operation::Save, "failed to save a file", false, false},
        TraitCase{Operation::RotateFlip, "failed to rotate or flip the image", false, false},
        TraitCase{Operation::Crop, "failed to crop the image", true, false},
        TraitCase{Operation::Resize, "failed to resize the image", true, true},
        TraitCase{Operation::RotateArbitrary, "failed to rotate the image", true, false},
        TraitCase{Operation::ColorProcessing, "failed to convert the image color", true, false},
        TraitCase{Operation::GrayScale, "failed to gray scale the image", true, false},
        TraitCase{Operation::BlackWhite, "failed to binary the image", true, false},
        TraitCase{Operation::Invert, "failed to invert the image", true, false},
        TraitCase{Operation::Posterization, "failed to posterization the image", true, false},
        TraitCase{Operation::Histogram, "failed to modify the histogram of the image", true,
                  false},
        TraitCase{Operation::Smoothing, "failed to smoothing the image", true, false},
        TraitCase{Operation::EdgePreserving, "failed to edge-preserving smoothing the image", true,
                  false},
        TraitCase{Operation::Sharpening, "failed to sharpening the image", true, false},
        TraitCase{Operation::EdgeDetect, "failed to edge detect the image", true, false},
        TraitCase{Operation::DeNoise, "failed to de noise the image", true, false},
        TraitCase{Operation::UserFilter, "failed to filtering the image", true, false},
        TraitCase{Operation::Tiling, "failed to tiling the image", true, true},
        TraitCase{Operation::ExpressTable, "failed to get tiling table", true, false},
        TraitCase{Operation::SaveCsv, "failed to save tiling table as csv file", true, false}));

TEST(ConvertToTrueColor, EndToEndAtEveryDepth) {
    for (int bpp : {1, 4, 8, 24, 32}) {
        test::RecordingFrontend frontend;
        Session session(frontend);
        const auto colour = [](int x, int y) { return std::uint32_t(x * 40) << 16 | std::uint32_t(y * 50) << 8 | 7u; };
        DibImage picture;
        if (bpp >= 24) {
            picture = test::makeImage(5, 3, bpp, 0);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 5; ++x) {
                    const std::uint32_t c = colour(x, y);
                    const std::uint8_t bgr[3] = {std::uint8_t(c), std::uint8_t(c >> 8),
                                                 std::uint8_t(c >> 16)};
                    setColor(picture, bgr, y, x, bpp);
                }
        } else {
            picture = test::makeIndexedImage(5, 3, bpp, {0x102030, 0xA0B0C0},
                                             [](int x, int y) { return (x + y) % 2; });
        }
        test::setCurrentPicture(session, picture);
        const std::string before = session.currentPath;
        ASSERT_EQ(convertToTrueColor(session), 0) << bpp;
        EXPECT_TRUE(frontend.messages.empty());
        EXPECT_EQ(session.history.historyPaths[1], before);
        EXPECT_EQ(session.currentInfo.state, 514);
        const DibImage result = test::readImage(session.currentPath);
        EXPECT_EQ(result.bitsPerPixel, 24);
        EXPECT_EQ(result.fileSize, 54u + 3 * 16);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const std::uint32_t expected =
                    bpp >= 24 ? colour(x, y) : ((x + y) % 2 ? 0xA0B0C0u : 0x102030u);
                ASSERT_EQ(test::rgbAt(result, x, y), expected) << bpp << " " << x << "," << y;
            }
        // The picture before the operation is untouched, ready for undo.
        EXPECT_EQ(test::readFileBytes(before), picture.data);
    }
}

TEST(ConvertToTrueColor, BrokenCurrentFileChangesNothing) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, test::makeImage(3, 3, 8));
    test::writeFileBytes(session.currentPath, {'B', 'M', 0, 0});
    const std::string before = session.currentPath;
    EXPECT_EQ(convertToTrueColor(session), 1);
    EXPECT_EQ(frontend.texts(), (std::vector<std::string>{"failed to read the file",
                                                          "failed to convert the image to 24 bpp"}));
    EXPECT_EQ(session.currentPath, before);
    EXPECT_FALSE(session.modified());
}

} // namespace
} // namespace vellora

namespace vellora {
namespace {

int countingHandler(Session& s) {
    s.workingBlock.tileCountWide += 1;
    return 0;
}

// Without a fresh intermediate name the command must not run: its result would land on the
// current picture.
TEST(CommandHandler, NoFreshNameStopsTheCommand) {
    test::RecordingFrontend frontend;
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    setenv("TMPDIR", "/nonexistent/vellora-test", 1);
    int result = 0, runs = 0;
    std::string currentAfter;
    {
        Session session(frontend);
        session.currentPath = "/somewhere/__VL_003.dib";
        session.nextPath = session.currentPath;
        const int before = session.workingBlock.tileCountWide;
        result = runCommandHandler(session, countingHandler);
        runs = session.workingBlock.tileCountWide - before;
        currentAfter = session.currentPath;
        EXPECT_EQ(session.history.historyDepth, 0);
    }
    if (old) setenv("TMPDIR", saved.c_str(), 1);
    else unsetenv("TMPDIR");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(currentAfter, "/somewhere/__VL_003.dib");
    EXPECT_EQ(frontend.texts(), std::vector<std::string>{"failed to get the intermediate path"});
}

} // namespace
} // namespace vellora
