// The parameter file reader on arbitrary bytes, and the named fields on arbitrary text: a loaded
// block always passes the range checks, and every value it holds is accepted back by name.
#include "core/parameterFields.h"
#include "shell/parameterFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

using namespace vellora;

namespace {

void checkLoadedBlock(const ParameterBlock& block) {
    ParameterBlock repaired = block;
    repairParameterBlock(repaired);
    if (std::memcmp(&repaired, &block, sizeof block) != 0) std::abort(); // already repaired
    if (!hasTerminatedPath(block)) std::abort();
    for (const ParameterField& field : parameterFields()) {
        ParameterBlock copy = defaultParameterBlock();
        std::string error;
        if (!setParameter(copy, field.name, parameterValueText(block, field), error)) std::abort();
    }
}

// The bytes also serve as NAME=VALUE text for setParameter.
void checkAssignment(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return;
    ParameterBlock block = defaultParameterBlock();
    const ParameterBlock before = block;
    std::string error;
    const bool accepted =
        setParameter(block, text.substr(0, equals), text.substr(equals + 1), error);
    if (!accepted && (error.empty() || std::memcmp(&block, &before, sizeof block) != 0))
        std::abort();
    if (accepted) checkLoadedBlock(block);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ParameterFileReserved reserved{};
    ParameterBlock block = defaultParameterBlock();
    if (loadParameterBytes(std::span<const std::uint8_t>(data, size), reserved, block))
        checkLoadedBlock(block);
    checkAssignment(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
