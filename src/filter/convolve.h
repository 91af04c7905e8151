#pragma once
// The convolution pass every linear filter runs: replicated borders (rows and columns clamped
// separately), one double sum per channel over the mask in row-by-row order, division by k
// unless k is 0, clamping to 0 … 255 and truncation, into a 24 bpp target.
#include "core/session.h"
#include "filter/filterMask.h"

namespace vellora {

// target: 24 bpp, the source's width and height; source: any supported depth. Progress runs
// over the target rows. Returns 0.
int convolve(Session& session, DibImage& target, const DibImage& source, const FilterMask& mask);

// A channel sum, already divided, made into a byte: clamped and truncated.
inline std::uint8_t finishChannel(double sum) {
    sum = sum < 0 ? 0 : sum;
    sum = sum > 255 ? 255 : sum;
    return std::uint8_t(int(sum));
}

// The filter operations' common body: a 24 bpp target of sourceImage's size convolved with the
// mask and written to nextPath. 0, or 1 after the failure's message.
int convolveSourceToNext(Session& session, const FilterMask& mask);

// The same with a mask of the smoothing or sharpening table; an index outside the table fails
// (returns 1) without a result.
int filterSourceWithMask(Session& session, int family, int index);

// Reads the current intermediate file into sourceImage: 0, or 1 after the reader's message.
int readSourceImage(Session& session);

} // namespace vellora
