#include "imageio/paletteLength.h"

#include "core/pixelAccess.h"

#include <algorithm>
#include <vector>

namespace vellora::imageio {

int paletteLength(const DibImage& image) {
    const int full = 1 << image.bitsPerPixel;
    const int used = int(image.colorsUsed);
    if (used < 1 || used >= full) return full;
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(image.width));
    for (int y = 0; y < image.height; ++y) {
        readRowIndices(image, y, indices.data());
        if (*std::max_element(indices.begin(), indices.end()) >= used) return full;
    }
    return used;
}

} // namespace vellora::imageio
