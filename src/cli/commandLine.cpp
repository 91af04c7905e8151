#include "cli/commandLine.h"

#include "core/parameterFields.h"

#include <algorithm>

namespace vellora::cli {

namespace {
std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
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
            if (request_.help) return true;
        }
        if (request_.input.empty()) {
            error = "no input picture given";
            return false;
        }
        sortOutputs();
        return true;
    }

  private:
    bool takeValue(const std::string& option, std::string& value, std::string& error) {
        if (next_ >= arguments_.size()) {
            error = option + " needs a value";
            return false;
        }
        value = arguments_[next_++];
        return true;
    }

    bool takeOption(const std::string& option, std::string& error) {
        if (option == "--help" || option == "-h") {
            request_.help = true;
            return true;
        }
        if (option == "--par") return takeParameterFile(error);
        if (option == "--set") return takeSetting(error);
        if (const CliOutput* output = findCliOutput(option)) return takeOutput(*output, error);
        if (const SheetOption sheet =
                takeSheetOption(option, arguments_, next_, request_.sheet, error);
            sheet != SheetOption::notSheet)
            return sheet == SheetOption::taken;
        if (isDesignOption(option))
            return takeDesignOption(
                option, [&](std::string& value) { return takeValue(option, value, error); },
                request_.design, error);
        error = "unknown option " + inQuotes(option);
        return false;
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
        if (setting.find('=') == std::string::npos || setting.front() == '=') {
            error = "--set needs NAME=VALUE, got " + inQuotes(setting);
            return false;
        }
        request_.settings.push_back(setting);
        return true;
    }

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
            error = "unknown step " + inQuotes(word);
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

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    else
        text.push_back(' ');
    return text;
}
} // namespace

bool parseCommandLine(std::span<const std::string> arguments, CliRequest& request,
                      std::string& error) {
    request = CliRequest{};
    return Parser(arguments, request).run(error);
}

std::string usageLine() {
    std::string line = "usage: vellora-cli [--par FILE] [--set NAME=VALUE]... INPUT [STEP]...";
    for (const CliOutput& output : cliOutputs())
        line.append(" [").append(output.option).append(" ").append(output.argument).append("]");
    return line;
}

std::string helpText() {
    constexpr std::size_t kColumn = 24;
    std::string text = usageLine() + "\n\n";
    text += "Opens INPUT, runs every STEP on it in order and writes the outputs only when\n"
            "every step succeeded. The input file is never changed.\n\noptions:\n";
    text += "  " + padded("--par FILE", kColumn) +
            "start from the parameter block of FILE (otherwise the defaults)\n";
    text += "  " + padded("--set NAME=VALUE", kColumn) + "set a field of the parameter block\n";
    for (const CliOutput& output : cliOutputs()) {
        const std::string left = std::string(output.option) + " " + std::string(output.argument);
        text += "  " + padded(left, kColumn) + std::string(output.help) + "\n";
    }
    for (const auto& [left, help] : sheetOptionHelp())
        text += "  " + padded(left, kColumn) + help + "\n";
    text += designOptionsHelp(kColumn);
    text += "  " + padded("--help", kColumn) + "show this text\n\nsteps:\n";
    for (const CommandSpec* step : cliSteps())
        text += "  " + padded(std::string(step->step), kColumn) + std::string(step->help) + "\n";
    text += "\nfields (--set NAME=VALUE):\n" + describeParameterFields();
    text += "\nexit status: 0 success, 1 an operation failed, 2 usage error\n";
    return text;
}

} // namespace vellora::cli
