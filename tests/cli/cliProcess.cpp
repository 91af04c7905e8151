#include "cliProcess.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

extern char** environ;

namespace vellora::test {

namespace fs = std::filesystem;

namespace {
// The captured streams live beside the work folder, so they never show up inside it.
fs::path capturePath(const fs::path& workFolder, const char* stream) {
    return workFolder.parent_path() / (workFolder.filename().string() + "." + stream);
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}
} // namespace

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

pid_t startCli(const std::vector<std::string>& arguments, const fs::path& workFolder,
               const fs::path& tempFolder) {
    std::vector<std::string> argv{VELLORA_CLI_PROGRAM}, env;
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    for (char** e = environ; *e; ++e)
        if (std::string_view(*e).substr(0, 7) != "TMPDIR=") env.emplace_back(*e);
    env.push_back("TMPDIR=" + tempFolder.string());
    std::vector<char*> argvPointers = pointersTo(argv), envPointers = pointersTo(env);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string out = capturePath(workFolder, "out"), err = capturePath(workFolder, "err");
    for (const auto& [fd, path] : {std::pair(1, &out), {2, &err}})
        posix_spawn_file_actions_addopen(&actions, fd, path->c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    posix_spawn_file_actions_addchdir_np(&actions, workFolder.c_str());
    // The program starts with interrupting signals at their defaults, whatever the runner ignores.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&defaults, s);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t process = -1;
    const int failed = posix_spawn(&process, argvPointers[0], &actions, &attributes,
                                   argvPointers.data(), envPointers.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(failed, 0) << "cannot start " << VELLORA_CLI_PROGRAM;
    return failed ? -1 : process;
}

CliResult finishCli(pid_t process, const fs::path& workFolder) {
    CliResult result;
    int status = 0;
    if (process <= 0 || waitpid(process, &status, 0) != process) return result;
    if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    result.out = readText(capturePath(workFolder, "out"));
    result.err = readText(capturePath(workFolder, "err"));
    std::error_code ignored;
    for (const char* stream : {"out", "err"})
        fs::remove(capturePath(workFolder, stream), ignored);
    return result;
}

std::vector<std::string> folderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

} // namespace vellora::test
