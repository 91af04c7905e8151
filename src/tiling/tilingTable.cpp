#include "tiling/tilingTable.h"

#include "core/errors.h"
#include "core/pixelAccess.h"
#include "core/progress.h"
#include "tiling/tileBands.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vellora {

namespace {

constexpr std::size_t kTableFixedBytes = 1078 + 6; // header, largest colour table, two slits

void readPixelEntry(const DibImage& picture, std::uint8_t* entry, int y, int x) {
    if (picture.isIndexed())
        getIndex(picture, *entry, y, x, picture.bitsPerPixel);
    else
        getColor(picture, entry, y, x, picture.bitsPerPixel);
}

void storeSlitEntry(const DibImage& picture, std::uint8_t* entry, int y, int x,
                    const Bgr& mappedColor, int entryBytes) {
    if (y < picture.height && x < picture.width)
        readPixelEntry(picture, entry, y, x);
    else
        std::memcpy(entry, mappedColor.data(), std::size_t(entryBytes));
}

} // namespace

int allocateTilingTable(Frontend& frontend, TilingTable& table, const DibImage& tiledPicture,
                        const TileGeometry& geometry) {
    DibImage& h = table.header;
    h.release();
    h.width = tiledPicture.width;
    h.height = tiledPicture.height;
    h.bitsPerPixel = tiledPicture.bitsPerPixel;
    h.colorsUsed = tiledPicture.colorsUsed;
    table.geometry = geometry;
    if (const int result = deriveGeometry(frontend, h); result != 0) return result;
    try {
        h.data.assign(kTableFixedBytes + std::size_t(geometry.tileCount()) * 3, 0);
    } catch (const std::bad_alloc&) {
        return reportError(frontend, kErrorAllocate);
    } catch (const std::length_error&) {
        return reportError(frontend, kErrorAllocate);
    }
    writeDibHeader(h, h.data.data());
    if (h.isIndexed())
        std::memcpy(h.data.data() + h.paletteOffset, tiledPicture.data.data() + h.paletteOffset,
                    h.paletteBytes);
    return 0;
}

void extractTilingTable(Session& session, TilingTable& table, const DibImage& picture,
                        const TileColorMapping& slitMapping) {
    const TileGeometry& g = table.geometry;
    progressBegin(session, g.tileRows);
    for (const TileBand& band : tileBands(g, picture.height)) {
        for (int c = 0; c < g.tileColumns; ++c)
            readPixelEntry(picture, table.entry(std::int64_t(band.gridRow) * g.tileColumns + c),
                           band.paintBegin, tileColumnX(g, c));
        progressAdvance(session);
    }
    if (g.slitWidth < 1) return;
    const int bytes = table.entryBytes();
    storeSlitEntry(picture, table.entry(g.tileCount()), g.bottomRemainder, 0,
                   mapTileColor(slitMapping, g.horizontalSlitColor), bytes);
    storeSlitEntry(picture, table.entry(g.tileCount() + 1), 0, g.tileWidth,
                   mapTileColor(slitMapping, g.verticalSlitColor), bytes);
}

} // namespace vellora
