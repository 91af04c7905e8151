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

DibImage grayRows(const std::vector<int>& grays, int height) {
    return makeTrueColorImage(int(grays.size()), height,
                              [&](int x, int) { return std::uint32_t(grays[x]) * 0x010101u; });
}

std::vector<std::uint32_t> rowColors(const DibImage& image, int y) {
    std::vector<std::uint32_t> colors;
    for (int x = 0; x < image.width; ++x)
        colors.push_back(rgbAt(image, x, y));
    return colors;
}

std::vector<std::uint8_t> indicesOf(const DibImage& image) {
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
