#pragma once
// Small pixel helpers the codecs share.
#include "core/dibImage.h"

#include <cstdint>

namespace vellora::imageio {

// A colour channel with alpha composited over white: (c·a + 255·(255 − a) + 127) / 255.
inline std::uint8_t overWhite(unsigned channel, unsigned alpha) {
    return std::uint8_t((channel * alpha + 255u * (255u - alpha) + 127u) / 255u);
}

// Fills the first `count` entries of a fresh (all zero) colour table with an even gray ramp from
// black to white.
void fillGrayRamp(DibImage& image, int count);

// A row of 2-bit indices as 4-bit ones (the depth 2-bit pictures open at), same values.
void expand2To4(const std::uint8_t* in, std::uint8_t* out, int width);

// Whether the image is 8 bpp and its 256 colour-table entries are the gray ramp i, i, i.
bool isGrayRamp(const DibImage& image);

// The picture's row `screenRow` counted from the top as seen (the stored rows are bottom-up).
inline std::uint8_t* rowFromTop(DibImage& image, int screenRow) {
    return image.row(image.height - 1 - screenRow);
}
inline const std::uint8_t* rowFromTop(const DibImage& image, int screenRow) {
    return image.row(image.height - 1 - screenRow);
}

// Whether the block holds the whole geometry the header fields promise (a usable image).
bool isWellFormed(const DibImage& image);

} // namespace vellora::imageio
