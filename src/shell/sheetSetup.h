#pragma once
// The build sheet's setup as both front ends use it: the tile line made the tiling's palette,
// and the settings file kept beside the parameter file.
#include "core/session.h"

#include <filesystem>

namespace vellora {

// The tile line the design settings name becomes the tiling's palette (its out-of-stock
// colours excluded); without one the tiling chooses its palette as the block says. 0, or 1
// after the file's message with the palette as it was.
int applyDesignTileLine(Session& session);

// "vellora.sheet" in the folder of the parameter file.
std::filesystem::path sheetSettingsPathBeside(const std::filesystem::path& parameterFile);

// Start-up: the file's settings into session.design. A damaged file leaves every sheet setting
// at its default after an "alert" naming the bad line; a missing one is no error. 0 or 1.
int loadSessionSheetSettings(Session& session, const std::filesystem::path& path);

// Every sheet setting of session.design written whole. 0, or 1 after an "alert" naming the
// file.
int saveSessionSheetSettings(Session& session, const std::filesystem::path& path);

} // namespace vellora
