#pragma once
// The preset palettes, read from the preset folder (color/paletteFolders.h) into a prepared
// target's colour table.
//
// Basic colour palette file (.bcp): palette entries only, 4 bytes each (blue, green, red, 0),
// at most the target's whole colour table. Even colour palette file (.ecp): the entries, then
// the 20-byte record of color/evenPalette.h; 28, 84 or 1044 bytes.
#include "color/evenPalette.h"
#include "core/dibImage.h"

#include <string_view>

namespace vellora {

// Messages of the palette files that are refused rather than trusted.
inline constexpr std::string_view kBadBasicPaletteText =
    "illegal file size as a basic color palette file";
inline constexpr std::string_view kBadEvenPaletteText =
    "illegal file structure as an even color palette file";

// The whole file into the colour table. 0; 1 after "failed to open the file" or the size
// message; 4 after "failed to read the file".
int loadBasicPalette(Frontend& frontend, DibImage& target, std::string_view fileName);

// File size − 20 bytes into the colour table and the last 20 bytes into record. The record must
// be usable for the target's colours (color/evenPalette.h). 0; 1 or 4 as above.
int loadEvenPalette(Frontend& frontend, DibImage& target, std::string_view fileName,
                    EvenPaletteRecord& record);

} // namespace vellora
