#pragma once
// Clean-up when the run is interrupted: SIGINT, SIGTERM and SIGHUP remove this run's
// intermediate files, its private folder and a picture file half written, then end the
// program as the signal would have.
#include <filesystem>

namespace vellora::cli {

// Installs the handlers for `folder` (the session's private intermediate folder); a signal
// the caller's parent set to be ignored stays ignored.
void armSignalCleanup(const std::filesystem::path& folder);
// Restores the default handlers and forgets the folder.
void disarmSignalCleanup();

// What the handler does, callable outside a signal too: only async-signal-safe calls.
void removeArmedFiles();

// Holds the clean-up signals back (true) or lets them through again (false), so nothing can
// interrupt between making the private folder and arming the handlers for it.
void blockCleanupSignals(bool block);

} // namespace vellora::cli
