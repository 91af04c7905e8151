#pragma once
// What to buy: per used colour the tiles the design needs, those with the spare share added,
// and the packs that holds.
#include "core/designSettings.h"
#include "sheet/sheetDesign.h"

#include <cstdint>
#include <string>

namespace vellora {

// ceil(tiles × (1 + spare / 100)), exact for a spare share given to a millionth of a percent
// (10 % of 120 is 132, not one more through rounding). A negative share counts as none.
std::int64_t tilesWithSpare(std::int64_t tiles, double sparePercent);
// ceil(tiles / packSize); a pack size below 1 counts as 1.
std::int64_t packsFor(std::int64_t tiles, int packSize);
// The entry's own pack size from the tile line, else the design's.
int packSizeOf(const SheetEntry& entry, const DesignSettings& settings);

// The CSV: header "index,name,code,red,green,blue,tiles,tiles with spare,pack size,packs",
// then one line per used entry in index order; line feeds only.
std::string shoppingListCsv(const SheetDesign& design, const DesignSettings& settings);

} // namespace vellora
