#include "sheet/tileLine.h"

#include "sheet/csvFields.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <iterator>
#include <optional>

namespace vellora {

namespace {

constexpr std::uintmax_t kMaxFileBytes = 4 << 20;

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::optional<int> wholeNumber(std::string_view field) {
    int value{};
    const auto [end, failure] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (failure != std::errc{} || end != field.data() + field.size()) return std::nullopt;
    return value;
}

// A number in low … high; `why` says what is wrong otherwise.
std::optional<int> numberIn(std::string_view field, int low, int high, std::string& why) {
    const std::optional<int> value = wholeNumber(field);
    if (!value)
        why = inQuotes(field) + " is not a whole number";
    else if (*value < low || *value > high)
        why = inQuotes(field) + " is out of range " + std::to_string(low) + " to " +
              std::to_string(high);
    else
        return value;
    return std::nullopt;
}

bool storeName(TileColor& color, std::string_view field, std::string& why) {
    color.name = field;
    if (!field.empty()) return true;
    why = "the name is empty";
    return false;
}

bool storeCode(TileColor& color, std::string_view field, std::string&) {
    color.code = field;
    return true;
}

template <int channel>
bool storeChannel(TileColor& color, std::string_view field, std::string& why) {
    const std::optional<int> value = numberIn(field, 0, 255, why);
    if (value) color.rgb[channel] = std::uint8_t(*value);
    return value.has_value();
}

bool storePack(TileColor& color, std::string_view field, std::string& why) {
    if (field.empty()) return true; // this colour's packs follow the design's pack size
    const std::optional<int> value = numberIn(field, 1, 1000000, why);
    if (value) color.pack = *value;
    return value.has_value();
}

bool storeStock(TileColor& color, std::string_view field, std::string& why) {
    if (field.empty()) return true;
    const std::optional<int> value = numberIn(field, 0, 1, why);
    if (value) color.inStock = *value == 1;
    return value.has_value();
}

struct ColumnRule {
    std::string_view name;
    bool required;
    bool (*store)(TileColor&, std::string_view, std::string&);
};

constexpr auto kColumns = std::to_array<ColumnRule>({
    {"name", true, storeName},
    {"code", true, storeCode},
    {"red", true, storeChannel<0>},
    {"green", true, storeChannel<1>},
    {"blue", true, storeChannel<2>},
    {"pack", false, storePack},
    {"stock", false, storeStock},
});

constexpr int kAbsent = -1;
using ColumnPlaces = std::array<int, kColumns.size()>; // field number of each rule, or kAbsent

std::string lowered(std::string_view text) {
    std::string result(text);
    std::ranges::transform(result, result.begin(), [](unsigned char c) { return std::tolower(c); });
    return result;
}

std::string atLine(int number) {
    return "line " + std::to_string(number);
}

bool readHeader(const std::vector<std::string>& fields, int lineNumber, ColumnPlaces& places,
                std::string& error) {
    places.fill(kAbsent);
    for (int f = 0; f < int(fields.size()); ++f) {
        const std::string name = lowered(fields[std::size_t(f)]);
        const auto rule = std::ranges::find(kColumns, name, &ColumnRule::name);
        if (rule == kColumns.end()) continue; // a column of the maker's own, not read
        int& place = places[std::size_t(rule - kColumns.begin())];
        if (place != kAbsent) {
            error = atLine(lineNumber) + " (header): column " + inQuotes(name) + " named twice";
            return false;
        }
        place = f;
    }
    for (std::size_t r = 0; r < kColumns.size(); ++r) {
        if (!kColumns[r].required || places[r] != kAbsent) continue;
        error = atLine(lineNumber) + " (header): no column " + inQuotes(kColumns[r].name);
        return false;
    }
    return true;
}

bool readColor(const std::vector<std::string>& fields, int lineNumber, const ColumnPlaces& places,
               TileColor& color, std::string& error) {
    for (std::size_t r = 0; r < kColumns.size(); ++r) {
        if (places[r] == kAbsent) continue;
        const std::size_t f = std::size_t(places[r]);
        std::string why = "missing";
        const bool present = f < fields.size();
        if (!present && !kColumns[r].required) continue; // a short row leaves it to the default
        if (present && kColumns[r].store(color, fields[f], why)) continue;
        error = atLine(lineNumber) + ", column " + std::to_string(f + 1) + " (" +
                std::string(kColumns[r].name) + "): " + why;
        return false;
    }
    return true;
}

bool isComment(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string_view::npos || line[first] == '#';
}

class LineReader {
  public:
    explicit LineReader(std::string_view text) : text_(text) {}
    // The next line that is not a comment or blank, without its line end.
    std::optional<std::string_view> next() {
        while (at_ < text_.size()) {
            const std::size_t end = std::min(text_.find('\n', at_), text_.size());
            std::string_view line = text_.substr(at_, end - at_);
            at_ = end + 1;
            ++number_;
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            if (!isComment(line)) return line;
        }
        return std::nullopt;
    }
    int number() const { return number_; }

  private:
    std::string_view text_;
    std::size_t at_ = 0;
    int number_ = 0;
};

std::optional<std::vector<std::string>> fieldsOf(const LineReader& reader, std::string_view line,
                                                 std::string& error) {
    std::optional<std::vector<std::string>> fields = splitCsvLine(line);
    if (!fields) error = atLine(reader.number()) + ": a quoted field is not closed";
    return fields;
}

} // namespace

bool parseTileLine(std::string_view text, TileLine& line, std::string& error) {
    LineReader reader(text);
    const std::optional<std::string_view> headerLine = reader.next();
    if (!headerLine) {
        error = "the file is empty: no header line naming the columns";
        return false;
    }
    const auto header = fieldsOf(reader, *headerLine, error);
    ColumnPlaces places;
    if (!header || !readHeader(*header, reader.number(), places, error)) return false;
    TileLine read;
    while (const std::optional<std::string_view> row = reader.next()) {
        if (read.colors.size() == kTileLineMaxColors) {
            error = atLine(reader.number()) + ": more than " + std::to_string(kTileLineMaxColors) +
                    " colours";
            return false;
        }
        const auto fields = fieldsOf(reader, *row, error);
        TileColor& color = read.colors.emplace_back();
        if (!fields || !readColor(*fields, reader.number(), places, color, error)) return false;
    }
    if (read.colors.empty()) {
        error = "no colour after the header";
        return false;
    }
    if (std::ranges::none_of(read.colors, &TileColor::inStock)) {
        error = "no colour of the line is in stock";
        return false;
    }
    line = std::move(read);
    return true;
}

bool loadTileLine(const std::filesystem::path& path, TileLine& line, std::string& error) {
    const std::string where = "tile line " + inQuotes(path.string()) + ": ";
    std::error_code failure;
    // Only a regular file is opened: a pipe or a device would block the read.
    if (!std::filesystem::exists(path, failure)) {
        error = where + "does not exist";
        return false;
    }
    if (!std::filesystem::is_regular_file(path, failure)) {
        error = where + "is not a file";
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, failure);
    if (!failure && size > kMaxFileBytes) {
        error = where + "is larger than 4 MB";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (failure || !file.is_open() || file.bad()) {
        error = where + "cannot be read";
        return false;
    }
    if (parseTileLine(text, line, error)) return true;
    error = where + error;
    return false;
}

} // namespace vellora
