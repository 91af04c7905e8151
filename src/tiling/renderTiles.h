#pragma once
// Painting a prepared target: every tile in its mapped average colour, then the slits.
#include "core/session.h"
#include "tiling/tileBands.h"
#include "tiling/tileColor.h"
#include "tiling/tileGeometry.h"

#include <vector>

namespace vellora {

// The average colours of every tile of one band, left to right; the same values as
// averageTileColor(source, geometry, band.blockY, x0) for each tile column.
void averageBandColors(const DibImage& source, const TileGeometry& geometry, const TileBand& band,
                       std::vector<std::uint8_t>& sourceRow, std::vector<std::uint64_t>& sums,
                       std::vector<Bgr>& colors);

// Paints every tile of the target (same size as source) with its mapped average colour,
// replacing what the target held, and then, when s > 0, the slits. Progress: tileRows units,
// one per row of tiles. 0, or the reported 16 when scratch memory cannot be had.
int renderTiles(Session& session, DibImage& target, const DibImage& source,
                const TileGeometry& geometry, const TileColorMapping& mapping);

} // namespace vellora
