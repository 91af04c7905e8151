#include "imageio/exifOrientation.h"

#include <array>
#include <cstring>

namespace vellora::imageio {

namespace {

constexpr std::size_t kTiffStart = 6; // after "Exif\0\0"
constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;

struct TiffReader {
    const std::uint8_t* data;
    std::size_t size;
    bool bigEndian;
    std::uint32_t u16(std::size_t at) const {
        return bigEndian ? data[at] << 8 | data[at + 1] : data[at] | data[at + 1] << 8;
    }
};

} // namespace

int exifOrientation(const std::uint8_t* segment, std::size_t size) {
    if (size < kTiffStart + 8 || std::memcmp(segment, "Exif\0\0", 6) != 0) return 1;
    const std::uint8_t* tiff = segment + kTiffStart;
    const TiffReader reader{tiff, size - kTiffStart, tiff[0] == 'M'};
    if ((tiff[0] != 'I' && tiff[0] != 'M') || tiff[1] != tiff[0] || reader.u16(2) != 42) return 1;
    // The directory's 32-bit offset: past 65535 it would lie outside any segment.
    const bool beyond = reader.u16(reader.bigEndian ? 4 : 6) != 0;
    const std::uint32_t directory = reader.u16(reader.bigEndian ? 6 : 4);
    if (beyond || directory > reader.size - 2) return 1;
    const std::uint32_t entries = reader.u16(directory);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + std::size_t(i) * 12;
        if (entry + 12 > reader.size) return 1;
        if (reader.u16(entry) != kOrientationTag) continue;
        const std::uint32_t value = reader.u16(entry + 8);
        return reader.u16(entry + 2) == kShortType && value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}

QuarterTurns uprightTransform(int orientation) {
    static constexpr auto kTable = std::to_array<QuarterTurns>({
        {0, 0}, // not used
        {0, 0}, // 1 upright
        {0, 1}, // 2 mirrored left–right
        {2, 0}, // 3 upside down
        {0, 2}, // 4 mirrored top–bottom
        {1, 1}, // 5 transposed
        {1, 0}, // 6 turned a quarter counter-clockwise
        {1, 2}, // 7 transversed
        {3, 0}, // 8 turned a quarter clockwise
    });
    return orientation >= 1 && orientation <= 8 ? kTable[std::size_t(orientation)]
                                                : QuarterTurns{0, 0};
}

} // namespace vellora::imageio
