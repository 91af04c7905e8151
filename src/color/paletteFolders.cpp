#include "color/paletteFolders.h"

#include <cstdlib>
#include <mutex>
#include <system_error>
#include <unistd.h>

namespace vellora {

namespace fs = std::filesystem;

namespace {
std::mutex overrideMutex;
std::optional<PaletteFolders> folderOverride;

bool isWritableFolder(const fs::path& folder) {
    return access(folder.c_str(), W_OK) == 0;
}

fs::path dataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return xdg;
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".local" / "share";
    return fs::temp_directory_path();
}

PaletteFolders ruleFolders() {
    const fs::path exe = executableFolder();
    std::error_code error;
    const fs::path besidePresets = exe / "palette" / "preset";
    const fs::path presets = fs::is_directory(besidePresets, error)
                                 ? besidePresets
                                 : exe / ".." / "share" / "vellora" / "palette" / "preset";
    if (isWritableFolder(exe)) return {presets, exe / "palette" / "user"};
    return {presets, dataHome() / "vellora" / "palette" / "user"};
}
} // namespace

fs::path executableFolder() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) return fs::current_path(error);
    return exe.parent_path();
}

PaletteFolders paletteFolders() {
    {
        std::lock_guard lock(overrideMutex);
        if (folderOverride) return *folderOverride;
    }
    return ruleFolders();
}

fs::path presetPaletteFolder() {
    return paletteFolders().preset;
}
fs::path userPaletteFolder() {
    return paletteFolders().user;
}

void setPaletteFolderOverride(std::optional<PaletteFolders> folders) {
    std::lock_guard lock(overrideMutex);
    folderOverride = std::move(folders);
}

} // namespace vellora
