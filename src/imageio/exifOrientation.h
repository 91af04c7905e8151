#pragma once
#include <cstddef>
#include <cstdint>

namespace vellora::imageio {

// The orientation tag (1 … 8) of an APP1 "Exif" segment's first directory; 1 when the segment
// holds none or is not readable.
int exifOrientation(const std::uint8_t* segment, std::size_t size);

struct QuarterTurns {
    int turns; // clockwise
    int flip;  // 1 left–right, 2 top–bottom
};

// The rotate-flip that shows a picture stored with this orientation upright.
QuarterTurns uprightTransform(int orientation);

} // namespace vellora::imageio
