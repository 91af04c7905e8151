#include "sheet/chartPdf.h"
#include "sheet/chartSvg.h"
#include "sheet/chartSymbols.h"
#include "sheet/realSize.h"
#include "sheet/sectionLayout.h"
#include "sheet/shoppingList.h"
#include "sheetTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>

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
        "\n<rect "));
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

// A tool's output for one page of the chart.
std::string pageBy(const std::string& tool, const std::filesystem::path& pdf, int page) {
    const std::string n = std::to_string(page);
    return runTool(tool + " -f " + n + " -l " + n + " '" + pdf.string() + "' -",
                   pdf.parent_path() / "page.out");
}

// The numbers in a text, from points to millimetres unless scaled otherwise.
std::vector<double> numbersIn(const std::string& text, double scale = 25.4 / 72) {
    static const std::regex number(R"(-?[\d.]+)");
    std::vector<double> numbers;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), number);
         it != std::sregex_iterator(); ++it)
        numbers.push_back(std::stod(it->str()) * scale);
    return numbers;
}

// A page's words with their boxes in millimetres.
struct Word {
    std::string text;
    double left, top, right, bottom;
};
std::vector<Word> pageWords(const std::filesystem::path& pdf, int page) {
    const std::string html = pageBy("pdftotext -bbox", pdf, page);
    const std::regex word(R"re(<word ([^>]*)>([^<]*)<)re");
    std::vector<Word> words;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word);
         it != std::sregex_iterator(); ++it) {
        const std::vector<double> box = numbersIn((*it)[1]);
        words.push_back({(*it)[2], box[0], box[1], box[2], box[3]});
    }
    return words;
}

// A page's paths in drawing order: "[width r,g,b][ fill r,g,b][ dash on,off]", then points (mm).
using Path = std::pair<std::string, std::vector<double>>;
std::vector<Path> paths(const std::filesystem::path& pdf, int page) {
    const std::string svg = pageBy("pdftocairo -svg -noshrink -nocenter", pdf, page);
    const std::string start = "<path style=\"";
    std::vector<Path> paths;
    for (std::size_t at = svg.find(start); at != std::string::npos; at = svg.find(start, at + 1)) {
        const std::size_t end = svg.find('"', at + start.size()), d = svg.find("d=\"", end) + 3;
        const std::string style = svg.substr(at + start.size(), end - at - start.size());
        const auto part = [&](const std::string& name, double scale) {
            std::smatch value;
            if (!std::regex_search(style, value,
                                   std::regex("(^|;)" + name + R"(:[rgb(]*([\d.,%]+))")))
                return std::string();
            std::string text = " ";
            for (const double v : numbersIn(value[2], scale))
                text += formatDecimal(std::round(v * 100) / 100) + ",";
            return text.substr(0, text.size() - 1);
        };
        const std::string fill = part("fill", 2.55), dash = part("stroke-dasharray", 25.4 / 72);
        const std::string width = part("stroke-width", 25.4 / 72);
        if (!width.empty() || !fill.empty())
            paths.emplace_back((width + part("stroke", 2.55) +
                                (fill.empty() ? "" : " fill" + fill) +
                                (dash.empty() ? "" : " dash" + dash))
                                   .substr(1),
                               numbersIn(svg.substr(d, svg.find('"', d) - d)));
    }
    return paths;
}

void expectPath(const Path& stroke, const std::string& style, const std::vector<double>& mm) {
    EXPECT_EQ(stroke.first, style);
    ASSERT_EQ(stroke.second.size(), mm.size()) << style;
    for (std::size_t i = 0; i < mm.size(); ++i)
        EXPECT_NEAR(stroke.second[i], mm[i], 0.01) << style << " at " << i;
}

// The points of a rectangle's path, and of lines' paths.
std::vector<double> box(double x, double y, double width, double height) {
    return {x, y, x + width, y, x + width, y + height, x, y + height, x, y};
}

TEST(ChartPdf, HasOverviewSectionsAndLegendWithEveryCountAndNumbersEveryTenTiles) {
    if (!haveTool("pdftotext")) GTEST_SKIP() << "poppler-utils missing";
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
    const auto page = [&](int n) { return pageBy("pdftotext -layout", dir / "chart.pdf", n); };
    const std::string overview = page(1);
    const std::size_t size = overview.find("Finished size: 1098 × 1318 mm (109.8 × 131.8 cm)");
    const std::size_t colours = overview.find("Colours: 6", size); // the lines run down the page
    EXPECT_NE(overview.find("Sections: 2 × 2 = 4", colours), std::string::npos);
    EXPECT_NE(page(3).find("columns 25–50, rows 1–31"), std::string::npos);
    EXPECT_NE(page(3).find(" · page 3"), std::string::npos); // the footer counts the pages
    EXPECT_NE(page(3).find("Section 2 of "), std::string::npos);
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
            << entry->name;
    }
    EXPECT_TRUE(std::regex_search(legend, std::regex(R"(Colour E\s+C4\s+0, 0, 255\s)"))); // RGB
    EXPECT_EQ(legend.find("Colour F"), std::string::npos);  // entry 5 is never used
    EXPECT_EQ(legend.find("continued"), std::string::npos); // the legend's first page
    // The shopping list's total row counts every tile, and sums the rows' spares and packs.
    std::int64_t spare = 0, packs = 0;
    for (const SheetEntry* entry : design.usedEntries())
        spare += tilesWithSpare(entry->count, 10),
            packs += packsFor(tilesWithSpare(entry->count, 10), 100);
    EXPECT_TRUE(
        std::regex_search(shopping, std::regex(R"(\n\s*Total\s+3000\s+)" + std::to_string(spare) +
                                               R"(\s+)" + std::to_string(packs) + R"(\s)")));
}

// A4 holds 35 × 48 cells, Letter 36 × 45; more take as few sections as cover them, 2 shared,
// alike: 36 columns in 2 of 19 (19 + 19 − 2), 69 in 3 of 25 (75 − 4 ≥ 69); the last holds the rest.
TEST(ChartSections, AsFewAsThePaperAllowsAlikeAndTheLastHoldsOnlyTheTilesLeft) {
    // Columns, rows, paper; sections across, down; tiles each holds across, down.
    const std::tuple<int, int, Paper, int, int, int, int> cases[] = {
        {35, 48, Paper::A4, 1, 1, 35, 48},     {36, 49, Paper::A4, 2, 2, 19, 26},
        {68, 94, Paper::A4, 2, 2, 35, 48},     {69, 95, Paper::A4, 3, 3, 25, 33},
        {36, 45, Paper::Letter, 1, 1, 36, 45}, {37, 46, Paper::Letter, 2, 2, 20, 24}};
    for (const auto& [columns, rows, paper, across, down, held, heldDown] : cases) {
        const SectionLayout l = layoutSections(columns, rows, paper);
        EXPECT_EQ(std::tuple(l.sectionsAcross, l.sectionsDown, l.tilesAcross, l.tilesDown),
                  std::tuple(across, down, held, heldDown))
            << columns << " × " << rows;
    }
    const SectionSpan last = layoutSections(51, 10, Paper::A4).columnSpan(1, 51);
    EXPECT_EQ(std::pair(last.first, last.count), std::pair(25, 26)); // 27 from 0, 25
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

// 200 colours overrun a page of legend and shopping list: rows go on under "(continued)" to the
// last entry, "Cy" (52 + 2 × 52 + 43), above the 287 mm bottom margin, clear of the 290 mm footer;
// 3 of the 4 sections of 110 × 10 tiles, 84 mm high (22 + 2 × 6 + 10 × 5), 8 apart, fit a page.
TEST(ChartPdf, LongTablesGoOnOverPagesAndShortSectionsShareAPage) {
    if (!haveTool("pdftotext")) GTEST_SKIP() << "poppler-utils missing";
    std::vector<std::uint32_t> palette(200);
    std::ranges::generate(palette, [i = 0u]() mutable { return 0x010203 * i++; });
    std::string error;
    const std::string pdf = chartPdf(
        makeSheetDesign(
            test::indexedTable(110, 10, palette, [](int c, int r) { return (r * 110 + c) % 200; }),
            nullptr),
        {}, error);
    test::TempDir dir;
    std::ofstream(dir / "chart.pdf", std::ios::binary) << pdf;
    EXPECT_EQ(std::ranges::count(pageWords(dir / "chart.pdf", 2), "Section", &Word::text), 3);
    const std::string text =
        runTool("pdftotext -layout '" + (dir / "chart.pdf").string() + "' -", dir / "all.txt");
    const std::size_t continued = text.find("(continued)"); // on two pages at least
    EXPECT_NE(text.find("(continued)", continued + 1), std::string::npos);
    const std::regex lastRow(R"(\n\s*Cy\s)"); // in the legend and in the shopping list
    EXPECT_EQ(std::distance(std::sregex_iterator(text.begin(), text.end(), lastRow),
                            std::sregex_iterator()),
              2);
    for (const Word& word : pageWords(dir / "chart.pdf", 4))
        EXPECT_TRUE(word.bottom < 287 || word.top > 289.99) << word.text;
    // On a design of one section there is no overlap to explain.
    std::ofstream(dir / "one.pdf", std::ios::binary) << chartPdf(
        makeSheetDesign(test::indexedTable(4, 4, {0}, [](int, int) { return 0; }), nullptr), {},
        error);
    const std::vector<Word> one = pageWords(dir / "one.pdf", 2);
    EXPECT_EQ(std::ranges::count(one, "Bold", &Word::text) -
                  std::ranges::count(one, "Dashed", &Word::text),
              1);
}

// One colour, 54 × 60 tiles in 2 × 2 sections (columns 1–28, 27–54; rows 1–31, 30–60); section 1
// under its 22 mm head, 6 mm in from the margins: 28 × 31 cells of 5 mm from (16, 38) to (156,
// 193).
TEST(ChartPdf, PagesGeometry) {
    if (!haveTool("pdftotext") || !haveTool("pdftocairo")) GTEST_SKIP() << "poppler-utils missing";
    std::string error;
    const std::string pdf =
        chartPdf(makeSheetDesign(test::indexedTable(54, 60, {0x2040C0}, [](int, int) { return 0; }),
                                 nullptr),
                 {}, error);
    test::TempDir dir;
    const std::filesystem::path file = dir / "chart.pdf";
    std::ofstream(file, std::ios::binary) << pdf;
    const auto texts = [](const std::vector<Word>& in, char edge, double x, double top) { // l, c, r
        std::vector<std::string> found;
        for (const Word& w : in) {
            const double at = edge == 'l' ? w.left : edge == 'r' ? w.right : (w.left + w.right) / 2;
            if (std::abs(w.top - top) < 0.02 && std::abs(at - x) < 0.02) found.push_back(w.text);
        }
        return found;
    };
    using Texts = std::vector<std::string>;
    // The map over the design, 190 mm wide (1318 × 190 / 1186 high): the parts the sections own
    // (tiles 0–26, 26–54 by 0–29, 29–60) outlined, each numbered at its centre.
    runTool("pdfimages -f 1 -l 1 '" + file.string() + "' '" + (dir / "design").string() + "'",
            dir / "log"); // the design as a picture of a pixel a tile
    const std::string design = test::readText(dir / "design-000.ppm");
    EXPECT_EQ(design.substr(0, 16) + design.substr(design.size() - 3),
              "P6\n54 60\n255\n\x20\x40\xC0\x20\x40\xC0");
    const auto outlines = paths(file, 1); // each outline, then its number's box
    ASSERT_EQ(outlines.size(), 8u);
    const double top = outlines[0].second[1], across = 190 / 54.0, down = 1318 * 190 / 1186. / 60;
    expectPath(outlines[0], "0.25 0,0,0", box(10, top, 26 * across, 29 * down));
    expectPath(outlines[6], "0.25 0,0,0",
               box(10 + 26 * across, top + 29 * down, 28 * across, 31 * down));
    const std::vector<Word> map = pageWords(file, 1);
    EXPECT_EQ(texts(map, 'c', 10 + 40 * across, top + 14.5 * down - 2.16), Texts{"2"});
    // Section 1: its head, the numbers 1.2 mm outside the grid (every tenth tile, and the first),
    // a symbol on every cell and the footer 3 mm into the bottom margin.
    const std::vector<Word> words = pageWords(file, 2);
    const auto find = [&](const std::vector<Word>& in, const char* text) {
        return *std::ranges::find(in, text, &Word::text);
    };
    const Word head = find(words, "Section"), where = find(words, "columns");
    EXPECT_NEAR(where.top - head.bottom, 0.5, 0.02);
    EXPECT_NEAR(find(words, "Dashed").top - where.bottom, 1, 0.02); // 1.5 under its top, height
    EXPECT_NEAR((head.bottom - head.top) / (where.bottom - where.top), 5 / 3.2, 0.01);
    EXPECT_NEAR(find(words, "page").top, 290, 0.02);
    const std::vector<Word> last = pageWords(file, 5); // section 4: columns from 27, rows from 30
    EXPECT_EQ(texts(words, 'c', 16 + 0.5 * 5, 38 - 1.2 - 2.6 * 1.2), Texts{"1"});
    EXPECT_EQ(texts(words, 'c', 16 + 19.5 * 5, 193 + 1.2), Texts{"20"});
    EXPECT_EQ(texts(words, 'r', 14.8, 38 + 9.5 * 5 - 2.6 * 0.6), Texts{"10"});
    EXPECT_EQ(texts(last, 'c', 18.5, 33.68), Texts{"27"}); // a tenth 3 on
    EXPECT_EQ(texts(last, 'l', 157.2, 38 + 30.5 * 5 - 1.56), Texts{"60"});
    EXPECT_EQ(std::ranges::count(words, "A", &Word::text), 28 * 31);
    const Word symbol = find(words, "A"), tenth = find(words, "10");
    EXPECT_NEAR((symbol.left + symbol.right) / 2, 18.5, 0.02);
    EXPECT_NEAR((symbol.top + symbol.bottom) / 2, 40.5, 0.02);
    EXPECT_NEAR((symbol.bottom - symbol.top) / (tenth.bottom - tenth.top), 0.62 * 5 / 2.6, 0.01);

    // The head's map (14.4 × 16 mm at the right margin, the first filled); bold lines after tiles
    // 10, 20 (30 down) and round the grid; the overlap dashed red 2 tiles from the right, bottom.
    const auto lines = paths(file, 2);
    ASSERT_EQ(lines.size(), 9u);
    expectPath(lines[0], "0.25 0,0,0 fill 120,120,120", box(185.6, 10, 6.933, 7.733));
    // Behind the cells the grout, in gray; the cells 0.227 mm in: 2 mm of every 22 is grout.
    expectPath(lines[4], "fill 190,190,190", box(16, 38, 140, 155));
    const double side = 5 * 20 / 22.0; // the first cell's corners
    std::vector<double> cell = box(16 + 5 / 22.0, 38 + 5 / 22.0, side, side);
    cell.resize(8);
    expectPath({lines[5].first, {lines[5].second.begin(), lines[5].second.begin() + 8}},
               "fill 32,64,192", cell);
    expectPath(lines[6], "0.3 0,0,0", {66,  38, 66, 193, 116, 38,  116, 193, 16,  88,
                                       156, 88, 16, 138, 156, 138, 16,  188, 156, 188});
    expectPath(lines[7], "0.3 0,0,0", box(16, 38, 140, 155));
    expectPath(lines[8], "0.5 200,0,0 dash 1.2,0.8", {146, 38, 146, 193, 16, 183, 156, 183});
    const auto lastLines = paths(file, 5); // bold after 30, 40, 50 (and 60: the edge); red 2 in
    ASSERT_EQ(lastLines.size(), 9u);
    expectPath(lastLines[6], "0.3 0,0,0", {36, 38, 36,  193, 86, 38, 86,  193, 136, 38,  136, 193,
                                           16, 43, 156, 43,  16, 93, 156, 93,  16,  143, 156, 143});
    expectPath(lastLines[8], "0.5 200,0,0 dash 1.2,0.8", {26, 38, 26, 193, 16, 48, 156, 48});
    // Legend and shopping list: title and heading at the margin, rules 174 mm long under it and
    // over the total, rows of 6 mm, swatches 4.5 mm from 0.75 down, counts 2 mm short of the end.
    for (const auto& [n, swatch, count] : {std::tuple(6, 26.0, 182.0), {7, 10.0, 120.0}}) {
        const std::vector<Word> table = pageWords(file, n);
        const double rule = table[0].bottom + 3 + 6;
        EXPECT_NEAR(table[0].left + table[0].top, 20, 0.02) << n;
        EXPECT_EQ(texts(table, 'r', count, rule + 1.4), Texts{"3240"}) << n;
        EXPECT_EQ(texts(table, 'r', count, rule + 7.4), Texts{"3240"}) << n; // the total
        const auto rules = paths(file, n);
        ASSERT_EQ(rules.size(), 3u) << n;
        expectPath(rules[0], "0.3 0,0,0", {10, rule, 184, rule});
        expectPath(rules[1], "0.15 120,120,120 fill 32,64,192", box(swatch, rule + 0.75, 4.5, 4.5));
        expectPath(rules[2], "0.3 0,0,0", {10, rule + 6, 184, rule + 6});
    }
}

} // namespace
} // namespace vellora
