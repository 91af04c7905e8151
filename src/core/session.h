#pragma once
// Everything one run of the program keeps between and during commands. The desktop program and
// the command line each hold one; tests make as many as they like.
#include "core/atomicFile.h"
#include "core/designSettings.h"
#include "core/dibImage.h"
#include "core/frontend.h"
#include "core/imageInfo.h"
#include "core/parameterBlock.h"
#include "core/scratchStore.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace vellora {

// Paths are kept to this many characters including the terminating zero of the original
// 260-character buffers; longer ones are refused where they enter, never cut short.
inline constexpr std::size_t kMaxPathLength = 260;

struct UndoHistory {
    std::array<std::string, 100> historyPaths; // slot 0 is never used
    int historyDepth = 0;                      // slot of the most recent step, 0 … 99
    int historyWraps = 0;
    // Steps undo can still go back, 0 … 99: after a wrap the oldest slots hold newer steps.
    int heldSteps = 0;
};

struct ProgressState {
    double progressStart = 0;
    double progressEnd = 0;
    double progressNow = 0;
    int lastPosition = -1; // the position last sent to the frontend
};

struct Session {
    explicit Session(Frontend& frontend);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Frontend& frontend;
    ImageInfo currentInfo;
    ImageInfo dialogInfo;
    DibImage sourceImage;
    DibImage targetImage;
    std::string currentPath;
    std::string nextPath;
    std::string picturePath;
    std::string saveAsPath;
    UndoHistory history;
    ProgressState progress;
    ParameterBlock workingBlock;
    ParameterBlock savedBlock;
    std::array<std::uint8_t, 12> parameterFileReserved{};
    // The private folder of this run's intermediate files; made on first use.
    std::filesystem::path intermediateDirectory;
    int intermediateLock = -1; // held while the folder is in use; see core/runFolders.h
    // Off unless switched on before the folder is made: then the intermediate pictures stay in
    // memory and the folder holds only its lock.
    ScratchStore scratch;
    // How a saved picture reaches the disk: the desktop program waits until it is there; a batch
    // run leaves the writing out to the system, as a copy does.
    FileDurability saveDurability = FileDurability::flushed;
    // Design settings beyond the block, and a palette given from outside it (a tile line).
    DesignSettings design;
    DesignPalette designPalette;

    // Whether there are unsaved changes.
    bool modified() const { return history.historyDepth != 0 || history.historyWraps != 0; }
};

} // namespace vellora
