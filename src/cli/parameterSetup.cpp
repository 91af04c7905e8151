#include "cli/parameterSetup.h"

#include "core/parameterFields.h"
#include "shell/parameterFile.h"

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

bool applySetting(ParameterBlock& block, const std::string& setting, std::string& error) {
    const std::size_t equals = setting.find('=');
    const std::string_view text(setting);
    return setParameter(block, text.substr(0, equals), text.substr(equals + 1), error);
}
} // namespace

bool prepareParameterBlock(Session& session, const CliRequest& request, std::string& error) {
    ParameterBlock block{};
    if (!loadBlock(request.parameterFile, block, error)) return false;
    for (const std::string& setting : request.settings)
        if (!applySetting(block, setting, error)) return false;
    session.workingBlock = block;
    session.savedBlock = block;
    return true;
}

} // namespace vellora::cli
