#pragma once
// Plain versions of the colour engine (whole-list scans, a full error buffer) to check it by.
#include "core/dibImage.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace vellora::test {

struct ReferenceCut {
    std::vector<std::uint8_t> palette; // 4 bytes per entry, 2^bpp entries
    std::vector<std::uint8_t> indices; // per pixel, storage order
    int splits = 0;                    // progress units reported
};

// Median cut to `colors` (2^k) colours, every split scanning the whole sample list.
ReferenceCut referenceMedianCut(const DibImage& source, std::uint32_t colors, int bitsPerPixel);

// Floyd–Steinberg with a (width + 1) × (height + 1) error buffer, the entry chosen by `choose`
// from the error-adjusted blue, green, red; the index of every pixel in storage order.
std::vector<std::uint8_t> referenceDiffused(const DibImage& target, const DibImage& source,
                                            const std::function<int(const int* adjusted)>& choose);

} // namespace vellora::test
