#pragma once
// Making even colour palette files in the user palette folder (color/paletteFolders.h).
// A file holds 2, 16 or 256 entries (blue, green, red, 0; unused ones zero) and then the
// 20-byte record of color/evenPalette.h: 28, 84 or 1044 bytes.
#include "core/frontend.h"
#include "core/parameterBlock.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellora {

inline constexpr std::string_view kMakeEvenPaletteFailedText =
    "failed to make an even color palette file";
inline constexpr std::string_view kEvenDivisionsText =
    "divisions ' red x green x blue = ' must be 2 ~ 256";

// "evenColorPalette_240_865.ecp": the colour count in three digits, then the red, green and
// blue divisions; "safeColorPalette_216_666.ecp" for six of each.
std::string evenPaletteFileName(int red, int green, int blue);

// The whole file for divisions whose product is at most 256.
std::vector<std::uint8_t> evenPaletteFileBytes(int red, int green, int blue);

// Writes the file into the user palette folder, replacing one of the same name. 0; 1 when the
// product exceeds 256 (nothing written); 2 after "failed to create the file" (also when a
// missing folder cannot be made); 8 after "failed to write the file".
int makeEvenPaletteFile(Frontend& frontend, int red, int green, int blue);

// The "make an even color palette file" button: a product outside 2 … 256 gives the divisions
// alert and changes nothing; otherwise the divisions go into the block at once and the file is
// made, a failure adding "failed to make an even color palette file" (empty caption).
// 0 when the file was made.
int makeEvenPaletteFromDivisions(Frontend& frontend, ParameterBlock& block, int red, int green,
                                 int blue);

} // namespace vellora
