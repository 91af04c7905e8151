#include "cli/sheetOptions.h"

#include "cli/sameFile.h"
#include "cli/signalCleanup.h"
#include "core/errors.h"
#include "shell/buildSheet.h"
#include "shell/pictureConvert.h"
#include "shell/sheetSetup.h"

#include <algorithm>
#include <array>
#include <filesystem>

namespace vellora::cli {

namespace fs = std::filesystem;

namespace {

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// The sheet's files; each reader stores a valid name or says what the name needs.
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
    why = "given twice";
    if (!sheet.shopping.empty()) return false;
    why = "needs a file name";
    sheet.shopping = value;
    return !value.empty();
}

struct SheetFileOption {
    std::string_view option;
    std::string_view help;
    bool (*read)(const std::string& value, SheetRequest& sheet, std::string& why);
};

constexpr auto kFileOptions = std::to_array<SheetFileOption>({
    {"--chart", "write the chart as PDF or SVG by the extension (a PDF and an SVG)", readChart},
    {"--shopping", "write the shopping list as CSV", readShopping},
});

// A sheet field's value, checked as it will be applied.
bool readField(const SheetField& field, const std::string& value, SheetRequest& sheet,
               std::string& why) {
    const bool given =
        std::ranges::any_of(sheet.fields, [&](const auto& f) { return f.first == field.name; });
    why = "given twice";
    if (given) return false;
    DesignSettings scratch;
    if (!field.parse(value, scratch, why)) return false;
    sheet.fields.emplace_back(field.name, value);
    return true;
}

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

int writeWhole(Session& session, int (*save)(Session&, const fs::path&), const std::string& path) {
    session.dialogInfo = session.currentInfo;
    const SignalHold hold; // the file lands whole before an interruption is handled
    return save(session, path);
}

} // namespace

SheetOption takeSheetOption(std::string_view option, std::span<const std::string> arguments,
                            std::size_t& next, SheetRequest& sheet, std::string& error) {
    const auto fileOption = std::ranges::find(kFileOptions, option, &SheetFileOption::option);
    const SheetField* field = option.starts_with("--") ? findSheetField(option.substr(2)) : nullptr;
    if (fileOption == kFileOptions.end() && !field) return SheetOption::notSheet;
    const std::string name(option);
    if (next >= arguments.size()) {
        error = name + " needs a value";
        return SheetOption::refused;
    }
    const std::string& value = arguments[next++];
    std::string why;
    const bool read =
        field ? readField(*field, value, sheet, why) : fileOption->read(value, sheet, why);
    if (read) return SheetOption::taken;
    error = name + " " + why;
    return SheetOption::refused;
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
            if (namesSameFile(files[j].second, path))
                return files[j].first + " and " + option + " name the same file " + inQuotes(path);
    }
    return {};
}

int prepareSheet(Session& session, const SheetRequest& sheet) {
    for (const auto& [name, value] : sheet.fields) {
        std::string why;
        findSheetField(name)->parse(value, session.design, why); // checked when it was read
    }
    return applyDesignTileLine(session);
}

int writeSheetOutputs(Session& session, const SheetRequest& sheet) {
    for (const std::string& chart : sheet.charts)
        if (writeWhole(session, saveChart, chart) != 0) return kFailed;
    if (!sheet.shopping.empty() && writeWhole(session, saveShoppingList, sheet.shopping) != 0)
        return kFailed;
    return 0;
}

std::vector<std::pair<std::string, std::string>> sheetOptionHelp() {
    std::vector<std::pair<std::string, std::string>> lines;
    for (const SheetField& field : sheetFields())
        lines.emplace_back("--" + std::string(field.name) + " " + std::string(field.argument),
                           std::string(field.help));
    for (const SheetFileOption& option : kFileOptions)
        lines.emplace_back(std::string(option.option) + " FILE", std::string(option.help));
    return lines;
}

} // namespace vellora::cli
