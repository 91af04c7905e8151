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
#include <optional>
#include <vector>

namespace vellora {

class TileMatcher {
  public:
    // The palette's colours (blue, green, red) and which of them may be chosen.
    TileMatcher(const std::vector<Bgr>& palette, const std::vector<bool>& allowed,
                ColorMatch match);
    // False when every entry is left out.
    bool anyAllowed() const { return !entries_.empty(); }
    // 0 when every entry is left out. Safe to call from several threads at once, as is nearestRow.
    std::uint8_t nearest(const Bgr& color) const;
    // indices[i] = nearest(colors[i]) for a row of colours, which are matched faster together.
    void nearestRow(const Bgr* colors, std::size_t count, std::uint8_t* indices) const;

    // Whole steps of lightness, 0 … 100 and one above, for finding a window of entries.
    static constexpr std::size_t kLightnessSteps = 102;

  private:
    struct Entry {
        Bgr color;
        Lab lab;
        double chroma;
        std::uint8_t index;
    };
    struct Batch;
    std::uint8_t nearestRgb(const Bgr& color) const;
    std::optional<std::uint8_t> rememberedAnswer(const Bgr& color) const;
    void remember(const Bgr& color, std::uint8_t index) const;
    // CIEDE2000 matching of a batch of colours: each added with the entry that gives its first
    // limit, then all settled together.
    void addToBatch(Batch& batch, std::size_t where, const Bgr& color, std::size_t start) const;
    void settleBatch(Batch& batch, std::uint8_t* indices) const;
    void gatherCandidates(Batch& batch, std::size_t j) const;
    std::uint8_t settle(const Batch& batch, std::size_t j) const;

    ColorMatch match_;
    std::vector<Entry> entries_; // allowed entries; by lightness for CIEDE2000, else by index
    std::array<int, 256> positionOf_{}; // where each allowed index lies in entries_
    // The entries' Lab parts side by side, in the order of entries_.
    std::vector<double> lightness_, a_, b_, chroma_;
    // firstFrom_[s]: the first entry of lightness s or more (all of them for s = 0, none for
    // the last step).
    std::array<std::size_t, kLightnessSteps + 1> firstFrom_{};
    // Answers by colour for CIEDE2000: (1 << 32) | colour << 8 | index, 0 for none. Tiles of a
    // picture repeat colours, and one word per slot lets workers share it without locks.
    std::unique_ptr<std::atomic<std::uint64_t>[]> cache_;
};

// The colours of a picture's palette as a tiling lists them (its first colorsUsed entries).
std::vector<Bgr> paletteColors(const DibImage& picture);

} // namespace vellora
