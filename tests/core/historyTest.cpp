// The undo ring and the intermediate files it refers to.
#include "core/history.h"
#include "core/intermediateFiles.h"
#include "core/scratchStore.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace vellora {
namespace {

namespace fs = std::filesystem;

std::string stepName(int i) {
    return "step" + std::to_string(i);
}

// Runs n successful operations: step0 is the opened picture, step i the i-th result.
void runOperations(Session& session, int n) {
    if (session.currentPath.empty()) session.currentPath = stepName(0);
    const int done = std::stoi(session.currentPath.substr(4));
    for (int i = done + 1; i <= done + n; ++i) {
        session.nextPath = stepName(i);
        pushHistory(session);
    }
}

// After n pushes the ring holds its steps in slots 1 … (n - 1) % 99 + 1, having wrapped
// (n - 1) / 99 times; undo walks back and stops at depth zero, after a wrap it goes on from
// slot 99; a cleared history forgets every step.
TEST(History, PushesWrapUndoWalksBackAndClearForgetsEveryStep) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    runOperations(session, 3);
    EXPECT_EQ(std::tuple(session.history.historyPaths[1], session.history.historyPaths[3]),
              std::tuple(stepName(0), stepName(2)));
    for (int expected = 2; expected >= 0; --expected) {
        ASSERT_TRUE(undo(session));
        EXPECT_EQ(std::tuple(session.currentPath, session.history.historyDepth),
                  std::tuple(stepName(expected), expected));
    }
    EXPECT_FALSE(undo(session) || session.modified());
    EXPECT_EQ(std::tuple(session.currentPath, session.history.historyWraps),
              std::tuple(stepName(0), 0));
    for (int n = 1; n <= 199; ++n) {
        runOperations(session, 1);
        ASSERT_EQ(std::tuple(session.history.historyDepth, session.history.historyWraps,
                             session.currentPath, session.modified()),
                  std::tuple((n - 1) % 99 + 1, (n - 1) / 99, stepName(n), true));
    }
    ASSERT_TRUE(undo(session));
    EXPECT_EQ(
        std::tuple(session.currentPath, session.history.historyDepth, session.history.historyWraps),
        std::tuple(stepName(198), 99, 1));
    clearHistory(session);
    EXPECT_FALSE(undo(session) || session.modified());
    EXPECT_EQ(session.currentPath, stepName(198));
}

void touch(const fs::path& path) {
    test::writeFileBytes(path, {1});
}

struct Folder {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    Session session{frontend};
    Folder() { session.intermediateDirectory = dir.path(); }
    fs::path file(int n) const { return dir / intermediateFileName(n); }
    std::string next() {
        std::string path;
        EXPECT_EQ(nextIntermediatePath(session, path), 0);
        return path;
    }
};

TEST(IntermediateFiles, NamesHaveThreeDigitsAndTheFirstFreeNumberIsTaken) {
    EXPECT_EQ(intermediateFileName(7) + intermediateFileName(42) + intermediateFileName(999),
              "__VL_007.dib__VL_042.dib__VL_999.dib");
    Folder f;
    EXPECT_EQ(f.next(), f.file(0).string());
    touch(f.file(0)), touch(f.file(2));
    EXPECT_EQ(f.next(), f.file(1).string());
    EXPECT_TRUE(f.frontend.messages.empty());
}

// The last free number is taken; then, all thousand there, files no picture refers to are
// freed, and the current picture and the live undo steps are kept. Cleaning deletes the run up
// to its first gap, the current picture being no exception; a full run ends at 999.
TEST(IntermediateFiles, FullFolderRecyclesUnreferencedFilesAndCleaningStopsAtAGap) {
    Folder f;
    for (int n = 0; n < 999; ++n)
        touch(f.file(n));
    touch(f.dir / "other.txt");
    EXPECT_EQ(f.next(), f.file(999).string());
    touch(f.file(999));
    f.session.currentPath = f.session.nextPath = f.file(1).string();
    f.session.history.historyDepth = 2;
    auto& paths = f.session.history.historyPaths;
    paths[1] = f.file(3).string(), paths[2] = f.file(500).string(),
    paths[3] = f.file(0).string(); // 3: above the depth
    EXPECT_EQ(f.next(), f.file(0).string());
    for (int n : {0, 1, 2, 3, 500, 999})
        EXPECT_EQ(fs::exists(f.file(n)), n == 1 || n == 3 || n == 500) << n;
    EXPECT_TRUE(f.frontend.messages.empty());
    touch(f.file(0)); // the picture written under the recycled name
    cleanIntermediateFiles(f.session);
    EXPECT_EQ(
        std::tuple(fs::exists(f.file(1)), fs::exists(f.file(3)), fs::exists(f.dir / "other.txt")),
        std::tuple(false, true, true));
    for (int n = 0; n < 1000; ++n)
        touch(f.file(n));
    touch(f.dir / "__VL_1000.dib");
    cleanIntermediateFiles(f.session);
    EXPECT_TRUE(fs::exists(f.dir / "__VL_1000.dib") && !fs::exists(f.file(999)));
    // After a wrap every slot is live.
    f.session.history.historyDepth = 1, f.session.history.historyWraps = 1;
    paths[99] = f.file(9).string();
    EXPECT_TRUE(isReferencedPath(f.session, f.file(9).string()));
    f.session.history.historyWraps = 0;
    EXPECT_FALSE(isReferencedPath(f.session, f.file(9).string()));
}

// A store switched on keeps the pictures written to its folder instead of files: each reads
// back as written, a reader's block goes back to the store when freed (a picture of over 5 MB,
// so that a block freed twice or read after its release would not pass unseen), a second
// reader at once gets a copy, and a forgotten or unserved picture is a file again.
TEST(ScratchStore, PicturesWrittenToItsFolderLiveInMemory) {
    Folder f;
    f.session.scratch.switchOn();
    f.session.scratch.serve(f.dir.path());
    DibImage picture = test::makeImage(1501, 1200, 24);
    for (std::size_t i = 54; i < picture.data.size(); i += 4099)
        picture.data[i] = std::uint8_t(i);
    const PictureBytes bytes = picture.data;
    ASSERT_EQ(writeBitmapFile(f.frontend, f.file(0), std::move(picture)), 0);
    ASSERT_EQ(writeBitmapFile(f.frontend, f.file(1), test::makeImage(2, 2, 8)), 0);
    EXPECT_TRUE(scratchFileExists(f.file(0)) && fs::is_empty(f.dir.path()));
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
    EXPECT_TRUE(forgetScratchFile(f.file(0)));
    EXPECT_EQ(std::tuple(scratchFileExists(f.file(0)), scratchFileExists(f.file(1))),
              std::tuple(false, true));
    f.session.scratch.close();
    EXPECT_EQ(f.next(), f.file(0).string());
    ASSERT_EQ(writeBitmapFile(f.frontend, f.file(0), test::makeImage(2, 2, 8)), 0);
    EXPECT_TRUE(fs::exists(f.file(0)) && f.frontend.messages.empty());
}

// The private folder is made once, mode 0700, for the first name asked for; the session's end
// removes every numbered picture, wherever the gaps are, and the folder when nothing of another
// name is left in it.
TEST(IntermediateFiles, PrivateFolderIsMadeOnceAndRemovedWithTheSession) {
    const std::vector<std::string> others = {"__VL_0000.dib", "__VL_12.dib", "__VL_abc.dib",
                                             "notes.txt"};
    for (const bool withOthers : {false, true}) {
        test::RecordingFrontend frontend;
        fs::path folder;
        {
            Session session(frontend);
            std::string first, second;
            ASSERT_EQ(nextIntermediatePath(session, first), 0);
            folder = fs::path(first).parent_path();
            EXPECT_EQ((fs::status(folder).permissions() & fs::perms::all), fs::perms::owner_all);
            touch(first);
            ASSERT_EQ(nextIntermediatePath(session, second), 0);
            EXPECT_EQ(fs::path(second), folder / "__VL_001.dib");
            for (int n : {2, 417, 999})
                touch(folder / intermediateFileName(n));
            for (const std::string& other : withOthers ? others : std::vector<std::string>{})
                touch(folder / other);
        }
        std::vector<std::string> left;
        std::error_code absent;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder, absent))
            left.push_back(entry.path().filename().string());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, withOthers ? others : std::vector<std::string>{});
        EXPECT_EQ(fs::exists(folder), withOthers);
        fs::remove_all(folder);
    }
}

} // namespace
} // namespace vellora
