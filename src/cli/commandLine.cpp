#include "cli/commandLine.h"

#include "cli/suggestion.h"

#include <algorithm>
#include <array>

namespace vellora::cli {

namespace {
std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::vector<std::string_view> stepNames() {
    std::vector<std::string_view> names;
    for (const CommandSpec* step : cliSteps())
        names.push_back(step->step);
    return names;
}

class Parser {
  public:
    Parser(std::span<const std::string> arguments, CliRequest& request)
        : arguments_(arguments), request_(request) {}

    bool run(std::string& error) {
        bool optionsEnded = false;
        for (next_ = 0; next_ < arguments_.size();) {
            const std::string& word = arguments_[next_++];
            const bool isOption = !optionsEnded && word.size() > 1 && word[0] == '-';
            if (!optionsEnded && word == "--")
                optionsEnded = true;
            else if (isOption && !takeOption(word, error))
                return false;
            else if (!isOption && !takeWord(word, error))
                return false;
            if (request_.asked != Asked::run) return true;
        }
        if (request_.input.empty()) {
            error = "no input picture given";
            return false;
        }
        sortOutputs();
        return true;
    }

    bool takeValue(const std::string& option, std::string& value, std::string& error) {
        if (next_ >= arguments_.size()) {
            error = option + " needs a value";
            return false;
        }
        value = arguments_[next_++];
        return true;
    }

    bool takeParameterFile(std::string& error) {
        if (!request_.parameterFile.empty()) {
            error = "--par given twice";
            return false;
        }
        if (!takeValue("--par", request_.parameterFile, error)) return false;
        if (!request_.parameterFile.empty()) return true;
        error = "--par needs a file name";
        return false;
    }

    bool takeSetting(std::string& error) {
        std::string setting;
        if (!takeValue("--set", setting, error)) return false;
        const std::size_t equals = setting.find('=');
        if (equals == std::string::npos || equals == 0) {
            error = "--set needs NAME=VALUE, got " + inQuotes(setting);
            return false;
        }
        request_.settings.push_back({setting.substr(0, equals), -1, setting.substr(equals + 1)});
        return true;
    }

    bool ask(Asked asked) {
        request_.asked = asked;
        return true;
    }

    bool beQuiet() {
        request_.quiet = true;
        return true;
    }

  private:
    bool takeOption(const std::string& option, std::string& error);

    bool takeOutput(const CliOutput& output, std::string& error) {
        const std::string option(output.option);
        const bool repeated = std::ranges::any_of(
            request_.outputs, [&](const OutputRequest& r) { return r.output == &output; });
        if (repeated) {
            error = option + " given twice";
            return false;
        }
        std::string path;
        if (!takeValue(option, path, error)) return false;
        if (path.empty()) {
            error = option + " needs a file name";
            return false;
        }
        request_.outputs.push_back({&output, path});
        return true;
    }

    bool takeShorthand(const std::string& option, std::string& error) {
        std::string value;
        return takeValue(option, value, error) &&
               takeFieldShorthand(option, value, request_.settings, error);
    }

    bool takeWord(const std::string& word, std::string& error) {
        if (request_.input.empty()) {
            if (word.empty()) {
                error = "the input file name is empty";
                return false;
            }
            request_.input = word;
            return true;
        }
        const CommandSpec* step = findCliStep(word);
        if (!step) {
            error = "unknown step " + inQuotes(word) + didYouMean(word, stepNames());
            return false;
        }
        request_.steps.push_back(step);
        return true;
    }

    void sortOutputs() {
        const auto rank = [](const OutputRequest& r) { return r.output - cliOutputs().data(); };
        std::ranges::stable_sort(request_.outputs, {}, rank);
    }

    std::span<const std::string> arguments_;
    CliRequest& request_;
    std::size_t next_ = 0;
};

// The options of the block and of what the run answers, beside the tables of the others.
struct PlainOption {
    std::string_view name;
    std::string_view argument;
    std::string_view help; // empty: a second spelling, left out of --help
    bool (*take)(Parser& parser, std::string& error);
};

constexpr auto kBlockOptions = std::to_array<PlainOption>({
    {"--par", "FILE", "start from the parameter block of FILE (otherwise the defaults)",
     [](Parser& p, std::string& error) { return p.takeParameterFile(error); }},
    {"--set", "NAME=VALUE", "set any field of the parameter block (see --help-fields)",
     [](Parser& p, std::string& error) { return p.takeSetting(error); }},
});

constexpr auto kInfoOptions = std::to_array<PlainOption>({
    {"--quiet", "", "no progress line or summary, even on a terminal",
     [](Parser& p, std::string&) { return p.beQuiet(); }},
    {"--help", "", "show this text", [](Parser& p, std::string&) { return p.ask(Asked::help); }},
    {"-h", "", "", [](Parser& p, std::string&) { return p.ask(Asked::help); }},
    {"--help-fields", "", "list every field by step, with its range, default and choices",
     [](Parser& p, std::string&) { return p.ask(Asked::helpFields); }},
    {"--version", "", "show the version",
     [](Parser& p, std::string&) { return p.ask(Asked::version); }},
});

const PlainOption* findPlainOption(std::string_view name) {
    for (const auto& table :
         {std::span<const PlainOption>(kBlockOptions), std::span<const PlainOption>(kInfoOptions)})
        for (const PlainOption& option : table)
            if (option.name == name) return &option;
    return nullptr;
}

void addPlainRows(std::span<const PlainOption> options,
                  std::vector<std::pair<std::string, std::string>>& rows) {
    for (const PlainOption& option : options) {
        if (option.help.empty()) continue;
        std::string left(option.name);
        if (!option.argument.empty()) left.append(" ").append(option.argument);
        rows.emplace_back(left, std::string(option.help));
    }
}

bool Parser::takeOption(const std::string& option, std::string& error) {
    if (const PlainOption* plain = findPlainOption(option)) return plain->take(*this, error);
    if (isFieldShorthand(option)) return takeShorthand(option, error);
    if (const CliOutput* output = findCliOutput(option)) return takeOutput(*output, error);
    if (const SheetOption sheet = takeSheetOption(option, arguments_, next_, request_.sheet, error);
        sheet != SheetOption::notSheet)
        return sheet == SheetOption::taken;
    if (isDesignOption(option))
        return takeDesignOption(
            option, [&](std::string& value) { return takeValue(option, value, error); },
            request_.design, error);
    error = "unknown option " + inQuotes(option) + didYouMean(option, optionNames());
    return false;
}
} // namespace

bool parseCommandLine(std::span<const std::string> arguments, CliRequest& request,
                      std::string& error) {
    request = CliRequest{};
    return Parser(arguments, request).run(error);
}

bool writesAnything(const CliRequest& request) {
    return !request.outputs.empty() || !request.sheet.charts.empty() ||
           !request.sheet.shopping.empty();
}

std::vector<std::pair<std::string, std::string>> optionRows() {
    std::vector<std::pair<std::string, std::string>> rows;
    addPlainRows(kBlockOptions, rows);
    for (auto& row : fieldShorthandHelp())
        rows.push_back(std::move(row));
    for (const CliOutput& output : cliOutputs())
        rows.emplace_back(std::string(output.option) + " " + std::string(output.argument),
                          std::string(output.help));
    for (auto& row : sheetOptionHelp())
        rows.push_back(std::move(row));
    for (auto& row : designOptionHelp())
        rows.push_back(std::move(row));
    addPlainRows(kInfoOptions, rows);
    return rows;
}

std::vector<std::string_view> optionNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> words;
        for (const auto& [left, help] : optionRows())
            words.push_back(left.substr(0, left.find(' ')));
        return words;
    }();
    return {names.begin(), names.end()};
}

std::string usageLine() {
    std::string line = "usage: vellora-cli [--par FILE] [--set NAME=VALUE]... INPUT [STEP]...";
    for (const CliOutput& output : cliOutputs())
        line.append(" [").append(output.option).append(" ").append(output.argument).append("]");
    return line;
}

} // namespace vellora::cli
