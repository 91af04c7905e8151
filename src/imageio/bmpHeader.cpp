#include "imageio/bmpHeader.h"

#include "imageio/bmpRunLength.h"
#include "imageio/pictureLimits.h"

#include <algorithm>
#include <bit>

namespace vellora::imageio {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr const char* kDamagedText = "the bitmap file is damaged";

std::uint32_t le32(Bytes file, std::size_t at) {
    return readLe32(file.data() + at);
}
std::uint16_t le16(Bytes file, std::size_t at) {
    return readLe16(file.data() + at);
}

bool isTwoByteFamilyHeader(std::uint32_t size) {
    return size >= 16 && size <= 64 && !isWindowsBmpHeader(size);
}

bool fail(std::string& error, const char* text) {
    error = text;
    return false;
}

// Reads width, height, planes, depth, compression and colours used from whichever header.
bool readCoreFields(Bytes file, std::uint32_t headerSize, BmpHeader& header,
                    std::uint32_t& compression, std::string& error) {
    const std::size_t h = kFileHeaderBytes;
    std::uint16_t planes = 0;
    if (headerSize == 12) {
        header.width = le16(file, h + 4);
        header.height = le16(file, h + 6);
        planes = le16(file, h + 8);
        header.bitsPerPixel = le16(file, h + 10);
        header.paletteEntryBytes = 3;
        compression = 0;
    } else {
        header.width = std::int32_t(le32(file, h + 4));
        const auto height = std::int32_t(le32(file, h + 8));
        header.topDown = height < 0;
        header.height = header.topDown ? -std::int64_t(height) : height;
        planes = le16(file, h + 12);
        header.bitsPerPixel = le16(file, h + 14);
        compression = headerSize >= 20 ? le32(file, h + 16) : 0;
        header.colorsUsedField = headerSize >= 36 ? le32(file, h + 32) : 0;
    }
    if (planes != 1) return fail(error, kDamagedText);
    if (header.width < 1 || header.height < 1) return fail(error, kDamagedText);
    return true;
}

BmpChannelMask channelMask(std::uint32_t mask) {
    BmpChannelMask channel;
    channel.mask = mask;
    if (mask == 0) return channel;
    channel.shift = std::countr_zero(mask);
    channel.maximum = mask >> channel.shift;
    return channel;
}

bool contiguous(const BmpChannelMask& channel) {
    return (channel.maximum & (channel.maximum + 1)) == 0;
}

// The pixel kind for a compression value; false for the ones not read (JPEG, PNG, Huffman)
// and for combinations that do not exist. 4 is RLE24 in the OS/2 header family only.
bool choosePixels(std::uint32_t compression, bool windows, BmpHeader& header) {
    const int bpp = header.bitsPerPixel;
    switch (compression) {
    case 0:
        header.pixels = BmpPixels::Plain;
        return true;
    case 1:
        header.pixels = BmpPixels::Rle8;
        return bpp == 8 && !header.topDown;
    case 2:
        header.pixels = BmpPixels::Rle4;
        return bpp == 4 && !header.topDown;
    case 3:
    case 6:
        header.pixels = BmpPixels::BitFields;
        return windows && (bpp == 16 || bpp == 32);
    case 4:
        header.pixels = BmpPixels::Rle24;
        return !windows && bpp == 24 && !header.topDown;
    default:
        return false;
    }
}

// Masks live in the V2+ header, or right after a 40-byte header.
bool readMasks(Bytes file, std::uint64_t length, std::uint32_t headerSize,
               std::uint32_t compression, BmpHeader& header, std::string& error) {
    const std::size_t at = kFileHeaderBytes + 40;
    std::size_t count = headerSize >= 56 ? 4 : 3;
    if (headerSize == 40) {
        count = compression == 6 ? 4 : 3;
        if (at + 4 * count > length) return fail(error, kDamagedText);
        header.paletteStart += 4 * count;
    }
    header.red = channelMask(le32(file, at));
    header.green = channelMask(le32(file, at + 4));
    header.blue = channelMask(le32(file, at + 8));
    if (count == 4) header.alpha = channelMask(le32(file, at + 12));
    for (const BmpChannelMask* channel : {&header.red, &header.green, &header.blue, &header.alpha})
        if (!contiguous(*channel)) return fail(error, kDamagedText);
    return true;
}

void defaultMasks(BmpHeader& header) {
    if (header.bitsPerPixel == 16) {
        header.red = channelMask(0x7C00);
        header.green = channelMask(0x03E0);
        header.blue = channelMask(0x001F);
    }
}

int openDepth(const BmpHeader& header) {
    switch (header.bitsPerPixel) {
    case 1:
        return 1;
    case 2:
    case 4:
        return 4;
    case 8:
        return 8;
    case 32: {
        const bool plainOrder = header.red.mask == 0xFF0000 && header.green.mask == 0xFF00 &&
                                header.blue.mask == 0xFF && header.alpha.mask == 0;
        return header.pixels == BmpPixels::Plain || plainOrder ? 32 : 24;
    }
    default:
        return 24;
    }
}

// The table holds as many entries as fit before the rows (the intermediate files keep all
// 2^bpp whatever colours-used says); without a usable pixel offset, colours-used decides.
void placePaletteAndPixels(std::uint64_t length, std::uint32_t pixelOffsetField,
                           BmpHeader& header) {
    const bool indexed = header.bitsPerPixel <= 8;
    const std::uint32_t full = indexed ? 1u << header.bitsPerPixel : 0;
    const std::size_t entry = std::size_t(header.paletteEntryBytes);
    const bool offsetUsable = pixelOffsetField > header.paletteStart;
    std::uint64_t count = header.colorsUsedField != 0 ? header.colorsUsedField : full;
    if (offsetUsable) count = (pixelOffsetField - header.paletteStart) / entry;
    count = std::min<std::uint64_t>(count, full);
    const std::uint64_t room = length > header.paletteStart ? length - header.paletteStart : 0;
    count = std::min<std::uint64_t>(count, room / entry);
    header.paletteCount = std::uint32_t(count);
    // A pixel offset pointing into the headers cannot be right; the rows then follow the table.
    const std::size_t paletteEnd = header.paletteStart + header.paletteCount * entry;
    header.pixelStart = offsetUsable ? pixelOffsetField : paletteEnd;
}

// Uncompressed rows must all be there (the last one may lack its padding), checked before
// anything is allocated.
bool rowsFit(std::uint64_t length, const BmpHeader& header) {
    if (isRunLength(header.pixels)) return true;
    const std::uint64_t bits = std::uint64_t(header.width) * std::uint64_t(header.bitsPerPixel);
    const std::uint64_t stride = (bits + 31) / 32 * 4;
    const std::uint64_t needed =
        header.pixelStart + stride * std::uint64_t(header.height - 1) + (bits + 7) / 8;
    return needed <= length;
}

} // namespace

bool isWindowsBmpHeader(std::uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool parseBmpHeader(Bytes file, BmpHeader& header, std::string& error) {
    return parseBmpHeader(file, file.size(), header, error);
}

// Every byte read lies in the first 154 (headers and masks); everything further is only
// checked against the length.
bool parseBmpHeader(Bytes file, std::uint64_t length, BmpHeader& header, std::string& error) {
    const bool headHeld = file.size() >= std::min<std::uint64_t>(length, kBmpHeadBytes);
    if (!headHeld || length < kFileHeaderBytes + 12 || file[0] != 'B' || file[1] != 'M')
        return fail(error, "not a bitmap file");
    const std::uint32_t headerSize = le32(file, kFileHeaderBytes);
    const bool windows = isWindowsBmpHeader(headerSize);
    if (headerSize != 12 && !windows && !isTwoByteFamilyHeader(headerSize))
        return fail(error, kDamagedText);
    if (kFileHeaderBytes + headerSize > length) return fail(error, kDamagedText);
    BmpHeader parsed;
    std::uint32_t compression = 0;
    if (!readCoreFields(file, headerSize, parsed, compression, error)) return false;
    const int bpp = parsed.bitsPerPixel;
    if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return fail(error, "the bitmap file has an unsupported number of bits per pixel");
    if (!choosePixels(compression, windows, parsed))
        return fail(error, "the bitmap file uses a compression that is not supported");
    parsed.paletteStart = kFileHeaderBytes + headerSize;
    if (parsed.pixels == BmpPixels::BitFields) {
        if (!readMasks(file, length, headerSize, compression, parsed, error)) return false;
    } else {
        defaultMasks(parsed);
    }
    parsed.openDepth = openDepth(parsed);
    if (!pictureFits(parsed.width, parsed.height, parsed.openDepth))
        return fail(error, kTooLargeText);
    placePaletteAndPixels(length, le32(file, 10), parsed);
    if (parsed.pixelStart >= length || !rowsFit(length, parsed))
        return fail(error, "the bitmap file is truncated");
    header = parsed;
    return true;
}

} // namespace vellora::imageio
