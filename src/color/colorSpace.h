#pragma once
// The luminance / colour-difference space of the median cut. The seven weights are the
// single-precision values the palette was always computed with, used in double arithmetic, and
// every sum is formed left to right as written, so palettes agree to the last bit.
#include <cstdint>

namespace vellora {

inline constexpr double kYRed = double(0.29891f);
inline constexpr double kYGreen = double(0.58661f);
inline constexpr double kYBlue = double(0.11448f);
inline constexpr double kCbRed = double(0.16874f);
inline constexpr double kCbGreen = double(0.33126f);
inline constexpr double kCrGreen = double(0.41869f);
inline constexpr double kCrBlue = double(0.08131f);

inline double lumaOf(int blue, int green, int red) {
    return kYRed * red + kYGreen * green + kYBlue * blue;
}
inline double blueDifferenceOf(int blue, int green, int red) {
    return 0.5 * blue - (kCbRed * red + kCbGreen * green);
}
inline double redDifferenceOf(int blue, int green, int red) {
    return 0.5 * red - kCrGreen * green - kCrBlue * blue;
}

enum class CutAxis : std::uint8_t { Luma, BlueDifference, RedDifference };

inline double axisValue(CutAxis axis, int blue, int green, int red) {
    switch (axis) {
    case CutAxis::Luma:
        return lumaOf(blue, green, red);
    case CutAxis::BlueDifference:
        return blueDifferenceOf(blue, green, red);
    case CutAxis::RedDifference:
        return redDifferenceOf(blue, green, red);
    }
    return 0;
}

// The palette colour of a box from its mean Y, Cb, Cr: +0.49, clamped to 0 … 255, truncated.
void meanToColor(double y, double cb, double cr, std::uint8_t* bgr);

} // namespace vellora
