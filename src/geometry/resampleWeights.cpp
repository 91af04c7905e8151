#include "geometry/resampleWeights.h"

namespace vellora {

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
    case AxisMethod::Bicubic:
        return 4;
    case AxisMethod::Area:
        return areaTapCapacity(plan.ratio);
    default: // copy
        return 1;
    }
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
