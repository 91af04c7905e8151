#include "cli/designOptions.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace vellora::cli {

namespace {

struct DesignOption {
    std::string_view name;
    std::string_view argument; // empty for a flag
    std::string_view help;
    bool (*take)(const std::string& value, DesignOptions& options, std::string& error);
};

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

bool takeMatch(const std::string& value, DesignOptions& options, std::string& error) {
    constexpr auto kMatches = std::to_array<std::pair<std::string_view, ColorMatch>>(
        {{"rgb", ColorMatch::Rgb}, {"ciede2000", ColorMatch::Ciede2000}});
    if (options.match) {
        error = "--match given twice";
        return false;
    }
    for (const auto& [name, match] : kMatches)
        if (value == name) {
            options.match = match;
            return true;
        }
    error = "--match needs rgb or ciede2000, got " + quoted(value);
    return false;
}

bool parseIndex(std::string_view text, int& index) {
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, index);
    return failure == std::errc{} && stop == end && index >= 0 && index <= 255;
}

bool takeExclude(const std::string& value, DesignOptions& options, std::string& error) {
    std::vector<int> indices;
    std::string_view rest = value;
    for (bool more = true; more;) {
        const std::size_t comma = rest.find(',');
        more = comma != std::string_view::npos;
        int index = 0;
        if (!parseIndex(rest.substr(0, comma), index)) {
            error = "--exclude needs palette indices 0 to 255 separated by commas, got " +
                    quoted(value);
            return false;
        }
        indices.push_back(index);
        if (more) rest.remove_prefix(comma + 1);
    }
    options.excluded.insert(options.excluded.end(), indices.begin(), indices.end());
    return true;
}

bool takeTileDither(const std::string&, DesignOptions& options, std::string&) {
    options.tileDither = true;
    return true;
}

bool takeKeepPalette(const std::string&, DesignOptions& options, std::string&) {
    options.keepPalette = true;
    return true;
}

constexpr auto kOptions = std::to_array<DesignOption>({
    {"--match", "rgb|ciede2000", "how tiling chooses tile colours (rgb unless given)", takeMatch},
    {"--tile-dither", "", "tiling spreads each tile's colour error to the tiles after it",
     takeTileDither},
    {"--keep-palette", "", "tiling keeps an indexed picture's own palette", takeKeepPalette},
    {"--exclude", "I,J,...", "palette indices no tile may take", takeExclude},
});

const DesignOption* findOption(std::string_view name) {
    const auto found = std::ranges::find(kOptions, name, &DesignOption::name);
    return found == kOptions.end() ? nullptr : &*found;
}

} // namespace

bool isDesignOption(std::string_view option) {
    return findOption(option) != nullptr;
}

bool takeDesignOption(std::string_view option, const OptionValue& value, DesignOptions& options,
                      std::string& error) {
    const DesignOption* row = findOption(option);
    if (!row) {
        error = "unknown option " + quoted(option);
        return false;
    }
    std::string text;
    if (!row->argument.empty() && !value(text)) return false;
    return row->take(text, options, error);
}

void applyDesignOptions(const DesignOptions& options, DesignSettings& settings) {
    if (options.match) settings.match = *options.match;
    settings.tileDither = settings.tileDither || options.tileDither;
    settings.keepPalette = settings.keepPalette || options.keepPalette;
    settings.excluded.insert(settings.excluded.end(), options.excluded.begin(),
                             options.excluded.end());
}

std::vector<std::pair<std::string, std::string>> designOptionHelp() {
    std::vector<std::pair<std::string, std::string>> rows;
    for (const DesignOption& row : kOptions) {
        std::string left(row.name);
        if (!row.argument.empty()) left.append(" ").append(row.argument);
        rows.emplace_back(left, std::string(row.help));
    }
    return rows;
}

} // namespace vellora::cli
