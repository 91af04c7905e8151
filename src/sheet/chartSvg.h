#pragma once
// The design at real size as SVG: the root's width and height in millimetres are the finished
// size and its viewBox is in millimetres, one rect per tile (data-index: the palette index, fill:
// its colour) laid out with the grout between tiles, over a grout-coloured path.
#include "core/designSettings.h"
#include "sheet/sheetDesign.h"

#include <string>

namespace vellora {

std::string chartSvg(const SheetDesign& design, const DesignSettings& settings);

} // namespace vellora
