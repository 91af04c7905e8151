#include "cli/signalCleanup.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vellora::cli {

namespace {
constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};
// Emptying passes: an entry removed while the folder is read may hide another one from that
// read, so the folder is read again while it is not yet empty.
constexpr int kEmptyingPasses = 4;

// Filled before the handlers are installed and not changed while they are.
char armedFolder[4096];
volatile std::sig_atomic_t armed = 0;

// The record getdents64 fills; readdir is not async-signal-safe, the system call is.
struct DirectoryEntry {
    unsigned long long inode;
    long long offset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

bool isDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

void removeEntries(int folder) {
    alignas(8) char buffer[8192];
    for (;;) {
        const long bytes = syscall(SYS_getdents64, folder, buffer, sizeof buffer);
        if (bytes <= 0) return;
        for (long at = 0; at < bytes;) {
            const auto* entry = reinterpret_cast<const DirectoryEntry*>(buffer + at);
            if (!isDotEntry(entry->name)) unlinkat(folder, entry->name, 0);
            at += entry->length;
        }
    }
}

extern "C" void onCleanupSignal(int signalNumber) {
    removeArmedFolder();
    std::signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

bool isOurHandler(int signalNumber) {
    struct sigaction current {};
    sigaction(signalNumber, nullptr, &current);
    return current.sa_handler == onCleanupSignal;
}
} // namespace

void removeArmedFolder() {
    if (!armed) return;
    const int savedErrno = errno;
    for (int pass = 0; pass < kEmptyingPasses; ++pass) {
        const int folder = open(armedFolder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder < 0) break;
        removeEntries(folder);
        close(folder);
        if (rmdir(armedFolder) == 0 || errno != ENOTEMPTY) break;
    }
    errno = savedErrno;
}

void armSignalCleanup(const std::filesystem::path& folder) {
    const std::string text = folder.string();
    if (text.empty() || text.size() >= sizeof armedFolder) return;
    std::memcpy(armedFolder, text.c_str(), text.size() + 1);
    armed = 1;
    struct sigaction action {};
    action.sa_handler = onCleanupSignal;
    sigemptyset(&action.sa_mask);
    for (int s : kSignals)
        sigaddset(&action.sa_mask, s);
    for (int s : kSignals) {
        struct sigaction previous {};
        sigaction(s, nullptr, &previous);
        if (previous.sa_handler != SIG_IGN) sigaction(s, &action, nullptr);
    }
}

void disarmSignalCleanup() {
    for (int s : kSignals)
        if (isOurHandler(s)) std::signal(s, SIG_DFL);
    armed = 0;
    armedFolder[0] = '\0';
}

void blockCleanupSignals(bool block) {
    sigset_t set;
    sigemptyset(&set);
    for (int s : kSignals)
        sigaddset(&set, s);
    sigprocmask(block ? SIG_BLOCK : SIG_UNBLOCK, &set, nullptr);
}

} // namespace vellora::cli
