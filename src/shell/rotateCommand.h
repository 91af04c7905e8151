#pragma once
// The "Arbitrary" rotate command: angles that are multiples of 90 degrees go to the picture
// library as quarter turns (shell/rotateFlip.h), every other angle is computed by rotateImage.
#include "core/session.h"

namespace vellora {

// The angle in 0 … 359: −30 → 330, 450 → 90.
int normalizeAngle(int angle);

// Whether the block's angle is a whole number of turns (0, ±360, 720 …): nothing to rotate.
bool isWholeTurn(const ParameterBlock& block);

// The command with the working block's rotate fields. Quarter turns show neither progress nor
// status text; both paths end in "failed to rotate the image" on failure.
int rotateArbitraryHandler(Session& session);

} // namespace vellora
