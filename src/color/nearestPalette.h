#pragma once
// The nearest colour of a palette by squared RGB distance.
#include "core/dibImage.h"
#include "core/pictureBytes.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vellora {

// Over the image's first colorsUsed entries (all paletteEntries when colorsUsed is 0): the entry
// with the smallest (b - blue)² + (g - green)² + (r - red)², the lowest index on ties. With an
// empty palette `previous` comes back unchanged.
std::uint8_t nearestPaletteIndex(const DibImage& image, std::uint8_t blue, std::uint8_t green,
                                 std::uint8_t red, std::uint8_t previous = 0);

// The same answer as nearestPaletteIndex, fast for whole pictures: the entries are kept sorted
// by green and searched outward from the colour's green until the green distance alone exceeds
// the best distance found, and recent answers are remembered in a colour-keyed table. One
// finder per thread.
class NearestPaletteFinder {
  public:
    explicit NearestPaletteFinder(const DibImage& image);
    std::uint8_t find(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
        if (cacheKeys_.empty()) [[unlikely]]
            return findWithoutTable(blue, green, red);
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
    static constexpr int kCacheBits = 16;
    // The table pays only over many pixels: the first finds search directly, so a small
    // picture never allocates and faults in the table's pages.
    static constexpr int kFindsBeforeTable = 4096;
    std::uint8_t search(int blue, int green, int red) const;
    std::uint8_t findWithoutTable(std::uint8_t blue, std::uint8_t green, std::uint8_t red);
    void allocateCache();

    int count_ = 0;
    int findsWithoutTable_ = 0;
    // Entry data in order of green, then index; firstAtOrAbove_[g] is the first position whose
    // green is g or more.
    std::array<std::int32_t, 256> blue_{};
    std::array<std::int32_t, 256> green_{};
    std::array<std::int32_t, 256> red_{};
    std::array<std::uint8_t, 256> index_{};
    std::array<std::int16_t, 256> firstAtOrAbove_{};
    // Empty until kFindsBeforeTable finds have been made, and for good when it cannot be had.
    // The keys come zeroed; a value is read only under its key.
    std::vector<std::uint32_t, ZeroedAllocator<std::uint32_t>> cacheKeys_;
    std::vector<std::uint8_t, ZeroedAllocator<std::uint8_t>> cacheValues_;
};

} // namespace vellora
