#include "core/runFolders.h"
#include "core/regularFile.h"
#include "support/testImages.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

namespace vellora {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one scope (unset when the value is empty optional).
class ScopedVariable {
  public:
    ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedVariable() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(RunFolders, TemporaryVariableSetButEmptyCountsAsUnset) {
    fs::path unset;
    {
        ScopedVariable tmpdir("TMPDIR", std::nullopt);
        unset = systemTemporaryFolder();
    }
    ASSERT_FALSE(unset.empty());
    ScopedVariable tmpdir("TMPDIR", "");
    EXPECT_EQ(systemTemporaryFolder(), unset);
    ScopedVariable missing("TMPDIR", "/nonexistent/vellora-test");
    EXPECT_TRUE(systemTemporaryFolder().empty());
}

// A run that ends without removing its folder (as a killed one does) leaves it to the next
// sweep; the folder of a live run and folders the program did not make stay.
TEST(RunFolders, SweepRemovesOnlyFoldersOfEndedRuns) {
    test::TempDir base;
    ScopedVariable tmpdir("TMPDIR", base.path().string());
    const pid_t child = fork();
    if (child == 0) {
        fs::path folder;
        if (makeRunFolder(folder) < 0) _exit(1);
        test::writeFileBytes(folder / "__VL_000.dib", {1, 2, 3});
        test::writeFileBytes(folder / ".__VL_001.dib.a1B2c3", {4}); // a write cut short
        _exit(0); // the lock goes with the process; the folder stays
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(std::distance(fs::directory_iterator(base.path()), fs::directory_iterator()), 1);
    const fs::path ended = fs::directory_iterator(base.path())->path();
    fs::path live;
    const int lock = makeRunFolder(live);
    ASSERT_GE(lock, 0);
    const fs::path foreign = base / "vellora-abc123"; // no lock file: not a run's folder
    fs::create_directory(foreign);
    test::writeFileBytes(foreign / "__VL_000.dib", {1});

    sweepAbandonedRunFolders();
    EXPECT_FALSE(fs::exists(ended));
    EXPECT_TRUE(fs::exists(live));
    EXPECT_TRUE(fs::exists(foreign / "__VL_000.dib"));
    ::close(lock);
    sweepAbandonedRunFolders();
    EXPECT_FALSE(fs::exists(live));
}

TEST(RegularFile, OnlyRegularFilesOpenAndNothingWaits) {
    test::TempDir dir;
    test::writeFileBytes(dir / "plain.csv", {'1'});
    ASSERT_EQ(::mkfifo((dir / "fifo.csv").c_str(), 0600), 0);
    fs::create_directory(dir / "folder.csv");
    const struct {
        const char* name;
        ReadOpen outcome;
    } cases[] = {{"plain.csv", ReadOpen::ok},
                 {"fifo.csv", ReadOpen::notRegular},
                 {"folder.csv", ReadOpen::notRegular},
                 {"missing.csv", ReadOpen::failed}};
    for (const auto& c : cases) {
        ReadOpen outcome = ReadOpen::failed;
        const ReadFile file = openRegularFile(dir / c.name, &outcome);
        EXPECT_EQ(outcome, c.outcome) << c.name;
        EXPECT_EQ(file != nullptr, c.outcome == ReadOpen::ok) << c.name;
    }
    const ReadFile plain = openRegularFile(dir / "plain.csv");
    EXPECT_EQ(std::fgetc(plain.get()), '1'); // blocking reads again after the check
}

} // namespace
} // namespace vellora
