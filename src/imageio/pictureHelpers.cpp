#include "imageio/pictureHelpers.h"

namespace vellora::imageio {

void fillGrayRamp(DibImage& image, int count) {
    for (int i = 1; i < count; ++i) { // entry 0, black, is what a fresh table holds
        std::uint8_t* entry = image.paletteEntry(i);
        entry[0] = entry[1] = entry[2] = std::uint8_t(i * 255 / (count - 1));
    }
}

void expand2To4(const std::uint8_t* in, std::uint8_t* out, int width) {
    for (int x = 0; x < width; ++x) {
        const std::uint8_t index = (in[x / 4] >> (6 - 2 * (x % 4))) & 3;
        if (x % 2 == 0)
            out[x / 2] = std::uint8_t(index << 4);
        else
            out[x / 2] |= index;
    }
}

bool isGrayRamp(const DibImage& image) {
    if (image.bitsPerPixel != 8) return false;
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t* entry = image.paletteEntry(i);
        if (entry[0] != i || entry[1] != i || entry[2] != i) return false;
    }
    return true;
}

bool isWellFormed(const DibImage& image) {
    const unsigned bpp = image.bitsPerPixel;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
    if (image.width < 1 || image.height < 1) return false;
    const std::uint64_t stride = (std::uint64_t(image.width) * bpp + 31) / 32 * 4;
    const std::uint64_t palette = bpp <= 8 ? 4u << bpp : 0;
    return std::uint64_t(image.stride) == stride && image.paletteOffset == kHeaderBytes &&
           image.bitsOffset == kHeaderBytes + palette &&
           image.data.size() >= kHeaderBytes + palette + stride * std::uint64_t(image.height);
}

} // namespace vellora::imageio
