#include "imageio/pictureHelpers.h"
#include "imageio/pictureLibrary.h"

#include "core/pixelAccess.h"

namespace vellora::imageio {

void viewPixels(const DibImage& image, std::vector<std::uint32_t>& argb) {
    if (!isWellFormed(image)) {
        argb.clear();
        return;
    }
    const std::size_t width = std::size_t(image.width);
    argb.resize(width * std::size_t(image.height));
    std::vector<std::uint8_t> bgr(3 * width);
    for (int y = 0; y < image.height; ++y) {
        readRowColors(image, image.height - 1 - y, bgr.data());
        std::uint32_t* out = argb.data() + width * std::size_t(y);
        for (std::size_t x = 0; x < width; ++x)
            out[x] = 0xFF000000u | std::uint32_t(bgr[3 * x + 2]) << 16 |
                     std::uint32_t(bgr[3 * x + 1]) << 8 | bgr[3 * x];
    }
}

} // namespace vellora::imageio
