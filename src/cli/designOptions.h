#pragma once
// The command line's options for the design settings the tiling step reads: how tile colours
// are matched, tile dithering, the picture's own palette and palette entries left out.
#include "core/designSettings.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vellora::cli {

struct DesignOptions {
    std::optional<ColorMatch> match; // --match
    bool tileDither = false;         // --tile-dither
    bool keepPalette = false;        // --keep-palette
    std::vector<int> excluded;       // --exclude, every list given
};

// Reads the option's value, or says why there is none; false with `error` set.
using OptionValue = std::function<bool(std::string& value)>;

bool isDesignOption(std::string_view option);

// Takes one design option, reading its value through `value` when it has one. False with the
// reason in `error` for a bad or repeated value.
bool takeDesignOption(std::string_view option, const OptionValue& value, DesignOptions& options,
                      std::string& error);

// The settings as the options change them; what no option names stays.
void applyDesignOptions(const DesignOptions& options, DesignSettings& settings);

// "--match rgb|ciede2000" and its line of help, for every design option.
std::vector<std::pair<std::string, std::string>> designOptionHelp();

} // namespace vellora::cli
