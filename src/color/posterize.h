#pragma once
// Posterization: each of blue, green and red quantized to a number of levels, one count for all
// channels or one per channel. The result is indexed, with a palette of every level
// combination, when the product of the counts allows, and 24 bpp otherwise.
#include "core/session.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace vellora {

// Level counts in colour byte order: blue, green, red.
using LevelCounts = std::array<int, 3>;

struct PosterFormat {
    int depth = 0;  // 1, 4, 8 or 24
    int colors = 0; // P, the product of the counts
};

// P = 2 → 1 bpp, 3 … 16 → 4, 17 … 256 → 8, above → 24.
PosterFormat posterResultFormat(const LevelCounts& levels);

// What a channel value becomes: a level index (indexed result, at most L − 1) or a component
// (24 bpp result: q × s while q < L, 255 beyond; 16 for a single level).
std::uint8_t posterLevelIndex(int value, int levels);
std::uint8_t posterComponent(int value, int levels);

// The levels the block asks for: the common count for all three channels when `common`.
LevelCounts posterLevels(bool common, int levelRGB, int red, int green, int blue);

// What the posterization dialog and command show (caption "alert") for counts they refuse.
inline constexpr std::string_view kPosterLevelsText =
    "each level must be 1 ~ 128 and not 1 same all";

// The dialog's check: common level 2 … 128, or channels 1 … 128 with at least one above 1.
bool posterLevelsValid(bool common, int levelRGB, int red, int green, int blue);

// Makes and fills the posterized picture. 0, or the reported code.
int posterizeToImage(Session& session, const DibImage& source, DibImage& target,
                     const LevelCounts& levels);

// Current intermediate file → nextPath; 0 or 1. Counts the dialog would refuse are refused with
// its message "each level must be 1 ~ 128 and not 1 same all" (caption "alert").
int posterizeImage(Session& session, bool common, int levelRGB, int red, int green, int blue);

// The "Posterization" command with the working block's fields.
int posterizeHandler(Session& session);

} // namespace vellora
