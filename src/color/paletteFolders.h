#pragma once
// Where palette files live. Presets: "palette/preset/" beside the executable (the build tree),
// otherwise "../share/vellora/palette/preset/" relative to it (an installed program). User
// palettes: "$XDG_DATA_HOME/vellora/palette/user/" (~/.local/share when unset), never beside the
// executable; the folder is made when a palette is first written there.
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

} // namespace vellora
