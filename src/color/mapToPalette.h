#pragma once
// Mapping a picture onto a prepared target (color/conversionTarget.h), row by row in stored
// order, each row left to right, optionally with Floyd–Steinberg error diffusion
// (color/errorDiffusion.h): with diffusion the error cells waiting for a pixel are added to its
// colour, each channel clamped to 0 … 255, and the difference between that adjusted colour and
// the chosen palette entry is spread.
//
// By class of code: median cut keeps the box indices already written, or with diffusion takes
// the nearest entry of its palette; basic palettes and CSV user palettes (1025) take the nearest
// entry (color/nearestPalette.h); even palettes and .ecp user palettes (1024) use the even
// lookup with `record`; true colour copies the source colour unadjusted and never diffuses.
#include "color/evenPalette.h"
#include "core/session.h"

namespace vellora {

// Progress: one unit per row. 0, or 16 (reported) when the error rows cannot be had, the
// target then left as prepared.
int mapToPalette(Session& session, DibImage& target, const DibImage& source, bool diffuse,
                 const EvenPaletteRecord& record, int code);

} // namespace vellora
