#pragma once
// Clean-up when the run is interrupted: SIGINT, SIGTERM and SIGHUP empty and remove this run's
// private intermediate folder (everything in it is this run's: the intermediate files and any
// temporary file the picture library was writing), then end the program as the signal would.
// One watching thread takes the signals; every other thread keeps them blocked, so none can be
// ended in the middle of a write by a signal that happens to land on it.
#include <filesystem>
#include <mutex>

namespace vellora::cli {

// Blocks the clean-up signals in the calling thread and starts the watching thread, once per
// process. Called before any other thread starts, so that every later one inherits the block.
// A signal the parent set to be ignored stays ignored.
void startSignalWatcher();

// Names the folder the clean-up removes.
void armSignalCleanup(const std::filesystem::path& folder);
// Forgets the folder.
void disarmSignalCleanup();

// What the watching thread does before the run ends, callable on its own too.
void removeArmedFolder();

// While one lives (on any thread), an interruption waits: around making the folder and arming, and
// around writing an output file, which then lands whole before the signal ends the run.
class SignalHold {
  public:
    SignalHold();

  private:
    std::lock_guard<std::recursive_mutex> lock_;
};

} // namespace vellora::cli
