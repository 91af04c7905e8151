#include "sheet/chartPdf.h"

#include "sheet/chartPages.h"
#include "sheet/chartSymbols.h"

namespace vellora {

namespace {
std::vector<std::string> symbolsOfUsedEntries(const SheetDesign& design) {
    std::vector<std::string> symbols(design.entries.size());
    int used = 0;
    for (std::size_t i = 0; i < design.entries.size(); ++i)
        if (design.entries[i].count > 0) symbols[i] = chartSymbol(used++);
    return symbols;
}
} // namespace

std::string chartPdf(const SheetDesign& design, const DesignSettings& settings,
                     std::string& error) {
    const ChartContext chart{design, settings, symbolsOfUsedEntries(design),
                             layoutSections(design.columns, design.rows, settings.paper)};
    PdfCanvas canvas(paperSize(settings.paper), design.title);
    drawOverviewPage(canvas, chart);
    drawSectionPages(canvas, chart);
    drawLegendPages(canvas, chart);
    drawShoppingPages(canvas, chart);
    return canvas.finish(error);
}

} // namespace vellora
