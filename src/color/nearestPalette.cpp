#include "color/nearestPalette.h"

#include <algorithm>

namespace vellora {

namespace {
// 255³: above any squared distance, so the first entry always wins against it.
constexpr std::int32_t kNoDistance = 16581375;

int entriesInUse(const DibImage& image) {
    const std::uint32_t n = image.colorsUsed != 0 ? image.colorsUsed : image.paletteEntries;
    return int(std::min<std::uint32_t>({n, image.paletteEntries, 256}));
}
} // namespace

std::uint8_t nearestPaletteIndex(const DibImage& image, std::uint8_t blue, std::uint8_t green,
                                 std::uint8_t red, std::uint8_t previous) {
    const int n = entriesInUse(image);
    std::int32_t best = kNoDistance;
    std::uint8_t chosen = previous;
    for (int i = 0; i < n; ++i) {
        const std::uint8_t* entry = image.paletteEntry(i);
        const int db = blue - entry[0];
        const int dg = green - entry[1];
        const int dr = red - entry[2];
        const std::int32_t distance = db * db + dg * dg + dr * dr;
        if (distance < best) {
            best = distance;
            chosen = std::uint8_t(i);
        }
    }
    return chosen;
}

NearestPaletteFinder::NearestPaletteFinder(const DibImage& image)
    : count_(entriesInUse(image)), cacheKeys_(std::size_t(1) << kCacheBits, 0),
      cacheValues_(std::size_t(1) << kCacheBits, 0) {
    for (int i = 0; i < count_; ++i) {
        const std::uint8_t* entry = image.paletteEntry(i);
        blue_[i] = entry[0];
        green_[i] = entry[1];
        red_[i] = entry[2];
    }
}

std::uint8_t NearestPaletteFinder::search(int blue, int green, int red) {
    if (count_ == 0) return previous_;
    // Distances first (a loop the compiler vectorises), then the first smallest one.
    for (int i = 0; i < count_; ++i) {
        const std::int32_t db = blue - blue_[i];
        const std::int32_t dg = green - green_[i];
        const std::int32_t dr = red - red_[i];
        distance_[i] = db * db + dg * dg + dr * dr;
    }
    std::int32_t best = kNoDistance;
    int chosen = 0;
    for (int i = 0; i < count_; ++i)
        if (distance_[i] < best) {
            best = distance_[i];
            chosen = i;
        }
    previous_ = std::uint8_t(chosen);
    return previous_;
}

} // namespace vellora
