#include "sheet/chartPages.h"
#include "sheet/realSize.h"

#include <cairo.h>

#include <algorithm>
#include <vector>

namespace vellora {

namespace {

constexpr std::string_view kPaperNames[] = {"A4", "Letter"};

std::string times(int a, int b) {
    return std::to_string(a) + " × " + std::to_string(b);
}

std::string sectionsLine(const SectionLayout& l) {
    if (l.sectionCount() == 1) return "One section";
    return "Sections: " + times(l.sectionsAcross, l.sectionsDown) + " = " +
           std::to_string(l.sectionCount()) + ", neighbours overlapping by " +
           std::to_string(kOverlapTiles) + " tiles";
}

std::vector<std::string> overviewLines(const ChartContext& chart) {
    const SheetDesign& d = chart.design;
    const DesignSettings& s = chart.settings;
    const FinishedSize size = finishedSize(d.columns, d.rows, s);
    const SectionLayout& l = chart.layout;
    return {
        "Finished size: " + formatDecimal(size.widthMm) + " × " + formatDecimal(size.heightMm) +
            " mm (" + formatDecimal(size.widthMm / 10) + " × " + formatDecimal(size.heightMm / 10) +
            " cm)",
        "Tiles: " + times(d.columns, d.rows) + " = " + std::to_string(d.grid.size()) +
            " tiles of " + formatDecimal(s.tileWidthMm) + " × " + formatDecimal(s.tileHeightMm) +
            " mm, grout " + formatDecimal(s.groutMm) + " mm",
        "Colours: " + std::to_string(d.usedEntries().size()),
        sectionsLine(l) + "; paper " + std::string(kPaperNames[int(s.paper)]),
    };
}

// The design as a picture of one pixel per tile, stretched to the finished proportions.
void drawDesignPicture(PdfCanvas& canvas, const SheetDesign& design, double x, double y,
                       double width, double height) {
    cairo_surface_t* picture =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, design.columns, design.rows);
    cairo_surface_flush(picture);
    unsigned char* pixels = cairo_image_surface_get_data(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    for (int r = 0; r < design.rows; ++r) {
        auto* row = reinterpret_cast<std::uint32_t*>(pixels + std::size_t(r) * std::size_t(stride));
        for (int c = 0; c < design.columns; ++c) {
            const RgbColor& rgb = design.entries[design.at(r, c)].rgb;
            row[c] = std::uint32_t(rgb[0]) << 16 | std::uint32_t(rgb[1]) << 8 | rgb[2];
        }
    }
    cairo_surface_mark_dirty(picture);
    cairo_t* cr = canvas.cr();
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, width / design.columns, height / design.rows);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(picture);
}

} // namespace

void drawOverviewPage(PdfCanvas& canvas, const ChartContext& chart) {
    const PaperSize page = canvas.page();
    double y = kPageMarginMm;
    y += canvas.text("Build sheet: " + chart.design.title, kPageMarginMm, y, {7, true});
    y += 3;
    for (const std::string& line : overviewLines(chart))
        y += canvas.text(line, kPageMarginMm, y, {3.8}) + 1;
    y += 4;
    if (chart.design.grid.empty()) return;
    const FinishedSize size = finishedSize(chart.design.columns, chart.design.rows, chart.settings);
    const double boxWidth = page.widthMm - 2 * kPageMarginMm;
    const double boxHeight = page.heightMm - kPageMarginMm - y;
    const double scale = std::min(boxWidth / size.widthMm, boxHeight / size.heightMm);
    const double width = size.widthMm * scale, height = size.heightMm * scale;
    const double x = (page.widthMm - width) / 2;
    drawDesignPicture(canvas, chart.design, x, y, width, height);
    drawSectionMap(canvas, chart, x, y, width, height, -1);
}

} // namespace vellora
