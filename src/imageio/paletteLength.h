#pragma once
#include "core/dibImage.h"

namespace vellora::imageio {

// The colour-table entries an indexed encoder writes: `colorsUsed` when it is in range and no
// pixel uses an index past it, otherwise the full 2^bpp, so every pixel stays valid.
int paletteLength(const DibImage& image);

} // namespace vellora::imageio
