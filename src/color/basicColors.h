#pragma once
// The colours of the two basic colour palettes, from which their preset files are made.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vellora {

struct NamedColor {
    std::string_view name;
    std::uint8_t red, green, blue;
};

std::span<const NamedColor> basicColorKeywords();    // 16, "basicColorPalette_016.bcp"
std::span<const NamedColor> extendedColorKeywords(); // 147, "basicColorPalette_147ex.bcp"

// The .bcp contents: one entry blue, green, red, 0 per colour.
std::vector<std::uint8_t> basicPaletteFileBytes(std::span<const NamedColor> colors);

} // namespace vellora
