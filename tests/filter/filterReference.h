#pragma once
// Plain per-pixel forms of the filters, written straight from their definitions with getColor
// per tap, against which the row-at-a-time passes are checked; and small picture helpers.
#include "core/dibImage.h"
#include "core/session.h"
#include "filter/filterMask.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

namespace vellora::test {

// The colour of (x, y) with rows and columns clamped to the picture, through getColor.
void clampedColor(const DibImage& image, int x, int y, std::uint8_t* bgr);

DibImage referenceConvolve(const DibImage& source, const FilterMask& mask);
DibImage referenceEdgePreserving(const DibImage& source, int criterion);
// Median by luminance; ties by the lower window position.
DibImage referenceDeNoise(const DibImage& source, int size);

// A 24 bpp target of the source's size filled by pass(session, target, source).
DibImage runPass(const DibImage& source,
                 const std::function<void(Session&, DibImage&, const DibImage&)>& pass);

// A picture of the given depth with pseudo-random pixels (indexed depths get a random palette).
DibImage randomPicture(int width, int height, int bitsPerPixel, unsigned startingValue,
                       int levels = 256);

// Whether two pictures have the same size and every pixel the same colour; names the first
// difference otherwise.
::testing::AssertionResult samePixels(const DibImage& expected, const DibImage& actual);

// A gray (v, v, v) as 0xRRGGBB.
inline std::uint32_t gray(int v) {
    return std::uint32_t(v) * 0x010101u;
}

} // namespace vellora::test
