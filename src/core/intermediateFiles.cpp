#include "core/intermediateFiles.h"

#include "core/errors.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <vector>

namespace vellora {

namespace fs = std::filesystem;

namespace {
constexpr int kIntermediateCount = 1000;

bool makePrivateDirectory(Session& session) {
    if (!session.intermediateDirectory.empty()) return true;
    std::error_code error;
    fs::path base = fs::temp_directory_path(error);
    if (error || base.empty()) return false;
    std::string pattern = (base / "vellora-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) return false; // mode 0700
    session.intermediateDirectory = buffer.data();
    return true;
}

// "__VL_000.dib" … "__VL_999.dib" and nothing else.
bool isIntermediateFileName(const std::string& name) {
    if (name.size() != 12 || name.compare(0, 5, "__VL_") != 0 || name.compare(8, 4, ".dib") != 0)
        return false;
    return std::all_of(name.begin() + 5, name.begin() + 8,
                       [](char c) { return c >= '0' && c <= '9'; });
}

bool fileExists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

// Frees numbers no picture still needs; returns the lowest one freed, or -1.
int recycleUnreferenced(Session& session) {
    int lowest = -1;
    for (int n = 0; n < kIntermediateCount; ++n) {
        const fs::path file = session.intermediateDirectory / intermediateFileName(n);
        if (isReferencedPath(session, file.string())) continue;
        std::error_code error;
        fs::remove(file, error);
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
        return 1;
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
        return 1;
    }
    path = (session.intermediateDirectory / intermediateFileName(freed)).string();
    return 0;
}

void cleanIntermediateFiles(Session& session) {
    if (session.currentPath.empty()) return;
    const fs::path folder = fs::path(session.currentPath).parent_path();
    for (int n = 0; n < kIntermediateCount; ++n) {
        std::error_code error;
        if (!fs::remove(folder / intermediateFileName(n), error)) break;
    }
}

void removeIntermediateDirectory(Session& session) {
    if (session.intermediateDirectory.empty()) return;
    // Only the names of intermediate files that are there are removed, not all thousand tried.
    std::error_code error;
    std::vector<fs::path> files;
    for (fs::directory_iterator entry(session.intermediateDirectory, error), end;
         !error && entry != end; entry.increment(error))
        if (isIntermediateFileName(entry->path().filename().string()))
            files.push_back(entry->path());
    for (const fs::path& file : files)
        fs::remove(file, error);
    fs::remove(session.intermediateDirectory, error); // only when nothing else was put there
    session.intermediateDirectory.clear();
}

} // namespace vellora
