#include "imageio/bmpAsIs.h"

#include "core/errors.h"
#include "imageio/bmpHeader.h"
#include "imageio/pictureLimits.h"

#include <array>
#include <cstring>

namespace vellora::imageio {

namespace {

using Header = std::array<std::uint8_t, kHeaderBytes>;

// The geometry and header a fresh picture of this size, depth and colour count gets.
bool freshShape(std::int64_t width, std::int64_t height, int bitsPerPixel, std::uint32_t colorsUsed,
                DibImage& shape, Header& header) {
    if (!pictureFits(width, height, bitsPerPixel)) return false;
    shape.width = std::int32_t(width);
    shape.height = std::int32_t(height);
    shape.bitsPerPixel = std::uint16_t(bitsPerPixel);
    shape.colorsUsed = colorsUsed;
    shape.compression = 0;
    SilentFrontend silent;
    if (deriveGeometry(silent, shape) != kOk) return false;
    writeDibHeader(shape, header.data());
    return true;
}

// Whether every row is zero from bit `usedBits` on up to the stride.
bool rowTailsClear(const std::uint8_t* rows, const DibImage& shape, std::uint64_t usedBits) {
    const std::size_t stride = std::size_t(shape.stride);
    const std::size_t whole = std::size_t(usedBits / 8);
    const unsigned partBits = unsigned(usedBits % 8);
    const std::size_t tailStart = whole + (partBits != 0 ? 1 : 0);
    for (int y = 0; y < shape.height; ++y) {
        const std::uint8_t* row = rows + std::size_t(y) * stride;
        if (partBits != 0 && (row[whole] & (0xFFu >> partBits)) != 0) return false;
        for (std::size_t i = tailStart; i < stride; ++i)
            if (row[i] != 0) return false;
    }
    return true;
}

bool sameLayout(const DibImage& a, const DibImage& b) {
    return a.fileSize == b.fileSize && a.bitsOffset == b.bitsOffset && a.stride == b.stride &&
           a.paletteOffset == b.paletteOffset;
}

// The table as decoding writes it: each entry's fourth byte zero. A file laid out as fresh holds
// the whole table, so decoding takes every entry from it.
bool paletteAsDecoded(const std::uint8_t* palette, std::uint32_t entries) {
    for (std::uint32_t i = 0; i < entries; ++i)
        if (palette[4 * std::size_t(i) + 3] != 0) return false;
    return true;
}

// A plain bottom-up file whose header, colour table and rows sit where a fresh picture of its
// geometry has them, that geometry being `shape`.
bool laidOutAsFresh(const BmpHeader& parsed, std::uint64_t length, DibImage& shape,
                    Header& header) {
    const bool plain = parsed.pixels == BmpPixels::Plain && !parsed.topDown &&
                       parsed.bitsPerPixel == parsed.openDepth && parsed.colorsUsedField <= 256;
    return plain &&
           freshShape(parsed.width, parsed.height, parsed.openDepth, parsed.colorsUsedField, shape,
                      header) &&
           length == shape.fileSize && parsed.paletteStart == kHeaderBytes &&
           parsed.paletteEntryBytes == 4 && parsed.pixelStart == shape.bitsOffset;
}

} // namespace

bool isBmpFileAsIs(const DibImage& image) {
    DibImage shape;
    Header header;
    if (!freshShape(image.width, image.height, image.bitsPerPixel, image.colorsUsed, shape, header))
        return false;
    if (!sameLayout(image, shape) || image.data.size() < shape.fileSize) return false;
    if (std::memcmp(image.data.data(), header.data(), header.size()) != 0) return false;
    // The encoder copies the colour table and each row's bytes whole; only the padding is its own.
    const std::uint64_t rowBytes = (std::uint64_t(shape.width) * shape.bitsPerPixel + 7) / 8;
    return rowTailsClear(image.data.data() + shape.bitsOffset, shape, rowBytes * 8);
}

bool plainBmpShape(Bytes head, std::uint64_t length, DibImage& shape) {
    BmpHeader parsed;
    Header header;
    std::string error;
    return parseBmpHeader(head, length, parsed, error) &&
           laidOutAsFresh(parsed, length, shape, header);
}

bool takeOverBmpFile(PictureBytes& file, DibImage& image) {
    BmpHeader parsed;
    std::string error;
    if (!parseBmpHeader(Bytes(file.data(), file.size()), parsed, error)) return false;
    DibImage shape;
    Header header;
    if (!laidOutAsFresh(parsed, file.size(), shape, header)) return false;
    if (!paletteAsDecoded(file.data() + shape.paletteOffset, shape.paletteEntries)) return false;
    const std::uint64_t usedBits = std::uint64_t(shape.width) * shape.bitsPerPixel;
    if (!rowTailsClear(file.data() + shape.bitsOffset, shape, usedBits)) return false;
    // Only the header fields decoding does not carry (resolution, image size, reserved) differ.
    std::memcpy(file.data(), header.data(), header.size());
    shape.data = std::move(file);
    image = std::move(shape);
    return true;
}

} // namespace vellora::imageio
