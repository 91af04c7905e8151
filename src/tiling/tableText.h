#pragma once
// The tiling table as the text of the table pane (fixed-pitch, padded columns). Two variants by
// the tiled picture's depth: palette with use counts, slit indices and the grid of indices for
// 1/4/8 bpp; slit colours and the list of tile colours for 24/32 bpp.
#include "core/session.h"
#include "tiling/tilingTable.h"

#include <string>
#include <string_view>
#include <vector>

namespace vellora {

// How many grid entries use each palette index (slits not counted); paletteLength() entries.
std::vector<std::int64_t> paletteUseCounts(const TilingTable& table);

void writeTableHeaderText(std::string& text, const TilingTable& table, std::string_view sourceFile);
// Progress: the palette length in units, then tileRows units.
void writeIndexTableText(Session& session, std::string& text, const TilingTable& table);
// Progress: tileRows units.
void writeColorTableText(Session& session, std::string& text, const TilingTable& table);

} // namespace vellora
