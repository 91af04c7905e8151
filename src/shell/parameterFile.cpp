#include "shell/parameterFile.h"

#include "core/parameterFields.h"

#include "core/atomicFile.h"
#include "core/failureCause.h"
#include "core/regularFile.h"
#include "core/userFolders.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <system_error>
#include <vector>

namespace vellora {

namespace fs = std::filesystem;

namespace {

constexpr const char* kParameterFileName = "vellora.par";
constexpr std::string_view kOpenFailed = "failed to open .par file";

std::uint8_t* blockBytes(ParameterBlock& block) {
    return reinterpret_cast<std::uint8_t*>(&block);
}

std::uint32_t flagAt(const ParameterBlock& block, std::size_t offset) {
    std::uint32_t value{};
    std::memcpy(&value, reinterpret_cast<const std::uint8_t*>(&block) + offset, 4);
    return value;
}

// The fixed text, then which file or folder failed and why.
void reportSaveFailure(Frontend& frontend) {
    frontend.showMessage("alert", withFailureCause(kOpenFailed));
}

void copyPath(ParameterBlock& saved, const ParameterBlock& working) {
    const std::size_t capacity = sizeof saved.userPalettePath;
    const void* end = std::memchr(working.userPalettePath, 0, capacity);
    const std::size_t length =
        end ? std::size_t(static_cast<const char*>(end) - working.userPalettePath) : capacity - 1;
    std::memcpy(saved.userPalettePath, working.userPalettePath, length);
    saved.userPalettePath[length] = '\0';
}

} // namespace

fs::path parameterFilePath() {
    return configFolder() / kParameterFileName;
}

bool loadParameterBytes(std::span<const std::uint8_t> bytes, ParameterFileReserved& reserved,
                        ParameterBlock& saved) {
    if (bytes.empty()) return false;
    const std::size_t reservedPart = std::min(bytes.size(), kParameterFileReservedBytes);
    std::memcpy(reserved.data(), bytes.data(), reservedPart);
    const std::size_t blockPart = std::min(bytes.size() - reservedPart, kParameterBlockBytes);
    std::memcpy(blockBytes(saved), bytes.data() + reservedPart, blockPart);
    repairParameterBlock(saved);
    return true;
}

bool loadParameterFile(const fs::path& path, ParameterFileReserved& reserved,
                       ParameterBlock& saved) {
    const ReadFile in = openRegularFile(path);
    if (!in) return false;
    std::vector<std::uint8_t> bytes(kParameterFileBytes);
    // Of a longer file the first 816 bytes count.
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), in.get()));
    return loadParameterBytes(bytes, reserved, saved);
}

int saveParameterFile(Frontend& frontend, const fs::path& path, const WindowRectangle& outer,
                      ParameterBlock& saved, const ParameterFileReserved& reserved) {
    saved.windowRect[0] = outer.left;
    saved.windowRect[1] = outer.top;
    saved.windowRect[2] = outer.right;
    saved.windowRect[3] = outer.bottom;
    saved.windowWidth = std::uint32_t(outer.right - outer.left);
    saved.windowHeight = std::uint32_t(outer.bottom - outer.top);

    std::vector<std::uint8_t> bytes(reserved.begin(), reserved.end());
    bytes.insert(bytes.end(), blockBytes(saved), blockBytes(saved) + kParameterBlockBytes);

    std::error_code error;
    if (path.has_parent_path() && !makeUserFolder(path.parent_path(), error)) {
        noteFileFailure("write", path.parent_path(), error.value());
        reportSaveFailure(frontend);
        return -1;
    }
    // Written beside the file and renamed over it, so a failed write never leaves a damaged one.
    if (writeFileAtomically(path, bytes) != AtomicFileFailure::none) {
        reportSaveFailure(frontend);
        return -1;
    }
    return 0;
}

// The fields of every flagged group, as the field table groups them; the crop rectangle belongs
// to no group and is never kept.
void mergeSavedDefaults(ParameterBlock& saved, ParameterBlock& working) {
    for (int g = 1; g < kSaveGroupCount; ++g) {
        const std::size_t flagOffset = saveFlagOffset(SaveGroup(g));
        if (flagAt(working, flagOffset) == 0) continue;
        for (const ParameterField& field : parameterFields()) {
            if (field.group != SaveGroup(g)) continue;
            if (field.kind == FieldKind::Path) {
                copyPath(saved, working);
                continue;
            }
            std::memcpy(blockBytes(saved) + field.offset, blockBytes(working) + field.offset,
                        4 * std::size_t(field.count));
        }
        std::memset(blockBytes(working) + flagOffset, 0, 4);
    }
}

bool loadStartupParameters(Session& session, const fs::path& path,
                           const std::function<void(ParameterBlock&)>& windowDefaults) {
    // Start from the defaults so that a short file keeps them for what it lacks.
    session.savedBlock = defaultParameterBlock();
    session.parameterFileReserved.fill(0);
    const bool read = loadParameterFile(path, session.parameterFileReserved, session.savedBlock);
    if (!read) session.savedBlock = defaultParameterBlock();
    if (windowDefaults) windowDefaults(session.savedBlock);
    session.workingBlock = session.savedBlock;
    return read;
}

int saveSessionParameters(Session& session, const fs::path& path, const WindowRectangle& outer) {
    return saveParameterFile(session.frontend, path, outer, session.savedBlock,
                             session.parameterFileReserved);
}

} // namespace vellora
