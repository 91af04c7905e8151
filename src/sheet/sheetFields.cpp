#include "sheet/sheetFields.h"

#include "sheet/realSize.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace vellora {

namespace {

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// The whole text as a number in low … high (a NaN is in no range).
template <typename Number>
std::optional<Number> numberIn(std::string_view text, Number low, Number high) {
    Number value{};
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failure != std::errc{} || end != text.data() + text.size() ||
        !(value >= low && value <= high))
        return std::nullopt;
    return value;
}

// Empty for no tile line.
bool parseTiles(std::string_view value, DesignSettings& settings, std::string&) {
    settings.tileLinePath = value;
    return true;
}

bool parseTileSize(std::string_view value, DesignSettings& settings, std::string& why) {
    const std::size_t cross = value.find('x');
    const std::optional<double> width = numberIn(value.substr(0, cross), 0.1, 10000.0);
    const std::optional<double> height =
        cross == std::string_view::npos ? width : numberIn(value.substr(cross + 1), 0.1, 10000.0);
    why = "needs WIDTH or WIDTHxHEIGHT in millimetres (0.1 to 10000), got " + inQuotes(value);
    if (!width || !height) return false;
    settings.tileWidthMm = *width;
    settings.tileHeightMm = *height;
    return true;
}

bool parseGrout(std::string_view value, DesignSettings& settings, std::string& why) {
    const std::optional<double> grout = numberIn(value, 0.0, 1000.0);
    why = "needs a width in millimetres (0 to 1000), got " + inQuotes(value);
    if (grout) settings.groutMm = *grout;
    return grout.has_value();
}

bool parseSpare(std::string_view value, DesignSettings& settings, std::string& why) {
    const std::optional<double> spare = numberIn(value, 0.0, 1000.0);
    why = "needs a share in percent (0 to 1000), got " + inQuotes(value);
    if (spare) settings.sparePercent = *spare;
    return spare.has_value();
}

bool parsePack(std::string_view value, DesignSettings& settings, std::string& why) {
    const std::optional<int> pack = numberIn(value, 1, 1000000);
    why = "needs a whole number of tiles per pack (1 to 1000000), got " + inQuotes(value);
    if (pack) settings.packSize = *pack;
    return pack.has_value();
}

constexpr auto kPapers = std::to_array<std::pair<std::string_view, Paper>>({
    {"a4", Paper::A4},
    {"letter", Paper::Letter},
});

bool parsePaper(std::string_view value, DesignSettings& settings, std::string& why) {
    std::string lower(value);
    std::ranges::transform(lower, lower.begin(),
                           [](unsigned char c) { return char(std::tolower(c)); });
    const auto paper =
        std::ranges::find(kPapers, lower, &std::pair<std::string_view, Paper>::first);
    why = "needs a4 or letter, got " + inQuotes(value);
    if (paper == kPapers.end()) return false;
    settings.paper = paper->second;
    return true;
}

std::string formatTiles(const DesignSettings& s) {
    return s.tileLinePath;
}
std::string formatTileSize(const DesignSettings& s) {
    return formatDecimal(s.tileWidthMm) + "x" + formatDecimal(s.tileHeightMm);
}
std::string formatGrout(const DesignSettings& s) {
    return formatDecimal(s.groutMm);
}
std::string formatSpare(const DesignSettings& s) {
    return formatDecimal(s.sparePercent);
}
std::string formatPack(const DesignSettings& s) {
    return std::to_string(s.packSize);
}
std::string formatPaper(const DesignSettings& s) {
    return std::string(
        std::ranges::find(kPapers, s.paper, &std::pair<std::string_view, Paper>::second)->first);
}

constexpr auto kFields = std::to_array<SheetField>({
    {"tiles", "FILE", "name the tile colours from a .tiles line (the tiling uses its stock)",
     parseTiles, formatTiles},
    {"tile-mm", "W[xH]", "tile width and height in millimetres (default 20)", parseTileSize,
     formatTileSize},
    {"grout-mm", "G", "grout width in millimetres (default 2)", parseGrout, formatGrout},
    {"spare", "PERCENT", "spare tiles to buy, in percent (default 10)", parseSpare, formatSpare},
    {"pack", "N", "tiles per pack where the tile line names none (default 100)", parsePack,
     formatPack},
    {"paper", "a4|letter", "paper of the PDF chart (default a4)", parsePaper, formatPaper},
});

} // namespace

std::span<const SheetField> sheetFields() {
    return kFields;
}

const SheetField* findSheetField(std::string_view name) {
    const auto field = std::ranges::find(kFields, name, &SheetField::name);
    return field == kFields.end() ? nullptr : &*field;
}

} // namespace vellora
