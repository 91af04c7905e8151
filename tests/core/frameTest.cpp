// Operation frame, progress and status text, row bands, the undo ring and its intermediate files.
#include "core/history.h"
#include "core/intermediateFiles.h"
#include "core/operationFrame.h"
#include "core/pictureStep.h"
#include "core/progress.h"
#include "core/rowBands.h"
#include "core/scratchStore.h"
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

// A picture step that starts by reading the current picture, and a command made of it.
int grayScaleStep(Session& s) {
    return runPictureStep(s, [](const DibImage&, DibImage&) { return 0; });
}
int grayScaleHandler(Session& s) {
    return runOperationFrame(s, Operation::GrayScale, grayScaleStep);
}

// With no fresh intermediate name no command runs: its result would overwrite the current picture.
TEST(OperationFrame, AFailedCommandIsNoStepAndWithoutAFreshNameNoneRuns) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    session.currentPath = "/nonexistent/__VL_000.dib";
    EXPECT_EQ(runCommandHandler(session, grayScaleHandler), 1);
    EXPECT_EQ(std::tuple(session.currentPath, session.history.historyDepth),
              std::tuple("/nonexistent/__VL_000.dib", 0));
    frontend.clear();
    test::ScopedVariable tmpdir("TMPDIR", "/nonexistent/vellora-test");
    Session noFolder(frontend);
    noFolder.currentPath = noFolder.nextPath = "/somewhere/__VL_003.dib";
    static int runs = 0;
    EXPECT_EQ(runCommandHandler(noFolder, [](Session&) { return ++runs, 0; }), 1);
    EXPECT_EQ(std::tuple(runs, noFolder.currentPath, noFolder.history.historyDepth),
              std::tuple(0, std::string("/somewhere/__VL_003.dib"), 0));
    EXPECT_EQ(frontend.texts(), std::vector<std::string>{"failed to get the intermediate path"});
}

// Saves, quarter turns and flips show no bar or status text; Resize and Tiling go back to 100 %.
// Each operation fails with its own text after the step's, layout kept; success lays out anew.
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
        session.currentInfo.state = session.dialogInfo.state = 1026;
        session.currentPath = "/nonexistent/__VL_000.dib";
        EXPECT_EQ(runOperationFrame(session, operation, grayScaleStep), 1);
        EXPECT_EQ(frontend.withoutCauses(),
                  (std::vector<test::Message>{{"error", "failed to open the file"},
                                              {"error", std::string(traits.failureText)}}));
        EXPECT_EQ(std::tuple(session.currentInfo.zoomIndex, session.dialogInfo.state),
                  std::tuple(3, 1026));
        frontend.clear();
        const auto twoOf200 = [](Session& s) {
            progressBegin(s, 200);
            progressAdvance(s);
            progressAdvance(s);
            return 0;
        };
        EXPECT_EQ(runOperationFrame(session, operation, twoOf200), 0);
        EXPECT_EQ(std::tuple(session.currentInfo.zoomIndex, session.dialogInfo.zoomIndex,
                             session.currentInfo.state, session.dialogInfo.state),
                  std::tuple(zoom, zoom, 514, 514));
        EXPECT_EQ(frontend.progressPositions, (std::vector<int>{0, 1})); // 0 shown once
        EXPECT_EQ(frontend.progressVisibility,
                  (quiet ? std::vector<bool>{} : std::vector<bool>{true, false}));
        EXPECT_EQ(frontend.statusTexts, std::vector<std::string>(quiet ? 0 : 1, "")); // cleared
    }
}

// Depths are CopyAsTrueColor's business; here an indexed picture goes through the whole frame.
TEST(ConvertToTrueColor, EndToEnd) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    const DibImage source = test::makeIndexedImage(5, 3, 4, {0x102030, 0xA0B0C0},
                                                   [](int x, int y) { return (x + y) % 2; });
    test::setCurrentPicture(session, source);
    const std::string before = session.currentPath;
    ASSERT_EQ(convertToTrueColor(session), 0);
    EXPECT_EQ(std::tuple(session.history.historyDepth, session.history.historyPaths[1]),
              std::tuple(1, before));
    const DibImage result = test::readImage(session.currentPath);
    EXPECT_EQ(std::tuple(result.bitsPerPixel, result.fileSize, result.colorsUsed),
              std::tuple(24, 54u + 3 * 16, source.colorsUsed));
    EXPECT_EQ(std::tuple(test::rgbAt(result, 0, 0), test::rgbAt(result, 4, 1)),
              std::tuple(0x102030u, 0xA0B0C0u));
    EXPECT_EQ(test::readFileBytes(before), source.data); // untouched, ready for undo
}

// A change in place makes the block read the result, written without build; one that declines
// leaves it to build. A file read stays; a block lent by the scratch store moves to the new name.
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
            EXPECT_TRUE(store || test::readImage(session.currentPath).data == picture.data);
        }
}

// The bar shows each truncated percentage once (none for no work); progressAdvanceBy counts as
// single steps, progressBegin restarts. The status text needs the flag and a laid-out picture.
TEST(Progress, TheBarShowsTheTruncatedPercentageAndTheStatusTextALaidOutPicture) {
    // {units, advances, units per advance, positions shown}
    const std::tuple<double, int, int, std::vector<int>> cases[] = {
        {3, 3, 1, {33, 66, 100}}, {7, 2, 1, {14, 28}}, {200, 3, 1, {0, 1}},
        {1, 1, 1, {100}},         {0, 1, 1, {0}},      {200, 2, 100, {50, 100}},
        {10, 3, 2, {20, 40, 60}}, {1000, 2, 3, {0}}};
    for (const auto& [units, advances, by, positions] : cases) {
        test::RecordingFrontend frontend;
        Session session(frontend);
        progressBegin(session, units);
        for (int i = 0; i < advances; ++i)
            by == 1 ? progressAdvance(session) : progressAdvanceBy(session, by);
        EXPECT_EQ(frontend.progressPositions, positions) << units << " by " << by;
        progressBegin(session, 2);
        progressAdvance(session);
        EXPECT_EQ(frontend.progressPositions.back(), 50);
    }
    constexpr const char* kShown = "    width x height : 640 x 480, bits per pixel : 8";
    const std::tuple<int, int, const char*> statusCases[] = {{1, 514, kShown},  {1, 258, kShown},
                                                             {1, 1026, kShown}, {1, 2, ""},
                                                             {1, 1, ""},        {0, 514, ""}};
    for (const auto& [flag, state, text] : statusCases) {
        test::RecordingFrontend frontend;
        Session session(frontend);
        session.currentInfo = {.bitsPerPixel = 8, .width = 640, .height = 480, .state = state};
        updateStatusText(session, flag);
        EXPECT_EQ(frontend.statusTexts, std::vector<std::string>{text}) << flag << " " << state;
    }
}

// Even bands, at most one a worker, each row once; a worker per 16 rows, up to the thread count.
TEST(RowBands, BandsSplitTheRowsAndWorkersFollowThePictureSize) {
    test::ScopedVariable threads("VELLORA_THREADS", "4");
    EXPECT_EQ(std::tuple(rowWorkerCount(31), rowWorkerCount(32), rowWorkerCount(1000)),
              std::tuple(1, 2, 4));
    using Band = std::tuple<int, int, int>;
    const std::tuple<int, int, std::vector<Band>> cases[] = {
        {10, 3, {{0, 0, 3}, {1, 3, 6}, {2, 6, 10}}}, {1, 5, {{0, 0, 1}}}, {0, 3, {}}};
    for (const auto& [rows, workers, expected] : cases) {
        std::mutex mutex;
        std::vector<Band> bands;
        forRowBands(rows, workers, [&](int band, int begin, int end) {
            const std::lock_guard lock(mutex);
            bands.emplace_back(band, begin, end);
        });
        std::sort(bands.begin(), bands.end());
        EXPECT_EQ(bands, expected) << rows << " rows";
    }
    // Every worker's rows have bytes of their own: each filled with its number stays whole.
    WorkerRows scratch;
    ASSERT_TRUE(scratch.allocate(3, 5, 2));
    for (int n = 0; n < 6; ++n)
        std::fill_n(scratch.row(n / 2, n % 2), 5, std::uint8_t(n + 1));
    for (int n = 0; n < 6; ++n)
        EXPECT_EQ(std::string(scratch.row(n / 2, n % 2), scratch.row(n / 2, n % 2) + 5),
                  std::string(5, char(n + 1)));
}

// Workers walk their bands in one-percent slices, the last shorter (1005 rows, 2 workers: 502 and
// 503 rows, 51 slices each), each row once. The bar rises a percent a report (two where truncation
// jumps: 290 / 1000 × 100 is just under 29); the caller reports as it goes, slowed others last.
TEST(RowBands, ProgressPassGivesEachWorkerOneBandAndMovesTheBarAPercentAtATime) {
    const std::thread::id caller = std::this_thread::get_id();
    // {rows, workers, slices}
    const std::tuple<int, int, int> cases[] = {{1000, 2, 100}, {1000, 1, 100}, {7, 2, 7},
                                               {333, 3, 111},  {1005, 1, 101}, {1005, 2, 102}};
    for (const auto& [rows, workers, slices] : cases) {
        SCOPED_TRACE(std::to_string(rows) + " rows, " + std::to_string(workers) + " workers");
        test::RecordingFrontend frontend;
        Session session(frontend);
        std::mutex mutex;
        std::vector<int> seen(std::size_t(rows), 0);
        int calls = 0;
        progressBegin(session, rows);
        forRowsWithProgress(session, rows, workers, [&](int worker, int begin, int end) {
            if (std::this_thread::get_id() != caller) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            } else if (workers == 1) {
                EXPECT_EQ(session.progress.progressNow, begin); // the rows before are reported
            }
            const std::lock_guard lock(mutex);
            ASSERT_TRUE(worker >= 0 && worker < workers) << worker;
            ++calls;
            for (int r = begin; r < end; ++r)
                ++seen[std::size_t(r)];
        });
        EXPECT_EQ(std::tuple(session.progress.progressNow, calls), std::tuple(rows, slices));
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), rows);
        const std::vector<int>& positions = frontend.progressPositions;
        ASSERT_EQ(positions.empty() ? 0 : positions.back(), 100);
        for (std::size_t i = 1; i < positions.size(); ++i) {
            EXPECT_GE(positions[i], positions[i - 1]);
            EXPECT_LE(positions[i] - positions[i - 1], rows >= 100 ? 2 : 100);
        }
    }
}

namespace fs = std::filesystem;

// After n pushes the ring holds slots 1 … (n - 1) % 99 + 1, wrapped (n - 1) / 99 times; undo walks
// back to depth 0, after a wrap on from slot 99 until 99 steps are undone; clearing forgets all.
TEST(History, PushesWrapUndoWalksBackAndClearForgetsEveryStep) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    const UndoHistory& h = session.history;
    const auto step = [](int i) { return "step" + std::to_string(i); };
    // Step 0 is the opened picture, step n the n-th result.
    const auto pushSteps = [&](int last) {
        for (int n = 1; n <= last; ++n) {
            session.nextPath = step(n);
            pushHistory(session);
            ASSERT_EQ(std::tuple(h.historyDepth, h.historyWraps, session.currentPath),
                      std::tuple((n - 1) % 99 + 1, (n - 1) / 99, step(n)));
        }
    };
    const auto undoSteps = [&](int from, int to) {
        for (int n = from - 1; n >= to; --n)
            ASSERT_TRUE(undo(session) && session.currentPath == step(n)) << n;
        EXPECT_FALSE(undo(session));
        EXPECT_EQ(std::tuple(session.currentPath, session.modified()),
                  std::tuple(step(to), to > 0));
    };
    session.currentPath = step(0);
    pushSteps(3);
    EXPECT_EQ(std::tuple(h.historyPaths[1], h.historyPaths[3], session.modified()),
              std::tuple(step(0), step(2), true));
    undoSteps(3, 0);
    pushSteps(199);
    ASSERT_TRUE(undo(session));
    EXPECT_EQ(std::tuple(session.currentPath, h.historyDepth, h.historyWraps),
              std::tuple(step(198), 99, 1));
    undoSteps(198, 100);
    clearHistory(session);
    EXPECT_FALSE(undo(session) || session.modified());
}

void touch(const fs::path& path) {
    test::writeFileBytes(path, {1});
}

// A session with its private folder made, the scratch store switched on first when asked.
struct PrivateFolder {
    explicit PrivateFolder(bool scratch = false) {
        if (scratch) session.scratch.switchOn();
        folder = next().parent_path();
    }
    fs::path file(int n) const { return folder / intermediateFileName(n); }
    fs::path next() {
        std::string path;
        EXPECT_EQ(nextIntermediatePath(session, path), 0);
        return path;
    }
    test::RecordingFrontend frontend;
    Session session{frontend};
    fs::path folder;
};

// The private folder is made once, mode 0700; first free and last numbers are taken, then, all
// thousand used, unreferenced ones freed (current picture, live undo steps kept). Cleaning deletes
// to the first gap, current picture included; a full run to 999. The folder goes with the session.
TEST(IntermediateFiles, NumbersAreTakenRecycledAndCleanedInAPrivateFolder) {
    fs::path folder;
    {
        PrivateFolder f;
        folder = f.folder;
        EXPECT_EQ((fs::status(folder).permissions() & fs::perms::all), fs::perms::owner_all);
        touch(f.file(0)), touch(f.file(2));
        EXPECT_EQ(f.next(), folder / "__VL_001.dib");
        for (int n = 0; n < 999; ++n)
            touch(f.file(n));
        touch(folder / "other.txt");
        EXPECT_EQ(f.next(), f.file(999));
        touch(f.file(999));
        f.session.currentPath = f.session.nextPath = f.file(1).string();
        f.session.history.historyDepth = 2;
        auto& paths = f.session.history.historyPaths;
        paths[1] = f.file(3).string(), paths[2] = f.file(500).string(),
        paths[3] = f.file(0).string(); // 3: above the depth
        EXPECT_EQ(f.next(), f.file(0));
        for (int n : {0, 1, 2, 3, 500, 999})
            EXPECT_EQ(fs::exists(f.file(n)), n == 1 || n == 3 || n == 500) << n;
        touch(f.file(0)); // the picture written under the recycled name
        cleanIntermediateFiles(f.session);
        EXPECT_EQ(std::tuple(fs::exists(f.file(1)), fs::exists(f.file(3)),
                             fs::exists(folder / "other.txt")),
                  std::tuple(false, true, true));
        for (int n = 0; n < 1000; ++n)
            touch(f.file(n));
        touch(folder / "__VL_1000.dib");
        cleanIntermediateFiles(f.session);
        EXPECT_TRUE(fs::exists(folder / "__VL_1000.dib") && !fs::exists(f.file(999)));
        // After a wrap every slot is live.
        f.session.history.historyDepth = 1, f.session.history.historyWraps = 1;
        paths[99] = f.file(9).string();
        EXPECT_TRUE(isReferencedPath(f.session, f.file(9).string()));
        f.session.history.historyWraps = 0;
        EXPECT_FALSE(isReferencedPath(f.session, f.file(9).string()));
        fs::remove(folder / "__VL_1000.dib"), fs::remove(folder / "other.txt");
    }
    EXPECT_FALSE(fs::exists(folder));
}

// A store switched on keeps pictures written to its folder in memory: each reads back as written, a
// reader's block returns to the store when freed (over 5 MB, so a double free or read after release
// shows), a second reader at once gets a copy, a forgotten or unserved picture is a file again.
TEST(ScratchStore, PicturesWrittenToItsFolderLiveInMemory) {
    PrivateFolder f(true);
    DibImage picture = test::makeImage(1501, 1200, 24);
    for (std::size_t i = 54; i < picture.data.size(); i += 4099)
        picture.data[i] = std::uint8_t(i);
    const PictureBytes bytes = picture.data;
    ASSERT_EQ(writeBitmapFile(f.frontend, f.file(0), std::move(picture)), 0);
    ASSERT_EQ(writeBitmapFile(f.frontend, f.file(1), test::makeImage(2, 2, 8)), 0);
    EXPECT_TRUE(scratchFileExists(f.file(0)) && !fs::exists(f.file(0)));
    for (int reads = 0; reads < 2; ++reads) {
        DibImage first, second;
        ASSERT_EQ(readBitmapFile(f.frontend, f.file(0), first), 0);
        ASSERT_EQ(readBitmapFile(f.frontend, f.file(0), second), 0);
        EXPECT_TRUE(first.data == bytes && second.data == bytes &&
                    first.data.data() != second.data.data());
    }
    std::uint8_t head[2] = {};
    std::uint64_t length = 0;
    EXPECT_TRUE(scratchHead(f.file(0), head, length) && head[0] == 'B' && length == bytes.size());
    // A block released after its file is rewritten or forgotten goes nowhere (another block held).
    DibImage held, other;
    ASSERT_EQ(readBitmapFile(f.frontend, f.file(0), held), 0);
    ASSERT_EQ(readBitmapFile(f.frontend, f.file(1), other), 0);
    ASSERT_EQ(writeBitmapFile(f.frontend, f.file(0), test::makeImage(3, 1, 24)), 0);
    held.release();
    EXPECT_EQ(test::readImage(f.file(0)).width, 3);
    ASSERT_EQ(readBitmapFile(f.frontend, f.file(0), held), 0);
    EXPECT_TRUE(forgetScratchFile(f.file(0)));
    held.release();
    EXPECT_EQ(std::tuple(scratchFileExists(f.file(0)), scratchFileExists(f.file(1))),
              std::tuple(false, true));
    f.session.scratch.close();
    EXPECT_EQ(f.next(), f.file(0));
    ASSERT_EQ(writeBitmapFile(f.frontend, f.file(0), test::makeImage(2, 2, 8)), 0);
    EXPECT_TRUE(fs::exists(f.file(0)) && f.frontend.messages.empty());
}

} // namespace
} // namespace vellora
