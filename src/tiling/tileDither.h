#pragma once
// Error diffusion over the grid of tile averages: each tile takes the palette entry `mapping`
// gives for its average plus the error carried to it, and passes its own error on with the
// Floyd–Steinberg weights (7/16 to the right, 3/16, 5/16 and 1/16 to the row below), tile by
// tile from the top row as displayed, each row left to right.
#include "tiling/tileColor.h"

#include <vector>

namespace vellora {

// grid: averages in, painted bytes {index, 0, 0} out. palette: the entry colours the indices
// stand for.
void ditherTileGrid(std::vector<Bgr>& grid, int columns, const TileColorMapping& mapping,
                    const std::vector<Bgr>& palette);

} // namespace vellora
