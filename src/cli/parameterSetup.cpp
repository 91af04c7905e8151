#include "cli/parameterSetup.h"

#include "cli/suggestion.h"
#include "core/parameterFields.h"
#include "shell/parameterFile.h"

#include <algorithm>
#include <vector>

namespace vellora::cli {

namespace {
bool loadBlock(const std::string& path, ParameterBlock& block, std::string& error) {
    block = defaultParameterBlock();
    if (path.empty()) return true;
    ParameterFileReserved reserved{};
    if (loadParameterFile(path, reserved, block)) return true;
    error = "cannot read the parameter file \"" + path + "\"";
    return false;
}

std::vector<std::string_view> fieldNames() {
    std::vector<std::string_view> names;
    for (const ParameterField& field : parameterFields())
        names.push_back(field.name);
    return names;
}

// The field's values as text, value `index` replaced by `value`.
std::string withValue(const ParameterBlock& block, const ParameterField& field, int index,
                      const std::string& value) {
    const std::string values = parameterValueText(block, field);
    std::string text;
    std::size_t start = 0;
    for (int i = 0; i < field.count; ++i) {
        const std::size_t comma = std::min(values.find(',', start), values.size());
        if (i > 0) text += ',';
        text += i == index ? value : values.substr(start, comma - start);
        start = comma + 1;
    }
    return text;
}

bool applySetting(ParameterBlock& block, const FieldSetting& setting, std::string& error) {
    const ParameterField* field = findParameterField(setting.name);
    const std::string value = field && setting.index >= 0
                                  ? withValue(block, *field, setting.index, setting.value)
                                  : setting.value;
    if (setParameter(block, setting.name, value, error)) return true;
    if (!field) error += didYouMean(setting.name, fieldNames());
    return false;
}
} // namespace

bool prepareParameterBlock(Session& session, const CliRequest& request, std::string& error) {
    ParameterBlock block{};
    if (!loadBlock(request.parameterFile, block, error)) return false;
    for (const FieldSetting& setting : request.settings)
        if (!applySetting(block, setting, error)) return false;
    session.workingBlock = block;
    session.savedBlock = block;
    return true;
}

} // namespace vellora::cli
