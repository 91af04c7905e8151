#pragma once
// The conversion-target step: from a conversion code (color/conversionCode.h) the empty target
// picture with its depth, colours-used count and palette, ready for mapToPalette.
//
//   median cut 0 … 7   1/4/4/4/8/8/8/8 bpp, 2 … 256 colours, the median-cut palette (which also
//                      writes every pixel's box index)
//   256, 257           the basic preset palettes, 4 bpp 16 colours / 8 bpp 147 colours
//   512 … 522          the even preset palettes; `record` receives the file's record
//   768, 769           24 / 32 bpp, no palette
//   1024, 1025         the user palette: its first colorCount entries, 8 bpp above 16 colours,
//                      4 bpp from 3 to 16, 1 bpp for 1 or 2; `record` receives its record
#include "color/evenPalette.h"
#include "color/userPalette.h"
#include "core/session.h"

#include <string_view>

namespace vellora {

inline constexpr std::string_view kBadConversionCodeText = "illegal color conversion code";

// Builds target (replacing what it held) of the source's width and height. userPalette is read
// for codes 1024 and 1025 only and may be null otherwise. 0; 1 after the failure's message with
// the target released.
int prepareConversionTarget(Session& session, DibImage& target, const DibImage& source,
                            const UserPalette* userPalette, EvenPaletteRecord& record, int code);

} // namespace vellora
