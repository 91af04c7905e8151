#pragma once
// The header of a bitmap file in any of its common variants: core (12 bytes), the two-byte
// family of 16 … 64-byte headers, info (40), V2 (52), V3 (56), V4 (108) and V5 (124).
#include "imageio/codecs.h"

#include <cstdint>
#include <string>

namespace vellora::imageio {

enum class BmpPixels { Plain, Rle8, Rle4, Rle24, BitFields };

struct BmpChannelMask {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t maximum = 0; // mask >> shift; 0 when the channel is absent
};

struct BmpHeader {
    std::int64_t width = 0;
    std::int64_t height = 0; // positive
    bool topDown = false;
    int bitsPerPixel = 0; // as stored: 1, 2, 4, 8, 16, 24, 32
    BmpPixels pixels = BmpPixels::Plain;
    BmpChannelMask red, green, blue, alpha;
    std::uint32_t colorsUsedField = 0;
    std::size_t paletteStart = 0;
    int paletteEntryBytes = 4;
    std::uint32_t paletteCount = 0; // entries to read, at most 2^bpp and within the file
    std::size_t pixelStart = 0;
    int openDepth = 0; // the depth the picture opens as
};

bool parseBmpHeader(Bytes file, BmpHeader& header, std::string& error);

// The Windows info header and its later versions (40, 52, 56, 108, 124 bytes), where
// compression 4 and 5 wrap a JPEG or PNG file.
bool isWindowsBmpHeader(std::uint32_t size);

// The headers of a bitmap file read from the first bytes alone, with the file's length: the
// same answer as from the whole file. The head must hold the first kBmpHeadBytes bytes (all of
// a shorter file).
inline constexpr std::size_t kBmpHeadBytes = 4096;
bool parseBmpHeader(Bytes head, std::uint64_t length, BmpHeader& header, std::string& error);

} // namespace vellora::imageio
