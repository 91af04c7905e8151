#pragma once
// Smoothing: every pixel becomes the weighted mean of its neighbourhood under one of the ten
// smoothing masks.
#include "core/session.h"

namespace vellora {

// Filters sourceImage (already read) with mask `index` into a 24 bpp picture written to
// nextPath; both images are released. 0 on success, 1 on failure (bad index included).
int smoothImage(Session& session, int index);

// The command: the operation frame around smoothImage with the working block's `smoothingIndex`.
int smoothHandler(Session& session);

} // namespace vellora
