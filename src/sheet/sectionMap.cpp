#include "sheet/chartPages.h"

#include <algorithm>

namespace vellora {

namespace {
SectionSpan ownSpan(const SectionSpan& span, const SectionSpan& next, bool last) {
    return last ? span : SectionSpan{span.first, next.first - span.first};
}
} // namespace

SectionSpan ownColumns(const ChartContext& chart, int c) {
    const int columns = chart.design.columns;
    return ownSpan(chart.layout.columnSpan(c, columns), chart.layout.columnSpan(c + 1, columns),
                   c + 1 == chart.layout.sectionsAcross);
}

SectionSpan ownRows(const ChartContext& chart, int r) {
    const int rows = chart.design.rows;
    return ownSpan(chart.layout.rowSpan(r, rows), chart.layout.rowSpan(r + 1, rows),
                   r + 1 == chart.layout.sectionsDown);
}

void drawSectionMap(PdfCanvas& canvas, const ChartContext& chart, double x, double y, double width,
                    double height, int highlighted) {
    const double across = width / chart.design.columns, down = height / chart.design.rows;
    for (int r = 0; r < chart.layout.sectionsDown; ++r) {
        for (int c = 0; c < chart.layout.sectionsAcross; ++c) {
            const SectionSpan cs = ownColumns(chart, c), rs = ownRows(chart, r);
            const double sx = x + cs.first * across, sy = y + rs.first * down;
            const double sw = cs.count * across, sh = rs.count * down;
            const int number = r * chart.layout.sectionsAcross + c;
            if (number == highlighted) canvas.fillRect(sx, sy, sw, sh, kRuleGray);
            canvas.strokeRect(sx, sy, sw, sh, 0.25, kBlack);
            if (highlighted >= 0) continue;
            const double size = std::min({sw, sh, 8.0}) * 0.45;
            canvas.fillRect(sx + sw / 2 - size, sy + sh / 2 - size * 0.7, 2 * size, 1.4 * size,
                            kWhite);
            canvas.text(std::to_string(number + 1), sx + sw / 2, sy + sh / 2 - size * 0.6,
                        {size, true, TextAlign::centre});
        }
    }
}

} // namespace vellora
