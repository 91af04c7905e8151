#pragma once
// The Tiling command: the current picture as a mosaic of tiles in palette colours separated by
// gray slits, written as the next intermediate file. Parameters from the working block:
// tilingConvert, tilingPaletteClass (0 median cut, 1 even colour, 2 user palette),
// tilingMedianIndex, tilingEvenIndex, the sizing fields, the slit width and grays, and
// userPalettePath.
#include "color/evenPalette.h"
#include "color/userPalette.h"
#include "core/session.h"

namespace vellora {

// The conversion code the block asks for: 768 without conversion, the median-cut choice
// (0 … 7), 512 + the even colour choice, or 1024 + the user palette's format flag.
int tilingConversionCode(const ParameterBlock& block, int userFormatFlag);

// Prepares the target for `code` from session.sourceImage (already read), paints the tiles and
// slits into it and writes it to session.nextPath. 0, or 1 after the failing step's message.
int tileSourceImage(Session& session, const UserPalette* userPalette, EvenPaletteRecord& record,
                    int code);

// The whole command from the current intermediate file: the user palette's loading and the
// layout check come before the operation frame, whose failure text is "failed to tiling the
// image". 0 or 1.
int runTiling(Session& session);

// The command's handler (the CLI step "tiling", the menu's Tiling after its dialog).
int tilingHandler(Session& session);

} // namespace vellora
