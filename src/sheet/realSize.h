#pragma once
// The mosaic at real size: tiles side by side with grout between them, none around the edge.
#include "core/designSettings.h"

#include <string>

namespace vellora {

struct FinishedSize {
    double widthMm = 0;
    double heightMm = 0;
};

// columns × tile + (columns − 1) × grout wide, likewise high; 0 for no tiles.
FinishedSize finishedSize(int columns, int rows, const DesignSettings& settings);

// Where tile `n` (0-based) starts along one side: n × (tile + grout).
inline double tileStartMm(int n, double tileMm, double groutMm) {
    return n * (tileMm + groutMm);
}

// A length or share for a file or a page: at most three decimals, no trailing zeros ("20",
// "2.5").
std::string formatDecimal(double value);

} // namespace vellora
