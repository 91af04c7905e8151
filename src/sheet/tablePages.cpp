#include "sheet/chartPages.h"
#include "sheet/chartSymbols.h"
#include "sheet/realSize.h"
#include "sheet/shoppingList.h"

#include <cairo.h>

#include <span>

namespace vellora {

namespace {

constexpr double kRowMm = 6;
constexpr double kTextMm = 3.2;

enum class CellKind { text, number, swatch };

struct TableColumn {
    std::string_view title;
    double widthMm;
    CellKind kind;
};

struct TableRow {
    std::vector<std::string> texts; // one per column; a swatch column's text is ignored
    const SheetEntry* entry = nullptr;
    std::string symbol;
};

// A chart cell as it prints: the colour with the symbol in contrast.
void drawSwatch(PdfCanvas& canvas, const TableRow& row, double x, double y) {
    const double side = kRowMm - 1.5;
    canvas.fillRect(x, y + 0.75, side, side, row.entry->rgb);
    canvas.strokeRect(x, y + 0.75, side, side, 0.15, kRuleGray);
    cairo_t* cr = canvas.cr();
    const double ink = darkSymbolOn(row.entry->rgb) ? 0.0 : 1.0;
    cairo_set_source_rgb(cr, ink, ink, ink);
    ShapedText(cr, row.symbol, {side * (row.symbol.size() == 1 ? 0.62 : 0.45), true})
        .showCentredAt(cr, x + side / 2, y + kRowMm / 2);
}

double drawRowTexts(PdfCanvas& canvas, std::span<const TableColumn> columns, const TableRow& row,
                    double y, bool bold) {
    double x = kPageMarginMm;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const TableColumn& column = columns[i];
        if (column.kind == CellKind::swatch && row.entry)
            drawSwatch(canvas, row, x, y);
        else if (column.kind == CellKind::number)
            canvas.text(row.texts[i], x + column.widthMm - 2, y + 1.4,
                        {kTextMm, bold, TextAlign::right});
        else
            canvas.text(row.texts[i], x, y + 1.4,
                        {kTextMm, bold, TextAlign::left, column.widthMm - 2});
        x += column.widthMm;
    }
    return x - kPageMarginMm;
}

void drawRule(PdfCanvas& canvas, double y, double width, double lineMm) {
    cairo_t* cr = canvas.cr();
    cairo_move_to(cr, kPageMarginMm, y);
    cairo_rel_line_to(cr, width, 0);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, lineMm);
    cairo_stroke(cr);
}

// The rows under a title and a heading, as many pages as they need; the last row is a total,
// set in bold.
void drawTablePages(PdfCanvas& canvas, std::string_view title, std::span<const TableColumn> columns,
                    const std::vector<TableRow>& rows) {
    TableRow heading;
    for (const TableColumn& column : columns)
        heading.texts.emplace_back(column.title);
    const double pageBottom = canvas.page().heightMm - kPageMarginMm;
    std::size_t next = 0;
    for (int page = 1; next < rows.size(); ++page) {
        canvas.nextPage();
        double y = kPageMarginMm;
        const std::string pageTitle =
            std::string(title) + (page > 1 ? " (continued)" : std::string{});
        y += canvas.text(pageTitle, kPageMarginMm, y, {6, true}) + 3;
        const double width = drawRowTexts(canvas, columns, heading, y, true);
        y += kRowMm;
        drawRule(canvas, y, width, 0.3);
        for (; next < rows.size() && y + kRowMm <= pageBottom; ++next, y += kRowMm) {
            const bool total = next + 1 == rows.size();
            if (total) drawRule(canvas, y, width, 0.3);
            drawRowTexts(canvas, columns, rows[next], y, total);
        }
    }
}

std::string rgbText(const RgbColor& rgb) {
    return std::to_string(rgb[0]) + ", " + std::to_string(rgb[1]) + ", " + std::to_string(rgb[2]);
}

} // namespace

void drawLegendPages(PdfCanvas& canvas, const ChartContext& chart) {
    static constexpr TableColumn kColumns[] = {
        {"Symbol", 16, CellKind::text}, {"Cell", 14, CellKind::swatch},
        {"Name", 58, CellKind::text},   {"Code", 32, CellKind::text},
        {"RGB", 30, CellKind::text},    {"Count", 24, CellKind::number},
    };
    std::vector<TableRow> rows;
    for (const SheetEntry* entry : chart.design.usedEntries()) {
        const std::string& symbol = chart.symbols[std::size_t(entry - chart.design.entries.data())];
        rows.push_back({{symbol, "", entry->name, entry->code, rgbText(entry->rgb),
                         std::to_string(entry->count)},
                        entry,
                        symbol});
    }
    rows.push_back(
        {{"", "", "All colours", "", "", std::to_string(chart.design.grid.size())}, nullptr, ""});
    drawTablePages(canvas, "Legend", kColumns, rows);
}

void drawShoppingPages(PdfCanvas& canvas, const ChartContext& chart) {
    static constexpr TableColumn kColumns[] = {
        {"Cell", 12, CellKind::swatch},       {"Name", 50, CellKind::text},
        {"Code", 30, CellKind::text},         {"Tiles", 20, CellKind::number},
        {"With spare", 26, CellKind::number}, {"Pack", 18, CellKind::number},
        {"Packs", 18, CellKind::number},
    };
    std::vector<TableRow> rows;
    std::int64_t tiles = 0, withSpare = 0, packs = 0;
    for (const SheetEntry* entry : chart.design.usedEntries()) {
        const std::int64_t spare = tilesWithSpare(entry->count, chart.settings.sparePercent);
        const int pack = packSizeOf(*entry, chart.settings);
        const std::int64_t entryPacks = packsFor(spare, pack);
        tiles += entry->count;
        withSpare += spare;
        packs += entryPacks;
        rows.push_back({{"", entry->name, entry->code, std::to_string(entry->count),
                         std::to_string(spare), std::to_string(pack), std::to_string(entryPacks)},
                        entry,
                        chart.symbols[std::size_t(entry - chart.design.entries.data())]});
    }
    rows.push_back({{"", "Total", "", std::to_string(tiles), std::to_string(withSpare), "",
                     std::to_string(packs)},
                    nullptr,
                    ""});
    drawTablePages(canvas,
                   "Shopping list (spare " + formatDecimal(chart.settings.sparePercent) + " %)",
                   kColumns, rows);
}

} // namespace vellora
