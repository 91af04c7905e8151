#pragma once
// The rules of the tone dialogs (gray scale, black and white, invert, posterization, histogram
// modification) as plain functions, so the dialogs only show and read controls: their lists,
// which controls are enabled, the up-down limits, what "Okay" checks and what it stores.
#include "core/parameterBlock.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace vellora {

inline constexpr std::string_view kBlackWhiteCaption = "alart";
inline constexpr std::string_view kHistogramCaption = "alart";
inline constexpr std::string_view kPosterCaption = "alert";

// An up-down arrow on a field limited to lo … hi: the value moves by 1 and stays within the
// limits (a value typed outside them is brought to the nearer one).
std::int64_t toneStep(std::int64_t value, bool up, std::int64_t lo, std::int64_t hi);
// The same within the range the field table gives the block field `name`.
std::int64_t fieldStep(std::string_view name, std::int64_t value, bool up);

// --- gray scale --------------------------------------------------------------------------------

std::span<const std::string_view> grayLevelItems(); // "2", "4" … "256"

struct GrayDialogValues {
    bool diffusion = true;        // as the user last left the check
    std::uint32_t levelIndex = 7; // the list's selection
};

GrayDialogValues grayDialogOpening(const ParameterBlock& block);
// With 256 levels there is nothing to diffuse: the check is disabled and shows no tick.
bool grayDiffusionEnabled(const GrayDialogValues& values);
bool grayDiffusionShown(const GrayDialogValues& values);
// "Okay": the levels, and diffusion as shown (off at 256 levels). Nothing is refused.
void storeGray(const GrayDialogValues& values, ParameterBlock& block);

// --- black and white ---------------------------------------------------------------------------

struct BlackWhiteDialogValues {
    bool diffusion = false;
    bool medianCut = true;
    bool stretch = false;
    std::int64_t threshold = 128;
    std::int64_t outset = 1;
    std::int64_t endset = 255;
};

BlackWhiteDialogValues blackWhiteDialogOpening(const ParameterBlock& block);
// The threshold field and the histogram check need "threshold value" without diffusion; the
// outset and endset fields need the histogram check as well.
bool blackWhiteThresholdEnabled(const BlackWhiteDialogValues& values);
bool blackWhiteRangeEnabled(const BlackWhiteDialogValues& values);
// "Okay": the empty text when threshold, outset and endset (disabled ones too) are 0 … 255 and
// outset ≤ endset, else the message; the block is changed only when it passes.
std::string_view storeBlackWhite(const BlackWhiteDialogValues& values, ParameterBlock& block);

// --- invert ------------------------------------------------------------------------------------

std::span<const std::string_view> invertDepthItems(); // "source bpp", "24 bpp"

// --- posterization -----------------------------------------------------------------------------

enum PosterField : std::size_t { kPosterRGB, kPosterRed, kPosterGreen, kPosterBlue };

struct PosterDialogValues {
    bool common = false;
    std::array<std::int64_t, 4> levels{2, 2, 1, 1}; // in PosterField order
};

PosterDialogValues posterDialogOpening(const ParameterBlock& block);
// "level RGB" while the box is checked, the three channels while it is not.
bool posterFieldEnabled(const PosterDialogValues& values, PosterField field);
// The up-down limits: 2 … 128 for "level RGB", 1 … 128 for a channel.
std::int64_t posterStep(std::int64_t value, bool up, PosterField field);
// "Okay": the empty text when the shown levels pass, else the message; the block (all four
// levels and the flag) is changed only when they pass.
std::string_view storePoster(const PosterDialogValues& values, ParameterBlock& block);

// --- histogram modification --------------------------------------------------------------------

// Channels in the dialog's order: red, green, blue.
struct HistogramDialogValues {
    std::array<bool, 3> enabled{true, true, true};
    std::array<std::int64_t, 3> outset{0, 0, 0};
    std::array<std::int64_t, 3> endset{255, 255, 255};
};

HistogramDialogValues histogramDialogOpening(const ParameterBlock& block);
// "Okay": every channel is checked, unchecked ones too, red first, outset before endset; the
// empty text when all pass, else the message; the block is changed only when they pass.
std::string_view storeHistogram(const HistogramDialogValues& values, ParameterBlock& block);

} // namespace vellora
