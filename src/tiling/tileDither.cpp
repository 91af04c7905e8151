#include "tiling/tileDither.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vellora {

namespace {

using Error = std::array<double, 3>;

// Error rows with one spare column on each side, so the neighbours need no edge tests.
struct ErrorRows {
    explicit ErrorRows(int columns) : current(std::size_t(columns) + 2), next(current) {}
    void advance() {
        current.swap(next);
        std::fill(next.begin(), next.end(), Error{});
    }
    std::vector<Error> current;
    std::vector<Error> next;
};

void spread(ErrorRows& rows, std::size_t column, const Error& error) {
    constexpr auto kWeights = std::to_array<double>({7.0 / 16, 3.0 / 16, 5.0 / 16, 1.0 / 16});
    for (std::size_t k = 0; k < 3; ++k) {
        rows.current[column + 2][k] += error[k] * kWeights[0];
        rows.next[column][k] += error[k] * kWeights[1];
        rows.next[column + 1][k] += error[k] * kWeights[2];
        rows.next[column + 2][k] += error[k] * kWeights[3];
    }
}

} // namespace

void ditherTileGrid(std::vector<Bgr>& grid, int columns, const TileColorMapping& mapping,
                    const std::vector<Bgr>& palette) {
    if (!mapping.indexed() || palette.empty() || columns < 1) return;
    ErrorRows rows(columns);
    const std::size_t width = std::size_t(columns);
    for (std::size_t i = 0; i < grid.size(); ++i) {
        const std::size_t column = i % width;
        if (column == 0) rows.advance();
        Error wanted{};
        Bgr rounded{};
        for (std::size_t k = 0; k < 3; ++k) {
            wanted[k] = std::clamp(grid[i][k] + rows.current[column + 1][k], 0.0, 255.0);
            rounded[k] = std::uint8_t(std::lround(wanted[k]));
        }
        const std::uint8_t index = mapping.paletteIndex(rounded);
        const Bgr& chosen = palette[std::min<std::size_t>(index, palette.size() - 1)];
        Error error{};
        for (std::size_t k = 0; k < 3; ++k)
            error[k] = wanted[k] - chosen[k];
        spread(rows, column, error);
        grid[i] = {index, 0, 0};
    }
}

} // namespace vellora
