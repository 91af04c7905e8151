#pragma once
// Sharpening: one of the two high-pass masks, negative and excess responses clamped.
#include "core/session.h"

namespace vellora {

// Filters sourceImage (already read) with mask `index` into a 24 bpp picture written to
// nextPath; both images are released. 0 on success, 1 on failure (bad index included).
int sharpenImage(Session& session, int index);

// The command: the operation frame around sharpenImage with the working block's `sharpeningIndex`.
int sharpenHandler(Session& session);

} // namespace vellora
