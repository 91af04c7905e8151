#include "core/pixelAccess.h"

#include <algorithm>

namespace vellora {

void readRowIndices(const DibImage& image, int y, std::uint8_t* indices) {
    const std::uint8_t* r = image.row(y);
    const int w = image.width;
    switch (image.bitsPerPixel) {
    case 1:
        for (int x = 0; x < w; ++x) indices[x] = (r[x >> 3] >> (7 - (x & 7))) & 1;
        break;
    case 4:
        for (int x = 0; x < w; ++x) indices[x] = (x & 1) ? r[x >> 1] & 15 : r[x >> 1] >> 4;
        break;
    case 8: std::memcpy(indices, r, std::size_t(w)); break;
    default: break;
    }
}

void readRowColors(const DibImage& image, int y, std::uint8_t* bgr) {
    const std::uint8_t* r = image.row(y);
    const int w = image.width;
    switch (image.bitsPerPixel) {
    case 1:
    case 4:
    case 8: {
        // The indices go to the last third of the output first; expanding front to back never
        // overwrites an index not yet used.
        std::uint8_t* indices = bgr + 2 * std::size_t(w);
        readRowIndices(image, y, indices);
        const std::uint8_t* palette = image.paletteEntry(0);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* entry = palette + 4 * indices[x];
            bgr[3 * x] = entry[0];
            bgr[3 * x + 1] = entry[1];
            bgr[3 * x + 2] = entry[2];
        }
        break;
    }
    case 24: std::memcpy(bgr, r, 3 * std::size_t(w)); break;
    case 32:
        for (int x = 0; x < w; ++x) std::memcpy(bgr + 3 * x, r + 4 * x, 3);
        break;
    default: break;
    }
}

void writeRowColors(DibImage& image, int y, const std::uint8_t* bgr) {
    std::uint8_t* r = image.row(y);
    const int w = image.width;
    if (image.bitsPerPixel == 24) std::memcpy(r, bgr, 3 * std::size_t(w));
    else if (image.bitsPerPixel == 32)
        for (int x = 0; x < w; ++x) std::memcpy(r + 4 * x, bgr + 3 * x, 3);
}

void writeRowIndices(DibImage& image, int y, const std::uint8_t* indices) {
    std::uint8_t* r = image.row(y);
    const int w = image.width;
    switch (image.bitsPerPixel) {
    case 1: {
        // Each byte is formed in a register, the last one's bits past the row left 0.
        for (int x = 0; x < w; x += 8) {
            unsigned byte = 0;
            for (int i = x; i < std::min(x + 8, w); ++i) byte |= indices[i] << (7 - (i & 7));
            r[x >> 3] = std::uint8_t(byte);
        }
        break;
    }
    case 4: {
        int x = 0;
        for (; x + 2 <= w; x += 2) r[x >> 1] = std::uint8_t(indices[x] << 4 | indices[x + 1]);
        if (x < w) r[x >> 1] = std::uint8_t(indices[x] << 4);
        break;
    }
    case 8: std::memcpy(r, indices, std::size_t(w)); break;
    default: break;
    }
}

} // namespace vellora
