#include "imageio/bmpRunLength.h"

#include "imageio/pictureLimits.h"

#include "core/pixelAccess.h"

#include <algorithm>

namespace vellora::imageio {

namespace {

struct RunEnd {
    std::int64_t x = 0, y = 0;
};

// Bytes of one run value and of a literal of n pixels (before its padding).
std::size_t runValueBytes(BmpPixels pixels) {
    return pixels == BmpPixels::Rle24 ? 3 : 1;
}
std::size_t literalBytes(BmpPixels pixels, std::size_t n) {
    if (pixels == BmpPixels::Rle4) return (n + 1) / 2;
    return n * runValueBytes(pixels);
}

// Pixel i of a run or a literal: an index, or blue, green, red packed low to high.
std::uint32_t runPixel(BmpPixels pixels, const std::uint8_t* value, int i) {
    if (pixels == BmpPixels::Rle4) return i % 2 ? value[0] & 15 : value[0] >> 4;
    if (pixels == BmpPixels::Rle8) return value[0];
    return value[0] | value[1] << 8 | std::uint32_t(value[2]) << 16;
}
std::uint32_t literalPixel(BmpPixels pixels, const std::uint8_t* data, int i) {
    if (pixels == BmpPixels::Rle4) return runPixel(pixels, data + i / 2, i);
    return runPixel(pixels, data + std::size_t(i) * runValueBytes(pixels), i);
}

// Walks the stream, handing every pixel it gives to put(y, x, pixel), and returns where it
// stopped. Coordinates may lie outside the picture; put clips.
template <class Put> RunEnd walkRuns(Bytes file, const BmpHeader& header, Put&& put) {
    const BmpPixels pixels = header.pixels;
    const std::size_t end = file.size(), valueBytes = runValueBytes(pixels);
    RunEnd at;
    std::size_t p = header.pixelStart;
    while (at.y < header.height && p + 2 <= end) {
        const std::uint8_t count = file[p], code = file[p + 1];
        if (count != 0) {
            if (p + 1 + valueBytes > end) break;
            for (int i = 0; i < count; ++i)
                put(at.y, at.x + i, runPixel(pixels, file.data() + p + 1, i));
            at.x += count;
            p += std::max<std::size_t>(2, 1 + valueBytes);
            continue;
        }
        p += 2;
        if (code == 0) {
            at.x = 0, ++at.y;
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            if (p + 2 > end) break;
            at.x += file[p], at.y += file[p + 1];
            p += 2;
        } else {
            const std::size_t bytes = literalBytes(pixels, code);
            if (p + bytes > end) break;
            for (int i = 0; i < code; ++i)
                put(at.y, at.x + i, literalPixel(pixels, file.data() + p, i));
            at.x += code;
            p += (bytes + 1) / 2 * 2;
        }
    }
    return at;
}

} // namespace

bool runLengthDescribesPicture(Bytes file, const BmpHeader& header, std::string& error) {
    const RunEnd at = walkRuns(file, header, [](std::int64_t, std::int64_t, std::uint32_t) {});
    const std::int64_t left = (header.height - at.y) * header.width - std::min(at.x, header.width);
    if (left <= kUndescribedPixelLimit) return true;
    error = kTooShortText;
    return false;
}

void decodeRunLengthRows(Bytes file, const BmpHeader& header, DibImage& image) {
    const int depth = image.bitsPerPixel;
    walkRuns(file, header, [&](std::int64_t y, std::int64_t x, std::uint32_t pixel) {
        if (x >= header.width || y >= header.height) return;
        if (depth != 24) {
            setIndex(image, std::uint8_t(pixel), int(y), int(x), depth);
            return;
        }
        std::uint8_t* out = image.row(int(y)) + 3 * x;
        out[0] = std::uint8_t(pixel), out[1] = std::uint8_t(pixel >> 8);
        out[2] = std::uint8_t(pixel >> 16);
    });
}

} // namespace vellora::imageio
