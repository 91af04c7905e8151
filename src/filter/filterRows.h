#pragma once
// The row machinery every neighbourhood filter shares: source rows read once as colours with
// the border replicated, a small cache of the rows a window needs, and the target rows run in
// bands on every core with the progress bar advanced from the calling thread.
#include "core/session.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace vellora {

// Reads source row y as blue, green, red bytes into out + 3 * half and repeats the first and
// last pixel `half` times on either side: out holds 3 * (width + 2 * half) bytes, and the
// colour of column x - half + i (clamped) lies at 3 * (x + i).
void readPaddedColors(const DibImage& source, int y, int half, std::uint8_t* out);

// The source row a window row reads: y - half + j clamped to the picture.
inline int windowRow(int y, int half, int j, int height) {
    return std::clamp(y - half + j, 0, height - 1);
}

// Keeps the prepared form of the last `size` source rows. A window's rows are consecutive
// after clamping, so slot r % size never holds two rows one window needs.
template <class Prepared> class WindowRowCache {
  public:
    WindowRowCache(int size, const Prepared& blank)
        : slots_(std::size_t(size), blank), tags_(std::size_t(size), -1) {}

    template <class Prepare> const Prepared& row(int r, Prepare&& prepare) {
        const std::size_t slot = std::size_t(r) % slots_.size();
        if (tags_[slot] != r) {
            prepare(r, slots_[slot]);
            tags_[slot] = r;
        }
        return slots_[slot];
    }

  private:
    std::vector<Prepared> slots_;
    std::vector<int> tags_;
};

// Runs rowBody(y, scratchIndex) for every row y of [0, rows) over parallel bands; each band
// has its own scratchIndex below scratchCount (rowBandScratchCount() covers every band). The
// body must not allocate. Progress: progressBegin(rows), advanced from the calling thread in
// proportion to its own band, and at rows by the time it returns.
void runRowBands(Session& session, int rows, int scratchCount,
                 const std::function<void(int y, int scratchIndex)>& rowBody);

// The number of bands runRowBands can make.
int rowBandScratchCount();

// runRowBands with one Scratch per band, made by makeScratch before any thread starts.
template <class Scratch, class MakeScratch, class RowBody>
void forEachTargetRow(Session& session, int rows, MakeScratch&& makeScratch, RowBody&& rowBody) {
    const int count = rowBandScratchCount();
    std::vector<Scratch> scratch;
    scratch.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        scratch.push_back(makeScratch());
    runRowBands(session, rows, count,
                [&](int y, int index) { rowBody(y, scratch[std::size_t(index)]); });
}

} // namespace vellora
