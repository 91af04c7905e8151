#pragma once
// The weighted sum of source colours under a row and a column set of taps, shared by the
// interpolated resize and rotation passes.
#include "geometry/resampleWeights.h"
#include "geometry/sourceColors.h"

#include <cstdint>
#include <cstring>

namespace vellora {

inline std::uint8_t clampToByte(double sum) {
    if (sum < 0) return 0;
    if (sum > 255) return 255;
    return std::uint8_t(sum);
}

// For every row tap i, then every column tap j, each channel adds
// rowWeights[i] × columnWeights[j] × the channel; the sums are clamped to 0 … 255, truncated and
// stored as blue, green, red at `out`. The three channels are lanes of one vector (the fourth
// adds zeros), each lane taking its products in that same order.
// `colors` is anything whose row(y) gives a row of blue, green, red bytes.
template <class Colors>
[[gnu::always_inline]] inline void weightedColor(const Colors& colors, Taps rowTaps,
                                                 const double* rowWeights, Taps columnTaps,
                                                 const double* columnWeights, std::uint8_t* out) {
    using Lanes = double __attribute__((vector_size(32)));
    using Words = std::int32_t __attribute__((vector_size(16)));
    using Bytes = std::uint8_t __attribute__((vector_size(4)));
    const Bytes keep = {255, 255, 255, 0};
    Lanes sum = {};
    for (int i = 0; i < rowTaps.count; ++i) {
        const std::uint8_t* in = colors.row(rowTaps.first + i) + 3 * std::size_t(columnTaps.first);
        for (int j = 0; j < columnTaps.count; ++j, in += 3) {
            const double weight = rowWeights[i] * columnWeights[j];
            // Four bytes are read where the next pixel of the row follows, its blue masked off.
            Words channels;
            if (j + 1 < columnTaps.count) {
                Bytes four;
                std::memcpy(&four, in, sizeof four);
                channels = __builtin_convertvector(four & keep, Words);
            } else {
                channels = Words{in[0], in[1], in[2], 0};
            }
            sum += weight * __builtin_convertvector(channels, Lanes);
        }
    }
    out[0] = clampToByte(sum[0]);
    out[1] = clampToByte(sum[1]);
    out[2] = clampToByte(sum[2]);
}

} // namespace vellora
