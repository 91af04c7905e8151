#include "core/parameterBlock.h"

#include <cstring>

namespace vellora {

ParameterBlock defaultParameterBlock() {
    ParameterBlock block;
    std::memset(&block, 0, sizeof block);
    setParameterDefaults(block);
    return block;
}

bool hasTerminatedPath(const ParameterBlock& block) {
    return std::memchr(block.userPalettePath, 0, sizeof block.userPalettePath) != nullptr;
}

} // namespace vellora
