#pragma once
// The tiling table read back from a tiled picture: one zero-filled block of
// 1078 + tileRows × tileColumns × 3 + 6 bytes. It starts with a 54-byte bitmap header for the
// tiled picture's width, height, depth and colours used, then (1/4/8 bpp) the picture's
// colour table; at the picture's bits offset follow the grid entries, row 0 being the top row of
// tiles as displayed, then the horizontal and the vertical slit entry. An entry is one index
// byte for 1/4/8 bpp and three bytes blue, green, red for 24/32 bpp.
#include "core/dibImage.h"
#include "core/session.h"
#include "tiling/tileColor.h"
#include "tiling/tileGeometry.h"

#include <cstdint>

namespace vellora {

struct TilingTable {
    DibImage header; // geometry of the tiled picture; `data` is the table block
    TileGeometry geometry;

    int entryBytes() const { return header.isIndexed() ? 1 : 3; }
    std::uint8_t* entry(std::int64_t number) {
        return header.data.data() + header.bitsOffset + std::size_t(number) * entryBytes();
    }
    const std::uint8_t* entry(std::int64_t number) const {
        return header.data.data() + header.bitsOffset + std::size_t(number) * entryBytes();
    }
    const std::uint8_t* gridEntry(int row, int column) const {
        return entry(std::int64_t(row) * geometry.tileColumns + column);
    }
    const std::uint8_t* horizontalSlitEntry() const { return entry(geometry.tileCount()); }
    const std::uint8_t* verticalSlitEntry() const { return entry(geometry.tileCount() + 1); }
    // The palette listed: colorsUsed entries, or 2^bpp when that is 0 (or more than 2^bpp).
    int paletteLength() const { return header.listedEntries(); }
};

// Makes the table block for a tiled picture: header, colour table, entries zero.
// 0, or the reported 16.
int allocateTilingTable(Frontend& frontend, TilingTable& table, const DibImage& tiledPicture,
                        const TileGeometry& geometry);

// Fills the grid and slit entries from the tiled picture, one progress unit per row of tiles.
// A slit entry whose first row or column lies outside the picture takes the slit colour as
// `slitMapping` maps it, which is what the slits of such a tiling were painted with.
void extractTilingTable(Session& session, TilingTable& table, const DibImage& tiledPicture,
                        const TileColorMapping& slitMapping);

} // namespace vellora
