#include "geometry/resampleWeights.h"

#include "core/wideVectors.h"

#include <cmath>
#include <cstring>

namespace vellora {

namespace {

// Both pieces are computed and one is chosen, so the choice is a select rather than a branch
// that positions all over a pixel's width would mispredict; each piece is the same arithmetic.
double cubicKernel(double d) {
    const double inner = 1 - 2 * d * d + d * d * d;
    const double outer = 4 - 8 * d + 5 * d * d - d * d * d;
    const double beyond = d < 2 ? outer : 0.0;
    return d < 1 ? inner : beyond;
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

VELLORA_WIDE_VECTORS Taps cubicWeights(double t, int size, double* weights) {
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
