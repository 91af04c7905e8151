// The operation frame around every command, progress and status text, and row bands.
#include "core/history.h"
#include "core/intermediateFiles.h"
#include "core/operationFrame.h"
#include "core/pictureStep.h"
#include "core/pixelAccess.h"
#include "core/progress.h"
#include "core/rowBands.h"
#include "core/trueColor.h"
#include "support/privateHome.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>

namespace vellora {
namespace {

// A command whose picture step starts by reading the current picture.
int grayScaleHandler(Session& s) {
    return runOperationFrame(s, Operation::GrayScale, [](Session& s) {
        return runPictureStep(s, [](const DibImage&, DibImage&) { return 0; });
    });
}

TEST(OperationFrame, FailedReadShowsTheCodeThenTheOperationText) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    session.currentPath = "/nonexistent/__VL_000.dib";
    session.dialogInfo.state = 514;
    session.currentInfo.state = 1026;
    EXPECT_EQ(runCommandHandler(session, grayScaleHandler), 1);
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

// Saves, quarter turns and flips show neither bar nor status text, Resize and Tiling go back to
// 100 %, and every operation fails with a text of its own; success lays the picture out again.
TEST(OperationFrame, ProgressZoomAndFailureTextOfEveryOperation) {
    std::set<std::string_view> failureTexts;
    for (int i = 0; i <= int(Operation::TrueColor); ++i) {
        const Operation operation = Operation(i);
        const OperationTraits& traits = operationTraits(operation);
        SCOPED_TRACE(traits.failureText);
        const bool quiet = operation == Operation::Save || operation == Operation::RotateFlip;
        const int zoom = operation == Operation::Resize || operation == Operation::Tiling ? 10 : 3;
        EXPECT_EQ(traits.operation, operation);
        EXPECT_TRUE(failureTexts.insert(traits.failureText).second);
        test::RecordingFrontend frontend;
        Session session(frontend);
        session.currentInfo.zoomIndex = session.dialogInfo.zoomIndex = 3;
        EXPECT_EQ(runOperationFrame(session, operation, [](Session&) { return 1; }), 1);
        EXPECT_EQ(frontend.texts(), std::vector<std::string>{std::string(traits.failureText)});
        EXPECT_EQ(session.currentInfo.zoomIndex, 3);
        frontend.clear();
        const auto twoOf200 = [](Session& s) {
            progressBegin(s, 200);
            progressAdvance(s);
            progressAdvance(s);
            return 0;
        };
        EXPECT_EQ(runOperationFrame(session, operation, twoOf200), 0);
        EXPECT_TRUE(frontend.messages.empty());
        EXPECT_EQ(std::tuple(session.currentInfo.zoomIndex, session.dialogInfo.zoomIndex,
                             session.currentInfo.state, session.dialogInfo.state),
                  std::tuple(zoom, zoom, 514, 514));
        EXPECT_EQ(frontend.progressPositions, (std::vector<int>{0, 1})); // 0 shown once
        EXPECT_EQ(frontend.progressVisibility,
                  (quiet ? std::vector<bool>{} : std::vector<bool>{true, false}));
        EXPECT_EQ(frontend.statusTexts.size(), quiet ? 0u : 1u);
    }
    EXPECT_TRUE(std::all_of(failureTexts.begin(), failureTexts.end(),
                            [](std::string_view text) { return text.starts_with("failed to "); }));
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
    EXPECT_EQ(std::tuple(session.history.historyDepth, session.history.historyPaths[1]),
              std::tuple(1, before));
    const DibImage result = test::readImage(session.currentPath);
    EXPECT_EQ(std::tuple(result.bitsPerPixel, result.fileSize, result.colorsUsed),
              std::tuple(24, 54u + 3 * 16, source.colorsUsed));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(test::rgbAt(result, x, y), colour(x, y)) << x << "," << y;
    EXPECT_EQ(test::readFileBytes(before), source.data); // untouched, ready for undo
}

// A broken current file changes nothing; a failed write still releases both pictures.
TEST(ConvertToTrueColor, BrokenCurrentFileOrFailedWriteChangesNothing) {
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
    frontend.clear();
    session.sourceImage = test::makeImage(3, 3, 8);
    EXPECT_EQ(saveAsTrueColor(session, "/nonexistent-folder/x.dib"), 1);
    EXPECT_EQ(frontend.texts(), std::vector<std::string>{"failed to create the file\ncannot write "
                                                         "\"/nonexistent-folder/x.dib\": No such "
                                                         "file or directory"});
    EXPECT_TRUE(session.sourceImage.data.empty() && session.targetImage.data.empty());
}

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

// The bar shows each truncated percentage once (none of nothing to do); progressAdvanceBy counts
// as single steps do, and progressBegin starts the count again.
TEST(Progress, ShowsTheTruncatedPercentage) {
    for (const auto& [units, advances, positions] :
         {std::tuple{3.0, 3, std::vector<int>{33, 66, 100}},
          {7.0, 2, {14, 28}},
          {200.0, 3, {0, 1}},
          {1.0, 1, {100}},
          {0.0, 1, {0}}}) {
        test::RecordingFrontend frontend;
        Session session(frontend);
        progressBegin(session, units);
        for (int i = 0; i < advances; ++i)
            progressAdvance(session);
        EXPECT_EQ(frontend.progressPositions, positions) << units;
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
