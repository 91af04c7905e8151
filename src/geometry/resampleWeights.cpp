#include "geometry/resampleWeights.h"

#include <cmath>

namespace vellora {

namespace {

double cubicKernel(double d) {
    if (d < 1) return 1 - 2 * d * d + d * d * d;
    if (d < 2) return 4 - 8 * d + 5 * d * d - d * d * d;
    return 0;
}

void normalise(double* weights, int count) {
    double sum = 0;
    for (int i = 0; i < count; ++i)
        sum += weights[i];
    if (sum == 0) return; // nothing to scale; the taps contribute nothing either way
    for (int i = 0; i < count; ++i)
        weights[i] = weights[i] / sum;
}

} // namespace

Taps cubicWeights(double t, int size, double* weights) {
    const int base = int(t);
    int first = (t - base < 0.5) ? base - 2 : base - 1;
    int last = first + 3;
    if (first < 0) first = 0;
    if (last > size - 1) last = size - 1;
    Taps taps{first, last >= first ? last - first + 1 : 0};
    for (int i = 0; i < taps.count; ++i)
        weights[i] = cubicKernel(std::fabs(t - (first + i + 0.5)));
    normalise(weights, taps.count);
    return taps;
}

Taps areaWeights(double t, int size, double ratio, double* weights) {
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
    normalise(weights, taps.count);
    return taps;
}

int areaTapCapacity(double ratio) {
    return int(ratio) + 2;
}

AxisPlan makeAxisPlan(int sourceSize, int targetSize) {
    AxisPlan plan;
    plan.sourceSize = sourceSize;
    plan.ratio = double(sourceSize) / targetSize;
    if (targetSize > sourceSize)
        plan.method = AxisMethod::Bicubic;
    else if (targetSize < sourceSize)
        plan.method = AxisMethod::Area;
    return plan;
}

int maxTaps(const AxisPlan& plan) {
    switch (plan.method) {
    case AxisMethod::Copy:
        return 1;
    case AxisMethod::Bicubic:
        return 4;
    case AxisMethod::Area:
        return areaTapCapacity(plan.ratio);
    }
    return 1;
}

Taps planTaps(const AxisPlan& plan, double t, double* weights) {
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

AxisTable makeAxisTable(const AxisPlan& plan, int targetSize) {
    AxisTable table;
    table.stride = maxTaps(plan);
    table.taps.resize(std::size_t(targetSize));
    table.weights.resize(std::size_t(targetSize) * table.stride);
    for (int i = 0; i < targetSize; ++i) {
        const double t = (i + 0.5) * plan.sourceSize / targetSize;
        table.taps[std::size_t(i)] =
            planTaps(plan, t, table.weights.data() + std::size_t(i) * table.stride);
    }
    return table;
}

} // namespace vellora
