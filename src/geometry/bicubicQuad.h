#pragma once
// Four neighbouring target pixels of the bicubic rotation at once, one pixel per vector lane.
// Positions, tap weights and each channel's sixteen products are computed in every lane by the
// same operations, in the same order, as the one-pixel pass (cubicWeights, weightedColor), so
// the bytes are the same; only more of them are in flight, where one pixel's chain of sixteen
// dependent additions would otherwise keep the processor waiting.
#include "geometry/rotationFrame.h"

#include <cstddef>
#include <cstdint>

namespace vellora {

// The source as rows of blue, green, red bytes.
struct QuadSource {
    const std::uint8_t* base;
    std::size_t stride;
    int width, height;
};

// Pixels per call of bicubicQuads: kQuadsPerCall vectors of kQuadLanes pixels.
constexpr int kQuadLanes = 4;
constexpr int kQuadsPerCall = 3;
constexpr int kQuadPixels = kQuadLanes * kQuadsPerCall;

// Target pixels x … x + kQuadPixels − 1 of the row at v = y − cy, when all of them have their
// full four by four taps well inside the source (a 16-byte read at each tap row stays within
// it), or all of them lie outside it and take the blank colour; their blue, green, red go to
// out[0 … 3 × kQuadPixels − 1]. False, with nothing written, otherwise. Built for AVX2: only
// the AVX2 and wider copies of a kernel (core/simdLevel.h) may call it.
bool bicubicQuads(const QuadSource& source, const RotationFrame& f, double v, int x,
                  const std::uint8_t* blank, std::uint8_t* out);

} // namespace vellora
