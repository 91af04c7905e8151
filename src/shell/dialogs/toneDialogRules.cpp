#include "shell/dialogs/toneDialogRules.h"

#include "core/parameterFields.h"

#include "color/blackWhite.h"
#include "color/grayScale.h"
#include "color/histogramModify.h"
#include "color/posterize.h"

#include <algorithm>
#include <limits>

namespace vellora {
namespace {

// The dialog offers the first two depths; a stored 2 (32 bpp) shows no entry.
constexpr std::size_t kInvertDepthListed = 2;
// In PosterField order.
constexpr auto kPosterFieldNames = std::to_array<std::string_view>(
    {"posterLevelRGB", "posterLevelRed", "posterLevelGreen", "posterLevelBlue"});

// Values reach the checks of the operations as int; anything outside that range fails them
// anyway, so it is brought to the nearer end rather than wrapped into a valid count.
int asInt(std::int64_t value) {
    return int(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                        std::numeric_limits<int>::max()));
}

} // namespace

std::int64_t toneStep(std::int64_t value, bool up, std::int64_t lo, std::int64_t hi) {
    return std::clamp(value + (up ? 1 : -1), lo, hi);
}

std::int64_t fieldStep(std::string_view name, std::int64_t value, bool up) {
    const ParameterField* field = findParameterField(name);
    return field ? toneStep(value, up, field->minimum, field->maximum) : value;
}

// --- gray scale --------------------------------------------------------------------------------

std::span<const std::string_view> grayLevelItems() {
    return fieldChoices("grayLevelIndex");
}

GrayDialogValues grayDialogOpening(const ParameterBlock& block) {
    return {block.grayDiffusion != 0, block.grayLevelIndex};
}

bool grayDiffusionEnabled(const GrayDialogValues& values) {
    return grayLevelCount(std::int32_t(values.levelIndex)) != 256;
}

bool grayDiffusionShown(const GrayDialogValues& values) {
    return values.diffusion && grayDiffusionEnabled(values);
}

void storeGray(const GrayDialogValues& values, ParameterBlock& block) {
    block.grayLevelIndex = values.levelIndex;
    block.grayDiffusion = grayDiffusionShown(values);
}

// --- black and white ---------------------------------------------------------------------------

BlackWhiteDialogValues blackWhiteDialogOpening(const ParameterBlock& block) {
    return {block.bwDiffusion != 0, block.bwMedianCut != 0, block.bwStretch != 0,
            block.bwThreshold,      block.bwOutset,         block.bwEndset};
}

bool blackWhiteThresholdEnabled(const BlackWhiteDialogValues& values) {
    return !values.diffusion && !values.medianCut;
}

bool blackWhiteRangeEnabled(const BlackWhiteDialogValues& values) {
    return blackWhiteThresholdEnabled(values) && values.stretch;
}

std::string_view storeBlackWhite(const BlackWhiteDialogValues& values, ParameterBlock& block) {
    const std::string_view error =
        blackWhiteValuesError(values.threshold, values.outset, values.endset);
    if (!error.empty()) return error;
    block.bwDiffusion = values.diffusion;
    block.bwMedianCut = values.medianCut;
    block.bwStretch = values.stretch;
    block.bwThreshold = std::uint32_t(values.threshold);
    block.bwOutset = std::uint32_t(values.outset);
    block.bwEndset = std::uint32_t(values.endset);
    return {};
}

// --- invert ------------------------------------------------------------------------------------

std::span<const std::string_view> invertDepthItems() {
    return fieldChoices("invertDepthIndex").first(kInvertDepthListed);
}

// --- posterization -----------------------------------------------------------------------------

PosterDialogValues posterDialogOpening(const ParameterBlock& block) {
    return {block.posterCommon != 0,
            {block.posterLevelRGB, block.posterLevelRed, block.posterLevelGreen,
             block.posterLevelBlue}};
}

bool posterFieldEnabled(const PosterDialogValues& values, PosterField field) {
    return (field == kPosterRGB) == values.common;
}

std::int64_t posterStep(std::int64_t value, bool up, PosterField field) {
    return fieldStep(kPosterFieldNames[field], value, up);
}

std::string_view storePoster(const PosterDialogValues& values, ParameterBlock& block) {
    const auto& l = values.levels;
    if (!posterLevelsValid(values.common, asInt(l[kPosterRGB]), asInt(l[kPosterRed]),
                           asInt(l[kPosterGreen]), asInt(l[kPosterBlue])))
        return kPosterLevelsText;
    block.posterCommon = values.common;
    block.posterLevelRGB = std::uint32_t(l[kPosterRGB]);
    block.posterLevelRed = std::uint32_t(l[kPosterRed]);
    block.posterLevelGreen = std::uint32_t(l[kPosterGreen]);
    block.posterLevelBlue = std::uint32_t(l[kPosterBlue]);
    return {};
}

// --- histogram modification --------------------------------------------------------------------

HistogramDialogValues histogramDialogOpening(const ParameterBlock& block) {
    HistogramDialogValues values;
    for (std::size_t c = 0; c < 3; ++c) {
        values.enabled[c] = block.histEnabled[c] != 0;
        values.outset[c] = block.histOutset[c];
        values.endset[c] = block.histEndset[c];
    }
    return values;
}

std::string_view storeHistogram(const HistogramDialogValues& values, ParameterBlock& block) {
    const std::string_view error = histogramValuesError(values.outset, values.endset);
    if (!error.empty()) return error;
    for (std::size_t c = 0; c < 3; ++c) {
        block.histEnabled[c] = values.enabled[c];
        block.histOutset[c] = std::uint32_t(values.outset[c]);
        block.histEndset[c] = std::uint32_t(values.endset[c]);
    }
    return {};
}

} // namespace vellora
