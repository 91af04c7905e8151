#pragma once
// Median de-noise: every pixel takes the complete colour of the window pixel whose luminance
// is the median of its 3 x 3, 5 x 5 or 7 x 7 window, so no new colours appear.
//
// Ties: window pixels are ordered by luminance and, among equal luminances, by window position
// (row by row from window row 0, the row stored first); the pixel at place n² / 2 of that order
// gives the colour. Pixels of equal luminance and equal colour make the choice invisible.
#include "core/session.h"

namespace vellora {

// Window size of a list index: 0 → 3, 1 → 5, 2 → 7; 0 for any other index.
int deNoiseWindowSize(int index);

// The pass into a 24 bpp target of the source's size; size is 3, 5 or 7. Returns 0.
int deNoisePass(Session& session, DibImage& target, const DibImage& source, int size);

// sourceImage (already read) to nextPath; both images released. 0, or 1 on failure (an index
// outside 0 … 2 included).
int deNoiseImage(Session& session, int index);

// The command: the operation frame around deNoiseImage with `deNoiseIndex`.
int deNoiseHandler(Session& session);

} // namespace vellora
