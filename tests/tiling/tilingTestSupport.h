#pragma once
// Shared pieces of the tiling tests.
#include "core/parameterBlock.h"
#include "tiling/tileColor.h"

#include <cstdint>

namespace vellora::test {

// The working block for "tile size" with the given sizes, slit and gray choices.
inline ParameterBlock tileSizeBlock(int tileWidth, int tileHeight, int slit, int hGray = 1,
                                    int vGray = 1) {
    ParameterBlock block = defaultParameterBlock();
    block.tilingSizeMethod = 1;
    block.tilePixelWidth = tileWidth;
    block.tilePixelHeight = tileHeight;
    block.slitPixelWidth = slit;
    block.hSlitGrayIndex = std::uint32_t(hGray);
    block.vSlitGrayIndex = std::uint32_t(vGray);
    return block;
}

// An indexed mapping that needs no palette: the blue byte divided by `step`.
inline TileColorMapping blueStepMapping(int step) {
    return {[step](const Bgr& c) { return std::uint8_t(c[0] / step); }};
}

} // namespace vellora::test
