#pragma once
// Floyd–Steinberg error diffusion, the one rule every diffusing operation uses.
//
// The error e of a pixel (r, c) goes to four neighbours as (7e + 8) / 16 right, (3e + 8) / 16
// lower left (only when c > 0), (5e + 8) / 16 below and (e + 8) / 16 lower right, each division
// truncating toward zero, so the shares need not add up to e. Error pushed past the right edge
// or below the last row is dropped; it never wraps to the next row. Rows are visited in stored
// order, each left to right.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vellora {

struct DiffusionShares {
    int right;
    int lowerLeft;
    int below;
    int lowerRight;
};

// C++ integer division truncates toward zero, which is the rounding wanted here.
constexpr DiffusionShares floydSteinbergShares(int e) {
    return {(7 * e + 8) / 16, (3 * e + 8) / 16, (5 * e + 8) / 16, (e + 8) / 16};
}

// A pixel's value plus the error waiting for it lies in −252 … 511: the shares of one error
// of at most 255 either way add up to at most 256 (or −252). For a channel whose palette entry
// follows from the channel's own clamped value, the shares each such sum spreads are a table,
// so the next pixel waits for one look-up instead of the arithmetic of the error.
class DiffusionShareTable {
  public:
    static constexpr int kLowestSum = -512;
    static constexpr int kSums = 1024;
    // entryOf[v]: the entry's value in this channel for the clamped value v.
    explicit DiffusionShareTable(const std::uint8_t* entryOf) {
        for (int i = 0; i < kSums; ++i) {
            const int value = std::clamp(kLowestSum + i, 0, 255);
            shares_[std::size_t(i)] = floydSteinbergShares(value - entryOf[value]);
        }
    }
    const DiffusionShares& operator[](int sum) const {
        return shares_[std::size_t(sum - kLowestSum)];
    }

  private:
    std::array<DiffusionShares, kSums> shares_{};
};

// The errors waiting for the current row and the row after it, `channels` signed values per
// column. Only two rows are ever live, so two rows are all that is kept. A row's errors are
// spread by a DiffusionWalk, which writes every cell of the next row, so a row never needs
// clearing.
class DiffusionRows {
  public:
    // Zeroed rows for a picture `width` pixels wide; false when memory cannot be had.
    bool allocate(int width, int channels);
    const std::int32_t* current() const { return current_.data(); }
    std::int32_t* next() { return next_.data(); }
    // Moves on to the next row: what was waiting below becomes current.
    void nextRow() { current_.swap(next_); }

  private:
    std::vector<std::int32_t> current_;
    std::vector<std::int32_t> next_;
};

// One row's walk, every pixel left to right, each pixel's `Channels` errors spread before the
// next pixel is read. The shares that are still open (the right neighbour's, and the lower
// row's two cells not yet complete) are held in locals and each lower cell is written once,
// when nothing more can reach it; the share past the right edge is dropped.
template <int Channels>
class DiffusionWalk {
  public:
    explicit DiffusionWalk(DiffusionRows& rows) : DiffusionWalk(rows.current(), rows.next()) {}
    // The row's waiting errors and the row below it, held elsewhere.
    DiffusionWalk(const std::int32_t* waiting, std::int32_t* below)
        : waiting_(waiting), below_(below) {}

    // The error waiting for pixel `column` of the row, channel `channel`.
    int waiting(int column, int channel) const {
        return waiting_[cell(column, channel)] + right_[channel];
    }
    // Spreads e of pixel `column`, channel `channel`.
    void spread(int column, int channel, int e) {
        spreadShares(column, channel, floydSteinbergShares(e));
    }
    // The same with the shares of e already at hand.
    void spreadShares(int column, int channel, const DiffusionShares& s) {
        right_[channel] = s.right;
        if (column > 0) below_[cell(column - 1, channel)] = held_[channel] + s.lowerLeft;
        held_[channel] = pending_[channel] + s.below;
        pending_[channel] = s.lowerRight;
    }
    // After the last pixel: its lower cell is complete; its lower-right share is dropped.
    void finish(int width) {
        if (width <= 0) return;
        for (int k = 0; k < Channels; ++k)
            below_[cell(width - 1, k)] = held_[k];
    }

  private:
    static std::size_t cell(int column, int channel) {
        return std::size_t(column) * Channels + std::size_t(channel);
    }
    const std::int32_t* waiting_;
    std::int32_t* below_;
    int right_[Channels] = {};
    int held_[Channels] = {};    // the lower cell below the previous pixel, lacking its lower-left
    int pending_[Channels] = {}; // the lower cell below this pixel: the previous pixel's share
};

} // namespace vellora
