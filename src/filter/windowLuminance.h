#pragma once
// The gray level by which the edge-preserving and median filters rank window pixels.
#include <cstdint>

namespace vellora {

// 77 red + 151 green + 28 blue: 256 times the luminance, an integer 0 … 65280.
inline int luminanceNumerator(const std::uint8_t* bgr) {
    return 77 * bgr[2] + 151 * bgr[1] + 28 * bgr[0];
}

// (77 red + 151 green + 28 blue) / 256 in double precision, not truncated, limited to 0 … 255.
// The division by 256 is exact, so ranking by luminanceNumerator ranks identically.
inline double windowLuminance(const std::uint8_t* bgr) {
    const double value = luminanceNumerator(bgr) / 256.0;
    return value < 0 ? 0 : (value > 255 ? 255 : value);
}

} // namespace vellora
