#pragma once
// Tiling tables made by hand for the build sheet's tests.
#include "support/recordingFrontend.h"
#include "support/testImages.h"
#include "tiling/tilingTable.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace vellora::test {

// An 8 bpp table of columns × rows tiles: palette (0xRRGGBB) and the index of each tile.
inline TilingTable indexedTable(int columns, int rows, const std::vector<std::uint32_t>& palette,
                                const std::function<int(int column, int row)>& indexAt) {
    const DibImage tiled = makeIndexedImage(columns, rows, 8, palette, [](int, int) { return 0; });
    const TileGeometry geometry{
        .tileHeight = 1, .tileWidth = 1, .tileRows = rows, .tileColumns = columns};
    RecordingFrontend frontend;
    TilingTable table;
    EXPECT_EQ(allocateTilingTable(frontend, table, tiled, geometry), 0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            *table.entry(std::int64_t(r) * columns + c) = std::uint8_t(indexAt(c, r));
    return table;
}

// The table's own count of each palette index over the grid.
inline std::vector<std::int64_t> tableCounts(const TilingTable& table) {
    std::vector<std::int64_t> counts(256);
    for (std::int64_t n = 0; n < table.geometry.tileCount(); ++n)
        ++counts[*table.entry(n)];
    return counts;
}

} // namespace vellora::test
