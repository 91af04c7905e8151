#include "cli/signalCleanup.h"

#include <array>
#include <csignal>
#include <pthread.h>
#include <signal.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace vellora::cli {

namespace {
constexpr auto kSignals = std::to_array<int>({SIGINT, SIGTERM, SIGHUP});
// Removal passes: the run's own clean-up may be removing entries at the same time, which makes
// a pass stop early, so the folder is gone over again while it is still there.
constexpr int kRemovalPasses = 4;

std::recursive_mutex& holdMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

// Read and written only under a SignalHold.
std::filesystem::path& armedFolder() {
    static std::filesystem::path folder;
    return folder;
}

// The clean-up signals whose disposition is not "ignore".
sigset_t watchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : kSignals) {
        struct sigaction current {};
        sigaction(s, nullptr, &current);
        if (current.sa_handler != SIG_IGN) sigaddset(&set, s);
    }
    return set;
}

[[noreturn]] void endAsTheSignalWould(int signalNumber) {
    std::signal(signalNumber, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signalNumber);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signalNumber);
    _exit(128 + signalNumber); // the default action of every watched signal ends the process
}

[[noreturn]] void watch(sigset_t set) {
    for (;;) {
        int signalNumber = 0;
        if (sigwait(&set, &signalNumber) != 0) continue;
        const SignalHold hold;
        removeArmedFolder();
        endAsTheSignalWould(signalNumber);
    }
}
} // namespace

void startSignalWatcher() {
    static std::once_flag started;
    std::call_once(started, [] {
        const sigset_t set = watchedSignals();
        if (sigisemptyset(&set)) return; // every one ignored: nothing to watch
        pthread_sigmask(SIG_BLOCK, &set, nullptr);
        try {
            std::thread(watch, set).detach();
        } catch (const std::system_error&) {
            // No thread to watch: the signals end the run at once, as they would by default.
            pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        }
    });
}

SignalHold::SignalHold() : lock_(holdMutex()) {}

void armSignalCleanup(const std::filesystem::path& folder) {
    const SignalHold hold;
    armedFolder() = folder;
}

void disarmSignalCleanup() {
    const SignalHold hold;
    armedFolder().clear();
}

void removeArmedFolder() {
    const SignalHold hold;
    const std::filesystem::path& folder = armedFolder();
    std::error_code error;
    for (int pass = 0; pass < kRemovalPasses && !folder.empty(); ++pass) {
        std::filesystem::remove_all(folder, error);
        if (!std::filesystem::exists(folder, error)) break;
    }
}

} // namespace vellora::cli
