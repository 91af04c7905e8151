#include "tiling/tileEdit.h"

#include "core/errors.h"
#include "core/history.h"
#include "core/intermediateFiles.h"
#include "core/pixelAccess.h"
#include "tiling/tileBands.h"

#include <algorithm>
#include <string_view>

namespace vellora {

namespace {

constexpr std::string_view kNotATileText = "there is no tile to paint there";
constexpr std::string_view kNotIndexedText = "tiles can be painted only on a palette picture";
constexpr std::string_view kBadIndexText = "the colour is not in the picture's palette";

// The stored rows and the columns the tile is painted over.
struct TileSpan {
    int rowBegin, rowEnd, columnBegin, columnEnd;
};

std::optional<TileSpan> tileSpan(const TileGeometry& g, int width, int height, TileCell cell) {
    if (cell.column < 0 || cell.column >= g.tileColumns) return std::nullopt;
    for (const TileBand& band : tileBands(g, height)) {
        if (band.gridRow != cell.row) continue;
        const int x0 = tileColumnX(g, cell.column);
        return TileSpan{band.paintBegin, band.paintEnd, x0, std::min(width, x0 + g.tileWidth)};
    }
    return std::nullopt;
}

} // namespace

std::optional<TileCell> tileAtPoint(const TileGeometry& g, int width, int height, int x, int top) {
    if (x < 0 || x >= width || top < 0 || top >= height || g.columnPitch() < 1) return std::nullopt;
    const int stored = height - 1 - top;
    if (x % g.columnPitch() >= g.tileWidth) return std::nullopt;
    for (const TileBand& band : tileBands(g, height))
        if (stored >= band.paintBegin && stored < band.paintEnd)
            return TileCell{band.gridRow, x / g.columnPitch()};
    return std::nullopt;
}

int tileIndex(const DibImage& tiled, const TileGeometry& g, TileCell cell) {
    if (!tiled.isIndexed()) return -1;
    const auto span = tileSpan(g, tiled.width, tiled.height, cell);
    if (!span || span->rowBegin >= span->rowEnd || span->columnBegin >= span->columnEnd) return -1;
    std::uint8_t index{};
    getIndex(tiled, index, span->rowBegin, span->columnBegin, tiled.bitsPerPixel);
    return index;
}

int paintTile(Session& session, TileCell cell, int index) {
    DibImage picture;
    if (readBitmapFile(session.frontend, session.currentPath, picture) != 0) return kFailed;
    const TileGeometry g = computeTileGeometry(session.workingBlock, picture.width, picture.height);
    const auto span = tileSpan(g, picture.width, picture.height, cell);
    std::string_view refusal;
    if (!picture.isIndexed())
        refusal = kNotIndexedText;
    else if (index < 0 || index >= picture.listedEntries())
        refusal = kBadIndexText;
    else if (!span)
        refusal = kNotATileText;
    if (!refusal.empty()) {
        showError(session.frontend, refusal);
        return kFailed;
    }
    for (int y = span->rowBegin; y < span->rowEnd; ++y)
        for (int x = span->columnBegin; x < span->columnEnd; ++x)
            setIndex(picture, std::uint8_t(index), y, x, picture.bitsPerPixel);
    if (nextIntermediatePath(session, session.nextPath) != 0) return kFailed;
    if (writeBitmapFile(session.frontend, session.nextPath, picture) != 0) return kFailed;
    pushHistory(session);
    return 0;
}

} // namespace vellora
