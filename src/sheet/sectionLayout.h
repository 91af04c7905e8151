#pragma once
// How a chart is cut into printed sections: cells of a fixed size on the paper, each section
// as many tiles as its page holds, neighbours sharing a small overlap of tiles.
#include "core/designSettings.h"

namespace vellora {

struct PaperSize {
    double widthMm = 0;
    double heightMm = 0;
};

PaperSize paperSize(Paper paper);

// The page's areas in millimetres: margin all round, a head band for the title and the small
// map, and a band for the numbers on each side of the grid.
inline constexpr double kPageMarginMm = 10;
inline constexpr double kHeadBandMm = 22;
inline constexpr double kNumberBandMm = 6;
inline constexpr double kCellMm = 5;
inline constexpr double kSectionGapMm = 8; // between sections sharing a page
inline constexpr int kOverlapTiles = 2;

struct SectionSpan {
    int first = 0; // first tile (0-based)
    int count = 0;
};

struct SectionLayout {
    double cellMm = kCellMm;
    int tilesAcross = 0; // the most a section holds (within what its page holds)
    int tilesDown = 0;
    int sectionsAcross = 0;
    int sectionsDown = 0;

    int sectionCount() const { return sectionsAcross * sectionsDown; }
    SectionSpan columnSpan(int sectionColumn, int columns) const;
    SectionSpan rowSpan(int sectionRow, int rows) const;
};

// As few sections as the paper allows, alike in size: each holds about the same number of
// tiles, starting every (held − overlap) tiles; the last one in a line may be a little narrower.
SectionLayout layoutSections(int columns, int rows, Paper paper);

} // namespace vellora
