#pragma once
// The weighted sum of source colours under a row and a column set of taps, shared by the
// interpolated resize and rotation passes.
#include "geometry/resampleWeights.h"
#include "geometry/sourceColors.h"

#include <cstdint>

namespace vellora {

inline std::uint8_t clampToByte(double sum) {
    if (sum < 0) return 0;
    if (sum > 255) return 255;
    return std::uint8_t(sum);
}

// For every row tap i, then every column tap j, each channel adds
// rowWeights[i] × columnWeights[j] × the channel; the sums are clamped to 0 … 255, truncated and
// stored as blue, green, red at `out`.
inline void weightedColor(const SourceColors& colors, Taps rowTaps, const double* rowWeights,
                          Taps columnTaps, const double* columnWeights, std::uint8_t* out) {
    double blue = 0, green = 0, red = 0;
    for (int i = 0; i < rowTaps.count; ++i) {
        const std::uint8_t* in = colors.row(rowTaps.first + i) + 3 * std::size_t(columnTaps.first);
        for (int j = 0; j < columnTaps.count; ++j) {
            const double weight = rowWeights[i] * columnWeights[j];
            blue += weight * in[3 * j];
            green += weight * in[3 * j + 1];
            red += weight * in[3 * j + 2];
        }
    }
    out[0] = clampToByte(blue);
    out[1] = clampToByte(green);
    out[2] = clampToByte(red);
}

} // namespace vellora
