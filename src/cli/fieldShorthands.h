#pragma once
// Options that set parameter-block fields by what they mean rather than by field name:
// --colors, --tile, --grout, --grout-gray. Each becomes field settings, applied in the order
// given among the --set ones, so a later option or --set wins.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vellora::cli {

// One field, or one value of a multi-value field, and its text as --set takes it.
struct FieldSetting {
    std::string name;
    int index = -1; // -1: every value of the field at once
    std::string value;
    bool operator==(const FieldSetting&) const = default;
};

bool isFieldShorthand(std::string_view option);

// The settings `value` of the shorthand `option` stands for, appended to `settings`; false
// with the reason in `error` for a value the option does not take.
bool takeFieldShorthand(std::string_view option, const std::string& value,
                        std::vector<FieldSetting>& settings, std::string& error);

// The values a shorthand takes by name ("white", "light-gray", ...), empty for one taking any
// number.
std::vector<std::string> shorthandValueWords(std::string_view option);

// "--colors N" and its line of help, for every shorthand.
std::vector<std::pair<std::string, std::string>> fieldShorthandHelp();

// A choice name as the command line spells it: "light gray" -> "light-gray".
std::string choiceWord(std::string_view choice);

} // namespace vellora::cli
