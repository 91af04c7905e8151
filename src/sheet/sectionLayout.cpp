#include "sheet/sectionLayout.h"

#include <algorithm>

namespace vellora {

namespace {
int sectionsFor(int tiles, int held) {
    if (tiles <= held) return 1;
    const int step = held - kOverlapTiles;
    return 1 + (tiles - held + step - 1) / step;
}

// The fewest tiles a section must hold so that `sections` of them cover every tile: the pages
// come out alike rather than a full run and a thin last one.
int balancedHold(int tiles, int sections) {
    if (sections == 1) return tiles;
    const int covered = tiles + (sections - 1) * kOverlapTiles;
    return (covered + sections - 1) / sections;
}

SectionSpan spanOf(int section, int held, int tiles) {
    const int first = section * (held - kOverlapTiles);
    return {first, std::min(held, tiles - first)};
}
} // namespace

PaperSize paperSize(Paper paper) {
    return paper == Paper::Letter ? PaperSize{215.9, 279.4} : PaperSize{210, 297};
}

SectionSpan SectionLayout::columnSpan(int sectionColumn, int columns) const {
    return spanOf(sectionColumn, tilesAcross, columns);
}

SectionSpan SectionLayout::rowSpan(int sectionRow, int rows) const {
    return spanOf(sectionRow, tilesDown, rows);
}

SectionLayout layoutSections(int columns, int rows, Paper paper) {
    const PaperSize page = paperSize(paper);
    SectionLayout layout;
    const double gridWidth = page.widthMm - 2 * (kPageMarginMm + kNumberBandMm);
    const double gridHeight = page.heightMm - 2 * (kPageMarginMm + kNumberBandMm) - kHeadBandMm;
    layout.sectionsAcross = sectionsFor(columns, int(gridWidth / layout.cellMm));
    layout.sectionsDown = sectionsFor(rows, int(gridHeight / layout.cellMm));
    layout.tilesAcross = balancedHold(columns, layout.sectionsAcross);
    layout.tilesDown = balancedHold(rows, layout.sectionsDown);
    return layout;
}

} // namespace vellora
