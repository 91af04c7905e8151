#pragma once
// The nearest colour of a palette by squared RGB distance.
#include "core/dibImage.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vellora {

// Over the image's first colorsUsed entries (all paletteEntries when colorsUsed is 0): the entry
// with the smallest (b - blue)² + (g - green)² + (r - red)², the lowest index on ties. With an
// empty palette `previous` comes back unchanged.
std::uint8_t nearestPaletteIndex(const DibImage& image, std::uint8_t blue, std::uint8_t green,
                                 std::uint8_t red, std::uint8_t previous = 0);

// The same answer as nearestPaletteIndex, fast for whole pictures: the palette is held as
// plain arrays and recent answers are remembered in a small colour-keyed table. One finder per
// thread.
class NearestPaletteFinder {
  public:
    explicit NearestPaletteFinder(const DibImage& image);
    std::uint8_t find(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
        const std::uint32_t key =
            std::uint32_t(blue) | std::uint32_t(green) << 8 | std::uint32_t(red) << 16 | kFilled;
        const std::uint32_t slot = (key * 2654435761u) >> (32 - kCacheBits);
        if (cacheKeys_[slot] == key) return cacheValues_[slot];
        const std::uint8_t index = search(blue, green, red);
        cacheKeys_[slot] = key;
        cacheValues_[slot] = index;
        return index;
    }

  private:
    static constexpr std::uint32_t kFilled = 1u << 24;
    static constexpr int kCacheBits = 14;
    std::uint8_t search(int blue, int green, int red);

    int count_ = 0;
    std::uint8_t previous_ = 0;
    std::array<std::int32_t, 256> blue_{};
    std::array<std::int32_t, 256> green_{};
    std::array<std::int32_t, 256> red_{};
    std::array<std::int32_t, 256> distance_{};
    std::vector<std::uint32_t> cacheKeys_;
    std::vector<std::uint8_t> cacheValues_;
};

} // namespace vellora
