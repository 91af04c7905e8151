#pragma once
// The settings of the design work beyond the tiling block: how tile colours are matched and
// chosen, which palette entries are left out, and the real sizes and buying rules of the build
// sheet. They never enter the 804-byte parameter block; they are kept in a settings file of
// their own beside the parameter file. Every default leaves a tiling exactly as the block alone
// makes it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vellora {

enum class ColorMatch { Rgb, Ciede2000 };
enum class Paper { A4, Letter };

struct DesignSettings {
    // Tile colours.
    ColorMatch match = ColorMatch::Rgb; // Rgb: the tiling's own nearest-entry rule
    bool tileDither = false;            // spread each tile's colour error to the tiles after it
    bool keepPalette = false;           // an indexed picture is tiled on its own palette
    std::vector<int> excluded;          // palette indices no tile may take

    // The build sheet.
    std::string tileLinePath; // a ".tiles" file naming the colours; empty for none
    double tileWidthMm = 20;
    double tileHeightMm = 20;
    double groutMm = 2;
    double sparePercent = 10;
    int packSize = 100; // tiles per pack where the tile line names none
    Paper paper = Paper::A4;
};

// A palette handed to the tiling from outside the block (the colours of a tile line), blue,
// green, red as in a colour table. When it holds colours, the tiling maps every tile to its
// nearest entry instead of the palette the block chooses.
struct DesignPalette {
    std::vector<std::array<std::uint8_t, 3>> colors;
};

} // namespace vellora
