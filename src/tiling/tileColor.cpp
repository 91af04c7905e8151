#include "tiling/tileColor.h"

#include "core/pixelAccess.h"

#include <algorithm>
#include <array>

namespace vellora {

Bgr averageTileColor(const DibImage& source, const TileGeometry& geometry, int y0, int x0) {
    const int yEnd =
        int(std::min<std::int64_t>(std::int64_t(y0) + geometry.tileHeight, source.height));
    const int xEnd =
        int(std::min<std::int64_t>(std::int64_t(x0) + geometry.tileWidth, source.width));
    std::array<double, 3> sums{};
    double count = 0;
    for (int y = std::max(y0, 0); y < yEnd; ++y)
        for (int x = std::max(x0, 0); x < xEnd; ++x) {
            Bgr bgr;
            getColor(source, bgr.data(), y, x, source.bitsPerPixel);
            for (std::size_t k = 0; k < sums.size(); ++k)
                sums[k] += bgr[k];
            count += 1;
        }
    if (count == 0) return {0, 0, 0};
    return {std::uint8_t(sums[0] / count), std::uint8_t(sums[1] / count),
            std::uint8_t(sums[2] / count)};
}

Bgr mapTileColor(const TileColorMapping& mapping, const Bgr& color) {
    if (!mapping.indexed()) return color;
    return {mapping.paletteIndex(color), 0, 0};
}

} // namespace vellora
