#pragma once
// The hidden menu's rules ("save quality and even color palette"): the save depth and quality
// used by picture export, and the divisions of the even colour palette the user can make.
// Controls show list positions; these functions turn block values into positions and back.
#include "core/frontend.h"
#include "core/parameterBlock.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace vellora {

std::span<const std::string_view> hiddenMenuDepthItems();    // "source color depth", "24 bpp"
std::span<const std::string_view> hiddenMenuQualityItems();  // "100", "95" … "0"
std::span<const std::string_view> hiddenMenuDivisionItems(); // "9", "8" … "1"

// The list position showing a stored value, or -1 when no entry shows it.
int hiddenMenuQualityIndex(std::uint32_t quality);    // quality = 100 − 5 × position
int hiddenMenuDivisionIndex(std::uint32_t divisions); // divisions = 9 − position

// The selected positions of the dialog's lists; -1 where a list has no selection (a stored
// value no entry shows).
struct HiddenMenuChoice {
    int depthIndex = 0;
    int qualityIndex = 0;
    std::array<int, 3> divisionIndex{1, 3, 4}; // red, green, blue
};

HiddenMenuChoice hiddenMenuChoice(const ParameterBlock& block);

// The red, green and blue divisions selected; a list without a selection keeps the block's.
std::array<int, 3> hiddenMenuDivisions(const HiddenMenuChoice& choice, const ParameterBlock& block);

// "make an even color palette file" with the selected divisions (the divisions alert, the
// divisions stored at once, the file made; see color/evenPaletteFile.h). 0 when made.
int makeHiddenMenuPalette(Frontend& frontend, const HiddenMenuChoice& choice,
                          ParameterBlock& block);

// "Okay": the depth choice, and 24 as the save bits per pixel when it is "24 bpp" (left alone
// for "source color depth"); the quality and the three divisions. A list without a selection
// leaves its field as it was, so no value outside the lists is ever stored.
void storeHiddenMenuChoice(const HiddenMenuChoice& choice, ParameterBlock& block);

} // namespace vellora
