#include "sheet/chartPdf.h"
#include "sheet/chartSvg.h"
#include "sheet/chartSymbols.h"
#include "sheet/realSize.h"
#include "sheetTestSupport.h"

#include <gtest/gtest.h>

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

struct XmlElement {
    std::string name;
    std::map<std::string, std::string> attributes;
};

// A small well-formedness check: every tag closes in order; the elements in document order.
bool parseXml(const std::string& text, std::vector<XmlElement>& elements) {
    const std::regex tag(R"(<(/?)([A-Za-z][\w:-]*)((?:\s+[\w:-]+="[^"<]*")*)\s*(/?)>|<\?[^>]*\?>)");
    const std::regex attribute(R"(([\w:-]+)="([^"]*)\")");
    std::vector<std::string> open;
    std::size_t at = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), tag);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        if (text.find('<', at) < std::size_t(m.position())) return false; // an unreadable tag
        at = std::size_t(m.position() + m.length());
        if (m[2].length() == 0) continue; // the declaration
        if (m[1] == "/" && (open.empty() || open.back() != m[2])) return false;
        if (m[1] == "/" && (open.pop_back(), true)) continue;
        XmlElement element{m[2], {}};
        const std::string list = m[3];
        for (auto a = std::sregex_iterator(list.begin(), list.end(), attribute);
             a != std::sregex_iterator(); ++a)
            element.attributes[(*a)[1]] = (*a)[2];
        elements.push_back(element);
        if (m[4] != "/") open.push_back(m[2]);
    }
    return open.empty() && text.find('<', at) == std::string::npos;
}

TEST(ChartSvg, HasOneRectPerTileWithTheTableCountsAtTheFinishedSize) {
    const TilingTable table = sampleTable();
    DesignSettings settings;
    settings.tileWidthMm = 12.5, settings.groutMm = 1.5;
    const std::string svg = chartSvg(makeSheetDesign(table, nullptr), settings);
    std::vector<XmlElement> elements;
    ASSERT_TRUE(parseXml(svg, elements));
    ASSERT_FALSE(elements.empty());
    const XmlElement& root = elements.front(); // 50 × 12.5 + 49 × 1.5 wide; 60 × 20 + 59 × 1.5 high
    EXPECT_EQ(root.name + " " + root.attributes.at("width") + " " + root.attributes.at("height") +
                  " " + root.attributes.at("viewBox"),
              "svg 698.5mm 1288.5mm 0 0 698.5 1288.5");
    std::vector<std::int64_t> counts(256);
    int rects = 0;
    double right = 0;
    for (const XmlElement& e : elements)
        if (e.name == "rect") {
            ++rects;
            ++counts[std::size_t(std::stoi(e.attributes.at("data-index")))];
            right = std::max(right,
                             std::stod(e.attributes.at("x")) + std::stod(e.attributes.at("width")));
        }
    EXPECT_EQ(rects, 50 * 60);
    EXPECT_EQ(counts, test::tableCounts(table));
    EXPECT_DOUBLE_EQ(right, 698.5);
}

bool haveTool(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string runTool(const std::string& command, const std::filesystem::path& output) {
    EXPECT_EQ(std::system((command + " > '" + output.string() + "'").c_str()), 0) << command;
    std::ifstream file(output, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(ChartPdf, HasOverviewSectionsAndLegendWithEveryCountAndNumbersEveryTenTiles) {
    if (!haveTool("pdftotext") || !haveTool("pdfinfo")) GTEST_SKIP() << "poppler-utils missing";
    TileLine line; // each entry i named "Colour <A + i>", code "C<i>", in the table's colour
    const TilingTable table = sampleTable();
    for (int i = 0; i < 7; ++i) {
        const std::uint8_t* bgr = table.header.paletteEntry(i);
        line.colors.push_back({"Colour " + std::string(1, char('A' + i)),
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
    const std::string legend = page(6);
    for (const SheetEntry* entry : design.usedEntries()) {
        const std::regex row(entry->name + R"(\s+)" + entry->code + R"(\s+.*\b)" +
                             std::to_string(entry->count) + R"(\s*\n)");
        EXPECT_TRUE(std::regex_search(legend, row)) << entry->name << " " << entry->count << "\n"
                                                    << legend;
    }
    EXPECT_TRUE(std::regex_search(legend, std::regex(R"(Colour E\s+C4\s+0, 0, 255\s)")))
        << legend;                                         // its RGB
    EXPECT_EQ(legend.find("Colour F"), std::string::npos); // entry 5 is never used
    // The shopping list's total row counts every tile.
    EXPECT_TRUE(std::regex_search(page(7), std::regex(R"(\n\s*Total\s+3000\s)")));
}

// Symbols: one character for the first 52 colours, then two, then three, hand-counted.
TEST(ChartSymbols, CountOnInCharactersThatDoNotLookAlikeAndInkFollowsTheGrayLevel) {
    const std::pair<int, const char*> symbols[] = {{0, "A"},    {22, "Z"},    {23, "2"},
                                                   {51, "@"},   {52, "AA"},   {53, "AB"},
                                                   {104, "BA"}, {2756, "AAA"}};
    for (const auto& [n, symbol] : symbols)
        EXPECT_EQ(chartSymbol(n), symbol) << n;
    // Gray (77 R + 151 G + 28 B) / 256 from 128 up takes a dark symbol.
    const std::pair<std::array<std::uint8_t, 3>, bool> inks[] = {
        {{128, 128, 128}, true}, {{127, 127, 127}, false}, {{0, 255, 0}, true},
        {{255, 0, 0}, false},    {{0, 0, 255}, false},     {{255, 255, 255}, true}};
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

// Where dark lines run (nearly) the longest way across the page, as the centres of runs of
// neighbouring columns (or rows).
std::vector<double> longLines(const Raster& r, bool columns) {
    std::vector<int> counts(std::size_t(columns ? r.width : r.height));
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            counts[std::size_t(columns ? x : y)] += r.dark(x, y);
    const int longest = *std::ranges::max_element(counts);
    std::vector<double> centres;
    for (int i = 0, from = -1; i <= int(counts.size()); ++i) {
        const bool in = i < int(counts.size()) && counts[std::size_t(i)] >= longest * 9 / 10;
        if (in && from < 0) from = i;
        if (!in && from >= 0) centres.push_back((from + i - 1) / 2.0), from = -1;
    }
    return centres;
}

// One colour, 50 × 30 tiles, two sections across. The overview shows the design in its colour
// with the section borders at 0, 24 and 50 tiles; section 1 (columns 1–26) has bold lines
// after tiles 10 and 20 both ways, a red dashed overlap line running down, and no green.
TEST(ChartPdf, PagesAsPixels) {
    if (!haveTool("pdftoppm")) GTEST_SKIP() << "poppler-utils missing";
    std::string error;
    const std::string pdf =
        chartPdf(makeSheetDesign(test::indexedTable(50, 30, {0x2040C0}, [](int, int) { return 0; }),
                                 nullptr),
                 {}, error);
    test::TempDir dir;
    std::ofstream(dir / "chart.pdf", std::ios::binary) << pdf;
    const Raster overview = renderPage(dir / "chart.pdf", 1, 100);
    EXPECT_GT(std::ranges::count(overview.pixels, std::array<int, 3>{0x20, 0x40, 0xC0}), 100000);
    const std::vector<double> borders = longLines(overview, true);
    ASSERT_EQ(borders.size(), 3u);
    EXPECT_NEAR((borders[1] - borders[0]) / (borders[2] - borders[0]), 24 / 50.0, 0.005);
    const Raster section = renderPage(dir / "chart.pdf", 2, 200);
    EXPECT_GT(std::ranges::count(section.pixels, std::array<int, 3>{0x20, 0x40, 0xC0}),
              500000); // the cells
    const std::vector<double> columns = longLines(section, true), rows = longLines(section, false);
    for (const auto& [lines, tiles] : {std::pair(columns, 26), {rows, 30}}) {
        ASSERT_EQ(lines.size(), 4u);
        for (int i : {1, 2})
            EXPECT_NEAR((lines[i] - lines[0]) / (lines[3] - lines[0]), 10.0 * i / tiles, 0.005);
    }
    // Single-letter symbols (white on this colour) are set at 0.62 of the cell: a capital stands
    // over 0.37 of it (0.43 here; set at 0.45 of the cell it would stand 0.31).
    const double cell = (columns[3] - columns[0]) / 26;
    int top = section.height, bottom = 0;
    for (int y = int(rows[0]) + 3; y < int(rows[0] + cell); ++y)
        for (int x = int(columns[0]) + 3; x < int(columns[3]) - 3; ++x)
            if (std::ranges::all_of(section.at(x, y), [](int v) { return v > 230; }))
                top = std::min(top, y), bottom = std::max(bottom, y);
    EXPECT_GT(bottom - top + 1, 0.37 * cell);
    int green = 0, minX = 1 << 20, maxX = -1, minY = 1 << 20, maxY = -1, lowest = 0;
    for (int y = 0; y < section.height; ++y)
        for (int x = 0; x < section.width; ++x) {
            const auto [r, g, b] = section.at(x, y);
            green += g > 150 && r < 100 && b < 100;
            if (r > 150 && g < 80 && b < 80)
                minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y),
                maxY = std::max(maxY, y);
            if (section.dark(x, y)) lowest = y;
        }
    EXPECT_EQ(green, 0);
    EXPECT_LT(maxX - minX, 10);
    EXPECT_GT(maxY - minY, 1000);
    // The last section across has its overlap line on the left only.
    const Raster last = renderPage(dir / "chart.pdf", 3, 72);
    std::vector<int> redColumns;
    for (int y = 0; y < last.height; ++y)
        for (int x = 0; x < last.width; ++x)
            if (last.at(x, y)[0] > 150 && last.at(x, y)[1] < 80 && last.at(x, y)[2] < 80)
                redColumns.push_back(x);
    ASSERT_FALSE(redColumns.empty());
    EXPECT_LT(std::ranges::max(redColumns) - std::ranges::min(redColumns), 5);
    // The footer is the last text, and it lies in the bottom margin (below 287 mm).
    int footerTop = lowest;
    while (std::ranges::any_of(std::views::iota(0, section.width),
                               [&](int x) { return section.dark(x, footerTop - 1); }))
        --footerTop;
    EXPECT_GT(footerTop, 287 * 200 / 25.4);
    // The legend's and the shopping list's columns fill 174 mm: the rules under their headings
    // run level from the left margin at 10 mm to 184 mm.
    for (int n : {4, 5}) {
        const Raster table = renderPage(dir / "chart.pdf", n, 100);
        const int y = int(longLines(table, false).front());
        std::vector<int> xs;
        for (int x = 0; x < table.width; ++x)
            if (table.dark(x, y)) xs.push_back(x);
        ASSERT_FALSE(xs.empty());
        EXPECT_NEAR(xs.front() * 25.4 / 100, 10, 0.5) << n;
        EXPECT_NEAR(xs.back() * 25.4 / 100, 184, 0.5) << n;
        EXPECT_GT(double(xs.size()), (xs.back() - xs.front()) * 0.98) << n;
    }
}

} // namespace
} // namespace vellora
