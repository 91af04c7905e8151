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

// Each formula is written once, for a double or for a vector of doubles (one lane per colour,
// the same operations in the same order in every lane).
template <class T>
[[gnu::always_inline]] inline T lumaOfValues(T blue, T green, T red) {
    return kYRed * red + kYGreen * green + kYBlue * blue;
}
template <class T>
[[gnu::always_inline]] inline T blueDifferenceOfValues(T blue, T green, T red) {
    return 0.5 * blue - (kCbRed * red + kCbGreen * green);
}
template <class T>
[[gnu::always_inline]] inline T redDifferenceOfValues(T blue, T green, T red) {
    return 0.5 * red - kCrGreen * green - kCrBlue * blue;
}

inline double lumaOf(int blue, int green, int red) {
    return lumaOfValues<double>(blue, green, red);
}
inline double blueDifferenceOf(int blue, int green, int red) {
    return blueDifferenceOfValues<double>(blue, green, red);
}
inline double redDifferenceOf(int blue, int green, int red) {
    return redDifferenceOfValues<double>(blue, green, red);
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
