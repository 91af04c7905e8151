#include "core/regularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellora {

namespace {
ReadFile fail(ReadOpen* outcome, ReadOpen why, int fd = -1) {
    if (fd >= 0) ::close(fd);
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

} // namespace vellora
