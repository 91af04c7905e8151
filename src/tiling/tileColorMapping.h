#pragma once
// Which palette lookup turns a colour into what a tiling paints, by conversion code.
#include "color/evenPalette.h"
#include "core/dibImage.h"
#include "tiling/tileColor.h"

namespace vellora {

inline constexpr int kNoConversionCode = 768;

// For a target prepared for `code`: the nearest entry of the target's palette (median cut 0 … 7,
// basic palettes, user CSV palette 1025), the even palette lookup with `record` (512 … 522,
// user even palette file 1024), or the colour itself (768, 769). The mapping refers to target
// and record, which must outlive it.
TileColorMapping tileColorMapping(const DibImage& target, int code,
                                  const EvenPaletteRecord& record);

// What a picture tells of its own mapping: the nearest entry of its palette for 1/4/8 bpp, the
// colour itself for 24/32 bpp. For the six slit grays this is the index drawSlits used with every
// palette kind the tiling offers.
TileColorMapping pictureColorMapping(const DibImage& picture);

} // namespace vellora
