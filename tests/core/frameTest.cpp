// The operation frame around every command, progress and status text, and row bands.
#include "core/history.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "core/progress.h"
#include "core/rowBands.h"
#include "coreTests.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <tuple>

namespace vellora {
namespace {

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
    session.dialogInfo.state = 514;
    session.currentInfo.state = 1026;
    EXPECT_EQ(runCommandHandler(session, grayScaleLikeHandler), 1);
    EXPECT_EQ(frontend.messages, (std::vector<test::Message>{
        {"error", "failed to open the file\ncannot read \"/nonexistent/__VL_000.dib\": No such file or directory"},
        {"error", "failed to gray scale the image"}}));
    EXPECT_EQ(std::tuple(session.currentPath, session.history.historyDepth, session.currentInfo.state, session.dialogInfo.state),
              std::tuple("/nonexistent/__VL_000.dib", 0, 1026, 514));
    EXPECT_EQ(frontend.progressVisibility, (std::vector<bool>{true, false}));
    EXPECT_EQ(frontend.statusTexts, std::vector<std::string>{""});
}

TEST(OperationFrame, SuccessSetsStateAndReleasesTheImages) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, test::makeImage(4, 200, 8));
    const std::string before = session.currentPath;
    EXPECT_EQ(runCommandHandler(session, grayScaleLikeHandler), 0);
    EXPECT_TRUE(frontend.messages.empty());
    EXPECT_NE(session.currentPath, before);
    EXPECT_EQ(std::tuple(session.history.historyDepth, session.history.historyPaths[1], session.currentInfo.state, session.dialogInfo.state),
              std::tuple(1, before, 514, 514));
    EXPECT_TRUE(session.sourceImage.data.empty() && session.targetImage.data.empty());
    EXPECT_EQ(std::tuple(frontend.progressPositions.front(), frontend.progressPositions.back()), std::tuple(0, 100));
    EXPECT_EQ(test::readFileBytes(session.currentPath), test::readFileBytes(before));
}

// Without a fresh intermediate name the command must not run: its result would land on the
// current picture.
TEST(OperationFrame, NoFreshNameStopsTheCommand) {
    test::RecordingFrontend frontend;
    test::ScopedVariable tmpdir("TMPDIR", "/nonexistent/vellora-test");
    Session session(frontend);
    session.currentPath = session.nextPath = "/somewhere/__VL_003.dib";
    static int runs = 0;
    EXPECT_EQ(runCommandHandler(session, [](Session&) { return ++runs, 0; }), 1);
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(std::tuple(session.currentPath, session.history.historyDepth), std::tuple(std::string("/somewhere/__VL_003.dib"), 0));
    EXPECT_EQ(frontend.texts(), std::vector<std::string>{"failed to get the intermediate path"});
}

TEST(OperationFrame, FailureTextProgressAndZoomOfEveryOperation) {
    struct Case { Operation operation; const char* failureText; bool showsProgress, resetsZoom; };
    using O = Operation;
    const Case cases[] = {
        {O::Save, "failed to save a file", false, false},         {O::Crop, "failed to crop the image", true, false},
        {O::RotateFlip, "failed to rotate or flip the image", false, false},
        {O::Resize, "failed to resize the image", true, true},   {O::RotateArbitrary, "failed to rotate the image", true, false},
        {O::ColorProcessing, "failed to convert the image color", true, false},
        {O::GrayScale, "failed to gray scale the image", true, false}, {O::BlackWhite, "failed to binary the image", true, false},
        {O::Invert, "failed to invert the image", true, false}, {O::Posterization, "failed to posterization the image", true, false},
        {O::Histogram, "failed to modify the histogram of the image", true, false},
        {O::Smoothing, "failed to smoothing the image", true, false},
        {O::EdgePreserving, "failed to edge-preserving smoothing the image", true, false},
        {O::Sharpening, "failed to sharpening the image", true, false}, {O::EdgeDetect, "failed to edge detect the image", true, false},
        {O::DeNoise, "failed to de noise the image", true, false}, {O::UserFilter, "failed to filtering the image", true, false},
        {O::Tiling, "failed to tiling the image", true, true},   {O::ExpressTable, "failed to get tiling table", true, false},
        {O::SaveCsv, "failed to save tiling table as csv file", true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failureText);
        test::RecordingFrontend frontend;
        Session session(frontend);
        session.currentInfo.zoomIndex = session.dialogInfo.zoomIndex = 3;
        EXPECT_EQ(runOperationFrame(session, c.operation, [](Session&) { return 1; }), 1);
        EXPECT_EQ(frontend.messages, (std::vector<test::Message>{{"error", c.failureText}}));
        EXPECT_EQ(frontend.progressVisibility.empty(), !c.showsProgress);
        frontend.clear();
        EXPECT_EQ(runOperationFrame(session, c.operation, [](Session&) { return 0; }), 0);
        EXPECT_TRUE(frontend.messages.empty());
        EXPECT_EQ(std::tuple(session.currentInfo.zoomIndex, session.dialogInfo.zoomIndex), std::tuple(c.resetsZoom ? 10 : 3, c.resetsZoom ? 10 : 3));
        EXPECT_EQ(frontend.statusTexts.empty(), !c.showsProgress);
    }
}

// The depths themselves are the copy's business (pixelTest.cpp); here an indexed and a 32 bpp
// picture go through the whole frame.
TEST(ConvertToTrueColor, EndToEnd) {
    for (int bpp : {4, 32}) {
        test::RecordingFrontend frontend;
        Session session(frontend);
        const auto colour = [](int x, int y) { return (x + y) % 2 ? 0xA0B0C0u : 0x102030u; };
        DibImage source = bpp == 4 ? test::makeIndexedImage(5, 3, bpp, {0x102030, 0xA0B0C0}, [](int x, int y) { return (x + y) % 2; })
                                   : test::makeImage(5, 3, 32);
        for (int y = 0; bpp == 32 && y < 3; ++y)
            for (int x = 0; x < 5; ++x) writeLe32(source.row(y) + 4 * x, colour(x, y));
        test::setCurrentPicture(session, source);
        const std::string before = session.currentPath;
        ASSERT_EQ(convertToTrueColor(session), 0) << bpp;
        EXPECT_TRUE(frontend.messages.empty());
        EXPECT_EQ(std::tuple(session.history.historyPaths[1], session.currentInfo.state), std::tuple(before, 514));
        const DibImage result = test::readImage(session.currentPath);
        EXPECT_EQ(std::tuple(result.bitsPerPixel, result.fileSize), std::tuple(24, 54u + 3 * 16));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) ASSERT_EQ(test::rgbAt(result, x, y), colour(x, y)) << bpp << " " << x << "," << y;
        EXPECT_EQ(test::readFileBytes(before), source.data); // untouched, ready for undo
    }
}

TEST(ConvertToTrueColor, BrokenCurrentFileChangesNothing) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, test::makeImage(3, 3, 8));
    test::writeFileBytes(session.currentPath, {'B', 'M', 0, 0});
    const std::string before = session.currentPath;
    EXPECT_EQ(convertToTrueColor(session), 1);
    EXPECT_EQ(frontend.texts(), (std::vector<std::string>{"failed to read the file", "failed to convert the image to 24 bpp"}));
    EXPECT_EQ(session.currentPath, before);
    EXPECT_FALSE(session.modified());
}

// The bar shows the truncated percentage and only rises; progressAdvanceBy counts like single
// steps and progressBegin restarts the count.
TEST(Progress, ShowsTheTruncatedPercentage) {
    struct Case { double units; int advances, position; };
    for (const Case c : {Case{200, 100, 50}, {200, 1, 0}, {200, 3, 1}, {3, 1, 33}, {3, 2, 66}, {3, 3, 100}, {7, 1, 14}, {1, 1, 100}}) {
        test::RecordingFrontend frontend;
        Session session(frontend);
        progressBegin(session, c.units);
        for (int i = 0; i < c.advances; ++i) progressAdvance(session);
        ASSERT_FALSE(frontend.progressPositions.empty());
        EXPECT_EQ(frontend.progressPositions.back(), c.position) << c.units << " " << c.advances;
    }
    test::RecordingFrontend frontend;
    Session session(frontend);
    progressBegin(session, 200);
    for (int i = 0; i < 200; ++i) progressAdvance(session);
    const auto& p = frontend.progressPositions;
    for (std::size_t i = 1; i < p.size(); ++i) ASSERT_LT(p[i - 1], p[i]);
    EXPECT_EQ(std::tuple(p.front(), p.back()), std::tuple(0, 100));
    progressBegin(session, 200);
    progressAdvanceBy(session, 100);
    EXPECT_EQ(std::tuple(p.back(), session.progress.progressNow), std::tuple(50, 100.0));
    progressAdvanceBy(session, 100);
    EXPECT_EQ(p.back(), 100);
    progressBegin(session, 2);
    progressAdvance(session);
    EXPECT_EQ(p.back(), 50);
}

// The status text needs the flag and a laid-out picture.
TEST(Progress, StatusText) {
    constexpr const char* kShown = "    width x height : 640 x 480, bits per pixel : 8";
    for (const auto& [flag, state, text] : {std::tuple{1, 514, kShown}, {1, 258, kShown}, {1, 1026, kShown},
                                            {1, 2, ""}, {1, 1, ""}, {0, 514, ""}}) {
        test::RecordingFrontend frontend;
        Session session(frontend);
        session.currentInfo.width = 640, session.currentInfo.height = 480, session.currentInfo.bitsPerPixel = 8;
        session.currentInfo.state = state;
        updateStatusText(session, flag);
        EXPECT_EQ(frontend.statusTexts, std::vector<std::string>{text}) << flag << " " << state;
    }
}

// Each worker walks one contiguous band in slices of at most one percent; together they cover
// every row once, and the bar rises a percent per report (two where the truncated percentage
// of a whole slice itself jumps, as 290 / 1000 × 100 falls just short of 29). The caller's
// thread reports as it goes; the other workers are slowed so that the caller's band, ending in
// a short slice (1005 rows), is done first and what the others did is reported at the end.
TEST(RowBands, ProgressPassGivesEachWorkerOneBandAndMovesTheBarAPercentAtATime) {
    const std::thread::id caller = std::this_thread::get_id();
    for (const auto& [rows, workers] : {std::pair{1000, 2}, {1000, 1}, {7, 2}, {333, 3}, {1005, 1}, {1005, 2}}) {
        SCOPED_TRACE(std::to_string(rows) + " rows, " + std::to_string(workers) + " workers");
        test::RecordingFrontend frontend;
        Session session(frontend);
        std::mutex mutex;
        std::vector<int> seen(std::size_t(rows), 0), nextRow(std::size_t(workers), -1);
        progressBegin(session, rows);
        forRowsWithProgress(session, rows, workers, [&](int worker, int begin, int end) {
            if (std::this_thread::get_id() != caller) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            } else if (workers == 1) {
                EXPECT_EQ(session.progress.progressNow, begin); // the rows before are reported
            }
            const std::lock_guard lock(mutex);
            ASSERT_TRUE(worker >= 0 && worker < workers) << worker;
            EXPECT_LE(end - begin, std::max(1, rows / 100));
            int& expected = nextRow[std::size_t(worker)];
            if (expected >= 0) { EXPECT_EQ(begin, expected) << "band not walked in order"; }
            expected = end;
            for (int r = begin; r < end; ++r) ++seen[std::size_t(r)];
        });
        EXPECT_EQ(session.progress.progressNow, rows);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), rows);
        const std::vector<int>& positions = frontend.progressPositions;
        ASSERT_FALSE(positions.empty());
        EXPECT_EQ(positions.back(), 100);
        for (std::size_t i = 1; i < positions.size(); ++i) {
            EXPECT_GE(positions[i], positions[i - 1]);
            EXPECT_LE(positions[i] - positions[i - 1], rows >= 100 ? 2 : 100);
        }
    }
}

} // namespace
} // namespace vellora
