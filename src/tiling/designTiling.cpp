#include "tiling/designTiling.h"

#include "color/conversionCode.h"
#include "color/conversionTarget.h"
#include "core/errors.h"
#include "tiling/renderTiles.h"
#include "tiling/tileColorMapping.h"
#include "tiling/tileDither.h"
#include "tiling/tileMatcher.h"

#include <algorithm>
#include <memory>
#include <new>

namespace vellora {

namespace {

bool keepsOwnPalette(const Session& session, const DibImage& source) {
    return session.design.keepPalette && source.isIndexed();
}

// Whether the tiles need the design's own nearest-entry search rather than the target's lookup.
bool needsMatcher(const Session& session, const DibImage& source) {
    return session.design.match == ColorMatch::Ciede2000 || !session.design.excluded.empty() ||
           !session.designPalette.colors.empty() || keepsOwnPalette(session, source);
}

std::vector<bool> allowedEntries(const std::vector<int>& excluded, std::size_t count) {
    std::vector<bool> allowed(count, true);
    for (const int index : excluded)
        if (index >= 0 && std::size_t(index) < count) allowed[std::size_t(index)] = false;
    return allowed;
}

int designPaletteTarget(Session& session, DibImage& target, const DibImage& source) {
    const auto& colors = session.designPalette.colors;
    if (colors.size() > 256) {
        showError(session.frontend, kDesignPaletteSizeText);
        return kFailed;
    }
    const auto count = std::uint32_t(colors.size());
    if (createDib(session.frontend, target, source.width, source.height,
                  userPaletteBitsPerPixel(count), count) != kOk)
        return kFailed;
    for (std::uint32_t i = 0; i < count; ++i)
        std::ranges::copy(colors[i], target.paletteEntry(int(i)));
    return 0;
}

// The target and the tile mapping built on it stay where the mapping's lookups find them.
int renderWith(Session& session, DibImage& target, const DibImage& source,
               const TileGeometry& geometry, const TileColorMapping& tiles,
               const TileColorMapping& slits) {
    if (!session.design.tileDither || !tiles.indexed())
        return renderTiles(session, target, source, geometry, tiles, slits);
    const std::vector<Bgr> palette = paletteColors(target);
    return renderTileGrid(
        session, target, source, geometry,
        [&](std::vector<Bgr>& grid, int columns) { ditherTileGrid(grid, columns, tiles, palette); },
        slits);
}

} // namespace

bool designChangesTiling(const Session& session, const DibImage& source) {
    return needsMatcher(session, source) || session.design.tileDither;
}

int prepareDesignTarget(Session& session, DibImage& target, const DibImage& source,
                        const UserPalette* userPalette, EvenPaletteRecord& record, int code) {
    int result = 0;
    if (!session.designPalette.colors.empty())
        result = designPaletteTarget(session, target, source);
    else if (keepsOwnPalette(session, source))
        result = createDib(session.frontend, target, source.width, source.height,
                           source.bitsPerPixel, source.colorsUsed, &source) == kOk
                     ? 0
                     : kFailed;
    else
        return prepareConversionTarget(session, target, source, userPalette, record, code);
    if (result != 0) target.release();
    return result;
}

int renderDesignTiles(Session& session, DibImage& target, const DibImage& source,
                      const TileGeometry& geometry, int code, const EvenPaletteRecord& record) {
    const bool ownTarget =
        !session.designPalette.colors.empty() || keepsOwnPalette(session, source);
    const TileColorMapping slits =
        ownTarget ? pictureColorMapping(target) : tileColorMapping(target, code, record);
    if (!target.isIndexed() || !needsMatcher(session, source))
        return renderWith(session, target, source, geometry, slits, slits) == 0 ? 0 : kFailed;
    const std::vector<Bgr> palette = paletteColors(target);
    std::shared_ptr<const TileMatcher> matcher;
    try {
        matcher = std::make_shared<const TileMatcher>(
            palette, allowedEntries(session.design.excluded, palette.size()), session.design.match);
    } catch (const std::bad_alloc&) {
        reportError(session.frontend, kErrorAllocate);
        return kFailed;
    }
    if (!matcher->anyAllowed()) {
        showError(session.frontend, kAllColorsExcludedText);
        return kFailed;
    }
    const TileColorMapping tiles{
        [matcher](const Bgr& c) { return matcher->nearest(c); },
        [matcher](const Bgr* colors, std::size_t count, std::uint8_t* indices) {
            matcher->nearestRow(colors, count, indices);
        }};
    return renderWith(session, target, source, geometry, tiles, slits) == 0 ? 0 : kFailed;
}

} // namespace vellora
