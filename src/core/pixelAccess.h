#pragma once
// Pixel routines at every depth. Row y is the y-th stored row (row 0 is the bottom of the
// picture); column x counts from the left. Within a row:
//   1 bpp  byte x/8, bit 7 - x%8 (the most significant bit is the leftmost pixel)
//   4 bpp  byte x/2, even x in the high nibble, odd x in the low nibble
//   8 bpp  byte x
//   24 bpp bytes 3x, 3x+1, 3x+2 = blue, green, red
//   32 bpp bytes 4x … 4x+2 = blue, green, red; byte 4x+3 is never read or written here
// A colour is always three bytes blue, green, red. The routines do not check coordinates, and a
// depth a routine does not handle makes it do nothing. Indices are not masked.
#include "core/dibImage.h"

#include <cstdint>
#include <cstring>

namespace vellora {

inline constexpr std::uint8_t kSetIndexMask1[8] = {0x7F, 0xBF, 0xDF, 0xEF,
                                                   0xF7, 0xFB, 0xFD, 0xFE};

inline int getIndex(const DibImage& image, std::uint8_t& index, int y, int x, int bitsPerPixel) {
    const std::uint8_t* r = image.row(y);
    switch (bitsPerPixel) {
    case 1: index = (r[x / 8] >> (7 - x % 8)) & 1; break;
    case 4: index = (x % 2 == 0) ? (r[x / 2] >> 4) & 15 : r[x / 2] & 15; break;
    case 8: index = r[x]; break;
    default: break;
    }
    return 0;
}

// For rows filled left to right in a fresh, zero-filled block.
inline int putIndexSequential(DibImage& image, std::uint8_t index, int y, int x, int bitsPerPixel) {
    std::uint8_t* r = image.row(y);
    switch (bitsPerPixel) {
    case 1:
        if (x % 8 == 0) r[x / 8] = std::uint8_t(index << 7);
        else r[x / 8] |= std::uint8_t(index << (7 - x % 8));
        break;
    case 4:
        if (x % 2 == 0) r[x / 2] = std::uint8_t(index * 16);
        else r[x / 2] |= index;
        break;
    case 8: r[x] = index; break;
    default: break;
    }
    return 0;
}

// Random-order writing that keeps the other pixels sharing the byte.
inline int setIndex(DibImage& image, std::uint8_t index, int y, int x, int bitsPerPixel) {
    std::uint8_t* r = image.row(y);
    switch (bitsPerPixel) {
    case 1:
        r[x / 8] = std::uint8_t((index << (7 - x % 8)) | (r[x / 8] & kSetIndexMask1[x % 8]));
        break;
    case 4:
        if (x % 2 == 0) r[x / 2] = std::uint8_t((index << 4) | (r[x / 2] & 0x0F));
        else r[x / 2] = std::uint8_t(index | (r[x / 2] & 0xF0));
        break;
    case 8: r[x] = index; break;
    default: break;
    }
    return 0;
}

inline int getColor(const DibImage& image, std::uint8_t* bgr, int y, int x, int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8: {
        std::uint8_t index = 0;
        getIndex(image, index, y, x, bitsPerPixel);
        std::memcpy(bgr, image.paletteEntry(index), 3);
        break;
    }
    case 24: std::memcpy(bgr, image.row(y) + 3 * x, 3); break;
    case 32: std::memcpy(bgr, image.row(y) + 4 * x, 3); break;
    default: break;
    }
    return 0;
}

inline int setColor(DibImage& image, const std::uint8_t* bgr, int y, int x, int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 24: std::memcpy(image.row(y) + 3 * x, bgr, 3); break;
    case 32: std::memcpy(image.row(y) + 4 * x, bgr, 3); break;
    default: break;
    }
    return 0;
}

// Row-at-a-time access, the form the inner loops use: the depth is dispatched once per row.
// readRowColors stores 3 * width bytes blue, green, red (indexed depths through the colour
// table); readRowIndices stores width indices of a 1/4/8 bpp row.
void readRowColors(const DibImage& image, int y, std::uint8_t* bgr);
void readRowIndices(const DibImage& image, int y, std::uint8_t* indices);
// writeRowColors stores 3 * width bytes into a 24 or 32 bpp row (the fourth byte untouched);
// writeRowIndices packs width indices into a 1/4/8 bpp row (whole bytes, as a fresh row).
void writeRowColors(DibImage& image, int y, const std::uint8_t* bgr);
void writeRowIndices(DibImage& image, int y, const std::uint8_t* indices);

} // namespace vellora
