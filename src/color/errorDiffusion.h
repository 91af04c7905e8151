#pragma once
// Floyd–Steinberg error diffusion, the one rule every diffusing operation uses.
//
// The error e of a pixel (r, c) goes to four neighbours as (7e + 8) / 16 right, (3e + 8) / 16
// lower left (only when c > 0), (5e + 8) / 16 below and (e + 8) / 16 lower right, each division
// truncating toward zero, so the shares need not add up to e. Error pushed past the right edge
// or below the last row is dropped; it never wraps to the next row. Rows are visited in stored
// order, each left to right.
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

// The errors waiting for the current row and the row after it, `channels` signed values per
// cell and one extra cell at the right that takes the error pushed past the edge. Only two rows
// are ever live, so two rows are all that is kept.
class DiffusionRows {
  public:
    // Zeroed rows for a picture `width` pixels wide; false when memory cannot be had.
    bool allocate(int width, int channels);
    // The error waiting for pixel `column` of the current row, channel `channel`.
    int waiting(int column, int channel) const { return current_[index(column, channel)]; }
    // Spreads e of pixel `column` of the current row to its neighbours.
    void spread(int column, int channel, int e) {
        const DiffusionShares s = floydSteinbergShares(e);
        current_[index(column + 1, channel)] += s.right;
        if (column > 0) next_[index(column - 1, channel)] += s.lowerLeft;
        next_[index(column, channel)] += s.below;
        next_[index(column + 1, channel)] += s.lowerRight;
    }
    // Moves on to the next row: what was waiting below becomes current.
    void nextRow();

  private:
    std::size_t index(int column, int channel) const {
        return std::size_t(column) * std::size_t(channels_) + std::size_t(channel);
    }
    int channels_ = 0;
    std::vector<std::int32_t> current_;
    std::vector<std::int32_t> next_;
};

} // namespace vellora
