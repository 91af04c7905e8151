#pragma once
// Plain reference versions of the colour engine, written straight from the described
// algorithms (whole-list scans, a full error buffer, per-pixel access) to check the fast ones.
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

// Floyd–Steinberg mapping with a (width + 1) × (height + 1) error buffer, the entry of
// `target`'s palette chosen by `choose` from the error-adjusted blue, green, red; returns the
// index of every pixel in storage order.
std::vector<std::uint8_t> referenceDiffused(const DibImage& target, const DibImage& source,
                                            const std::function<int(const int* adjusted)>& choose);

} // namespace vellora::test
