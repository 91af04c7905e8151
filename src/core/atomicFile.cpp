#include "core/atomicFile.h"

#include "core/errors.h"
#include "core/failureCause.h"
#include "core/scratchStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <mutex>

namespace vellora {

AtomicFileFaults& atomicFileFaults() {
    static AtomicFileFaults faults;
    return faults;
}

namespace {

// The mode a newly created file would get; an existing target keeps its own.
mode_t targetMode(const std::filesystem::path& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
    static std::once_flag once;
    static mode_t mask = 022;
    std::call_once(once, [] {
        mask = ::umask(022);
        ::umask(mask);
    });
    return 0666 & ~mask;
}

ssize_t writeOnce(int fd, const std::uint8_t* data, std::size_t size, int& calls) {
    const AtomicFileFaults& faults = atomicFileFaults();
    ++calls;
    if (faults.failWriteNumber == calls) {
        errno = ENOSPC;
        return -1;
    }
    if (faults.chunkSize != 0) size = std::min(size, faults.chunkSize);
    return ::write(fd, data, size);
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes, int& calls) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = writeOnce(fd, bytes.data() + done, bytes.size() - done, calls);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO; // a write that makes no progress would never end
        if (n <= 0) return false;
        done += std::size_t(n);
    }
    return true;
}

bool writePieces(int fd, const FilePieces& pieces) {
    int calls = 0;
    std::span<const std::uint8_t> piece;
    for (;;) {
        if (!pieces(piece)) {
            errno = EIO;
            return false;
        }
        if (piece.empty()) return true;
        if (!writeAll(fd, piece, calls)) return false;
    }
}

bool flush(int fd) {
    if (!atomicFileFaults().failFlush) return ::fsync(fd) == 0;
    errno = EIO;
    return false;
}

// A link named as the target is kept: its file is what gets replaced, beside itself. A dangling
// link names the file to create; a loop of links ends after as many hops as the system allows.
std::filesystem::path linkTarget(std::filesystem::path path) {
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code error;
        if (!std::filesystem::is_symlink(path, error)) break;
        const std::filesystem::path next = std::filesystem::read_symlink(path, error);
        if (error) break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

// ".NAME.XXXXXX" beside the target, the name cut so that the whole stays a legal file name.
std::string temporaryName(const std::filesystem::path& path) {
    const std::filesystem::path folder =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    constexpr std::size_t kAddedBytes = 8; // the leading dot and ".XXXXXX"
    std::string name = path.filename().string();
    if (name.size() + kAddedBytes > NAME_MAX) name.resize(NAME_MAX - kAddedBytes);
    return (folder / ("." + name + ".XXXXXX")).string();
}

bool renameOver(const std::string& from, const std::filesystem::path& to) {
    if (!atomicFileFaults().failRename) return std::rename(from.c_str(), to.c_str()) == 0;
    errno = EIO;
    return false;
}

} // namespace

AtomicFileFailure writeFileAtomically(const std::filesystem::path& named,
                                      std::span<const std::uint8_t> bytes,
                                      FileDurability durability) {
    if (durability == FileDurability::scratch) {
        const ScratchWrite kept = keepScratchCopy(named, bytes);
        if (kept != ScratchWrite::notServed)
            return kept == ScratchWrite::kept ? AtomicFileFailure::none : AtomicFileFailure::write;
    }
    bool given = false;
    return writeFileAtomically(
        named,
        [&](std::span<const std::uint8_t>& piece) {
            piece = given ? std::span<const std::uint8_t>{} : bytes;
            given = true;
            return true;
        },
        durability);
}

AtomicFileFailure writeFileAtomically(const std::filesystem::path& named, const FilePieces& pieces,
                                      FileDurability durability) {
    const std::filesystem::path path = linkTarget(named);
    std::string temporary = temporaryName(path);
    const int fd = ::mkstemp(temporary.data()); // O_CREAT | O_EXCL with a unique name
    if (fd < 0) {
        noteFileFailure("write", path, errno);
        return AtomicFileFailure::create;
    }
    AtomicFileFailure failure = AtomicFileFailure::none;
    int error{};
    if (!writePieces(fd, pieces) || ::fchmod(fd, targetMode(path)) != 0)
        failure = AtomicFileFailure::write;
    else if (durability == FileDurability::flushed && !flush(fd))
        failure = AtomicFileFailure::flush;
    if (failure != AtomicFileFailure::none) error = errno;
    if (::close(fd) != 0 && failure == AtomicFileFailure::none) {
        failure = AtomicFileFailure::flush;
        error = errno;
    }
    if (failure == AtomicFileFailure::none && !renameOver(temporary, path)) {
        failure = AtomicFileFailure::rename;
        error = errno;
    }
    if (failure == AtomicFileFailure::none) return failure;
    ::unlink(temporary.c_str());
    noteFileFailure("write", path, error);
    errno = error;
    return failure;
}

int reportWriteFailure(Frontend& frontend, AtomicFileFailure failure) {
    switch (failure) {
    case AtomicFileFailure::none:
        return kOk;
    case AtomicFileFailure::write:
    case AtomicFileFailure::flush:
        return reportError(frontend, kErrorWrite);
    case AtomicFileFailure::create:
    case AtomicFileFailure::rename:
        break;
    }
    return reportError(frontend, kErrorCreate);
}

} // namespace vellora
