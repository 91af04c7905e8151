#pragma once
// The page kinds of the PDF chart; each draws on the canvas's current page and opens further
// pages itself.
#include "core/designSettings.h"
#include "sheet/pdfCanvas.h"
#include "sheet/sectionLayout.h"
#include "sheet/sheetDesign.h"

#include <string>
#include <vector>

namespace vellora {

struct ChartContext {
    const SheetDesign& design;
    const DesignSettings& settings;
    std::vector<std::string> symbols; // per entry number; empty for an unused entry
    SectionLayout layout;
};

inline const RgbColor kBlack{0, 0, 0};
inline const RgbColor kWhite{255, 255, 255};
inline const RgbColor kGroutGray{190, 190, 190};
inline const RgbColor kRuleGray{120, 120, 120};

void drawOverviewPage(PdfCanvas& canvas, const ChartContext& chart);
// Each section under its head; sections of few rows share a page.
void drawSectionPages(PdfCanvas& canvas, const ChartContext& chart);
void drawLegendPages(PdfCanvas& canvas, const ChartContext& chart);
void drawShoppingPages(PdfCanvas& canvas, const ChartContext& chart);

// A small map of the design's sections with one of them filled (-1 for none, numbers on every
// section instead), stretched over the box.
void drawSectionMap(PdfCanvas& canvas, const ChartContext& chart, double x, double y, double width,
                    double height, int highlighted);

// The tiles a section owns on the map: up to where the next one starts (the overlap goes to
// the later section).
SectionSpan ownColumns(const ChartContext& chart, int sectionColumn);
SectionSpan ownRows(const ChartContext& chart, int sectionRow);

} // namespace vellora
