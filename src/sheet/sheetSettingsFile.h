#pragma once
// The build sheet's settings kept between runs in a text file of their own, beside the
// parameter file and never in its block: one "name=value" line per field of the sheet field
// table, lines starting with '#' are comments, unknown names are skipped.
#include "core/designSettings.h"

#include <filesystem>
#include <string>

namespace vellora {

inline constexpr std::string_view kSheetSettingsFileName = "vellora.sheet";

// Reads the file's fields into `settings` (fields it does not name keep their values). False
// with a message naming the line, and `settings` as it was, for a bad file; a missing file is
// no error and changes nothing.
bool readSheetSettings(const std::filesystem::path& path, DesignSettings& settings,
                       std::string& error);

// Every field, written whole or not at all. False when the file could not be written.
bool writeSheetSettings(const std::filesystem::path& path, const DesignSettings& settings);

} // namespace vellora
