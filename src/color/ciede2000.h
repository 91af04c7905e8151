#pragma once
// CIEDE2000 colour difference (unit weights kL = kC = kH = 1) and the sRGB → CIELAB conversion
// it is applied to (D65 white, the sRGB transfer curve).
#include <cstddef>
#include <cstdint>

namespace vellora {

struct Lab {
    double lightness;
    double a;
    double b;
};

// The CIELAB colour of an 8-bit sRGB colour.
Lab labFromSrgb(std::uint8_t blue, std::uint8_t green, std::uint8_t red);

// ΔE00 with kL = kC = kH = 1; symmetric, 0 for equal colours.
double ciede2000(const Lab& first, const Lab& second);

// A value never above ciede2000(first, second)², made without any angle: the hue weight T
// comes from the mean hue's direction and the rotation term is replaced by its largest size
// for that direction. `chroma` is each colour's √(a² + b²). Lets a search skip most
// candidates before the full difference is worked out.
double ciede2000LowerBoundSquared(const Lab& first, double firstChroma, const Lab& second,
                                  double secondChroma);

// Colours side by side, one array per part, for bounds against many at once.
struct LabColumns {
    const double* lightness;
    const double* a;
    const double* b;
    const double* chroma;
    std::size_t count;
};

// A looser bound of the same kind for each of `others`, into bounds[0 … count − 1], with
// neither an angle nor a square root: cheap enough to run over every candidate.
void ciede2000QuickBounds(const Lab& colour, double chroma, const LabColumns& others,
                          double* bounds);

// A value never below ciede2000(first, second)² (but by rounding), made the same way: a search
// can settle on the one candidate whose lower bound is within some candidate's upper bound
// without working out any difference.
double ciede2000UpperBoundSquared(const Lab& first, double firstChroma, const Lab& second,
                                  double secondChroma);

// ciede2000LowerBoundSquared and ciede2000UpperBoundSquared of firsts[i] and seconds[i] into
// lower[i] and upper[i], for i in 0 … firsts.count − 1: the same values, worked out side by
// side, so that the candidates of several colours share one run.
void ciede2000PairBounds(const LabColumns& firsts, const LabColumns& seconds, double* lower,
                         double* upper);

} // namespace vellora
