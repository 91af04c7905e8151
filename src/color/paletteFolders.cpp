#include "color/paletteFolders.h"

#include "core/userFolders.h"

#include <mutex>
#include <system_error>

namespace vellora {

namespace fs = std::filesystem;

namespace {
std::mutex overrideMutex;
std::optional<PaletteFolders> folderOverride;

PaletteFolders ruleFolders() {
    const fs::path exe = executableFolder();
    std::error_code error;
    const fs::path besidePresets = exe / "palette" / "preset";
    const fs::path presets = fs::is_directory(besidePresets, error)
                                 ? besidePresets
                                 : exe / ".." / "share" / "vellora" / "palette" / "preset";
    return {presets, dataFolder() / "palette" / "user"};
}
} // namespace

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
