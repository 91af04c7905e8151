#pragma once
// The build sheet's lines under the Express Table text: the finished size at the chosen tile
// and grout sizes, and the tile line's name and code of every entry the tiles use.
#include "core/designSettings.h"
#include "sheet/sheetDesign.h"

#include <string>

namespace vellora {

// Whether the table pane carries the lines: a tile line is set, or the tile or grout size
// differs from its default. Otherwise the table text stays exactly the table.
bool sheetSummaryShown(const DesignSettings& settings);

// The lines, starting with an empty one, in the table's "label,value" layout.
std::string sheetSummaryText(const SheetDesign& design, const DesignSettings& settings);

} // namespace vellora
