#pragma once
// CIEDE2000 colour difference (unit weights kL = kC = kH = 1) and the sRGB → CIELAB conversion
// it is applied to (D65 white, the sRGB transfer curve).
#include <cstdint>

namespace vellora {

struct Lab {
    double lightness;
    double a;
    double b;
};

// The CIELAB colour of an 8-bit sRGB colour.
Lab labFromSrgb(std::uint8_t blue, std::uint8_t green, std::uint8_t red);

double ciede2000(const Lab& first, const Lab& second);

// A value never above ciede2000(first, second)², made without any angle: the hue-dependent
// weights are replaced by their extremes. `chroma` is each colour's √(a² + b²). Lets a search
// skip most candidates before the full difference is worked out.
double ciede2000LowerBoundSquared(const Lab& first, double firstChroma, const Lab& second,
                                  double secondChroma);

// A looser bound of the same kind that needs neither the chroma factor nor a square root
// beyond the lightness weight's.
double ciede2000QuickBoundSquared(const Lab& first, double firstChroma, const Lab& second,
                                  double secondChroma);

} // namespace vellora
