#pragma once
// Hand-built bitmap files for the reader tests, written field by field so that they do not
// depend on the code under test.
#include <cstdint>
#include <vector>

namespace vellora::test {

struct BitmapHeader {
    std::uint16_t signature = 19778;
    std::uint32_t fileSizeField = 0;
    std::uint32_t bitsOffsetField = 0;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
};

inline void putLe(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value,
                  int size) {
    for (int i = 0; i < size; ++i) bytes[offset + std::size_t(i)] = std::uint8_t(value >> (8 * i));
}

// The 54 header bytes followed by `body` (colour table and rows as the test wants them).
inline std::vector<std::uint8_t> bitmapBytes(const BitmapHeader& h,
                                             const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> bytes(54, 0);
    putLe(bytes, 0, h.signature, 2);
    putLe(bytes, 2, h.fileSizeField, 4);
    putLe(bytes, 10, h.bitsOffsetField, 4);
    putLe(bytes, 14, 40, 4);
    putLe(bytes, 18, std::uint32_t(h.width), 4);
    putLe(bytes, 22, std::uint32_t(h.height), 4);
    putLe(bytes, 26, 1, 2);
    putLe(bytes, 28, h.bitsPerPixel, 2);
    putLe(bytes, 30, h.compression, 4);
    putLe(bytes, 46, h.colorsUsed, 4);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

} // namespace vellora::test
