#include "sheet/chartPdf.h"
#include "sheet/chartSvg.h"
#include "sheet/chartSymbols.h"
#include "sheet/realSize.h"
#include "sheet/sectionLayout.h"
#include "sheet/shoppingList.h"
#include "sheetTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <ranges>
#include <regex>
#include <sstream>

namespace vellora {
namespace {

// 50 × 60 tiles of 7 colours in uneven counts; entry 5 unused.
TilingTable sampleTable() {
    return test::indexedTable(
        50, 60, {0x000000, 0xffffff, 0xff0000, 0x00ff00, 0x0000ff, 0x808080, 0xffff00},
        [](int c, int r) { return (c * c + 3 * r) % 7 == 5 ? 6 : (c * c + 3 * r) % 7; });
}

// The root at the finished size (50 × 12.5 + 49 × 1.5 wide, 60 × 20 + 59 × 1.5 high) with the
// title escaped, over the grout; then a rect per tile in its entry's colour, in reading order.
TEST(ChartSvg, HasOneRectPerTileWithTheTableCountsAtTheFinishedSize) {
    const TilingTable table = sampleTable();
    DesignSettings settings;
    settings.tileWidthMm = 12.5, settings.groutMm = 1.5;
    SheetDesign design = makeSheetDesign(table, nullptr);
    design.title = "<a & \"b\">";
    const std::string svg = chartSvg(design, settings);
    EXPECT_TRUE(svg.starts_with(
        R"(<?xml version="1.0" encoding="UTF-8"?>)"
        "\n"
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="698.5mm" height="1288.5mm" )"
        R"(viewBox="0 0 698.5 1288.5">)"
        "\n<title>&lt;a &amp; &quot;b&quot;&gt;</title>\n"
        R"(<path d="M0 0H698.5V1288.5H0Z" fill="#cccccc"/>)"
        "\n<rect "))
        << svg.substr(0, 400);
    EXPECT_TRUE(svg.ends_with("/>\n</svg>\n"));
    const std::regex rect(R"re(<rect x="([\d.]+)" y="([\d.]+)" width="12.5" height="20" )re"
                          R"re(data-index="(\d)" fill="(#\w+)"/>\n)re");
    std::vector<std::int64_t> counts(256); // of every tile, each in its entry's colour
    std::map<int, std::string> fills;
    int n = 0;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), rect); it != std::sregex_iterator();
         ++it, ++n) {
        ASSERT_EQ((*it)[1], formatDecimal(n % 50 * 14)) << n;
        ASSERT_EQ((*it)[2], formatDecimal(n / 50 * 21.5)) << n;
        ++counts[std::size_t(std::stoi((*it)[3]))];
        fills[std::stoi((*it)[3])] = (*it)[4];
    }
    EXPECT_EQ(counts, test::tableCounts(table));
    const std::map<int, std::string> colours{{0, "#000000"}, {1, "#ffffff"}, {2, "#ff0000"},
                                             {3, "#00ff00"}, {4, "#0000ff"}, {6, "#ffff00"}};
    EXPECT_EQ(fills, colours);
}

bool haveTool(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string runTool(const std::string& command, const std::filesystem::path& output) {
    EXPECT_EQ(std::system((command + " > '" + output.string() + "'").c_str()), 0) << command;
    return test::readText(output);
}

TEST(ChartPdf, HasOverviewSectionsAndLegendWithEveryCountAndNumbersEveryTenTiles) {
    if (!haveTool("pdftotext") || !haveTool("pdfinfo")) GTEST_SKIP() << "poppler-utils missing";
    TileLine line; // each entry i named "Colour <A + i>", code "C<i>", in the table's colour
    const TilingTable table = sampleTable();
    for (int i = 0; i < 7; ++i) {
        const std::uint8_t* bgr = table.header.paletteEntry(i);
        line.colors.push_back({std::string("Colour ") + char('A' + i),
                               "C" + std::to_string(i),
                               {bgr[2], bgr[1], bgr[0]}});
    }
    SheetDesign design = makeSheetDesign(sampleTable(), &line);
    design.title = "sample.bmp";
    std::string error;
    const std::string pdf = chartPdf(design, DesignSettings{}, error);
    ASSERT_FALSE(pdf.empty()) << error;
    test::TempDir dir;
    std::ofstream(dir / "chart.pdf", std::ios::binary) << pdf;
    const std::string quoted = "'" + (dir / "chart.pdf").string() + "'";

    // A4 holds 35 × 48 cells: sections alike, columns 1–26 and 25–50 by rows 1–31 and 30–60.
    const std::string info = runTool("pdfinfo " + quoted, dir / "info.txt");
    EXPECT_TRUE(std::regex_search(info, std::regex(R"(Pages:\s+7\n)"))) << info;
    EXPECT_NE(info.find("595.276 x 841.89 pts (A4)"), std::string::npos) << info;
    const auto page = [&](int n) {
        const std::string at = std::to_string(n);
        return runTool("pdftotext -layout -f " + at + " -l " + at + " " + quoted + " -",
                       dir / "page.txt");
    };
    const std::string overview = page(1);
    EXPECT_NE(overview.find("Finished size: 1098 × 1318 mm (109.8 × 131.8 cm)"), std::string::npos)
        << overview;
    EXPECT_NE(overview.find("Colours: 6"), std::string::npos);
    // The map numbers the sections in reading order where they lie.
    EXPECT_TRUE(std::regex_search(overview, std::regex(R"(\n +1 +2\n\s*\n +3 +4\n)")));
    EXPECT_LT(overview.find("Build sheet: sample.bmp"),
              overview.find("Finished size")); // title first
    // The column numbers: the first line of numbers alone; the row numbers: lines that start and
    // end with the same number (symbols here are letters).
    const auto columnNumbers = [](const std::string& text) {
        std::smatch line;
        std::regex_search(text, line, std::regex(R"((^|\n)[ ]*(\d+[ ]+)*\d+[ ]*\n)"));
        std::vector<int> numbers;
        std::istringstream in(line.str());
        for (int n; in >> n;)
            numbers.push_back(n);
        return numbers;
    };
    const auto rowNumbers = [](const std::string& text) {
        std::vector<int> numbers;
        const std::regex row(R"(\n[ ]*(\d+)[ ]+[A-F][A-F ]*[ ](\d+)[ ]*(?=\n))");
        for (auto it = std::sregex_iterator(text.begin(), text.end(), row);
             it != std::sregex_iterator(); ++it)
            if ((*it)[1] == (*it)[2]) numbers.push_back(std::stoi((*it)[1]));
        return numbers;
    };
    const std::string first = page(2), second = page(3);
    EXPECT_NE(first.find("Section 1 of 4"), std::string::npos);
    EXPECT_NE(second.find("columns 25–50, rows 1–31"), std::string::npos) << second;
    EXPECT_EQ(columnNumbers(first), (std::vector<int>{1, 10, 20})) << first;
    EXPECT_EQ(columnNumbers(second), (std::vector<int>{25, 30, 40, 50})) << second;
    EXPECT_EQ(rowNumbers(first), (std::vector<int>{1, 10, 20, 30})) << first;
    EXPECT_EQ(rowNumbers(page(4)), (std::vector<int>{30, 40, 50, 60})); // the second down
    // Each used entry's row: its symbol (in the legend as text and in its cell), name, code and
    // count; its cell and name in the shopping list.
    const std::string legend = page(6), shopping = page(7);
    int used = 0;
    for (const SheetEntry* entry : design.usedEntries()) {
        const std::string symbol = chartSymbol(used++);
        const std::regex row(R"(\n\s*)" + symbol + R"(\s+)" + symbol + R"(\s+)" + entry->name +
                             R"(\s+)" + entry->code + R"(\s+.*\b)" + std::to_string(entry->count) +
                             R"(\s*\n)");
        EXPECT_TRUE(std::regex_search(legend, row)) << entry->name << "\n" << legend;
        EXPECT_TRUE(std::regex_search(shopping, std::regex("\n\\s*" + symbol + " +" + entry->name)))
            << entry->name << "\n"
            << shopping;
    }
    EXPECT_TRUE(std::regex_search(legend, std::regex(R"(Colour E\s+C4\s+0, 0, 255\s)")))
        << legend;                                          // its RGB
    EXPECT_EQ(legend.find("Colour F"), std::string::npos);  // entry 5 is never used
    EXPECT_EQ(legend.find("continued"), std::string::npos); // the legend's first page
    // The shopping list's total row counts every tile, and sums the rows' spares and packs.
    std::int64_t spare = 0, packs = 0;
    for (const SheetEntry* entry : design.usedEntries())
        spare += tilesWithSpare(entry->count, 10),
            packs += packsFor(tilesWithSpare(entry->count, 10), 100);
    EXPECT_TRUE(
        std::regex_search(shopping, std::regex(R"(\n\s*Total\s+3000\s+)" + std::to_string(spare) +
                                               R"(\s+)" + std::to_string(packs) + R"(\s)")))
        << shopping;
}

// 51 columns on A4: sections of 27 from tiles 0 and 25 (two shared), the last a tile narrower.
TEST(ChartSections, TheLastSectionHoldsOnlyTheTilesLeft) {
    const SectionSpan last = layoutSections(51, 10, Paper::A4).columnSpan(1, 51);
    EXPECT_EQ(std::pair(last.first, last.count), std::pair(25, 26));
}

// Hand-counted: one character for the first 52 colours, then two, then three (52 + 52 × 52 on).
TEST(ChartSymbols, CountOnInCharactersThatDoNotLookAlikeAndInkFollowsTheGrayLevel) {
    const std::pair<int, const char*> symbols[] = {{0, "A"},    {22, "Z"},     {23, "2"},
                                                   {51, "@"},   {52, "AA"},    {53, "AB"},
                                                   {104, "BA"}, {2756, "AAA"}, {2808, "ABA"}};
    for (const auto& [n, symbol] : symbols)
        EXPECT_EQ(chartSymbol(n), symbol) << n;
    // Gray (77 R + 151 G + 28 B) / 256 from 128 up takes a dark symbol.
    const std::pair<std::array<std::uint8_t, 3>, bool> inks[] = {
        {{128, 128, 128}, true}, {{127, 127, 127}, false}, {{0, 255, 0}, true},
        {{255, 0, 0}, false},    {{0, 0, 255}, false},     {{255, 255, 255}, true},
        {{255, 85, 2}, false}}; // 32526 / 256: just short of 128
    for (const auto& [rgb, dark] : inks)
        EXPECT_EQ(darkSymbolOn(rgb), dark) << int(rgb[0]) << "," << int(rgb[1]);
}

// A page of the chart as pixels (pdftoppm's P6).
struct Raster {
    int width = 0, height = 0;
    std::vector<std::array<int, 3>> pixels;
    const std::array<int, 3>& at(int x, int y) const { return pixels[std::size_t(y * width + x)]; }
    bool dark(int x, int y) const {
        return std::ranges::all_of(at(x, y), [](int v) { return v < 80; });
    }
    bool red(int x, int y) const {
        return at(x, y)[0] > 150 && at(x, y)[1] < 80 && at(x, y)[2] < 80;
    }
};

Raster renderPage(const std::filesystem::path& pdf, int page, int dpi) {
    const std::string n = std::to_string(page),
                      command = "pdftoppm -r " + std::to_string(dpi) + " -f " + n + " -l ";
    std::istringstream in(
        runTool(command + n + " '" + pdf.string() + "'", pdf.parent_path() / "page.ppm"));
    Raster r;
    std::string magic;
    int maximum = 0;
    in >> magic >> r.width >> r.height >> maximum;
    in.get();
    EXPECT_EQ(magic, "P6");
    r.pixels.resize(std::size_t(r.width) * std::size_t(r.height));
    for (auto& p : r.pixels)
        p = {in.get(), in.get(), in.get()};
    EXPECT_TRUE(in.good());
    return r;
}

// Centres of runs of adjacent columns (or rows) holding (nearly) the longest dark, or red, lines.
std::vector<double> longLines(const Raster& r, bool columns,
                              bool (Raster::*ink)(int, int) const = &Raster::dark) {
    std::vector<int> counts(std::size_t(columns ? r.width : r.height));
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            counts[std::size_t(columns ? x : y)] += (r.*ink)(x, y);
    const int longest = *std::ranges::max_element(counts);
    std::vector<double> centres;
    for (int i = 0, from = -1; i <= int(counts.size()); ++i) {
        const bool in = i < int(counts.size()) && counts[std::size_t(i)] >= longest * 9 / 10;
        if (in && from < 0) from = i;
        if (!in && from >= 0) centres.push_back((from + i - 1) / 2.0), from = -1;
    }
    return centres;
}

// 200 colours overrun a page of legend and shopping list: rows go on under "(continued)" to the
// last entry, "Cy" (52 + 2 × 52 + 43), above the 287 mm bottom margin, clear of the 290 mm footer.
TEST(ChartPdf, LongTablesGoOnOverPages) {
    if (!haveTool("pdftoppm") || !haveTool("pdftotext")) GTEST_SKIP() << "poppler-utils missing";
    std::vector<std::uint32_t> palette(200);
    std::ranges::generate(palette, [i = 0u]() mutable { return 0x010203 * i++; });
    std::string error;
    const std::string pdf = chartPdf(
        makeSheetDesign(
            test::indexedTable(20, 10, palette, [](int c, int r) { return r * 20 + c; }), nullptr),
        {}, error);
    test::TempDir dir;
    std::ofstream(dir / "chart.pdf", std::ios::binary) << pdf;
    const std::string text =
        runTool("pdftotext -layout '" + (dir / "chart.pdf").string() + "' -", dir / "all.txt");
    const std::size_t continued = text.find("(continued)"); // on two pages at least
    EXPECT_NE(text.find("(continued)", continued + 1), std::string::npos);
    const std::regex lastRow(R"(\n\s*Cy\s)"); // in the legend and in the shopping list
    EXPECT_EQ(std::distance(std::sregex_iterator(text.begin(), text.end(), lastRow),
                            std::sregex_iterator()),
              2);
    const Raster legend = renderPage(dir / "chart.pdf", 3, 100);
    for (int y = int(287.3 / 25.4 * 100); y < int(289.8 / 25.4 * 100); ++y)
        for (int x = 0; x < legend.width; ++x)
            ASSERT_FALSE(legend.dark(x, y)) << x << ", " << y;
}

// One colour, 56 × 60 tiles in 2 × 2 sections (columns 1–29, 28–56; rows 1–31, 30–60): overview
// borders at 0, 29, 60 tiles down. Section 1: bold lines after tiles 10, 20 (and 30 down), red
// dashed overlaps 2 tiles before its right, bottom edges, no green; the last: 2 in, bold after 30.
TEST(ChartPdf, PagesAsPixels) {
    if (!haveTool("pdftoppm") || !haveTool("pdftotext")) GTEST_SKIP() << "poppler-utils missing";
    constexpr std::array<int, 3> kBlue{0x20, 0x40, 0xC0};
    std::string error;
    const std::string pdf =
        chartPdf(makeSheetDesign(test::indexedTable(56, 60, {0x2040C0}, [](int, int) { return 0; }),
                                 nullptr),
                 {}, error);
    test::TempDir dir;
    std::ofstream(dir / "chart.pdf", std::ios::binary) << pdf;
    const std::string text = "pdftotext -f 1 -l 1 '" + (dir / "chart.pdf").string() + "' -";
    EXPECT_NE(runTool(text, dir / "page.txt").find("Sections: 2 × 2 = 4"), std::string::npos);
    const Raster overview = renderPage(dir / "chart.pdf", 1, 100);
    EXPECT_GT(std::ranges::count(overview.pixels, kBlue), 100000);
    const std::vector<double> borders = longLines(overview, false);
    ASSERT_EQ(borders.size(), 3u);
    EXPECT_NEAR((borders[1] - borders[0]) / (borders[2] - borders[0]), 29 / 60.0, 0.005);
    // The sections' outlines lie over the design: the first starts at its left edge.
    int designLeft = overview.width;
    for (std::size_t i = 0; i < overview.pixels.size(); ++i)
        if (overview.pixels[i] == kBlue) designLeft = std::min(designLeft, int(i) % overview.width);
    EXPECT_NEAR(longLines(overview, true).front(), designLeft, 3);
    // A section's long dark lines (edges, every tenth tile) or red ones, in tiles from its edge.
    const auto expectLinesAt = [](const std::vector<double>& lines, std::vector<int> tiles,
                                  const std::vector<double>& edges) {
        ASSERT_EQ(lines.size(), tiles.size() - 2);
        for (std::size_t i = 1; i + 1 < tiles.size(); ++i)
            EXPECT_NEAR((lines[i - 1] - edges[0]) / (edges.back() - edges[0]),
                        double(tiles[i]) / tiles.back(), 0.005)
                << tiles[i];
    };
    const auto expectPage = [&](const Raster& page, std::vector<int> across, std::vector<int> down,
                                int redAcross, int redDown) {
        const std::vector<double> columns = longLines(page, true), rows = longLines(page, false);
        expectLinesAt({columns.begin() + 1, columns.end() - 1}, across, columns);
        expectLinesAt({rows.begin() + 1, rows.end() - 1}, down, rows);
        expectLinesAt(longLines(page, true, &Raster::red), {0, redAcross, across.back()}, columns);
        expectLinesAt(longLines(page, false, &Raster::red), {0, redDown, down.back()}, rows);
        return std::pair(columns, rows);
    };
    const Raster section = renderPage(dir / "chart.pdf", 2, 200);
    EXPECT_GT(std::ranges::count(section.pixels, kBlue), 500000); // the cells
    EXPECT_GT(std::ranges::count(section.pixels, std::array<int, 3>{200, 0, 0}), 0);
    const auto [columns, rows] = expectPage(section, {0, 10, 20, 29}, {0, 10, 20, 30, 31}, 27, 29);
    expectPage(renderPage(dir / "chart.pdf", 5, 100), {0, 3, 13, 23, 29}, {0, 1, 11, 21, 31}, 2, 2);
    // Single-letter symbols (white on this colour) are set at 0.62 of the cell: a capital stands
    // over 0.37 of it (0.43 here; set at 0.45 of the cell it would stand 0.31).
    const double cell = (columns[3] - columns[0]) / 29;
    int top = section.height, bottom = 0;
    for (int y = int(rows[0]) + 3; y < int(rows[0] + cell); ++y)
        for (int x = int(columns[0]) + 3; x < int(columns[3]) - 3; ++x)
            if (std::ranges::all_of(section.at(x, y), [](int v) { return v > 230; }))
                top = std::min(top, y), bottom = std::max(bottom, y);
    EXPECT_GT(bottom - top + 1, 0.37 * cell);
    // Above the symbols, the grout between cells takes the design's share: 2 mm of every 22.
    const double inCells = double(
        std::ranges::count_if(std::views::iota(int(columns[0]), int(columns[3])), [&](int x) {
            return section.at(x, int(rows[0] + 0.15 * cell)) == kBlue;
        }));
    EXPECT_NEAR(inCells / (columns[3] - columns[0]), 20 / 22.0, 0.02);
    int green = 0, lowest = 0;
    for (int y = 0; y < section.height; ++y)
        for (int x = 0; x < section.width; ++x) {
            const auto [r, g, b] = section.at(x, y);
            green += g > 150 && r < 100 && b < 100;
            if (section.dark(x, y)) lowest = y;
        }
    EXPECT_EQ(green, 0);
    // The footer is the last text, and it lies in the bottom margin (below 287 mm).
    int footerTop = lowest;
    while (std::ranges::any_of(std::views::iota(0, section.width),
                               [&](int x) { return section.dark(x, footerTop - 1); }))
        --footerTop;
    EXPECT_GT(footerTop, 287 * 200 / 25.4);
    // Legend and shopping list fill 174 mm: rules under headings run level, 10 mm margin to 184 mm.
    for (int n : {6, 7}) {
        const Raster table = renderPage(dir / "chart.pdf", n, 100);
        const int y = int(longLines(table, false).front());
        std::vector<int> xs;
        for (int x = 0; x < table.width; ++x)
            if (table.dark(x, y)) xs.push_back(x);
        ASSERT_FALSE(xs.empty());
        EXPECT_NEAR(xs.front() * 25.4 / 100, 10, 0.5) << n;
        EXPECT_NEAR(xs.back() * 25.4 / 100, 184, 0.5) << n;
        EXPECT_GT(double(xs.size()), (xs.back() - xs.front()) * 0.98) << n;
        // The title and the headings above the rule start at the margin too.
        int left = table.width;
        for (int x = 0; x < table.width; ++x)
            for (int above = 0; above < y - 3; ++above)
                if (table.dark(x, above)) left = std::min(left, x);
        EXPECT_NEAR(left * 25.4 / 100, 10, 0.5) << n;
    }
}

} // namespace
} // namespace vellora
