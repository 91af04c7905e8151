#include "color/ciede2000.h"

#include "core/simdLevel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <utility>

namespace vellora {

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;
constexpr double kRadians = std::numbers::pi / 180.0;
constexpr double kPow25To7 = 6103515625.0; // 25⁷
// D65 white of the 2° observer.
constexpr double kWhiteX = 0.95047;
constexpr double kWhiteZ = 1.08883;
// The largest T of the hue weight over all hues (1.57247), and over the hues
// 0° … 180° (1.38821), each rounded up.
constexpr double kMaxHueFactor = 1.5730;
constexpr double kMaxHueFactorUpperHalf = 1.3890;
// The smallest T over all hues (0.362055, near 290.14°), rounded down.
constexpr double kMinHueFactor = 0.3620;
// The rotation term's coefficient: |R_T| ≤ R_C · sin 60°.
constexpr double kSin60 = 0.86602540378443865;

double linearFromSrgb(int value) {
    const double v = value / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

const std::array<double, 256>& linearTable() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[std::size_t(i)] = linearFromSrgb(i);
        return t;
    }();
    return table;
}

double labCurve(double t) {
    constexpr double kEpsilon = 216.0 / 24389.0;
    constexpr double kKappa = 24389.0 / 27.0;
    return t > kEpsilon ? std::cbrt(t) : (kKappa * t + 16.0) / 116.0;
}

[[gnu::always_inline]] inline double pow7(double x) {
    const double x2 = x * x;
    return x2 * x2 * x2 * x;
}

// √(C⁷ / (C⁷ + 25⁷)), the chroma factor shared by G and R_C.
[[gnu::always_inline]] inline double chromaFactor(double meanChroma) {
    const double c7 = pow7(meanChroma);
    return std::sqrt(c7 / (c7 + kPow25To7));
}

[[gnu::always_inline]] inline double lightnessWeight(double meanLightness) {
    const double d2 = (meanLightness - 50.0) * (meanLightness - 50.0);
    return 1.0 + 0.015 * d2 / std::sqrt(20.0 + d2);
}

double hueDegrees(double b, double aPrime) {
    if (b == 0 && aPrime == 0) return 0;
    const double h = std::atan2(b, aPrime) * kDegrees;
    return h < 0 ? h + 360.0 : h;
}

double hueDifference(double h1, double h2, double chromaProduct) {
    if (chromaProduct == 0) return 0;
    const double d = h2 - h1;
    if (d > 180.0) return d - 360.0;
    if (d < -180.0) return d + 360.0;
    return d;
}

double meanHue(double h1, double h2, double chromaProduct) {
    if (chromaProduct == 0) return h1 + h2;
    if (std::abs(h1 - h2) <= 180.0) return (h1 + h2) / 2.0;
    return h1 + h2 < 360.0 ? (h1 + h2 + 360.0) / 2.0 : (h1 + h2 - 360.0) / 2.0;
}

double hueFactor(double h) {
    return 1.0 - 0.17 * std::cos((h - 30.0) * kRadians) + 0.24 * std::cos(2.0 * h * kRadians) +
           0.32 * std::cos((3.0 * h + 6.0) * kRadians) -
           0.20 * std::cos((4.0 * h - 63.0) * kRadians);
}

// cos and sin of 30°, 6° and 63°, the phases of the hue weight's terms.
constexpr double kCos30 = 0.86602540378443865;
constexpr double kSin30 = 0.5;
constexpr double kCos6 = 0.99452189536827329;
constexpr double kSin6 = 0.10452846326765347;
constexpr double kCos63 = 0.45399049973954675;
constexpr double kSin63 = 0.89100652418836787;
constexpr double kCos275 = 0.087155742747658166;
constexpr double kSin275 = -0.99619469809174553;

// Beyond each angle from 275°, the largest sin 2Δθ of the rotation term: sin(60° e^-(d/25)²).
struct RotationStep {
    double cosine; // cos d
    double maxSine;
};
constexpr auto kRotationSteps = std::to_array<RotationStep>({
    {0.25881904510252074, 0.0002}, // 75°: sin 0.0074° = 0.000129
    {0.64278760968653933, 0.0192}, // 50°: sin 1.099° = 0.01918
    {0.81915204428899179, 0.1470}, // 35°: sin 8.45° = 0.14697
    {0.93969262078590838, 0.5246}, // 20°: sin 31.6° = 0.52454
});

// What the mean hue allows of the hue factor T and of |sin 2Δθ|, worked out from the mean
// hue's cosine and sine, which the bisector of the two hue directions gives without an angle.
struct MeanHueBounds {
    double minFactor = kMinHueFactor;
    double maxFactor = kMaxHueFactor;
    double maxRotation = kSin60;
};

// T of the hue whose cosine and sine are c and s, by the multiple-angle identities.
[[gnu::always_inline]] inline double hueFactorOfDirection(double c, double s) {
    const double cos2 = c * c - s * s;
    const double sin2 = 2.0 * s * c;
    const double cos3 = cos2 * c - sin2 * s;
    const double sin3 = sin2 * c + cos2 * s;
    const double cos4 = cos2 * cos2 - sin2 * sin2;
    const double sin4 = 2.0 * sin2 * cos2;
    return 1.0 - 0.17 * (c * kCos30 + s * kSin30) + 0.24 * cos2 +
           0.32 * (cos3 * kCos6 - sin3 * kSin6) - 0.20 * (cos4 * kCos63 + sin4 * kSin63);
}

// cos 170°: beyond it the mean hue is taken from the angles.
constexpr double kNearlyOpposite = -0.98480775301220806;

// What the difference needs of the two hues: sin(Δh' / 2), the mean hue h̄' in degrees and T.
struct HueTerms {
    double halfSine;
    double meanHue;
    double factor;
};

// From the hue angles, as the formula states them; covers every case.
HueTerms angleHueTerms(double a1, double b1, double c1, double a2, double b2, double c2) {
    const double h1 = hueDegrees(b1, a1);
    const double h2 = hueDegrees(b2, a2);
    const double dh = hueDifference(h1, h2, c1 * c2);
    const double meanH = meanHue(h1, h2, c1 * c2);
    return {std::sin(dh / 2.0 * kRadians), meanH, hueFactor(meanH)};
}

// From the two hue directions: Δh' from their dot and cross products, h̄' as the bisector of
// the smaller arc between them, which is the mean the formula takes. False where that needs
// the angles' own rules or their precision: a colour without chroma, hues equal or nearly
// opposite.
bool directionHueTerms(double a1, double b1, double c1, double a2, double b2, double c2,
                       HueTerms& terms) {
    if (c1 == 0 || c2 == 0) return false;
    const double x1 = a1 / c1, y1 = b1 / c1, x2 = a2 / c2, y2 = b2 / c2;
    const double cross = x1 * y2 - y1 * x2;
    const double dot = x1 * x2 + y1 * y2;
    // Near-opposite hues leave the bisector to a difference of almost equal vectors.
    if (cross == 0 || dot < kNearlyOpposite) return false;
    // sin(Δh/2) = sin Δh / (2 cos(Δh/2)) while cos(Δh/2) is large, else √((1 − cos Δh) / 2).
    terms.halfSine = dot >= 0 ? cross / std::sqrt(2.0 * (1.0 + dot))
                              : std::copysign(std::sqrt((1.0 - dot) / 2.0), cross);
    const double mx = x1 + x2;
    const double my = y1 + y2;
    double mean = std::atan2(my, mx) * kDegrees;
    if (mean < 0) mean += 360.0;
    if (mean >= 360.0) mean -= 360.0;
    terms.meanHue = mean;
    const double length = std::sqrt(mx * mx + my * my);
    terms.factor = hueFactorOfDirection(mx / length, my / length);
    return true;
}

// The largest sin 2Δθ of the first step whose angle the bisector lies beyond, the steps
// read from the last as an unrolled selection.
template <std::size_t... I>
[[gnu::always_inline]] inline double rotationBeyond(double towardsBlue, std::index_sequence<I...>) {
    constexpr std::size_t last = sizeof...(I) - 1;
    double rotation = kSin60;
    ((rotation = towardsBlue < kRotationSteps[last - I].cosine ? kRotationSteps[last - I].maxSine
                                                               : rotation),
     ...);
    return rotation;
}

// Written without branches, like the bound below, so that a run of bounds vectorises.
[[gnu::always_inline]] inline MeanHueBounds meanHueBounds(double a1, double b1, double c1,
                                                          double a2, double b2, double c2) {
    // Without a hue on one side the mean hue is the sum of the two, one of them 0: the other
    // colour's own hue. Reciprocals save divisions; the bounds taken from the direction allow
    // for their rounding.
    const bool noHue = c1 * c2 == 0;
    const double inverse1 = 1.0 / c1;
    const double inverse2 = 1.0 / c2;
    const double x = noHue ? a1 + a2 : a1 * inverse1 + a2 * inverse2;
    const double y = noHue ? b1 + b2 : b1 * inverse1 + b2 * inverse2;
    const double length = std::sqrt(x * x + y * y);
    // Opposite or no hues leave the bisector undefined: the extremes stand.
    const bool defined = length > 1e-6;
    const double inverseLength = 1.0 / length;
    const double c = x * inverseLength;
    const double s = y * inverseLength;
    const double towardsBlue = c * kCos275 + s * kSin275;
    const double rotation =
        rotationBeyond(towardsBlue, std::make_index_sequence<kRotationSteps.size()>());
    MeanHueBounds bounds;
    const double factor = hueFactorOfDirection(c, s);
    bounds.minFactor = defined ? factor - 1e-9 : kMinHueFactor;
    bounds.maxFactor = defined ? factor + 1e-9 : kMaxHueFactor;
    bounds.maxRotation = defined ? rotation : kSin60;
    return bounds;
}

// G = (1 − √(C̄⁷ / (C̄⁷ + 25⁷))) / 2 falls as C̄ grows: from each chroma on, G stays below
// the value given (rounded up).
struct PrimeStep {
    double chroma;
    double largestPrime;
};
constexpr auto kPrimeSteps = std::to_array<PrimeStep>({
    {15, 0.41750},
    {20, 0.29182},
    {25, 0.14645},
    {30, 0.05790},
    {40, 0.00907},
    {60, 0.00055},
});

// Up to each mean primed chroma, the largest share of c² + h² the rotation term can take:
// R_C / 2 · sin 60° = √(C⁷ / (C⁷ + 25⁷)) · sin 60° (rounded up).
struct RotationByChroma {
    double chroma;
    double share;
};
constexpr auto kRotationByChroma = std::to_array<RotationByChroma>({
    {10, 0.03503},
    {15, 0.14292},
    {20, 0.36059},
    {25, 0.61238},
    {30, 0.76575},
});

// The two step tables, read as unrolled selections.
template <std::size_t... I>
[[gnu::always_inline]] inline double largestPrime(double meanChroma, std::index_sequence<I...>) {
    double g = 0.5;
    ((g = meanChroma >= kPrimeSteps[I].chroma ? kPrimeSteps[I].largestPrime : g), ...);
    return g;
}

template <std::size_t... I>
[[gnu::always_inline]] inline double rotationShare(double primedChroma, std::index_sequence<I...>) {
    double share = kSin60;
    ((share = primedChroma <= kRotationByChroma[I].chroma
                  ? std::min(share, kRotationByChroma[I].share)
                  : share),
     ...);
    return share;
}

} // namespace

Lab labFromSrgb(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    const std::array<double, 256>& linear = linearTable();
    const double r = linear[red];
    const double g = linear[green];
    const double b = linear[blue];
    const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / kWhiteX;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / kWhiteZ;
    const double fx = labCurve(x);
    const double fy = labCurve(y);
    const double fz = labCurve(z);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

double ciede2000(const Lab& p, const Lab& q) {
    const double meanChroma =
        (std::sqrt(p.a * p.a + p.b * p.b) + std::sqrt(q.a * q.a + q.b * q.b)) / 2.0;
    const double g = 0.5 * (1.0 - chromaFactor(meanChroma));
    const double a1 = (1.0 + g) * p.a;
    const double a2 = (1.0 + g) * q.a;
    const double c1 = std::sqrt(a1 * a1 + p.b * p.b);
    const double c2 = std::sqrt(a2 * a2 + q.b * q.b);
    HueTerms hue{};
    if (!directionHueTerms(a1, p.b, c1, a2, q.b, c2, hue))
        hue = angleHueTerms(a1, p.b, c1, a2, q.b, c2);
    const double dL = q.lightness - p.lightness;
    const double dC = c2 - c1;
    const double dH = 2.0 * std::sqrt(c1 * c2) * hue.halfSine;
    const double meanC = (c1 + c2) / 2.0;
    const double meanH = hue.meanHue;
    const double sl = lightnessWeight((p.lightness + q.lightness) / 2.0);
    const double sc = 1.0 + 0.045 * meanC;
    const double sh = 1.0 + 0.015 * meanC * hue.factor;
    const double theta = 30.0 * std::exp(-((meanH - 275.0) / 25.0) * ((meanH - 275.0) / 25.0));
    const double rt = -std::sin(2.0 * theta * kRadians) * 2.0 * chromaFactor(meanC);
    const double l = dL / sl;
    const double c = dC / sc;
    const double h = dH / sh;
    return std::sqrt(l * l + c * c + h * h + rt * c * h);
}

namespace {

// Runs each(i, lightness, a, b, chroma) over the colours of `columns`, read through local
// copies of the pointers: a store through an output could otherwise change what they point at,
// and the loop would not vectorise.
template <class Each>
[[gnu::always_inline]] inline void forEachColumn(const LabColumns& columns, const Each& each) {
    const double* lightness = columns.lightness;
    const double* a = columns.a;
    const double* b = columns.b;
    const double* chroma = columns.chroma;
    const std::size_t count = columns.count;
    for (std::size_t i = 0; i < count; ++i)
        each(i, lightness[i], a[i], b[i], chroma[i]);
}

void quickBoundsOf(const Lab& colour, double chroma, const LabColumns& others, double* bounds) {
    const double lq = colour.lightness;
    const double aq = colour.a;
    const double bq = colour.b;
    forEachColumn(others, [&](std::size_t i, double l, double a, double b, double c) {
        // S_L = 1 + 0.015 d² / √(20 + d²) stays below 1 + 0.015 |d|.
        const double dL = l - lq;
        const double sl = 1.0 + 0.015 * std::abs((l + lq) / 2 - 50.0);
        // C' ≤ (1 + G) C bounds S_C = 1 + 0.045 C̄' and S_H = 1 + 0.015 C̄' T. The rotation
        // term takes at most the share R_C / 2 · sin 60° of c² + h², and almost none when both
        // hues lie in 0° … 180° (b ≥ 0, which priming keeps): their mean is then at least 95°
        // from 275°.
        const double meanChroma = (c + chroma) / 2.0;
        const double g = largestPrime(meanChroma, std::make_index_sequence<kPrimeSteps.size()>());
        const double primedChroma = (1.0 + g) * meanChroma;
        const bool upperHalf = (b >= 0) & (bq >= 0);
        const double rotation =
            upperHalf
                ? kRotationSteps[0].maxSine
                : rotationShare(primedChroma, std::make_index_sequence<kRotationByChroma.size()>());
        const double sc = 1.0 + 0.045 * primedChroma;
        const double sh =
            1.0 + 0.015 * primedChroma * (upperHalf ? kMaxHueFactorUpperHalf : kMaxHueFactor);
        // ΔC'² + ΔH'² ≥ Δa² + Δb², and |ΔC'| ≤ |ΔC| + G · max C: what the chroma term cannot
        // take goes to the hue term, whose weight S_H is the smaller.
        const double da = a - aq;
        const double db = b - bq;
        const double planar = da * da + db * db;
        const double chromaReach = std::abs(c - chroma) + g * std::max(c, chroma);
        const double chromaPart = std::min(planar, chromaReach * chromaReach);
        // dL² / S_L² + (1 − rotation) (chromaPart / S_C² + rest / S_H²) over one division:
        // the bound is not the exact difference, so its rounding may differ by a few units.
        const double sc2 = sc * sc;
        const double sh2 = sh * sh;
        const double sl2 = sl * sl;
        const double weighted = chromaPart * sh2 + (planar - chromaPart) * sc2;
        bounds[i] = (dL * dL * sc2 * sh2 + (1.0 - rotation) * weighted * sl2) / (sl2 * sc2 * sh2);
    });
}

} // namespace

void ciede2000QuickBounds(const Lab& colour, double chroma, const LabColumns& others,
                          double* bounds) {
    kSimdKernel<&quickBoundsOf>(colour, chroma, others, bounds);
}

namespace {

struct SquaredBounds {
    double lower;
    double upper;
};

// Both bounds share all but their last steps; where only one is used the other is dropped.
[[gnu::always_inline]] inline SquaredBounds boundsOf(double l1, double a1, double b1,
                                                     double chroma1, double l2, double a2,
                                                     double b2, double chroma2) {
    const double dL = (l2 - l1) / lightnessWeight((l1 + l2) / 2);
    const double g = 0.5 * (1.0 - chromaFactor((chroma1 + chroma2) / 2.0));
    const double p1 = (1.0 + g) * a1;
    const double p2 = (1.0 + g) * a2;
    const double c1 = std::sqrt(p1 * p1 + b1 * b1);
    const double c2 = std::sqrt(p2 * p2 + b2 * b2);
    const double meanC = (c1 + c2) / 2.0;
    // ΔC'² + ΔH'² is the squared distance in the (a', b) plane, so ΔH'² needs no angle.
    const double da = p2 - p1;
    const double db = b2 - b1;
    const double dH = std::sqrt(std::max(0.0, da * da + db * db - (c2 - c1) * (c2 - c1)));
    const double c = std::abs(c2 - c1) / (1.0 + 0.045 * meanC);
    const MeanHueBounds hue = meanHueBounds(p1, b1, c1, p2, b2, c2);
    const double hLow = dH / (1.0 + 0.015 * meanC * hue.maxFactor);
    const double hHigh = dH / (1.0 + 0.015 * meanC * hue.minFactor);
    // The rotation term r_T · c · h lies within ± r · c · h.
    const double r = 2.0 * chromaFactor(meanC) * hue.maxRotation;
    // c² + h² − r·c·h for h ≥ hLow is smallest at h = max(hLow, r·c / 2).
    const double h = std::max(hLow, r * c / 2.0);
    return {dL * dL + c * c + h * h - r * c * h, dL * dL + c * c + hHigh * hHigh + r * c * hHigh};
}

// Pointers marked unshared: eight columns in and two out are more than the compiler checks
// for overlap at run time. The loop is marked as one to vectorise: otherwise the compiler keeps
// branches around the roots and divisions some lanes do not need, and runs it one pair at a
// time.
void pairBoundsOfMany(const LabColumns& firsts, const LabColumns& seconds, double* lower,
                      double* upper) {
    const double* __restrict l1 = firsts.lightness;
    const double* __restrict a1 = firsts.a;
    const double* __restrict b1 = firsts.b;
    const double* __restrict c1 = firsts.chroma;
    const double* __restrict l2 = seconds.lightness;
    const double* __restrict a2 = seconds.a;
    const double* __restrict b2 = seconds.b;
    const double* __restrict c2 = seconds.chroma;
    double* __restrict lowerOut = lower;
    double* __restrict upperOut = upper;
    const std::size_t count = firsts.count;
#pragma omp simd
    for (std::size_t i = 0; i < count; ++i) {
        const SquaredBounds bounds =
            boundsOf(l1[i], a1[i], b1[i], c1[i], l2[i], a2[i], b2[i], c2[i]);
        lowerOut[i] = bounds.lower;
        upperOut[i] = bounds.upper;
    }
}

} // namespace

double ciede2000LowerBoundSquared(const Lab& p, double chroma1, const Lab& q, double chroma2) {
    return boundsOf(p.lightness, p.a, p.b, chroma1, q.lightness, q.a, q.b, chroma2).lower;
}

double ciede2000UpperBoundSquared(const Lab& p, double chroma1, const Lab& q, double chroma2) {
    return boundsOf(p.lightness, p.a, p.b, chroma1, q.lightness, q.a, q.b, chroma2).upper;
}

void ciede2000PairBounds(const LabColumns& firsts, const LabColumns& seconds, double* lower,
                         double* upper) {
    kSimdKernel<&pairBoundsOfMany>(firsts, seconds, lower, upper);
}

} // namespace vellora
