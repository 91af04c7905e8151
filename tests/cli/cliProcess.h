#pragma once
// Running vellora-cli as a user would: its own process, its own temporary folder, stdout and
// stderr captured.
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vellora::test {

struct CliResult {
    int exitStatus = -1; // -1 when the program did not exit normally
    int signal = 0;      // the signal that ended it, if any
    std::string out;
    std::string err;
    std::vector<std::string> errLines() const;
};

// Starts the program in `workFolder` with TMPDIR=`tempFolder`; returns its process id.
pid_t startCli(const std::vector<std::string>& arguments, const std::filesystem::path& workFolder,
               const std::filesystem::path& tempFolder);
// Waits for the process started by startCli and collects what it wrote.
CliResult finishCli(pid_t process, const std::filesystem::path& workFolder);
// Both at once.
CliResult runCli(const std::vector<std::string>& arguments, const std::filesystem::path& workFolder,
                 const std::filesystem::path& tempFolder);

// Every entry of a folder (names only), for before/after comparisons.
std::vector<std::string> folderEntries(const std::filesystem::path& folder);

} // namespace vellora::test
