#include "color/nearestPalette.h"

#include <algorithm>
#include <new>
#include <numeric>

namespace vellora {

namespace {
// 255³: above any squared distance, so the first entry always wins against it.
constexpr std::int32_t kNoDistance = 16581375;
} // namespace

std::uint8_t nearestPaletteIndex(const DibImage& image, std::uint8_t blue, std::uint8_t green,
                                 std::uint8_t red, std::uint8_t previous) {
    const int n = image.listedEntries();
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

NearestPaletteFinder::NearestPaletteFinder(const DibImage& image) : count_(image.listedEntries()) {
    std::array<int, 256> order;
    std::iota(order.begin(), order.begin() + count_, 0);
    const auto greenOf = [&](int i) { return image.paletteEntry(i)[1]; };
    std::stable_sort(order.begin(), order.begin() + count_,
                     [&](int a, int b) { return greenOf(a) < greenOf(b); });
    for (int p = 0; p < count_; ++p) {
        const std::uint8_t* entry = image.paletteEntry(order[std::size_t(p)]);
        blue_[std::size_t(p)] = entry[0];
        green_[std::size_t(p)] = entry[1];
        red_[std::size_t(p)] = entry[2];
        index_[std::size_t(p)] = std::uint8_t(order[std::size_t(p)]);
    }
    int position = 0;
    for (int g = 0; g < 256; ++g) {
        while (position < count_ && green_[std::size_t(position)] < g)
            ++position;
        firstAtOrAbove_[std::size_t(g)] = std::int16_t(position);
    }
}

std::uint8_t NearestPaletteFinder::findWithoutTable(std::uint8_t blue, std::uint8_t green,
                                                    std::uint8_t red) {
    if (findsWithoutTable_ == kFindsBeforeTable) allocateCache();
    if (findsWithoutTable_ <= kFindsBeforeTable) ++findsWithoutTable_;
    return cacheKeys_.empty() ? search(blue, green, red) : find(blue, green, red);
}

void NearestPaletteFinder::allocateCache() {
    constexpr std::size_t slots = std::size_t(1) << kCacheBits;
    try {
        cacheValues_.resize(slots);
        cacheKeys_.resize(slots);
    } catch (const std::bad_alloc&) {
        cacheKeys_.clear();
    }
}

std::uint8_t NearestPaletteFinder::search(int blue, int green, int red) const {
    if (count_ == 0) return 0; // an empty palette keeps the start value of the mapping
    std::int32_t best = kNoDistance;
    int chosen = 256;
    // Lowest index among equal distances, as the plain search in index order gives.
    const auto consider = [&](int p) {
        const std::int32_t db = blue - blue_[std::size_t(p)];
        const std::int32_t dg = green - green_[std::size_t(p)];
        const std::int32_t dr = red - red_[std::size_t(p)];
        const std::int32_t distance = db * db + dg * dg + dr * dr;
        const int index = index_[std::size_t(p)];
        if (distance < best || (distance == best && index < chosen)) {
            best = distance;
            chosen = index;
        }
    };
    int up = firstAtOrAbove_[std::size_t(green)];
    int down = up - 1;
    while (up < count_ || down >= 0) {
        if (up < count_) {
            const std::int32_t dg = green_[std::size_t(up)] - green;
            if (dg * dg > best)
                up = count_;
            else
                consider(up++);
        }
        if (down >= 0) {
            const std::int32_t dg = green - green_[std::size_t(down)];
            if (dg * dg > best)
                down = -1;
            else
                consider(down--);
        }
    }
    return std::uint8_t(chosen);
}

} // namespace vellora
