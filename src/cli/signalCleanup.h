#pragma once
// Clean-up when the run is interrupted: SIGINT, SIGTERM and SIGHUP empty and remove this run's
// private intermediate folder (everything in it is this run's: the intermediate files and any
// temporary file the picture library was writing), then end the program as the signal would.
#include <filesystem>

namespace vellora::cli {

// Installs the handlers for `folder`; a signal the parent set to be ignored stays ignored.
void armSignalCleanup(const std::filesystem::path& folder);
// Restores the default handlers and forgets the folder.
void disarmSignalCleanup();

// What the handler does, callable outside a signal too: only async-signal-safe calls.
void removeArmedFolder();

// Holds the clean-up signals back (true) or lets them through again (false): around making the
// folder and arming, and around writing an output file, which then lands whole before the
// signal ends the run.
void blockCleanupSignals(bool block);

} // namespace vellora::cli
