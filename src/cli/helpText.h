#pragma once
// The texts that answer --help, --help-fields and --version, made from the option tables, the
// command registry and the field table.
#include "core/parameterFields.h"

#include <string>
#include <string_view>
#include <vector>

namespace vellora::cli {

// The fields one step reads (those lying within its listed fields, so cropLeft goes with
// cropRect), or, with an empty step name, the fields no step reads.
struct FieldGroup {
    std::string_view step;
    std::vector<const ParameterField*> fields;
};
std::vector<FieldGroup> fieldGroups();
// "tiling", or what the fields of no step are for.
std::string groupTitle(const FieldGroup& group);

// "0 = white, 1 = light gray, ..."; empty for a field without named choices.
std::string choicesText(const ParameterField& field);

std::string helpText();       // usage, steps, options: short
std::string helpFieldsText(); // every field, grouped by step
std::string versionText();    // "vellora-cli 0.1.0"

} // namespace vellora::cli
