#include "sheet/chartSvg.h"

#include "sheet/realSize.h"

#include <cstdio>

namespace vellora {

namespace {

constexpr std::string_view kGroutFill = "#cccccc";

std::string hexFill(const std::array<std::uint8_t, 3>& rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb[0], rgb[1], rgb[2]);
    return text;
}

std::string escapedText(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped.push_back(c);
        }
    }
    return escaped;
}

// Every start along one side, formatted once.
std::vector<std::string> startTexts(int tiles, double tileMm, double groutMm) {
    std::vector<std::string> texts;
    for (int n = 0; n < tiles; ++n)
        texts.push_back(formatDecimal(tileStartMm(n, tileMm, groutMm)));
    return texts;
}

} // namespace

std::string chartSvg(const SheetDesign& design, const DesignSettings& settings) {
    const FinishedSize size = finishedSize(design.columns, design.rows, settings);
    const std::string width = formatDecimal(size.widthMm), height = formatDecimal(size.heightMm);
    std::vector<std::string> fills;
    for (const SheetEntry& entry : design.entries)
        fills.push_back("\" data-index=\"" + std::to_string(entry.index) + "\" fill=\"" +
                        hexFill(entry.rgb) + "\"/>\n");
    const std::vector<std::string> xs =
        startTexts(design.columns, settings.tileWidthMm, settings.groutMm);
    const std::vector<std::string> ys =
        startTexts(design.rows, settings.tileHeightMm, settings.groutMm);
    const std::string tileSize = "\" width=\"" + formatDecimal(settings.tileWidthMm) +
                                 "\" height=\"" + formatDecimal(settings.tileHeightMm);

    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      width + "mm\" height=\"" + height + "mm\" viewBox=\"0 0 " + width + " " +
                      height + "\">\n<title>" + escapedText(design.title) +
                      "</title>\n<path d=\"M0 0H" + width + "V" + height + "H0Z\" fill=\"" +
                      std::string(kGroutFill) + "\"/>\n";
    svg.reserve(svg.size() + design.grid.size() * 80);
    for (int r = 0; r < design.rows; ++r)
        for (int c = 0; c < design.columns; ++c)
            svg.append("<rect x=\"")
                .append(xs[std::size_t(c)])
                .append("\" y=\"")
                .append(ys[std::size_t(r)])
                .append(tileSize)
                .append(fills[design.at(r, c)]);
    svg += "</svg>\n";
    return svg;
}

} // namespace vellora
