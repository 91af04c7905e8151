#pragma once
// A tile's colour: the average of the source under it, then what is painted for it.
#include "core/dibImage.h"
#include "tiling/tileGeometry.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace vellora {

using Bgr = std::array<std::uint8_t, 3>; // blue, green, red

// The average colour of the tile block whose lowest stored row is y0 and left column x0: the
// block always has the full tile size, clipped to the picture (so the bottom row of tiles
// averages stored rows 0 … th − 1 however high it is painted). Channel sums are 64-bit
// floating point, each average sum / count truncated; an empty block gives (0, 0, 0).
Bgr averageTileColor(const DibImage& source, const TileGeometry& geometry, int y0, int x0);

// How a colour becomes what is painted: a palette index for an indexed target, the colour
// itself for a true-colour one.
struct TileColorMapping {
    // Empty for a true-colour target.
    std::function<std::uint8_t(const Bgr& color)> paletteIndex;
    // Optional: maps a whole row of tiles at once, indices[i] = paletteIndex(colors[i]), for a
    // mapping that works faster on many colours together.
    std::function<void(const Bgr* colors, std::size_t count, std::uint8_t* indices)> rowIndices =
        {};

    bool indexed() const { return static_cast<bool>(paletteIndex); }
    // 1 for a palette index, 3 for colour bytes.
    int paintBytes() const { return indexed() ? 1 : 3; }
};

// The painted bytes of a colour: the index in byte 0, or the three colour bytes.
Bgr mapTileColor(const TileColorMapping& mapping, const Bgr& color);

} // namespace vellora
