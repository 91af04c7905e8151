#include "tiling/tileBands.h"

#include <algorithm>

namespace vellora {

namespace {
// Spans first, first + pitch, … below limit, each `length` long and clipped to limit.
std::vector<SlitSpan> spans(std::int64_t first, std::int64_t length, std::int64_t pitch,
                            std::int64_t limit) {
    std::vector<SlitSpan> result;
    if (length < 1) return result;
    for (std::int64_t start = first; start < limit; start += pitch)
        result.push_back({int(start), int(std::min(start + length, limit))});
    return result;
}
} // namespace

std::vector<TileBand> tileBands(const TileGeometry& g, int height) {
    std::vector<TileBand> bands;
    int gridRow = g.tileRows - 1;
    if (g.bottomRemainder > 0) bands.push_back({0, 0, g.bottomRemainder, gridRow--});
    for (std::int64_t y0 = std::int64_t(g.bottomRemainder) + g.slitWidth; y0 < height;
         y0 += g.rowPitch()) {
        const int end = int(std::min<std::int64_t>(y0 + g.tileHeight, height));
        bands.push_back({int(y0), int(y0), end, gridRow--});
    }
    return bands;
}

std::vector<SlitSpan> horizontalSlits(const TileGeometry& g, int height) {
    return spans(g.bottomRemainder, g.slitWidth, g.rowPitch(), height);
}

std::vector<SlitSpan> verticalSlits(const TileGeometry& g, int width) {
    return spans(g.tileWidth, g.slitWidth, g.columnPitch(), width);
}

} // namespace vellora
