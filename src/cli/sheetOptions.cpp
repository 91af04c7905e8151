#include "cli/sheetOptions.h"

#include "cli/signalCleanup.h"
#include "sheet/saveSheet.h"
#include "shell/pictureConvert.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <optional>

namespace vellora::cli {

namespace fs = std::filesystem;

namespace {

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::optional<double> decimalIn(std::string_view text, double low, double high) {
    double value = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || failure != std::errc{} || end != text.data() + text.size() ||
        !std::isfinite(value) || value < low || value > high)
        return std::nullopt;
    return value;
}

// Each reader stores a valid value and returns true, or returns false with the reason.
using ValueReader = bool (*)(const std::string& value, SheetRequest& sheet, std::string& why);

bool readTiles(const std::string& value, SheetRequest& sheet, std::string& why) {
    sheet.design.tileLinePath = value;
    why = "needs a file name";
    return !value.empty();
}

bool readTileSize(const std::string& value, SheetRequest& sheet, std::string& why) {
    const std::size_t cross = value.find('x');
    const std::optional<double> width = decimalIn(value.substr(0, cross), 0.1, 10000);
    const std::optional<double> height =
        cross == std::string::npos ? width : decimalIn(value.substr(cross + 1), 0.1, 10000);
    why = "needs WIDTH or WIDTHxHEIGHT in millimetres (0.1 to 10000), got " + inQuotes(value);
    if (!width || !height) return false;
    sheet.design.tileWidthMm = *width;
    sheet.design.tileHeightMm = *height;
    return true;
}

bool readGrout(const std::string& value, SheetRequest& sheet, std::string& why) {
    const std::optional<double> grout = decimalIn(value, 0, 1000);
    why = "needs a width in millimetres (0 to 1000), got " + inQuotes(value);
    if (grout) sheet.design.groutMm = *grout;
    return grout.has_value();
}

bool readSpare(const std::string& value, SheetRequest& sheet, std::string& why) {
    const std::optional<double> spare = decimalIn(value, 0, 1000);
    why = "needs a share in percent (0 to 1000), got " + inQuotes(value);
    if (spare) sheet.design.sparePercent = *spare;
    return spare.has_value();
}

bool readPack(const std::string& value, SheetRequest& sheet, std::string& why) {
    int pack = 0;
    const auto [end, failure] = std::from_chars(value.data(), value.data() + value.size(), pack);
    why = "needs a whole number of tiles per pack (1 to 1000000), got " + inQuotes(value);
    if (value.empty() || failure != std::errc{} || end != value.data() + value.size() || pack < 1 ||
        pack > 1000000)
        return false;
    sheet.design.packSize = pack;
    return true;
}

bool readPaper(const std::string& value, SheetRequest& sheet, std::string& why) {
    std::string lower = value;
    std::ranges::transform(lower, lower.begin(),
                           [](unsigned char c) { return char(std::tolower(c)); });
    why = "needs a4 or letter, got " + inQuotes(value);
    if (lower != "a4" && lower != "letter") return false;
    sheet.design.paper = lower == "a4" ? Paper::A4 : Paper::Letter;
    return true;
}

bool readChart(const std::string& value, SheetRequest& sheet, std::string& why) {
    why = "needs a file name ending in .pdf or .svg, got " + inQuotes(value);
    if (!chartFormatOf(value)) return false;
    const bool sameFormat = std::ranges::any_of(sheet.charts, [&](const std::string& c) {
        return chartFormatOf(c) == chartFormatOf(value);
    });
    why = "given twice for the same format";
    if (sameFormat) return false;
    sheet.charts.push_back(value);
    return true;
}

bool readShopping(const std::string& value, SheetRequest& sheet, std::string& why) {
    sheet.shopping = value;
    why = "needs a file name";
    return !value.empty();
}

struct SheetOptionRule {
    std::string_view option;
    std::string_view argument;
    std::string_view help;
    ValueReader read;
    bool repeatable; // the reader itself refuses what may not repeat
};

constexpr auto kRules = std::to_array<SheetOptionRule>({
    {"--tiles", "FILE", "name the tile colours from a .tiles line (the tiling uses its stock)",
     readTiles, false},
    {"--tile-mm", "W[xH]", "tile width and height in millimetres (default 20)", readTileSize,
     false},
    {"--grout-mm", "G", "grout width in millimetres (default 2)", readGrout, false},
    {"--spare", "PERCENT", "spare tiles to buy, in percent (default 10)", readSpare, false},
    {"--pack", "N", "tiles per pack where the tile line names none (default 100)", readPack, false},
    {"--paper", "a4|letter", "paper of the PDF chart (default a4)", readPaper, false},
    {"--chart", "FILE", "write the chart as PDF or SVG by the extension (a PDF and an SVG)",
     readChart, true},
    {"--shopping", "FILE", "write the shopping list as CSV", readShopping, false},
});

std::string pathRefusal(const std::string& option, const std::string& path,
                        const std::string& input) {
    std::error_code error;
    if (!isUsablePicturePath(path))
        return "the file path of " + option + " is longer than 259 characters";
    const fs::path folder =
        fs::path(path).parent_path().empty() ? fs::path(".") : fs::path(path).parent_path();
    if (!fs::is_directory(folder, error))
        return "the output folder " + inQuotes(folder.string()) + " does not exist";
    if (fs::is_directory(path, error)) return "the output " + inQuotes(path) + " is a folder";
    if (fs::equivalent(path, input, error))
        return "the output " + inQuotes(path) + " is the input file";
    return {};
}

// Spelled differently, through links included, the path of one file.
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::weakly_canonical(fs::absolute(a), error) ==
           fs::weakly_canonical(fs::absolute(b), error);
}

int writeWhole(Session& session, int (*save)(Session&, const fs::path&), const std::string& path) {
    session.dialogInfo = session.currentInfo;
    blockCleanupSignals(true); // the file lands whole before an interruption is handled
    const int result = save(session, path);
    blockCleanupSignals(false);
    return result;
}

} // namespace

SheetOption takeSheetOption(std::string_view option, std::span<const std::string> arguments,
                            std::size_t& next, SheetRequest& sheet, std::string& error) {
    const auto rule = std::ranges::find(kRules, option, &SheetOptionRule::option);
    if (rule == kRules.end()) return SheetOption::notSheet;
    const std::string name(option);
    const bool seen = std::ranges::find(sheet.given, name) != sheet.given.end();
    if (seen && !rule->repeatable) {
        error = name + " given twice";
        return SheetOption::refused;
    }
    if (next >= arguments.size()) {
        error = name + " needs a value";
        return SheetOption::refused;
    }
    std::string why;
    if (!rule->read(arguments[next++], sheet, why)) {
        error = name + " " + why;
        return SheetOption::refused;
    }
    sheet.given.push_back(name);
    return SheetOption::taken;
}

std::string sheetOutputRefusal(const SheetRequest& sheet, const std::string& input) {
    std::vector<std::pair<std::string, std::string>> files; // option, path
    for (const std::string& chart : sheet.charts)
        files.emplace_back("--chart", chart);
    if (!sheet.shopping.empty()) files.emplace_back("--shopping", sheet.shopping);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto& [option, path] = files[i];
        if (std::string reason = pathRefusal(option, path, input); !reason.empty()) return reason;
        for (std::size_t j = 0; j < i; ++j)
            if (sameFile(files[j].second, path))
                return files[j].first + " and " + option + " name the same file " + inQuotes(path);
    }
    return {};
}

int prepareSheet(Session& session, const SheetRequest& sheet) {
    DesignSettings& design = session.design;
    design.tileLinePath = sheet.design.tileLinePath;
    design.tileWidthMm = sheet.design.tileWidthMm;
    design.tileHeightMm = sheet.design.tileHeightMm;
    design.groutMm = sheet.design.groutMm;
    design.sparePercent = sheet.design.sparePercent;
    design.packSize = sheet.design.packSize;
    design.paper = sheet.design.paper;
    std::optional<TileLine> line;
    if (loadDesignTileLine(session, line) != 0) return 1;
    if (line) useTileLine(session, *line);
    return 0;
}

int writeSheetOutputs(Session& session, const SheetRequest& sheet) {
    for (const std::string& chart : sheet.charts)
        if (writeWhole(session, saveChart, chart) != 0) return 1;
    if (!sheet.shopping.empty() && writeWhole(session, saveShoppingList, sheet.shopping) != 0)
        return 1;
    return 0;
}

std::vector<std::pair<std::string, std::string>> sheetOptionHelp() {
    std::vector<std::pair<std::string, std::string>> lines;
    for (const SheetOptionRule& rule : kRules)
        lines.emplace_back(std::string(rule.option) + " " + std::string(rule.argument),
                           std::string(rule.help));
    return lines;
}

} // namespace vellora::cli
