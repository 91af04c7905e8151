#pragma once
// The nearest palette entry of a tile colour under the design settings: by squared RGB distance
// or by CIEDE2000, among the entries not left out, the lowest index on ties.
#include "color/ciede2000.h"
#include "core/designSettings.h"
#include "core/dibImage.h"
#include "tiling/tileColor.h"

#include <array>
#include <atomic>
#include <memory>
#include <vector>

namespace vellora {

class TileMatcher {
  public:
    // The palette's colours (blue, green, red) and which of them may be chosen.
    TileMatcher(const std::vector<Bgr>& palette, const std::vector<bool>& allowed,
                ColorMatch match);
    // False when every entry is left out.
    bool anyAllowed() const { return !entries_.empty(); }
    // Safe to call from several threads at once.
    std::uint8_t nearest(const Bgr& color) const;
    // Starts loading the remembered answers of colours about to be asked for.
    void prefetch(const Bgr* colors, std::size_t count) const;

  private:
    struct Entry {
        Bgr color;
        Lab lab;
        double chroma;
        std::uint8_t index;
    };
    std::uint8_t nearestRgb(const Bgr& color) const;
    std::uint8_t nearestCiede2000(const Bgr& color) const;

    ColorMatch match_;
    std::vector<Entry> entries_; // allowed entries; by lightness for CIEDE2000, else by index
    std::array<int, 256> positionOf_{}; // where each allowed index lies in entries_
    // The entries' Lab parts side by side, in the order of entries_.
    std::vector<double> lightness_, a_, b_, chroma_;
    // Answers by colour for CIEDE2000: (1 << 32) | colour << 8 | index, 0 for none. Tiles of a
    // picture repeat colours, and one word per slot lets workers share it without locks.
    std::unique_ptr<std::atomic<std::uint64_t>[]> cache_;
};

// The colours of a picture's palette as a tiling lists them (its first colorsUsed entries).
std::vector<Bgr> paletteColors(const DibImage& picture);

} // namespace vellora
