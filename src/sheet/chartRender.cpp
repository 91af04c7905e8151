#include "sheet/chartRender.h"
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

std::string renderChartPdf(const SheetDesign& design, const DesignSettings& settings,
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

// The module's one entry, looked up by name when the module is loaded.
extern "C" [[gnu::visibility("default")]] void
vellora_render_chart_pdf(const vellora::SheetDesign* design,
                         const vellora::DesignSettings* settings, std::string* document,
                         std::string* error) {
    *document = vellora::renderChartPdf(*design, *settings, *error);
}
