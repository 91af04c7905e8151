#pragma once
// Painting a prepared target: every tile in its mapped average colour, then the slits.
#include "core/session.h"
#include "tiling/tileBands.h"
#include "tiling/tileColor.h"
#include "tiling/tileGeometry.h"

#include <functional>
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

// The same with the slits mapped on their own, for tiles chosen by other rules than the
// palette's own lookup.
int renderTiles(Session& session, DibImage& target, const DibImage& source,
                const TileGeometry& geometry, const TileColorMapping& tileMapping,
                const TileColorMapping& slitMapping);

// Turns the average colours of every tile, in grid order (row 0 the top row as displayed, each
// row left to right), into the painted bytes of each tile, all at once.
using TileGridChoice = std::function<void(std::vector<Bgr>& grid, int columns)>;

// Paints the target like renderTiles when every tile's choice may depend on the tiles before
// it: all averages first (the progress units), then `choose`, then the painting and the slits.
int renderTileGrid(Session& session, DibImage& target, const DibImage& source,
                   const TileGeometry& geometry, const TileGridChoice& choose,
                   const TileColorMapping& slitMapping);

} // namespace vellora
