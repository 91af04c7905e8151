#pragma once
// Small picture helpers for the colour tests.
#include "core/pixelAccess.h"
#include "support/testImages.h"

#include <cstdint>
#include <vector>

namespace vellora::test {

// A true-colour picture of `height` equal rows of the given grays.
inline DibImage grayRows(const std::vector<int>& grays, int height = 1) {
    return makeTrueColorImage(int(grays.size()), height,
                              [&](int x, int) { return std::uint32_t(grays[x]) * 0x010101u; });
}
// The colours of row y as 0xRRGGBB.
inline std::vector<std::uint32_t> rowColors(const DibImage& image, int y = 0) {
    std::vector<std::uint32_t> colors;
    for (int x = 0; x < image.width; ++x)
        colors.push_back(rgbAt(image, x, y));
    return colors;
}
// The index of every pixel in storage order.
inline std::vector<std::uint8_t> indicesOf(const DibImage& image) {
    std::vector<std::uint8_t> indices;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t index = 0;
            getIndex(image, index, y, x, image.bitsPerPixel);
            indices.push_back(index);
        }
    return indices;
}

} // namespace vellora::test
