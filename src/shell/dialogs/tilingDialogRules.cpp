#include "shell/dialogs/tilingDialogRules.h"

#include "core/parameterFields.h"

#include <algorithm>
#include <cstdint>

namespace vellora {

namespace {
constexpr auto kSizingLabels = std::to_array<std::string_view>({"around count", "size, w. x h."});
} // namespace

std::span<const std::string_view> tilingMedianCutItems() {
    return fieldChoices("tilingMedianIndex");
}
std::span<const std::string_view> tilingEvenColorItems() {
    return fieldChoices("tilingEvenIndex");
}
std::span<const std::string_view> tilingSizingMethodItems() {
    return fieldChoices("tilingSizeMethod");
}
std::span<const std::string_view> tilingSlitGrayItems() {
    return fieldChoices("hSlitGrayIndex");
}

std::string_view tilingSizingLabel(std::uint32_t method) {
    return kSizingLabels[std::min<std::size_t>(method, kSizingLabels.size() - 1)];
}

TilingDialogValues tilingDialogValues(const ParameterBlock& b) {
    return {
        b.tilingConvert != 0,
        b.tilingPaletteClass,
        b.tilingMedianIndex,
        b.tilingEvenIndex,
        b.tilingSizeMethod,
        {b.tileCountWide, b.tileCountHigh, b.tilePixelWidth, b.tilePixelHeight, b.slitPixelWidth},
        b.hSlitGrayIndex,
        b.vSlitGrayIndex};
}

int tilingSizingCell(std::uint32_t method, int edit) {
    return 2 * int(std::min<std::uint32_t>(method, 1)) + edit;
}

std::int32_t tilingUpDownStep(std::int32_t value, bool up) {
    if (up) return value == INT32_MAX ? value : value + 1;
    return value < 1 ? value : value - 1;
}

bool tilingPaletteRadiosEnabled(const TilingDialogValues& values) {
    return values.convert;
}

bool tilingPaletteControlEnabled(const TilingDialogValues& values, std::uint32_t controlClass) {
    return values.convert && values.paletteClass == controlClass;
}

void storeTilingPaletteChoice(const TilingDialogValues& values, ParameterBlock& block) {
    block.tilingConvert = values.convert;
    block.tilingPaletteClass = values.paletteClass;
    block.tilingMedianIndex = values.medianIndex;
    block.tilingEvenIndex = values.evenIndex;
}

std::string_view tilingOkayProblem(const TilingDialogValues& values) {
    const auto shown = [&](int edit) {
        return values.sizing[std::size_t(tilingSizingCell(values.sizingMethod, edit))];
    };
    return shown(0) < 1 || shown(1) < 1 ? kTilingSizingMessage : std::string_view{};
}

void storeTilingLayout(const TilingDialogValues& values, ParameterBlock& block) {
    block.tileCountWide = values.sizing[0];
    block.tileCountHigh = values.sizing[1];
    block.tilePixelWidth = values.sizing[2];
    block.tilePixelHeight = values.sizing[3];
    block.slitPixelWidth = std::max(0, values.sizing[kTilingSlitCell]);
    block.tilingSizeMethod = values.sizingMethod;
    block.hSlitGrayIndex = values.hSlitGray;
    block.vSlitGrayIndex = values.vSlitGray;
}

} // namespace vellora
