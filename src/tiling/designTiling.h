#pragma once
// The tiling under the session's design settings (core/designSettings.h): the palette given
// from outside the block or the picture's own, matching by CIEDE2000, entries left out, and
// error diffusion from tile to tile. With every setting at its default none of this runs and
// the tiling is the block's alone.
#include "color/evenPalette.h"
#include "color/userPalette.h"
#include "core/session.h"
#include "tiling/tileGeometry.h"

#include <string_view>

namespace vellora {

inline constexpr std::string_view kAllColorsExcludedText =
    "every colour of the palette is excluded";
inline constexpr std::string_view kDesignPaletteSizeText =
    "the tile palette must hold 1 to 256 colours";

// Whether the design settings change the tiling of `source`.
bool designChangesTiling(const Session& session, const DibImage& source);

// The empty target: the design palette when it holds colours, else the source's own palette
// when it is kept and the source is indexed, else the block's conversion target for `code`.
// 0; 1 after the failure's message with the target released.
int prepareDesignTarget(Session& session, DibImage& target, const DibImage& source,
                        const UserPalette* userPalette, EvenPaletteRecord& record, int code);

// Paints the prepared target: every tile takes the nearest entry that is not left out (by the
// chosen distance), or, with tile dithering, the entry its average plus the carried error maps
// to. The slits keep the palette's plain lookup. 0, or 1 after the failure's message.
int renderDesignTiles(Session& session, DibImage& target, const DibImage& source,
                      const TileGeometry& geometry, int code, const EvenPaletteRecord& record);

} // namespace vellora
