#pragma once
// Pictures for the colour tests: deterministic noise at every depth.
#include "core/dibImage.h"

#include <cstdint>
#include <vector>

namespace vellora::test {

// A picture of the given depth whose colours (or indices and palette) come from a fixed
// pseudo-random sequence; each channel takes one of `levels` evenly spaced values (few levels
// give repeated colours and ties at the cut).
DibImage noiseImage(int width, int height, int bitsPerPixel, std::uint32_t streamStart,
                    int levels = 256);
// A true-colour picture of `height` equal rows of the given grays.
DibImage grayRows(const std::vector<int>& grays, int height = 1);
// The colours of row y as 0xRRGGBB; the index of every pixel in storage order.
std::vector<std::uint32_t> rowColors(const DibImage& image, int y = 0);
std::vector<std::uint8_t> indicesOf(const DibImage& image);

} // namespace vellora::test
