#include "core/intermediateFiles.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace vellora {
namespace {

namespace fs = std::filesystem;

void touch(const fs::path& path) { test::writeFileBytes(path, {1}); }

struct Fixture {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    Session session{frontend};
    Fixture() { session.intermediateDirectory = dir.path(); }
    fs::path file(int n) const { return dir / intermediateFileName(n); }
};

TEST(IntermediateFiles, NamesHaveThreeDigits) {
    EXPECT_EQ(intermediateFileName(0), "__VL_000.dib");
    EXPECT_EQ(intermediateFileName(7), "__VL_007.dib");
    EXPECT_EQ(intermediateFileName(42), "__VL_042.dib");
    EXPECT_EQ(intermediateFileName(999), "__VL_999.dib");
}

TEST(IntermediateFiles, FirstFreeNumberIsTaken) {
    Fixture f;
    std::string path;
    EXPECT_EQ(nextIntermediatePath(f.session, path), 0);
    EXPECT_EQ(path, f.file(0).string());
    touch(f.file(0));
    touch(f.file(2));
    EXPECT_EQ(nextIntermediatePath(f.session, path), 0);
    EXPECT_EQ(path, f.file(1).string());
    EXPECT_TRUE(f.frontend.messages.empty());
}

TEST(IntermediateFiles, CleanStopsAtTheFirstGap) {
    Fixture f;
    touch(f.file(0));
    touch(f.file(2));
    f.session.currentPath = f.file(2).string();
    cleanIntermediateFiles(f.session);
    EXPECT_FALSE(fs::exists(f.file(0)));
    EXPECT_TRUE(fs::exists(f.file(2)));
}

TEST(IntermediateFiles, CleanDeletesTheWholeRun) {
    Fixture f;
    for (int n = 0; n < 5; ++n) touch(f.file(n));
    touch(f.dir / "other.txt");
    f.session.currentPath = f.file(0).string();
    cleanIntermediateFiles(f.session);
    for (int n = 0; n < 5; ++n) EXPECT_FALSE(fs::exists(f.file(n))) << n;
    EXPECT_TRUE(fs::exists(f.dir / "other.txt"));
}

TEST(IntermediateFiles, OnlyNumber999LeftIsUsed) {
    Fixture f;
    for (int n = 0; n < 999; ++n) touch(f.file(n));
    std::string path;
    EXPECT_EQ(nextIntermediatePath(f.session, path), 0);
    EXPECT_EQ(path, f.file(999).string());
}

// All thousand exist: files no picture refers to are freed; the current picture and the live
// undo steps are kept.
TEST(IntermediateFiles, FullFolderRecyclesUnreferencedFiles) {
    Fixture f;
    for (int n = 0; n < 1000; ++n) touch(f.file(n));
    f.session.currentPath = f.file(1).string();
    f.session.nextPath = f.file(1).string();
    f.session.history.historyDepth = 2;
    f.session.history.historyPaths[1] = f.file(0).string();
    f.session.history.historyPaths[2] = f.file(500).string();
    f.session.history.historyPaths[3] = f.file(2).string(); // above the depth: no longer live
    std::string path;
    EXPECT_EQ(nextIntermediatePath(f.session, path), 0);
    EXPECT_EQ(path, f.file(2).string());
    EXPECT_FALSE(fs::exists(f.file(2)));
    EXPECT_TRUE(fs::exists(f.file(0)));
    EXPECT_TRUE(fs::exists(f.file(1)));
    EXPECT_TRUE(fs::exists(f.file(500)));
    EXPECT_TRUE(f.frontend.messages.empty());
}

TEST(IntermediateFiles, AfterAWrapEverySlotIsLive) {
    Fixture f;
    f.session.history.historyDepth = 1;
    f.session.history.historyWraps = 1;
    f.session.history.historyPaths[99] = f.file(9).string();
    EXPECT_TRUE(isReferencedPath(f.session, f.file(9).string()));
    f.session.history.historyWraps = 0;
    EXPECT_FALSE(isReferencedPath(f.session, f.file(9).string()));
}

TEST(IntermediateFiles, NoTemporaryDirectoryLeavesThePathAlone) {
    test::RecordingFrontend frontend;
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    setenv("TMPDIR", "/nonexistent/vellora-test", 1);
    std::string path = "unchanged";
    int result = 0;
    {
        Session session(frontend);
        result = nextIntermediatePath(session, path);
    }
    if (old) setenv("TMPDIR", saved.c_str(), 1);
    else unsetenv("TMPDIR");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(path, "unchanged");
    EXPECT_EQ(frontend.messages,
              (std::vector<test::Message>{{"error", "failed to get the intermediate path"}}));
}

TEST(IntermediateFiles, PrivateFolderIsMadeOnceAndRemovedWithTheSession) {
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
        EXPECT_EQ(fs::path(second).parent_path(), folder);
        EXPECT_EQ(fs::path(second).filename(), "__VL_001.dib");
    }
    EXPECT_FALSE(fs::exists(folder));
}

// Every numbered picture goes, wherever the gaps are; a file of another name keeps the folder.
TEST(IntermediateFiles, RemovingTheFolderTakesOnlyIntermediateFiles) {
    test::TempDir parent;
    const fs::path folder = parent / "run";
    fs::create_directory(folder);
    for (int n : {0, 2, 417, 999})
        touch(folder / intermediateFileName(n));
    for (const char* other : {"__VL_12.dib", "__VL_0000.dib", "__VL_abc.dib", "notes.txt"})
        touch(folder / other);
    test::RecordingFrontend frontend;
    Session session(frontend);
    session.intermediateDirectory = folder;
    removeIntermediateDirectory(session);
    EXPECT_TRUE(session.intermediateDirectory.empty());
    std::vector<std::string> left;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"__VL_0000.dib", "__VL_12.dib", "__VL_abc.dib",
                                              "notes.txt"}));
    for (const std::string& name : left)
        fs::remove(folder / name);
    touch(folder / intermediateFileName(5));
    session.intermediateDirectory = folder;
    removeIntermediateDirectory(session);
    EXPECT_FALSE(fs::exists(folder));
}

} // namespace
} // namespace vellora
