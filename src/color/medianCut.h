#pragma once
// Median-cut colour reduction: a palette of 2^k colours (1 ≤ k ≤ 8) for a picture, found by
// recursive splits in the Y, Cb, Cr space of color/colorSpace.h, and the index of every pixel.
//
// A split of box b at depth d takes the box's members, measures the ranges of Y, Cb and Cr
// (weighted 1.4, 1.2 and 1), cuts the widest at the axis mean and gives the members at or
// above the mean box b + 2^(d − 1); the lower half is split to the bottom first. A box with no
// members is not split and reports no progress. Box numbers are the palette indices; a box's
// colour is its mean Y, Cb, Cr converted back (+0.49, clamped, truncated), an empty box's colour
// stays black. Every sum is formed over the members in storage order (row 0 first, each row
// left to right), which fixes the palette to the last bit.
#include "color/colorSpace.h"
#include "core/session.h"

#include <cstddef>
#include <cstdint>

namespace vellora {

// The number of halvings of `colors` down to 1: k for 2^k colours.
int medianCutDepth(std::uint32_t colors);

// Fills the palette of a prepared, zero-filled 1, 4 or 8 bpp target whose colorsUsed is 2^k
// and writes every pixel's box number as its index. source has the target's width and height,
// any depth. Progress: 2^k − 1 units, one per split (on large pictures the upper half is cut on
// a second thread and its units arrive when it is done). 0, or 16 (reported) when memory runs
// out.
int medianCutPalette(Session& session, DibImage& target, const DibImage& source);

// The reduction used when a true-colour picture must become 8 bpp (GIF export): a 256-colour
// median cut, every pixel taking its own box's colour (no error diffusion, so flat areas stay
// flat and the result is the palette's own partition). indexed8 is replaced. False when memory
// runs out.
bool reduceTo256Colors(const DibImage& trueColor, DibImage& indexed8);

// One cut's partition of packed colours (blue | green << 8 | red << 16): those below `mean` on
// the axis first, then the others, both in their old order; returns the count below. `scratch`
// holds `count` values. One member at a time at the baseline level, 8 with AVX2, 16 with
// AVX-512; every level must give the same order, which the sums of every later cut depend on.
std::size_t partitionPackedColors(CutAxis axis, std::uint32_t* colors, std::uint32_t* scratch,
                                  std::size_t count, double mean);

// The sum of packed colours' values on one axis, or on all three (Y, Cb, Cr), with the bits of
// the sum formed colour after colour from +0, as every box's mean is.
double sumPackedColors(CutAxis axis, const std::uint32_t* colors, std::size_t count);
void sumPackedColors(const std::uint32_t* colors, std::size_t count, double sums[3]);
// Two boxes' sums formed side by side, as the two halves of a cut are measured; each has the
// bits of its own sum colour after colour.
void sumPackedColorsSideBySide(CutAxis axisA, const std::uint32_t* a, std::size_t countA,
                               CutAxis axisB, const std::uint32_t* b, std::size_t countB,
                               double& sumA, double& sumB);

} // namespace vellora
