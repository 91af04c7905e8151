#pragma once
// The slits: horizontal ones across the full width, then vertical ones over the full height,
// so crossings have the vertical slit colour. Slit colours are mapped like tile colours.
#include "core/frontend.h"
#include "tiling/tileColor.h"
#include "tiling/tileGeometry.h"

namespace vellora {

// 0, or the reported 16 when scratch memory cannot be had.
int drawSlits(Frontend& frontend, DibImage& target, const TileGeometry& geometry,
              const TileColorMapping& mapping);

} // namespace vellora
