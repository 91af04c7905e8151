#include "tiling/drawSlits.h"

#include "core/errors.h"
#include "tiling/rowPainter.h"
#include "tiling/slotParallel.h"
#include "tiling/tileBands.h"

#include <new>
#include <vector>

namespace vellora {

namespace {

// Whether each stored row lies in a horizontal slit.
std::vector<bool> horizontalSlitRows(const TileGeometry& geometry, int height) {
    std::vector<bool> rows(std::size_t(height), false);
    for (const SlitSpan& span : horizontalSlits(geometry, height))
        for (int y = span.begin; y < span.end; ++y)
            rows[std::size_t(y)] = true;
    return rows;
}

} // namespace

int drawSlits(Frontend& frontend, DibImage& target, const TileGeometry& geometry,
              const TileColorMapping& mapping) {
    if (geometry.slitWidth < 1) return 0;
    const Bgr horizontal = mapTileColor(mapping, geometry.horizontalSlitColor);
    const Bgr vertical = mapTileColor(mapping, geometry.verticalSlitColor);
    std::vector<RowPainter> painters;
    std::vector<bool> slitRows;
    std::vector<SlitSpan> columns;
    try {
        slitRows = horizontalSlitRows(geometry, target.height);
        columns = verticalSlits(geometry, target.width);
        for (int slot = 0; slot < workerSlotCount(); ++slot)
            painters.emplace_back(target);
    } catch (const std::bad_alloc&) {
        return reportError(frontend, kErrorAllocate);
    }
    const auto paintRows = [&](int slot, int begin, int end) {
        RowPainter& painter = painters[std::size_t(slot)];
        for (int y = begin; y < end; ++y) {
            if (!slitRows[std::size_t(y)] && columns.empty()) continue;
            // A horizontal slit row is wholly repainted; the vertical slits go over it after.
            if (slitRows[std::size_t(y)])
                painter.fill(0, target.width, horizontal);
            else
                painter.load(y);
            for (const SlitSpan& span : columns)
                painter.fill(span.begin, span.end, vertical);
            painter.store(y);
        }
    };
    // Slits report no progress: all rows are one group.
    runInSlots(target.height, target.height, int(painters.size()), paintRows, [](int) {});
    return 0;
}

} // namespace vellora
