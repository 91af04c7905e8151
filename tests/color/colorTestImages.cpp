#include "color/colorTestImages.h"

#include "core/pixelAccess.h"
#include "support/testImages.h"

namespace vellora::test {

namespace {
struct Stream {
    std::uint32_t state;
    std::uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};
} // namespace

DibImage noiseImage(int width, int height, int bitsPerPixel, std::uint32_t streamStart,
                    int levels) {
    Stream stream{streamStart};
    const auto channel = [&] {
        const int step = 255 / (levels > 1 ? levels - 1 : 1);
        return std::uint8_t(int(stream.next() % std::uint32_t(levels)) * step);
    };
    DibImage image =
        makeImage(width, height, bitsPerPixel, bitsPerPixel <= 8 ? 1u << bitsPerPixel : 0);
    for (std::uint32_t i = 0; i < image.paletteEntries; ++i) {
        std::uint8_t* e = image.paletteEntry(int(i));
        e[0] = channel(), e[1] = channel(), e[2] = channel();
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (image.isIndexed()) {
                setIndex(image, std::uint8_t(stream.next() % image.paletteEntries), y, x,
                         bitsPerPixel);
            } else {
                const std::uint8_t bgr[3] = {channel(), channel(), channel()};
                setColor(image, bgr, y, x, bitsPerPixel);
            }
        }
    return image;
}

} // namespace vellora::test
