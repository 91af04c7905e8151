#include "sheet/chartPages.h"
#include "sheet/chartSymbols.h"

#include <cairo.h>

#include <algorithm>
#include <map>

namespace vellora {

namespace {

constexpr int kNumberEvery = 10;
constexpr double kTenLineMm = 0.3;
constexpr double kOverlapLineMm = 0.5;
const RgbColor kOverlapRed{200, 0, 0};

struct GridFrame {
    double x = 0; // top-left corner of the section's first tile
    double y = 0;
    double cell = 0;
    SectionSpan columns;
    SectionSpan rows;
};

double symbolSize(const std::string& symbol, double cell) {
    return cell * (symbol.size() == 1 ? 0.62 : symbol.size() == 2 ? 0.45 : 0.32);
}

// The grout between cells at the design's tile-to-grout proportion, kept visible and thin.
double groutInset(const ChartContext& chart, double cell) {
    const DesignSettings& s = chart.settings;
    const double tile = std::max(s.tileWidthMm, s.tileHeightMm);
    const double share = s.groutMm / (tile + s.groutMm);
    return std::clamp(cell * share / 2, 0.1, 0.5);
}

// Cells grouped by entry number, so each colour is set once per page.
std::map<std::uint32_t, std::vector<std::pair<int, int>>> cellsByEntry(const ChartContext& chart,
                                                                       const GridFrame& f) {
    std::map<std::uint32_t, std::vector<std::pair<int, int>>> cells;
    for (int r = 0; r < f.rows.count; ++r)
        for (int c = 0; c < f.columns.count; ++c)
            cells[chart.design.at(f.rows.first + r, f.columns.first + c)].emplace_back(r, c);
    return cells;
}

void drawCells(PdfCanvas& canvas, const ChartContext& chart, const GridFrame& f) {
    cairo_t* cr = canvas.cr();
    canvas.fillRect(f.x, f.y, f.columns.count * f.cell, f.rows.count * f.cell, kGroutGray);
    const double inset = groutInset(chart, f.cell), side = f.cell - 2 * inset;
    for (const auto& [number, cells] : cellsByEntry(chart, f)) {
        const SheetEntry& entry = chart.design.entries[number];
        for (const auto& [r, c] : cells)
            cairo_rectangle(cr, f.x + c * f.cell + inset, f.y + r * f.cell + inset, side, side);
        canvas.setColor(entry.rgb);
        cairo_fill(cr);
        const std::string& symbol = chart.symbols[number];
        const ShapedText shaped(cr, symbol, {symbolSize(symbol, f.cell), true});
        const double ink = darkSymbolOn(entry.rgb) ? 0.0 : 1.0;
        cairo_set_source_rgb(cr, ink, ink, ink);
        for (const auto& [r, c] : cells)
            shaped.showCentredAt(cr, f.x + (c + 0.5) * f.cell, f.y + (r + 0.5) * f.cell);
    }
}

// Bold lines after every tenth tile and round the section.
void drawTenLines(PdfCanvas& canvas, const GridFrame& f) {
    cairo_t* cr = canvas.cr();
    const double width = f.columns.count * f.cell, height = f.rows.count * f.cell;
    for (int c = 1; c < f.columns.count; ++c)
        if ((f.columns.first + c) % kNumberEvery == 0) {
            cairo_move_to(cr, f.x + c * f.cell, f.y);
            cairo_rel_line_to(cr, 0, height);
        }
    for (int r = 1; r < f.rows.count; ++r)
        if ((f.rows.first + r) % kNumberEvery == 0) {
            cairo_move_to(cr, f.x, f.y + r * f.cell);
            cairo_rel_line_to(cr, width, 0);
        }
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, kTenLineMm);
    cairo_stroke(cr);
    canvas.strokeRect(f.x, f.y, width, height, kTenLineMm, kBlack);
}

// Dashed lines where the previous section ends and the next one begins.
void drawOverlapLines(PdfCanvas& canvas, const ChartContext& chart, const GridFrame& f,
                      int sectionRow, int sectionColumn) {
    cairo_t* cr = canvas.cr();
    const double width = f.columns.count * f.cell, height = f.rows.count * f.cell;
    const SectionLayout& l = chart.layout;
    const auto line = [&](bool vertical, int tilesIn) {
        if (vertical) {
            cairo_move_to(cr, f.x + tilesIn * f.cell, f.y);
            cairo_rel_line_to(cr, 0, height);
        } else {
            cairo_move_to(cr, f.x, f.y + tilesIn * f.cell);
            cairo_rel_line_to(cr, width, 0);
        }
    };
    if (sectionColumn > 0) line(true, kOverlapTiles);
    if (sectionColumn + 1 < l.sectionsAcross) line(true, f.columns.count - kOverlapTiles);
    if (sectionRow > 0) line(false, kOverlapTiles);
    if (sectionRow + 1 < l.sectionsDown) line(false, f.rows.count - kOverlapTiles);
    const double dash[] = {1.2, 0.8};
    cairo_save(cr);
    cairo_set_dash(cr, dash, 2, 0);
    canvas.setColor(kOverlapRed);
    cairo_set_line_width(cr, kOverlapLineMm);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// Tile numbers from 1: every tenth, and the section's first unless a tenth is close by.
std::vector<int> numberedTiles(const SectionSpan& span) {
    std::vector<int> tiles;
    const int first = span.first + 1;
    const int nextTenth = (first + kNumberEvery - 1) / kNumberEvery * kNumberEvery;
    if (nextTenth - first >= 3) tiles.push_back(first);
    for (int n = nextTenth; n <= span.first + span.count; n += kNumberEvery)
        tiles.push_back(n);
    return tiles;
}

void drawNumbers(PdfCanvas& canvas, const GridFrame& f) {
    const double size = 2.6, gap = 1.2;
    const double bottom = f.y + f.rows.count * f.cell, right = f.x + f.columns.count * f.cell;
    for (const int n : numberedTiles(f.columns)) {
        const double x = f.x + (n - f.columns.first - 0.5) * f.cell;
        canvas.text(std::to_string(n), x, f.y - gap - size * 1.2, {size, false, TextAlign::centre});
        canvas.text(std::to_string(n), x, bottom + gap, {size, false, TextAlign::centre});
    }
    for (const int n : numberedTiles(f.rows)) {
        const double y = f.y + (n - f.rows.first - 0.5) * f.cell - size * 0.6;
        canvas.text(std::to_string(n), f.x - gap, y, {size, false, TextAlign::right});
        canvas.text(std::to_string(n), right + gap, y, {size, false, TextAlign::left});
    }
}

void drawHead(PdfCanvas& canvas, const ChartContext& chart, const GridFrame& f, int number,
              double top) {
    const double x = kPageMarginMm;
    double y = top;
    const std::string columns = std::to_string(f.columns.first + 1) + "–" +
                                std::to_string(f.columns.first + f.columns.count);
    const std::string rows =
        std::to_string(f.rows.first + 1) + "–" + std::to_string(f.rows.first + f.rows.count);
    y += canvas.text("Section " + std::to_string(number + 1) + " of " +
                         std::to_string(chart.layout.sectionCount()),
                     x, y, {5, true});
    y += canvas.text("columns " + columns + ", rows " + rows + " of " +
                         std::to_string(chart.design.columns) + " × " +
                         std::to_string(chart.design.rows) + ", counted from the top left",
                     x, y + 0.5, {3.2});
    const std::string overlap =
        chart.layout.sectionCount() > 1
            ? "Dashed red: the overlap, repeated on the neighbouring section. "
            : "";
    canvas.text(overlap + "Bold lines every " + std::to_string(kNumberEvery) + " tiles.", x,
                y + 1.5, {2.6});
    const double mapHeight = kHeadBandMm - 6;
    const double mapWidth = std::min(50.0, mapHeight * chart.design.columns / chart.design.rows);
    drawSectionMap(canvas, chart, canvas.page().widthMm - kPageMarginMm - mapWidth, top, mapWidth,
                   mapHeight, number);
}

} // namespace

double sectionHeight(const ChartContext& chart, int sectionRow) {
    const int rows = chart.layout.rowSpan(sectionRow, chart.design.rows).count;
    return kHeadBandMm + 2 * kNumberBandMm + rows * chart.layout.cellMm;
}

void drawSection(PdfCanvas& canvas, const ChartContext& chart, int sectionRow, int sectionColumn,
                 double top) {
    const SectionLayout& l = chart.layout;
    GridFrame f;
    f.cell = l.cellMm;
    f.x = kPageMarginMm + kNumberBandMm;
    f.y = top + kHeadBandMm + kNumberBandMm;
    f.columns = l.columnSpan(sectionColumn, chart.design.columns);
    f.rows = l.rowSpan(sectionRow, chart.design.rows);
    drawHead(canvas, chart, f, sectionRow * l.sectionsAcross + sectionColumn, top);
    drawCells(canvas, chart, f);
    drawTenLines(canvas, f);
    drawOverlapLines(canvas, chart, f, sectionRow, sectionColumn);
    drawNumbers(canvas, f);
}

void drawSectionPages(PdfCanvas& canvas, const ChartContext& chart) {
    const double pageBottom = canvas.page().heightMm - kPageMarginMm;
    double top = pageBottom; // the first section opens a page
    for (int r = 0; r < chart.layout.sectionsDown; ++r) {
        const double height = sectionHeight(chart, r);
        for (int c = 0; c < chart.layout.sectionsAcross; ++c) {
            if (top + height > pageBottom) {
                canvas.nextPage();
                top = kPageMarginMm;
            }
            drawSection(canvas, chart, r, c, top);
            top += height + kSectionGapMm;
        }
    }
}

} // namespace vellora
