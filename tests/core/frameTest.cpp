// The operation frame around every command, progress and status text, and row bands.
#include "core/history.h"
#include "core/intermediateFiles.h"
#include "core/operationFrame.h"
#include "core/pictureStep.h"
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

// An operation that copies the picture row by row, stepping the progress bar, as every
// picture step does: read the current picture, build the target, write it to the next path.
int grayScaleLikeHandler(Session& s) {
    return runOperationFrame(s, Operation::GrayScale, [](Session& s) {
        return runPictureStep(s, [&s](const DibImage& source, DibImage& target) {
            const int created = createDib(s.frontend, target, source.width, source.height,
                                          source.bitsPerPixel, source.colorsUsed, &source);
            progressBegin(s, source.height);
            for (int y = 0; created == 0 && y < source.height; ++y)
                std::memcpy(target.row(y), source.row(y), std::size_t(source.stride)),
                    progressAdvance(s);
            return created;
        });
    });
}

TEST(OperationFrame, FailedReadShowsTheCodeThenTheOperationText) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    session.currentPath = "/nonexistent/__VL_000.dib";
    session.dialogInfo.state = 514;
    session.currentInfo.state = 1026;
    EXPECT_EQ(runCommandHandler(session, grayScaleLikeHandler), 1);
    EXPECT_EQ(frontend.messages,
              (std::vector<test::Message>{
                  {"error", "failed to open the file\ncannot read \"/nonexistent/__VL_000.dib\": "
                            "No such file or directory"},
                  {"error", "failed to gray scale the image"}}));
    EXPECT_EQ(std::tuple(session.currentPath, session.history.historyDepth,
                         session.currentInfo.state, session.dialogInfo.state),
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
    EXPECT_EQ(std::tuple(session.history.historyDepth, session.history.historyPaths[1],
                         session.currentInfo.state, session.dialogInfo.state),
              std::tuple(1, before, 514, 514));
    EXPECT_TRUE(session.sourceImage.data.empty() && session.targetImage.data.empty());
    EXPECT_EQ(std::tuple(frontend.progressPositions.front(), frontend.progressPositions.back()),
              std::tuple(0, 100));
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
    EXPECT_EQ(std::tuple(session.currentPath, session.history.historyDepth),
              std::tuple(std::string("/somewhere/__VL_003.dib"), 0));
    EXPECT_EQ(frontend.texts(), std::vector<std::string>{"failed to get the intermediate path"});
}

TEST(OperationFrame, FailureTextProgressAndZoomOfEveryOperation) {
    struct Case {
        Operation operation;
        const char* failureText;
        bool showsProgress = true, resetsZoom = false;
    };
    using O = Operation;
    const Case cases[] = {{O::Save, "failed to save a file", false},
                          {O::Crop, "failed to crop the image"},
                          {O::RotateFlip, "failed to rotate or flip the image", false},
                          {O::Resize, "failed to resize the image", true, true},
                          {O::RotateArbitrary, "failed to rotate the image"},
                          {O::ColorProcessing, "failed to convert the image color"},
                          {O::GrayScale, "failed to gray scale the image"},
                          {O::BlackWhite, "failed to binary the image"},
                          {O::Invert, "failed to invert the image"},
                          {O::Posterization, "failed to posterization the image"},
                          {O::Histogram, "failed to modify the histogram of the image"},
                          {O::Smoothing, "failed to smoothing the image"},
                          {O::EdgePreserving, "failed to edge-preserving smoothing the image"},
                          {O::Sharpening, "failed to sharpening the image"},
                          {O::EdgeDetect, "failed to edge detect the image"},
                          {O::DeNoise, "failed to de noise the image"},
                          {O::UserFilter, "failed to filtering the image"},
                          {O::Tiling, "failed to tiling the image", true, true},
                          {O::ExpressTable, "failed to get tiling table"},
                          {O::SaveCsv, "failed to save tiling table as csv file"}};
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
        EXPECT_EQ(std::tuple(session.currentInfo.zoomIndex, session.dialogInfo.zoomIndex),
                  std::tuple(c.resetsZoom ? 10 : 3, c.resetsZoom ? 10 : 3));
        EXPECT_EQ(frontend.statusTexts.empty(), !c.showsProgress);
    }
}

// The depths themselves are the copy's business (pixelTest.cpp); here an indexed picture goes
// through the whole frame.
TEST(ConvertToTrueColor, EndToEnd) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    const auto colour = [](int x, int y) { return (x + y) % 2 ? 0xA0B0C0u : 0x102030u; };
    const DibImage source = test::makeIndexedImage(5, 3, 4, {0x102030, 0xA0B0C0},
                                                   [](int x, int y) { return (x + y) % 2; });
    test::setCurrentPicture(session, source);
    const std::string before = session.currentPath;
    ASSERT_EQ(convertToTrueColor(session), 0);
    EXPECT_TRUE(frontend.messages.empty());
    EXPECT_EQ(std::tuple(session.history.historyPaths[1], session.currentInfo.state),
              std::tuple(before, 514));
    const DibImage result = test::readImage(session.currentPath);
    EXPECT_EQ(std::tuple(result.bitsPerPixel, result.fileSize, result.colorsUsed),
              std::tuple(24, 54u + 3 * 16, source.colorsUsed));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(test::rgbAt(result, x, y), colour(x, y)) << x << "," << y;
    EXPECT_EQ(test::readFileBytes(before), source.data); // untouched, ready for undo
}

TEST(ConvertToTrueColor, BrokenCurrentFileChangesNothing) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, test::makeImage(3, 3, 8));
    test::writeFileBytes(session.currentPath, {'B', 'M', 0, 0});
    const std::string before = session.currentPath;
    EXPECT_EQ(convertToTrueColor(session), 1);
    EXPECT_EQ(frontend.texts(),
              (std::vector<std::string>{"failed to read the file",
                                        "failed to convert the image to 24 bpp"}));
    EXPECT_EQ(session.currentPath, before);
    EXPECT_FALSE(session.modified());
}

// The bar shows the truncated percentage; progressAdvanceBy counts like single
// steps and progressBegin restarts the count.
// A step may turn the picture into the result within the block it read: that block is written
// and build is not asked; a change that declines leaves the picture to build. Read from a file,
// the current picture stays as it was; lent by the scratch store, the block moves to the new
// name.
TEST(PictureStep, AChangeInPlaceWritesTheBlockItRead) {
    const DibImage picture = test::randomPicture(5, 3, 24, 1);
    DibImage changed = picture;
    changed.row(1)[4] ^= 0xFF;
    for (const bool store : {false, true})
        for (const bool accept : {false, true}) {
            test::RecordingFrontend frontend;
            Session session(frontend);
            if (store) session.scratch.switchOn();
            test::setCurrentPicture(session, picture);
            ASSERT_EQ(nextIntermediatePath(session, session.nextPath), 0);
            int built = 0;
            const auto build = [&](const DibImage& source, DibImage& target) {
                ++built;
                target = source;
                target.row(1)[4] ^= 0xFF;
                return 0;
            };
            const auto change = [&](DibImage& p) {
                if (accept) p.row(1)[4] ^= 0xFF;
                return accept;
            };
            EXPECT_EQ(runPictureStep(session, build, change), 0);
            EXPECT_EQ(built, accept ? 0 : 1);
            EXPECT_EQ(test::readImage(session.nextPath).data, changed.data);
            if (!store) {
                EXPECT_EQ(test::readImage(session.currentPath).data, picture.data);
            }
        }
}

TEST(PictureStep, FreshHeaderIsTheOneANewPictureGets) {
    DibImage picture = test::makeImage(3, 2, 24);
    EXPECT_TRUE(hasFreshHeader(picture));
    picture.data[46] = 1; // colours used, which the geometry says is 0
    EXPECT_FALSE(hasFreshHeader(picture));
    picture.data[46] = 0;
    picture.data.resize(picture.fileSize - 1);
    EXPECT_FALSE(hasFreshHeader(picture));
}

TEST(Progress, ShowsTheTruncatedPercentage) {
    struct Case {
        double units;
        int advances, position;
    };
    for (const Case c : {Case{200, 100, 50},
                         {200, 1, 0},
                         {200, 3, 1},
                         {3, 1, 33},
                         {3, 2, 66},
                         {3, 3, 100},
                         {7, 1, 14},
                         {1, 1, 100}}) {
        test::RecordingFrontend frontend;
        Session session(frontend);
        progressBegin(session, c.units);
        for (int i = 0; i < c.advances; ++i)
            progressAdvance(session);
        ASSERT_FALSE(frontend.progressPositions.empty());
        EXPECT_EQ(frontend.progressPositions.back(), c.position) << c.units << " " << c.advances;
    }
    test::RecordingFrontend frontend;
    Session session(frontend);
    const auto& p = frontend.progressPositions;
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
    for (const auto& [flag, state, text] : {std::tuple{1, 514, kShown},
                                            {1, 258, kShown},
                                            {1, 1026, kShown},
                                            {1, 2, ""},
                                            {1, 1, ""},
                                            {0, 514, ""}}) {
        test::RecordingFrontend frontend;
        Session session(frontend);
        session.currentInfo.width = 640, session.currentInfo.height = 480,
        session.currentInfo.bitsPerPixel = 8;
        session.currentInfo.state = state;
        updateStatusText(session, flag);
        EXPECT_EQ(frontend.statusTexts, std::vector<std::string>{text}) << flag << " " << state;
    }
}

// Bands split the rows evenly, one per worker at most, each row once; a picture gets a worker
// for every 16 rows, up to the thread count.
TEST(RowBands, BandsSplitTheRowsAndWorkersFollowThePictureSize) {
    test::ScopedVariable threads("VELLORA_THREADS", "4");
    EXPECT_EQ(std::tuple(rowWorkerCount(15), rowWorkerCount(47), rowWorkerCount(1000)),
              std::tuple(1, 2, 4));
    using Band = std::tuple<int, int, int>;
    for (const auto& [rows, workers, expected] :
         {std::tuple{10, 3, std::vector<Band>{{0, 0, 3}, {1, 3, 6}, {2, 6, 10}}},
          {2, 5, {{0, 0, 1}, {1, 1, 2}}},
          {0, 3, {}}}) {
        std::mutex mutex;
        std::vector<Band> bands;
        forRowBands(rows, workers, [&](int band, int begin, int end) {
            const std::lock_guard lock(mutex);
            bands.emplace_back(band, begin, end);
        });
        std::sort(bands.begin(), bands.end());
        EXPECT_EQ(bands, expected) << rows << " rows";
    }
}

// Each worker walks one contiguous band in slices of at most one percent; together they cover
// every row once, and the bar rises a percent per report (two where the truncated percentage
// of a whole slice itself jumps, as 290 / 1000 × 100 falls just short of 29). The caller's
// thread reports as it goes; the other workers are slowed so that the caller's band, ending in
// a short slice (1005 rows), is done first and what the others did is reported at the end.
TEST(RowBands, ProgressPassGivesEachWorkerOneBandAndMovesTheBarAPercentAtATime) {
    const std::thread::id caller = std::this_thread::get_id();
    for (const auto& [rows, workers] :
         {std::pair{1000, 2}, {1000, 1}, {7, 2}, {333, 3}, {1005, 1}, {1005, 2}}) {
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
            if (expected >= 0) {
                EXPECT_EQ(begin, expected) << "band not walked in order";
            }
            expected = end;
            for (int r = begin; r < end; ++r)
                ++seen[std::size_t(r)];
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
