#pragma once
// Editing a tiled picture by hand: which tile lies under a point of the picture, its palette
// index, and painting one tile in another entry as a step of its own (undone like any other).
// The tiling table is read from the picture, so its counts follow every edit.
#include "core/session.h"
#include "tiling/tileGeometry.h"

#include <cstdint>
#include <optional>

namespace vellora {

struct TileCell {
    int row;    // 0 is the top row as displayed
    int column; // 0 is the left column
    bool operator==(const TileCell&) const = default;
};

// The tile under column x and row `top` counted from the top of the picture as displayed; none
// on a slit or outside the picture.
std::optional<TileCell> tileAtPoint(const TileGeometry& geometry, int width, int height, int x,
                                    int top);

// The palette index the tile is painted with (its first painted pixel), or −1 when the picture
// is not indexed or the cell lies outside the grid.
int tileIndex(const DibImage& tiled, const TileGeometry& geometry, TileCell cell);

// Paints the whole tile of the current picture with palette entry `index` into a fresh
// intermediate file and makes it current as one undo step. The geometry is that of the
// working block and the current picture. 0; 1 after a message (picture not indexed, index
// beyond its palette, cell outside the grid, or the file step's own), nothing changed.
int paintTile(Session& session, TileCell cell, int index);

} // namespace vellora
