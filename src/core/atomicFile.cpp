#include "core/atomicFile.h"

#include "core/errors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    int calls = 0;
    while (done < bytes.size()) {
        const ssize_t n = writeOnce(fd, bytes.data() + done, bytes.size() - done, calls);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += std::size_t(n);
    }
    return true;
}

bool flush(int fd) {
    return !atomicFileFaults().failFlush && ::fsync(fd) == 0;
}

bool renameOver(const std::string& from, const std::filesystem::path& to) {
    return !atomicFileFaults().failRename && std::rename(from.c_str(), to.c_str()) == 0;
}

} // namespace

AtomicFileFailure writeFileAtomically(const std::filesystem::path& path,
                                      std::span<const std::uint8_t> bytes,
                                      FileDurability durability) {
    const std::filesystem::path folder =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::string temporary = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data()); // O_CREAT | O_EXCL with a unique name
    if (fd < 0) return AtomicFileFailure::create;
    AtomicFileFailure failure = AtomicFileFailure::none;
    if (!writeAll(fd, bytes) || ::fchmod(fd, targetMode(path)) != 0)
        failure = AtomicFileFailure::write;
    else if (durability == FileDurability::flushed && !flush(fd))
        failure = AtomicFileFailure::flush;
    if (::close(fd) != 0 && failure == AtomicFileFailure::none) failure = AtomicFileFailure::flush;
    if (failure == AtomicFileFailure::none && !renameOver(temporary, path))
        failure = AtomicFileFailure::rename;
    if (failure != AtomicFileFailure::none) ::unlink(temporary.c_str());
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
