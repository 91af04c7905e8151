#include "core/runFolders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

namespace vellora {

namespace fs = std::filesystem;

namespace {
constexpr const char* kNewLockName = "__VL_run.lock.new";
constexpr std::string_view kFolderPrefix = "vellora-";
constexpr std::size_t kUniqueChars = 6; // what mkdtemp puts in place of XXXXXX

bool isUniquePart(std::string_view text) {
    return text.size() == kUniqueChars &&
           std::all_of(text.begin(), text.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

bool isRunFolderName(const std::string& name) {
    return name.compare(0, kFolderPrefix.size(), kFolderPrefix) == 0 &&
           isUniquePart(std::string_view(name).substr(kFolderPrefix.size()));
}

// "__VL_000.dib" … "__VL_999.dib".
bool isIntermediateName(const std::string& name) {
    if (name.size() != 12 || name.compare(0, 5, "__VL_") != 0 || name.compare(8, 4, ".dib") != 0)
        return false;
    return std::all_of(name.begin() + 5, name.begin() + 8,
                       [](char c) { return c >= '0' && c <= '9'; });
}

// The lock is taken before the lock file has its name, so a folder never shows a lock file
// that a sweeping run could take while its own run is starting.
int lockFolder(const fs::path& folder) {
    const fs::path fresh = folder / kNewLockName;
    const int fd = ::open(fresh.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        ::rename(fresh.c_str(), (folder / kRunLockName).c_str()) != 0) {
        ::close(fd);
        ::unlink(fresh.c_str());
        return -1;
    }
    return fd;
}

// A folder of this user, not a link, whose lock file exists and whose lock is free.
bool isAbandoned(const fs::path& folder) {
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::geteuid())
        return false;
    const int fd =
        ::open((folder / kRunLockName).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}
} // namespace

fs::path systemTemporaryFolder() {
    fs::path folder = "/tmp";
    for (const char* name : {"TMPDIR", "TMP", "TEMP", "TEMPDIR"})
        if (const char* value = ::secure_getenv(name); value && *value) {
            folder = value;
            break;
        }
    std::error_code error;
    return fs::is_directory(folder, error) ? folder : fs::path();
}

int makeRunFolder(fs::path& folder) {
    const fs::path base = systemTemporaryFolder();
    if (base.empty()) return -1;
    std::string pattern = (base / (std::string(kFolderPrefix) + "XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) return -1; // mode 0700
    const int fd = lockFolder(pattern);
    if (fd < 0) {
        ::rmdir(pattern.c_str());
        return -1;
    }
    folder = pattern;
    return fd;
}

bool isRunFileName(const std::string& name) {
    if (name == kRunLockName || name == kNewLockName) return true;
    if (isIntermediateName(name)) return true;
    // A write cut short leaves its temporary file: ".__VL_000.dib.XXXXXX".
    constexpr std::size_t kTemporaryLength = 1 + 12 + 1 + kUniqueChars;
    return name.size() == kTemporaryLength && name[0] == '.' && name[13] == '.' &&
           isIntermediateName(name.substr(1, 12)) && isUniquePart(name.substr(14));
}

void removeRunFolder(const fs::path& folder) {
    std::error_code error;
    std::vector<fs::path> files;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error))
        if (const std::string name = entry->path().filename().string();
            name != kRunLockName && isRunFileName(name))
            files.push_back(entry->path());
    for (const fs::path& file : files)
        fs::remove(file, error);
    // The lock goes last, so a sweep cut short leaves the folder for the next one to finish.
    fs::remove(folder / kRunLockName, error);
    fs::remove(folder, error); // only when nothing else was put there
}

void sweepAbandonedRunFolders() {
    const fs::path base = systemTemporaryFolder();
    if (base.empty()) return;
    std::error_code error;
    std::vector<fs::path> abandoned;
    for (fs::directory_iterator entry(base, error), end; !error && entry != end;
         entry.increment(error))
        if (isRunFolderName(entry->path().filename().string()) && isAbandoned(entry->path()))
            abandoned.push_back(entry->path());
    for (const fs::path& folder : abandoned)
        removeRunFolder(folder);
}

} // namespace vellora
