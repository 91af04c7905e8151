#include "core/userFolders.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellora {

namespace fs = std::filesystem;

namespace {
constexpr const char* kProgramFolder = "vellora";

fs::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* account = getpwuid(getuid()); account && account->pw_dir)
        return account->pw_dir;
    return "/";
}

fs::path xdgFolder(const char* variable, const fs::path& fallbackBelowHome) {
    // Relative values are invalid by the convention and are ignored.
    if (const char* value = std::getenv(variable); value && *value == '/') return value;
    return homeFolder() / fallbackBelowHome;
}
} // namespace

fs::path executableFolder() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) return fs::current_path(error);
    return exe.parent_path();
}

fs::path configFolder() {
    return xdgFolder("XDG_CONFIG_HOME", ".config") / kProgramFolder;
}

fs::path dataFolder() {
    return xdgFolder("XDG_DATA_HOME", fs::path(".local") / "share") / kProgramFolder;
}

bool makeUserFolder(const fs::path& folder, std::error_code& error) {
    error.clear();
    if (fs::is_directory(folder, error)) return true;
    const fs::path above = folder.parent_path();
    if (!above.empty() && above != folder && !makeUserFolder(above, error)) return false;
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error.assign(errno, std::generic_category());
        return false;
    }
    if (fs::is_directory(folder, error)) return true;
    // Something that is not a folder already holds the name.
    if (!error) error = std::make_error_code(std::errc::not_a_directory);
    return false;
}

} // namespace vellora
