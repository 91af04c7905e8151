#pragma once
// Where palette files live. Beside the executable (the build tree, portable copies):
// "palette/preset/" and "palette/user/" there. A program without presets beside it (an
// installed one) reads them from "../share/vellora/palette/preset/" relative to the executable;
// one whose folder is not writable keeps user palettes in "$XDG_DATA_HOME/vellora/palette/user/"
// (~/.local/share when unset).
#include <filesystem>
#include <optional>

namespace vellora {

struct PaletteFolders {
    std::filesystem::path preset;
    std::filesystem::path user;
};

// The folders in use: the override when one is set, otherwise the rule above.
PaletteFolders paletteFolders();
std::filesystem::path presetPaletteFolder();
std::filesystem::path userPaletteFolder();

// Points the lookup at fixed folders (tests, the preset generator); nullopt restores the rule.
void setPaletteFolderOverride(std::optional<PaletteFolders> folders);

// The folder of the running executable (from /proc/self/exe).
std::filesystem::path executableFolder();

} // namespace vellora
