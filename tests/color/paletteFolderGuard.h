#pragma once
// Points the palette folders at test folders for the life of a test.
#include "color/paletteFolders.h"

namespace vellora::test {

// The presets the build made beside the programs.
inline std::filesystem::path builtPresetFolder() {
    return std::filesystem::path(VELLORA_BINARY_DIR) / "bin" / "palette" / "preset";
}

class PaletteFolderGuard {
  public:
    PaletteFolderGuard(const std::filesystem::path& preset, const std::filesystem::path& user) {
        setPaletteFolderOverride(PaletteFolders{preset, user});
    }
    ~PaletteFolderGuard() { setPaletteFolderOverride(std::nullopt); }
    PaletteFolderGuard(const PaletteFolderGuard&) = delete;
    PaletteFolderGuard& operator=(const PaletteFolderGuard&) = delete;
};

} // namespace vellora::test
