#include "core/regularFile.h"

#include "core/failureCause.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vellora {

namespace {
ReadFile fail(ReadOpen* outcome, ReadOpen why, int fd = -1) {
    const int error = errno; // the failed call's reason, kept through the close
    if (fd >= 0) ::close(fd);
    errno = error;
    if (outcome) *outcome = why;
    return nullptr;
}
} // namespace

ReadFile openRegularFile(const std::filesystem::path& path, ReadOpen* outcome) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer before fstat could refuse it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(outcome, ReadOpen::failed);
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return fail(outcome, ReadOpen::notRegular, fd);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return fail(outcome, ReadOpen::failed, fd);
    ReadFile file(::fdopen(fd, "rb"));
    if (!file) return fail(outcome, ReadOpen::failed, fd);
    if (outcome) *outcome = ReadOpen::ok;
    return file;
}

std::string openFailureText(ReadOpen outcome) {
    if (outcome == ReadOpen::notRegular) return std::string(kNotRegularFileText);
    return std::strerror(errno);
}

std::string shortReadText(std::FILE* file) {
    return std::ferror(file) ? std::strerror(errno) : "the file ended early";
}

long fileLength(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long length = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0) return -1;
    return length;
}

void noteOpenFailure(const std::filesystem::path& path, ReadOpen outcome) {
    noteFailureCause("cannot read \"" + path.string() + "\": " + openFailureText(outcome));
}

void noteShortRead(const std::filesystem::path& path, std::FILE* file) {
    noteFailureCause("cannot read \"" + path.string() + "\": " + shortReadText(file));
}

} // namespace vellora
