#pragma once
// Resampling taps along one axis. A source coordinate t puts source pixel k's centre at k + 0.5.
//
// The tap functions are inline so that a pass computing taps for every pixel (rotation) has
// them in its own loop, built for its own instruction set; the arithmetic is the same wherever
// they are compiled.
#include <cmath>
#include <cstring>
#include <vector>

namespace vellora {

struct Taps {
    int first = 0; // source index of weights[0]
    int count = 0;
};

namespace resample {

// Both pieces are computed and one is chosen, so the choice is a select rather than a branch
// that positions all over a pixel's width would mispredict; each piece is the same arithmetic.
inline double cubicKernel(double d) {
    const double inner = 1 - 2 * d * d + d * d * d;
    const double outer = 4 - 8 * d + 5 * d * d - d * d * d;
    const double beyond = d < 2 ? outer : 0.0;
    return d < 1 ? inner : beyond;
}

inline void normalise(double* weights, int count) {
    double sum = 0;
    for (int i = 0; i < count; ++i)
        sum += weights[i];
    if (sum == 0) return; // nothing to scale; the taps contribute nothing either way
    for (int i = 0; i < count; ++i)
        weights[i] = weights[i] / sum;
}

} // namespace resample

// Bicubic taps (cubic convolution with a = −1) for position t in a source of `size` pixels:
// four taps around t, those outside 0 … size − 1 dropped and the rest renormalised to sum 1.
// `weights` holds at least 4 doubles.
[[gnu::always_inline]] inline Taps cubicWeights(double t, int size, double* weights) {
    const int base = int(t);
    int first = (t - base < 0.5) ? base - 2 : base - 1;
    int last = first + 3;
    if (first < 0) first = 0;
    if (last > size - 1) last = size - 1;
    Taps taps{first, last >= first ? last - first + 1 : 0};
    if (taps.count == 4) {
        // The usual case, away from the edges: the four taps as the lanes of one vector, each
        // lane the same arithmetic as cubicKernel and normalise (t − centre is never −0, so
        // the sign test gives the same distance as fabs).
        using Lanes = double __attribute__((vector_size(32)));
        const Lanes centres = {first + 0.5, first + 1 + 0.5, first + 2 + 0.5, first + 3 + 0.5};
        const Lanes offset = t - centres;
        const Lanes d = offset < 0 ? -offset : offset;
        const Lanes inner = 1 - 2 * d * d + d * d * d;
        const Lanes outer = 4 - 8 * d + 5 * d * d - d * d * d;
        const Lanes zero = {};
        const Lanes beyond = d < 2 ? outer : zero;
        Lanes w = d < 1 ? inner : beyond;
        const double sum = ((w[0] + w[1]) + w[2]) + w[3];
        if (sum != 0) w = w / sum;
        std::memcpy(weights, &w, sizeof w);
        return taps;
    }
    for (int i = 0; i < taps.count; ++i)
        weights[i] = resample::cubicKernel(std::fabs(t - (first + i + 0.5)));
    resample::normalise(weights, taps.count);
    return taps;
}

// Area-averaging taps for the footprint t − ratio / 2 … t + ratio / 2, clipped to the source,
// each pixel weighted by its covered part and renormalised. `weights` holds at least
// areaTapCapacity(ratio) doubles.
inline Taps areaWeights(double t, int size, double ratio, double* weights) {
    const double lo = t - ratio / 2;
    const double hi = t + ratio / 2;
    int first = int(lo);
    int last = int(hi);
    if (first < 0) first = 0;
    if (last > size - 1) last = size - 1;
    if (last < first) return Taps{first, 0};
    Taps taps{first, last - first + 1};
    for (int i = 0; i < taps.count; ++i)
        weights[i] = 1;
    weights[0] = first + 1 - lo;
    weights[taps.count - 1] = hi - last; // also the single tap's weight
    resample::normalise(weights, taps.count);
    return taps;
}
int areaTapCapacity(double ratio);

enum class AxisMethod { Copy, Bicubic, Area };

// How one axis goes from `sourceSize` to `targetSize` pixels: copied when equal, bicubic when it
// grows, area averaging when it shrinks.
struct AxisPlan {
    AxisMethod method = AxisMethod::Copy;
    int sourceSize = 0;
    double ratio = 1; // sourceSize / targetSize
};

AxisPlan makeAxisPlan(int sourceSize, int targetSize);
// The most taps one coordinate can get under the plan.
int maxTaps(const AxisPlan& plan);
// The taps of position t under the plan (copy: the single pixel trunc(t)).
[[gnu::always_inline]] inline Taps planTaps(const AxisPlan& plan, double t, double* weights) {
    switch (plan.method) {
    case AxisMethod::Copy:
        weights[0] = 1;
        return Taps{int(t), 1};
    case AxisMethod::Bicubic:
        return cubicWeights(t, plan.sourceSize, weights);
    case AxisMethod::Area:
        return areaWeights(t, plan.sourceSize, plan.ratio, weights);
    }
    return Taps{};
}

// Taps of every target coordinate i of an axis at t = (i + 0.5) × S / T, laid out as
// `stride` = maxTaps(plan) weights per coordinate.
struct AxisTable {
    std::vector<Taps> taps;
    std::vector<double> weights;
    int stride = 0;
    const double* weightsOf(int i) const { return weights.data() + std::size_t(i) * stride; }
};

AxisTable makeAxisTable(const AxisPlan& plan, int targetSize);

} // namespace vellora
