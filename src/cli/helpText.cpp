#include "cli/helpText.h"

#include "cli/commandLine.h"

#include <algorithm>

namespace vellora::cli {

namespace {
constexpr std::size_t kColumn = 24;

std::string row(const std::string& left, std::string_view help) {
    std::string line = "  " + left;
    line.append(left.size() < kColumn ? kColumn - left.size() : 1, ' ');
    return line.append(help).append("\n");
}

// Whether `field`'s values lie within one of the step's listed fields.
bool readBy(const CommandSpec& step, const ParameterField& field) {
    return std::ranges::any_of(commandFields(step), [&](std::string_view name) {
        const ParameterField* listed = findParameterField(name);
        return listed && field.offset >= listed->offset &&
               field.offset < listed->offset + 4 * std::size_t(listed->count);
    });
}
} // namespace

std::vector<FieldGroup> fieldGroups() {
    std::vector<FieldGroup> groups;
    FieldGroup unread;
    for (const CommandSpec* step : cliSteps()) {
        FieldGroup group{step->step, {}};
        for (const ParameterField& field : parameterFields())
            if (readBy(*step, field)) group.fields.push_back(&field);
        if (!group.fields.empty()) groups.push_back(std::move(group));
    }
    for (const ParameterField& field : parameterFields()) {
        const bool read = std::ranges::any_of(
            cliSteps(), [&](const CommandSpec* step) { return readBy(*step, field); });
        if (!read) unread.fields.push_back(&field);
    }
    groups.push_back(std::move(unread));
    return groups;
}

std::string groupTitle(const FieldGroup& group) {
    return group.step.empty() ? "read by no step (saving with -o, the desktop program)"
                              : std::string(group.step);
}

std::string choicesText(const ParameterField& field) {
    std::string text;
    for (std::size_t i = 0; i < field.choices.size(); ++i) {
        if (i > 0) text += ", ";
        text += std::to_string(i) + " = " + std::string(field.choices[i]);
    }
    return text;
}

std::string helpText() {
    std::string text = usageLine() + "\n\n";
    text += "Opens INPUT, runs every STEP on it in order and writes the outputs only when\n"
            "every step succeeded. The input file is never changed.\n\nsteps:\n";
    for (const CommandSpec* step : cliSteps())
        text += row(std::string(step->step), step->help);
    text += "\noptions:\n";
    for (const auto& [left, help] : optionRows())
        text += row(left, help);
    text += "\n--help-fields for every field --set takes\n"
            "exit status: 0 success, 1 an operation failed, 2 usage error\n";
    return text;
}

std::string helpFieldsText() {
    std::string text = "fields (--set NAME=VALUE), by the step that reads them:\n";
    for (const FieldGroup& group : fieldGroups()) {
        text += "\n" + groupTitle(group) + ":\n";
        for (const ParameterField* field : group.fields) {
            text += describeParameterField(*field);
            if (!field->choices.empty()) text += "      " + choicesText(*field) + "\n";
        }
    }
    return text;
}

std::string versionText() {
    return "vellora-cli " VELLORA_VERSION "\n";
}

} // namespace vellora::cli
