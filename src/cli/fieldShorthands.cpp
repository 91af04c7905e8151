#include "cli/fieldShorthands.h"

#include "core/parameterFields.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

namespace vellora::cli {

namespace {

using Settings = std::vector<FieldSetting>;

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

const ParameterField& field(std::string_view name) {
    return *findParameterField(name); // the names below are the table's own
}

// The value of `name` whose choice is `choice`.
std::optional<int> choiceIndex(std::string_view name, std::string_view choice) {
    const std::span<const std::string_view> choices = field(name).choices;
    const auto found = std::ranges::find_if(
        choices, [&](std::string_view c) { return c == choice || choiceWord(c) == choice; });
    if (found == choices.end()) return std::nullopt;
    return int(found - choices.begin());
}

// "a, b or c" of a field's choices.
std::string choiceList(std::string_view name) {
    const std::span<const std::string_view> choices = field(name).choices;
    std::string list;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (i > 0) list += i + 1 == choices.size() ? " or " : ", ";
        list += choiceWord(choices[i]);
    }
    return list;
}

FieldSetting setTo(std::string_view name, std::int64_t value, int index = -1) {
    return {std::string(name), index, std::to_string(value)};
}

bool parseCount(std::string_view text, std::int64_t& value) {
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, value);
    return failure == std::errc{} && stop == end; // an empty text is no number either
}

// A number within the range of the field `name`.
bool readFieldNumber(std::string_view name, std::string_view text, std::int64_t& value) {
    return parseCount(text, value) && value >= field(name).minimum && value <= field(name).maximum;
}

// The median cut of both the tiling and the colour processing: the colour counts are the
// tiling's median-cut choices, which the colour processing's decrease list shares.
bool takeColors(const std::string& value, Settings& settings, std::string& error) {
    const std::optional<int> count = choiceIndex("tilingMedianIndex", value);
    const std::optional<int> tilingDecrease = choiceIndex("tilingPaletteClass", "decrease");
    const std::optional<int> colorDecrease = choiceIndex("colorMethod", "decrease");
    if (!count || !tilingDecrease || !colorDecrease) {
        error = "--colors needs " + choiceList("tilingMedianIndex") + ", got " + quoted(value);
        return false;
    }
    settings.insert(settings.end(),
                    {setTo("tilingConvert", 1), setTo("tilingPaletteClass", *tilingDecrease),
                     setTo("tilingMedianIndex", *count), setTo("colorMethod", *colorDecrease),
                     // colorChoice holds one value per method, in method order
                     setTo("colorChoice", *count, *colorDecrease)});
    return true;
}

bool takeTile(const std::string& value, Settings& settings, std::string& error) {
    const std::size_t x = value.find('x');
    const std::string_view text(value);
    std::int64_t width{}, height{};
    const bool read =
        readFieldNumber("tilePixelWidth", text.substr(0, x), width) &&
        readFieldNumber("tilePixelHeight",
                        x == std::string::npos ? text.substr(0, x) : text.substr(x + 1), height);
    const std::optional<int> bySize = choiceIndex("tilingSizeMethod", "tile size");
    if (!read || !bySize) {
        error = "--tile needs W or WxH in pixels, 1 to " +
                std::to_string(field("tilePixelWidth").maximum) + ", got " + quoted(value);
        return false;
    }
    settings.insert(settings.end(),
                    {setTo("tilingSizeMethod", *bySize), setTo("tilePixelWidth", width),
                     setTo("tilePixelHeight", height)});
    return true;
}

bool takeGrout(const std::string& value, Settings& settings, std::string& error) {
    std::int64_t width = 0;
    if (!readFieldNumber("slitPixelWidth", value, width)) {
        error = "--grout needs a width in pixels, 0 to " +
                std::to_string(field("slitPixelWidth").maximum) + ", got " + quoted(value);
        return false;
    }
    settings.push_back(setTo("slitPixelWidth", width));
    return true;
}

bool takeGroutGray(const std::string& value, Settings& settings, std::string& error) {
    const std::optional<int> gray = choiceIndex("hSlitGrayIndex", value);
    if (!gray || choiceIndex("vSlitGrayIndex", value) != gray) {
        error = "--grout-gray needs " + choiceList("hSlitGrayIndex") + ", got " + quoted(value);
        return false;
    }
    settings.insert(settings.end(),
                    {setTo("hSlitGrayIndex", *gray), setTo("vSlitGrayIndex", *gray)});
    return true;
}

struct Shorthand {
    std::string_view option;
    std::string_view argument;
    std::string_view help;
    bool (*take)(const std::string& value, Settings& settings, std::string& error);
    std::string_view valuesFrom = {}; // the field whose choices are the values it takes
};

constexpr auto kShorthands = std::to_array<Shorthand>({
    {"--colors", "N", "tiling and color: median cut to N = 2, 4, ... 256 colours", takeColors,
     "tilingMedianIndex"},
    {"--tile", "W[xH]", "tiling: tiles of W x H pixels (H = W unless given)", takeTile},
    {"--grout", "N", "tiling: grout (slit) width in pixels, 0 for none", takeGrout},
    {"--grout-gray", "NAME", "tiling: grout gray, white ... black", takeGroutGray,
     "hSlitGrayIndex"},
});

const Shorthand* findShorthand(std::string_view option) {
    const auto found = std::ranges::find(kShorthands, option, &Shorthand::option);
    return found == kShorthands.end() ? nullptr : &*found;
}

} // namespace

bool isFieldShorthand(std::string_view option) {
    return findShorthand(option) != nullptr;
}

bool takeFieldShorthand(std::string_view option, const std::string& value, Settings& settings,
                        std::string& error) {
    const Shorthand* row = findShorthand(option);
    if (!row) {
        error = "unknown option " + quoted(option);
        return false;
    }
    return row->take(value, settings, error);
}

std::vector<std::string> shorthandValueWords(std::string_view option) {
    const Shorthand* row = findShorthand(option);
    std::vector<std::string> words;
    if (row && !row->valuesFrom.empty())
        for (std::string_view choice : field(row->valuesFrom).choices)
            words.push_back(choiceWord(choice));
    return words;
}

std::vector<std::pair<std::string, std::string>> fieldShorthandHelp() {
    std::vector<std::pair<std::string, std::string>> lines;
    for (const Shorthand& row : kShorthands)
        lines.emplace_back(std::string(row.option) + " " + std::string(row.argument),
                           std::string(row.help));
    return lines;
}

std::string choiceWord(std::string_view choice) {
    std::string word(choice);
    std::ranges::replace(word, ' ', '-');
    return word;
}

} // namespace vellora::cli
