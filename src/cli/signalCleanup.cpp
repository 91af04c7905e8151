#include "cli/signalCleanup.h"

#include "shell/pictureConvert.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <signal.h>
#include <unistd.h>

namespace vellora::cli {

namespace {
constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};
constexpr int kIntermediateCount = 1000;
constexpr char kNamePrefix[] = "/__VL_";
constexpr char kNameSuffix[] = ".dib";

// Filled before the handlers are installed and never changed while they are.
char armedFolder[4096];
volatile std::sig_atomic_t armed = 0;

// folder + "/__VL_" + three digits + ".dib" into `path`, no library calls.
void composeName(char* path, std::size_t folderLength, int number) {
    char* p = path + folderLength;
    for (const char* s = kNamePrefix; *s; ++s) *p++ = *s;
    *p++ = char('0' + number / 100);
    *p++ = char('0' + number / 10 % 10);
    *p++ = char('0' + number % 10);
    for (const char* s = kNameSuffix; *s; ++s) *p++ = *s;
    *p = '\0';
}

std::size_t lengthOf(const char* text) {
    std::size_t n = 0;
    while (text[n]) ++n;
    return n;
}

extern "C" void onCleanupSignal(int signalNumber) {
    const int savedErrno = errno;
    removeArmedFiles();
    std::signal(signalNumber, SIG_DFL);
    errno = savedErrno;
    raise(signalNumber);
}
} // namespace

void removeArmedFiles() {
    const char* pending = temporaryPictureInProgress();
    if (pending[0] != '\0') unlink(pending);
    if (!armed) return;
    char path[sizeof armedFolder + 16];
    const std::size_t folderLength = lengthOf(armedFolder);
    for (std::size_t i = 0; i < folderLength; ++i) path[i] = armedFolder[i];
    for (int n = 0; n < kIntermediateCount; ++n) {
        composeName(path, folderLength, n);
        unlink(path);
    }
    rmdir(armedFolder);
}

void armSignalCleanup(const std::filesystem::path& folder) {
    const std::string text = folder.string();
    if (text.empty() || text.size() >= sizeof armedFolder) return;
    std::memcpy(armedFolder, text.c_str(), text.size() + 1);
    armed = 1;
    struct sigaction action {};
    action.sa_handler = onCleanupSignal;
    sigemptyset(&action.sa_mask);
    for (int s : kSignals) sigaddset(&action.sa_mask, s);
    for (int s : kSignals) {
        struct sigaction previous {};
        sigaction(s, nullptr, &previous);
        if (previous.sa_handler != SIG_IGN) sigaction(s, &action, nullptr);
    }
}

void disarmSignalCleanup() {
    for (int s : kSignals) {
        struct sigaction previous {};
        sigaction(s, nullptr, &previous);
        if (previous.sa_handler == onCleanupSignal) std::signal(s, SIG_DFL);
    }
    armed = 0;
    armedFolder[0] = '\0';
}

void blockCleanupSignals(bool block) {
    sigset_t set;
    sigemptyset(&set);
    for (int s : kSignals) sigaddset(&set, s);
    sigprocmask(block ? SIG_BLOCK : SIG_UNBLOCK, &set, nullptr);
}

} // namespace vellora::cli
