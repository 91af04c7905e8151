#include "sheet/csvFields.h"

namespace vellora {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A quoted field from just after its opening quote; `at` ends just after the closing quote.
std::optional<std::string> quotedField(std::string_view line, std::size_t& at) {
    std::string field;
    while (at < line.size()) {
        const char c = line[at++];
        if (c != '"') {
            field.push_back(c);
        } else if (at < line.size() && line[at] == '"') {
            field.push_back('"');
            ++at;
        } else {
            return field;
        }
    }
    return std::nullopt;
}
} // namespace

std::optional<std::vector<std::string>> splitCsvLine(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    while (true) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        const std::size_t comma = line.find(',', at);
        if (at < line.size() && line[at] == '"') {
            ++at;
            std::optional<std::string> field = quotedField(line, at);
            if (!field) return std::nullopt;
            fields.push_back(std::move(*field));
            const std::size_t next = line.find(',', at);
            if (next == std::string_view::npos) return fields;
            at = next + 1;
            continue;
        }
        const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
        fields.emplace_back(trimmed(line.substr(at, end - at)));
        if (comma == std::string_view::npos) return fields;
        at = comma + 1;
    }
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string field = "\"";
    for (const char c : text) {
        if (c == '"') field.push_back('"');
        field.push_back(c);
    }
    field.push_back('"');
    return field;
}

} // namespace vellora
