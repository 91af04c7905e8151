#pragma once
// The rows of tiles in the order the engine visits them: the bottom row (when bottomRemainder
// is above 0) from stored row 0, then each further row from bottomRemainder + s upwards in
// steps of th + s. The grid row counts down from tileRows − 1 as the band climbs, because grid
// row 0 is the top row as displayed.
#include "tiling/tileGeometry.h"

#include <vector>

namespace vellora {

struct TileBand {
    int blockY;     // lowest stored row of the averaged block (full tile height)
    int paintBegin; // stored rows painted: paintBegin … paintEnd − 1
    int paintEnd;
    int gridRow;
};

std::vector<TileBand> tileBands(const TileGeometry& geometry, int height);

// Stored rows y0 … y0 + s − 1 of every horizontal slit, clipped; in visiting order.
struct SlitSpan {
    int begin;
    int end;
};
std::vector<SlitSpan> horizontalSlits(const TileGeometry& geometry, int height);
// Columns of every vertical slit, clipped.
std::vector<SlitSpan> verticalSlits(const TileGeometry& geometry, int width);

// The left column of tile column c.
inline int tileColumnX(const TileGeometry& geometry, int column) {
    return column * geometry.columnPitch();
}

} // namespace vellora
