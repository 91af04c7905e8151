#pragma once
// Resampling taps along one axis. A source coordinate t puts source pixel k's centre at k + 0.5.
#include <vector>

namespace vellora {

struct Taps {
    int first = 0; // source index of weights[0]
    int count = 0;
};

// Bicubic taps (cubic convolution with a = −1) for position t in a source of `size` pixels:
// four taps around t, those outside 0 … size − 1 dropped and the rest renormalised to sum 1.
// `weights` holds at least 4 doubles.
Taps cubicWeights(double t, int size, double* weights);

// Area-averaging taps for the footprint t − ratio / 2 … t + ratio / 2, clipped to the source,
// each pixel weighted by its covered part and renormalised. `weights` holds at least
// areaTapCapacity(ratio) doubles.
Taps areaWeights(double t, int size, double ratio, double* weights);
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
Taps planTaps(const AxisPlan& plan, double t, double* weights);

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
