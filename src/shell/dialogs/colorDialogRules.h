#pragma once
// The "color image" dialog's rules as plain functions, so the dialog itself only shows and
// reads controls: the lists of the four classes that have one, which controls are enabled,
// what the diffusion check shows, and what "Okay" stores.
#include "core/parameterBlock.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellora {

// The list of class 0 ("2" … "256"), 1 ("16 basic", "147 extended"), 2 ("2 red" … "240") or
// 3 ("24 bpp", "32 bpp"), in choice order, as the conversion targets name them; empty for
// any other class.
std::vector<std::string_view> colorChoiceItems(int classNumber);

// What the dialog edits while open.
struct ColorDialogValues {
    bool diffusion = true;        // as the user last left the check
    std::uint32_t colorClass = 0; // 0 decrease, 1 standard, 2 even color, 3 true color, 4 user
    std::array<std::uint32_t, 4> choices{7, 1, 9, 0}; // the lists of classes 0 … 3
};

ColorDialogValues colorDialogValues(const ParameterBlock& block);

// Error diffusion does not apply to a plain change of pixel format: under "true color" the
// check and its note are disabled and the check shows no tick.
bool colorDiffusionEnabled(const ColorDialogValues& values);
bool colorDiffusionShown(const ColorDialogValues& values);
// The list of class 0 … 3, or the user palette name (class 4), is enabled for its class only.
bool colorClassControlEnabled(const ColorDialogValues& values, std::uint32_t controlClass);

// "Okay": class, the four choices, the path and the diffusion flag (0 under "true color").
void storeColorChoice(const ColorDialogValues& values, std::string_view userPath,
                      ParameterBlock& block);

// The user palette path of the block (zero-terminated within its 260 characters), and its
// replacement: a path that does not fit with its terminating zero is cut to 259 characters.
std::string userPalettePathOf(const ParameterBlock& block);
void storeUserPalettePath(std::string_view path, ParameterBlock& block);

} // namespace vellora
