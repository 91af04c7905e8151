#pragma once
// Pictures for the colour tests: deterministic noise at every depth.
#include "core/dibImage.h"

#include <cstdint>

namespace vellora::test {

// A picture of the given depth whose colours (or indices and palette) come from a fixed
// pseudo-random sequence; each channel takes one of `levels` evenly spaced values (few levels
// give repeated colours and ties at the cut).
DibImage noiseImage(int width, int height, int bitsPerPixel, std::uint32_t streamStart,
                    int levels = 256);

} // namespace vellora::test
