#pragma once
// The build sheet's settings as named text fields: one table read by the command line options,
// the settings file and the setup dialog alike, each field with its parser and its formatter.
#include "core/designSettings.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vellora {

struct SheetField {
    std::string_view name;     // "tile-mm": the file's key, and the option after "--"
    std::string_view argument; // "W[xH]", for help texts
    std::string_view help;
    // Stores a valid value and returns true, or returns false with what the value needs.
    bool (*parse)(std::string_view value, DesignSettings& settings, std::string& why);
    std::string (*format)(const DesignSettings& settings);
};

std::span<const SheetField> sheetFields();
const SheetField* findSheetField(std::string_view name);

} // namespace vellora
