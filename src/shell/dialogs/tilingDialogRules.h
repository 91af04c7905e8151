#pragma once
// The tiling dialog's rules as plain functions, so the dialog itself only shows and reads
// controls: its item lists, which controls are enabled, the sizing cells each method shows,
// the up-down steps and what "Okay" checks and stores.
#include "core/parameterBlock.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace vellora {

inline constexpr std::string_view kTilingSizingMessage =
    "tile count or size must be set plus numeral";
inline constexpr std::string_view kTilingSizingCaption = "alart";

std::span<const std::string_view> tilingMedianCutItems();    // "2" … "256"
std::span<const std::string_view> tilingEvenColorItems();    // "2 red" … "240"
std::span<const std::string_view> tilingSizingMethodItems(); // "around count", "tile size"
std::span<const std::string_view> tilingSlitGrayItems();     // "white" … "black"
// "around count" for method 0, "size, w. x h." for method 1.
std::string_view tilingSizingLabel(std::uint32_t method);

// What the dialog edits while open. `sizing` holds count across the width, count across the
// height, tile width, tile height and slit width, in that order.
struct TilingDialogValues {
    bool convert = true;
    std::uint32_t paletteClass = 1; // 0 median cut, 1 even colour, 2 user palette
    std::uint32_t medianIndex = 3;
    std::uint32_t evenIndex = 9;
    std::uint32_t sizingMethod = 1;
    std::array<std::int32_t, 5> sizing{64, 48, 9, 9, 1};
    std::uint32_t hSlitGray = 1;
    std::uint32_t vSlitGray = 1;
};

TilingDialogValues tilingDialogValues(const ParameterBlock& block);

// The array cell shown by sizing edit 0 (width direction) or 1: 2 × method + edit. The slit
// edit always shows cell 4.
int tilingSizingCell(std::uint32_t method, int edit);
inline constexpr int kTilingSlitCell = 4;

// An up-down arrow: up adds 1; down subtracts 1 unless the value is below 1.
std::int32_t tilingUpDownStep(std::int32_t value, bool up);

// The radios are enabled while conversion is on; a palette control (median-cut list, even list,
// user palette name) while conversion is on and its own class is the selected one.
bool tilingPaletteRadiosEnabled(const TilingDialogValues& values);
bool tilingPaletteControlEnabled(const TilingDialogValues& values, std::uint32_t controlClass);

// "Okay", step 1: conversion, class and both palette choices go into the block whatever follows.
void storeTilingPaletteChoice(const TilingDialogValues& values, ParameterBlock& block);
// "Okay", step 2: the message when either sizing value shown is below 1, else empty.
std::string_view tilingOkayProblem(const TilingDialogValues& values);
// "Okay", steps 3–4: the five cells (a negative slit width stored as 0), the method and grays.
void storeTilingLayout(const TilingDialogValues& values, ParameterBlock& block);

} // namespace vellora
