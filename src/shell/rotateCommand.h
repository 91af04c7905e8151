#pragma once
// The "Arbitrary" rotate command: angles that are multiples of 90 degrees go to the picture
// library as quarter turns, every other angle is computed by rotateImage.
#include "core/session.h"

namespace vellora {

// The angle in 0 … 359: −30 → 330, 450 → 90.
int normalizeAngle(int angle);

// The current picture (as a 24 bpp copy when `trueColor`) turned `turns` (1 … 3) times
// clockwise by the picture library, written to nextPath. 0 or 1.
int rotateQuarterTurns(Session& session, int turns, bool trueColor);

// The command with the working block's rotate fields. Quarter turns show neither progress nor
// status text; both paths end in "failed to rotate the image" on failure.
int rotateArbitraryHandler(Session& session);

} // namespace vellora
