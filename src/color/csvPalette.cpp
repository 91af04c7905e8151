#include "color/csvPalette.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace vellora {

namespace {

constexpr std::size_t kMaxLineWithFeed = 4094; // characters before the line feed
constexpr std::size_t kMaxFieldLength = 62;
constexpr int kMaxLines = 257;

struct CsvLine {
    std::string_view text; // without the line feed and a carriage return before it
    bool endsWithLineFeed = false;
    std::size_t length = 0; // before the line feed, carriage return included
};

class LineReader {
  public:
    explicit LineReader(std::string_view text) : text_(text) {}
    bool next(CsvLine& line) {
        if (position_ >= text_.size()) return false;
        const std::size_t feed = text_.find('\n', position_);
        const std::size_t end = feed == std::string_view::npos ? text_.size() : feed;
        line.text = text_.substr(position_, end - position_);
        line.length = line.text.size();
        line.endsWithLineFeed = feed != std::string_view::npos;
        if (!line.text.empty() && line.text.back() == '\r') line.text.remove_suffix(1);
        position_ = line.endsWithLineFeed ? end + 1 : end;
        return true;
    }

  private:
    std::string_view text_;
    std::size_t position_ = 0;
};

bool isComment(std::string_view text) {
    return text.starts_with(";") || text.starts_with("//");
}

std::string_view trimField(std::string_view field) {
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t'))
        field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ')
        field.remove_suffix(1);
    const auto isEdge = [](char c) { return c == ' ' || c == '"'; };
    while (!field.empty() && isEdge(field.front()))
        field.remove_prefix(1);
    while (!field.empty() && isEdge(field.back()))
        field.remove_suffix(1);
    return field;
}

// The trimmed fields of a line; an empty line has none.
std::vector<std::string_view> splitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    if (text.empty()) return fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        fields.push_back(trimField(text.substr(start, comma - start)));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return fields;
}

int columnCount(std::string_view header) {
    const std::vector<std::string_view> fields = splitFields(header);
    int count = 0;
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!fields[i].empty()) count = int(i + 1);
    return count;
}

// Leading white space, a sign, digits up to the first non-digit; saturates far above 255.
int readInteger(std::string_view field) {
    std::size_t i = 0;
    const auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (i < field.size() && isSpace(field[i]))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
    int value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
        value = std::min(value * 10 + (field[i] - '0'), 1000000);
    return negative ? -value : value;
}

// The header and the colour lines, in order, as the structure pass counts them; `count` is their
// number, of which only the first 258 are kept (more are refused anyway).
CsvPaletteResult countedLines(std::string_view text, std::vector<std::string_view>& lines,
                              std::size_t& count) {
    LineReader reader(text);
    CsvLine line;
    bool haveHeader = false;
    while (reader.next(line)) {
        if (isComment(line.text)) continue;
        if (haveHeader && !line.endsWithLineFeed) break; // a last line without a line feed
        if (line.endsWithLineFeed && line.length > kMaxLineWithFeed)
            return CsvPaletteResult::IllegalData;
        if (lines.size() <= std::size_t(kMaxLines)) lines.push_back(line.text);
        ++count;
        haveHeader = true;
    }
    return haveHeader ? CsvPaletteResult::Ok : CsvPaletteResult::IllegalData;
}

CsvPaletteResult checkFields(const std::vector<std::string_view>& lines,
                             std::vector<std::array<std::string_view, 3>>& cells) {
    for (std::string_view text : lines) {
        const std::vector<std::string_view> fields = splitFields(text);
        if (fields.size() < 3) return CsvPaletteResult::IllegalData;
        for (int k = 0; k < 3; ++k)
            if (fields[std::size_t(k)].size() > kMaxFieldLength)
                return CsvPaletteResult::IllegalData;
        cells.push_back({fields[0], fields[1], fields[2]});
    }
    return CsvPaletteResult::Ok;
}

} // namespace

std::string_view csvPaletteMessage(CsvPaletteResult result) {
    switch (result) {
    case CsvPaletteResult::Ok:
        return {};
    case CsvPaletteResult::IllegalData:
        return kCsvIllegalDataText;
    case CsvPaletteResult::IllegalStructure:
        return kCsvIllegalStructureText;
    case CsvPaletteResult::IllegalValue:
        return kCsvIllegalValueText;
    }
    return kCsvIllegalDataText;
}

CsvPaletteResult parseCsvPalette(std::string_view text, std::uint8_t* entries,
                                 std::uint32_t& colorCount) {
    std::vector<std::string_view> lines;
    std::size_t count = 0;
    if (const CsvPaletteResult r = countedLines(text, lines, count); r != CsvPaletteResult::Ok)
        return r;
    if (count < 2 || count > std::size_t(kMaxLines) || columnCount(lines[0]) != 3)
        return CsvPaletteResult::IllegalStructure;
    std::vector<std::array<std::string_view, 3>> cells;
    if (const CsvPaletteResult r = checkFields(lines, cells); r != CsvPaletteResult::Ok) return r;
    std::array<std::uint8_t, 4 * 256> colors{};
    for (std::size_t j = 1; j < cells.size(); ++j) {
        int rgb[3];
        for (int k = 0; k < 3; ++k) {
            rgb[k] = readInteger(cells[j][std::size_t(k)]);
            if (rgb[k] < 0 || rgb[k] > 255) return CsvPaletteResult::IllegalValue;
        }
        std::uint8_t* entry = colors.data() + 4 * (j - 1);
        entry[0] = std::uint8_t(rgb[2]);
        entry[1] = std::uint8_t(rgb[1]);
        entry[2] = std::uint8_t(rgb[0]);
    }
    const std::size_t colors256 = std::min<std::size_t>(cells.size() - 1, 256);
    std::memcpy(entries, colors.data(), 4 * colors256);
    colorCount = std::uint32_t(colors256);
    return CsvPaletteResult::Ok;
}

} // namespace vellora
