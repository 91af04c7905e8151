#pragma once
// Running vellora-cli as a user would: own process and temp folder, stdout and stderr captured.
#include "support/tempDir.h"
#include "support/testImages.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vellora::test {

struct CliResult {
    int exitStatus = -1; // -1 when the program did not exit normally
    int signal = 0;      // the signal that ended it, if any
    std::string out, err;
};

// Starts the program in `workFolder` with TMPDIR=`tempFolder`; returns its process id.
pid_t startCli(const std::vector<std::string>& arguments, const std::filesystem::path& workFolder,
               const std::filesystem::path& tempFolder);
// Waits for the process started by startCli and collects what it wrote.
CliResult finishCli(pid_t process, const std::filesystem::path& workFolder);

// Every entry of a folder (names only), for before/after comparisons.
std::vector<std::string> folderEntries(const std::filesystem::path& folder);
std::vector<std::string> split(const std::string& text, char separator);

// A work folder the program runs in and the temporary folder it is given.
struct CliTest : ::testing::Test {
    TempDir root;
    void SetUp() override {
        std::filesystem::create_directory(work());
        std::filesystem::create_directory(temp());
    }
    std::filesystem::path work() const { return root / "work"; }
    std::filesystem::path temp() const { return root / "tmp"; }
    CliResult run(const std::vector<std::string>& arguments) {
        return finishCli(startCli(arguments, work(), temp()), work());
    }
    // The run left no intermediate folder or file behind.
    void expectTempFolderEmpty() { EXPECT_EQ(folderEntries(temp()), std::vector<std::string>{}); }
};

} // namespace vellora::test
