#pragma once
// Writing a whole user file so that a failure never leaves a partial or damaged target.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

namespace vellora {

enum class AtomicFileFailure { none, create, write, flush, rename };

// A user's file is flushed to disk before it replaces the old one, unless the caller leaves
// that to the system (unflushed: a batch run, whose outputs are as safe as a copy's). A scratch
// file (the
// intermediate pictures of a run, in its private folder) is not: it is still written whole
// and renamed into place, but nothing outlives the run that a crash could cost. In a folder a
// scratch store serves (core/scratchStore.h) it is kept in memory instead, and no file is made.
enum class FileDurability { flushed, unflushed, scratch };

// Writes the bytes to a new file (unique name, created exclusively) in the target's folder,
// flushes it to disk (when flushed), gives it the existing target's permissions and renames
// it over the target only when complete. On failure the target is byte-identical, the new file
// is removed, the failure kind is returned and the system's reason noted as the failure cause
// ('cannot write "path": …'), errno holding it. A symbolic link as the target stays a link: the
// file it points to is written, in that file's folder.
AtomicFileFailure writeFileAtomically(const std::filesystem::path& path,
                                      std::span<const std::uint8_t> bytes,
                                      FileDurability durability = FileDurability::flushed);

// Hands out a file's bytes piece by piece, for a file made without holding it whole: each call
// sets the next piece, an empty one ending the file; false means the bytes could not be made.
using FilePieces = std::function<bool(std::span<const std::uint8_t>& piece)>;

// As above (never a scratch copy kept in memory), the bytes taken from `pieces`; a piece that
// cannot be made fails the file as a write does.
AtomicFileFailure writeFileAtomically(const std::filesystem::path& path, const FilePieces& pieces,
                                      FileDurability durability);

class Frontend;

// Reports a failed write through the error messages: a file that could not be made or put in
// place is a create error, one that could not be written or flushed a write error.
int reportWriteFailure(Frontend& frontend, AtomicFileFailure failure);

// Fault points for tests: fail the n-th write call (1-based), the flush or the rename.
// Zero / false means no fault; unset costs one comparison per call.
struct AtomicFileFaults {
    int failWriteNumber = 0;
    bool failFlush = false;
    bool failRename = false;
    std::size_t chunkSize = 0; // bytes per write call when non-zero, so tests reach later writes
};
AtomicFileFaults& atomicFileFaults();

} // namespace vellora
