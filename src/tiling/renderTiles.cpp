#include "tiling/renderTiles.h"

#include "core/errors.h"
#include "core/pixelAccess.h"
#include "core/progress.h"
#include "tiling/drawSlits.h"
#include "tiling/rowPainter.h"
#include "tiling/slotParallel.h"

#include <algorithm>
#include <new>

namespace vellora {

namespace {

// Scratch of one worker slot, made before the workers start.
struct BandScratch {
    explicit BandScratch(DibImage& target) : painter(target) {}
    std::vector<std::uint8_t> sourceRow;
    std::vector<std::uint64_t> sums;
    std::vector<Bgr> colors;
    std::vector<std::uint8_t> indices;
    RowPainter painter;
};

void paintBandColors(const TileGeometry& geometry, const TileBand& band, int width,
                     const Bgr* colors, RowPainter& painter) {
    for (int y = band.paintBegin; y < band.paintEnd; ++y) {
        painter.load(y);
        for (int c = 0; c < geometry.tileColumns; ++c) {
            const int x0 = tileColumnX(geometry, c);
            const int x1 =
                int(std::min<std::int64_t>(std::int64_t(x0) + geometry.tileWidth, width));
            painter.fill(x0, x1, colors[c]);
        }
        painter.store(y);
    }
}

void paintBand(const DibImage& source, const TileGeometry& geometry, const TileBand& band,
               const TileColorMapping& mapping, BandScratch& scratch) {
    averageBandColors(source, geometry, band, scratch.sourceRow, scratch.sums, scratch.colors);
    std::vector<Bgr>& colors = scratch.colors;
    if (mapping.rowIndices) {
        scratch.indices.resize(colors.size());
        mapping.rowIndices(colors.data(), colors.size(), scratch.indices.data());
        for (std::size_t i = 0; i < colors.size(); ++i)
            colors[i] = {scratch.indices[i], 0, 0};
    } else {
        for (Bgr& color : colors)
            color = mapTileColor(mapping, color);
    }
    paintBandColors(geometry, band, source.width, scratch.colors.data(), scratch.painter);
}

// Rows of tiles per progress step group: enough to keep both cores busy between reports.
int bandsPerGroup(int slots) {
    return 4 * slots;
}

// The bands and one scratch per worker slot. 0, or the reported 16.
int prepareBands(Session& session, DibImage& target, const DibImage& source, const TileGeometry& g,
                 std::vector<TileBand>& bands, std::vector<BandScratch>& scratch) {
    try {
        bands = tileBands(g, source.height);
        for (int slot = 0; slot < workerSlotCount(); ++slot) {
            scratch.emplace_back(target);
            scratch.back().sourceRow.reserve(3 * std::size_t(source.width));
            scratch.back().sums.reserve(3 * std::size_t(g.tileColumns));
            scratch.back().colors.reserve(std::size_t(g.tileColumns));
            scratch.back().indices.reserve(std::size_t(g.tileColumns));
        }
    } catch (const std::bad_alloc&) {
        return reportError(session.frontend, kErrorAllocate);
    }
    return 0;
}

} // namespace

void averageBandColors(const DibImage& source, const TileGeometry& g, const TileBand& band,
                       std::vector<std::uint8_t>& sourceRow, std::vector<std::uint64_t>& sums,
                       std::vector<Bgr>& colors) {
    const std::size_t columns = std::size_t(g.tileColumns);
    sourceRow.resize(3 * std::size_t(source.width));
    sums.assign(3 * columns, 0);
    colors.assign(columns, Bgr{0, 0, 0});
    const int yEnd =
        int(std::min<std::int64_t>(std::int64_t(band.blockY) + g.tileHeight, source.height));
    if (yEnd <= band.blockY || g.tileWidth < 1) return;
    for (int y = band.blockY; y < yEnd; ++y) {
        readRowColors(source, y, sourceRow.data());
        for (std::size_t c = 0; c < columns; ++c) {
            const int x0 = tileColumnX(g, int(c));
            const int x1 =
                int(std::min<std::int64_t>(std::int64_t(x0) + g.tileWidth, source.width));
            std::uint64_t* sum = &sums[3 * c];
            for (const std::uint8_t* p = &sourceRow[3 * std::size_t(x0)];
                 p < &sourceRow[0] + 3 * std::size_t(x1); p += 3) {
                sum[0] += p[0];
                sum[1] += p[1];
                sum[2] += p[2];
            }
        }
    }
    // Integer sums are exact, so dividing them in doubles equals summing in doubles.
    const double rows = yEnd - band.blockY;
    for (int c = 0; auto& color : colors) {
        const int x0 = tileColumnX(g, c);
        const int x1 = int(std::min<std::int64_t>(std::int64_t(x0) + g.tileWidth, source.width));
        const double count = rows * (x1 - x0);
        const std::uint64_t* sum = &sums[3 * std::size_t(c++)];
        const auto mean = [&](std::uint64_t channel) {
            return std::uint8_t(double(channel) / count);
        };
        color = {mean(sum[0]), mean(sum[1]), mean(sum[2])};
    }
}

int renderTiles(Session& session, DibImage& target, const DibImage& source, const TileGeometry& g,
                const TileColorMapping& mapping) {
    return renderTiles(session, target, source, g, mapping, mapping);
}

int renderTiles(Session& session, DibImage& target, const DibImage& source, const TileGeometry& g,
                const TileColorMapping& tileMapping, const TileColorMapping& slitMapping) {
    std::vector<TileBand> bands;
    std::vector<BandScratch> scratch;
    if (prepareBands(session, target, source, g, bands, scratch) != 0) return kErrorAllocate;
    // Counted in bands, the steps the workers report: rows of tiles no band paints count for
    // nothing, so the bar ends full.
    progressBegin(session, int(bands.size()));
    const auto work = [&](int slot, int begin, int end) {
        for (int b = begin; b < end; ++b)
            paintBand(source, g, bands[std::size_t(b)], tileMapping, scratch[std::size_t(slot)]);
    };
    const int slots = int(scratch.size());
    runInSlots(int(bands.size()), bandsPerGroup(slots), slots, work,
               [&](int items) { progressAdvanceBy(session, items); });
    return drawSlits(session.frontend, target, g, slitMapping);
}

int renderTileGrid(Session& session, DibImage& target, const DibImage& source,
                   const TileGeometry& g, const TileGridChoice& choose,
                   const TileColorMapping& slitMapping) {
    std::vector<TileBand> bands;
    std::vector<BandScratch> scratch;
    std::vector<Bgr> grid;
    if (prepareBands(session, target, source, g, bands, scratch) != 0) return kErrorAllocate;
    try {
        grid.resize(std::size_t(g.tileCount()));
    } catch (const std::bad_alloc&) {
        return reportError(session.frontend, kErrorAllocate);
    }
    const std::size_t columns = std::size_t(g.tileColumns);
    const int slots = int(scratch.size());
    progressBegin(session, int(bands.size()));
    runInSlots(
        int(bands.size()), bandsPerGroup(slots), slots,
        [&](int slot, int begin, int end) {
            BandScratch& s = scratch[std::size_t(slot)];
            for (int b = begin; b < end; ++b) {
                const TileBand& band = bands[std::size_t(b)];
                averageBandColors(source, g, band, s.sourceRow, s.sums, s.colors);
                std::copy(s.colors.begin(), s.colors.end(),
                          grid.begin() + std::ptrdiff_t(std::size_t(band.gridRow) * columns));
            }
        },
        [&](int items) { progressAdvanceBy(session, items); });
    choose(grid, g.tileColumns);
    runInSlots(
        int(bands.size()), bandsPerGroup(slots), slots,
        [&](int slot, int begin, int end) {
            for (int b = begin; b < end; ++b) {
                const TileBand& band = bands[std::size_t(b)];
                paintBandColors(g, band, source.width, &grid[std::size_t(band.gridRow) * columns],
                                scratch[std::size_t(slot)].painter);
            }
        },
        [](int) {});
    return drawSlits(session.frontend, target, g, slitMapping);
}

} // namespace vellora
