#include "core/intermediateFiles.h"

#include "core/errors.h"
#include "core/runFolders.h"

#include <unistd.h>

#include <cstdio>
#include <system_error>

namespace vellora {

namespace fs = std::filesystem;

namespace {
constexpr int kIntermediateCount = 1000;

bool makePrivateDirectory(Session& session) {
    if (!session.intermediateDirectory.empty()) return true;
    const int lock = makeRunFolder(session.intermediateDirectory);
    if (lock < 0) return false;
    session.intermediateLock = lock;
    session.scratch.serve(session.intermediateDirectory);
    return true;
}

bool fileExists(const fs::path& path) {
    std::error_code error;
    return scratchFileExists(path) || fs::exists(path, error);
}

bool removeFile(const fs::path& path, std::error_code& error) {
    const bool held = forgetScratchFile(path);
    return fs::remove(path, error) || held;
}

// Frees numbers no picture still needs; returns the lowest one freed, or -1.
int recycleUnreferenced(Session& session) {
    int lowest = -1;
    for (int n = 0; n < kIntermediateCount; ++n) {
        const fs::path file = session.intermediateDirectory / intermediateFileName(n);
        if (isReferencedPath(session, file.string())) continue;
        std::error_code error;
        removeFile(file, error);
        if (!error && lowest < 0) lowest = n;
    }
    return lowest;
}
} // namespace

std::string intermediateFileName(int number) {
    char name[16];
    std::snprintf(name, sizeof name, "__VL_%03d.dib", number);
    return name;
}

bool isReferencedPath(const Session& session, const std::string& path) {
    if (path == session.currentPath || path == session.nextPath) return true;
    const UndoHistory& h = session.history;
    // Undo walks down from historyDepth; after a wrap it goes on from slot 99 downwards.
    const int liveTop = h.historyWraps > 0 ? 99 : h.historyDepth;
    for (int slot = 1; slot <= liveTop; ++slot)
        if (h.historyPaths[slot] == path) return true;
    return false;
}

int nextIntermediatePath(Session& session, std::string& path) {
    if (!makePrivateDirectory(session)) {
        showError(session.frontend, "failed to get the intermediate path");
        return kFailed;
    }
    for (int n = 0; n < kIntermediateCount; ++n) {
        const fs::path file = session.intermediateDirectory / intermediateFileName(n);
        if (!fileExists(file)) {
            path = file.string();
            return 0;
        }
    }
    const int freed = recycleUnreferenced(session);
    if (freed < 0) {
        showError(session.frontend, "failed to get the intermediate path");
        return kFailed;
    }
    path = (session.intermediateDirectory / intermediateFileName(freed)).string();
    return 0;
}

void cleanIntermediateFiles(Session& session) {
    if (session.currentPath.empty()) return;
    const fs::path folder = fs::path(session.currentPath).parent_path();
    for (int n = 0; n < kIntermediateCount; ++n) {
        std::error_code error;
        if (!removeFile(folder / intermediateFileName(n), error)) break;
    }
}

void removeIntermediateDirectory(Session& session) {
    session.scratch.close();
    if (session.intermediateDirectory.empty()) return;
    removeRunFolder(session.intermediateDirectory);
    session.intermediateDirectory.clear();
    ::close(session.intermediateLock); // the folder is free for sweeping only now
    session.intermediateLock = -1;
}

} // namespace vellora
