#pragma once
// The printable chart as PDF: an overview page (the whole design, its finished size, tile and
// colour counts, where the sections lie), one page per section with a cell and a symbol per
// tile, numbers every 10 tiles on all four sides and the overlap marked, then the legend and
// the shopping list.
#include "core/designSettings.h"
#include "sheet/sheetDesign.h"

#include <string>

namespace vellora {

// The document's bytes, or empty with `error` set (also when the chart module cannot be
// loaded: it lies beside the program or in ../lib/vellora/).
std::string chartPdf(const SheetDesign& design, const DesignSettings& settings, std::string& error);

} // namespace vellora
