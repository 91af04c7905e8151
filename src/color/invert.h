#pragma once
// Invert: every colour replaced by its complement, keeping the depth (an indexed picture then
// only has its palette inverted) or as a 24 or 32 bpp result.
#include "core/session.h"

#include <cstddef>
#include <cstdint>

namespace vellora {

// A 24 bpp row of `rowBytes` inverted where it stands, the rest of its `stride` cleared as a new
// picture's row padding is.
void invertRowInPlace(std::uint8_t* row, std::size_t rowBytes, std::size_t stride);

// The result depth for the block's invertDepthIndex: 0 the source's, 1 → 24, 2 → 32.
int invertResultDepth(std::uint32_t depthIndex);

// Makes and fills the inverted picture at `depth` (0 = the source's). 0, or the reported code.
int invertToImage(Session& session, const DibImage& source, DibImage& target, int depth);

// Current intermediate file → nextPath; 0 or 1.
int invertImage(Session& session, int depth);

// The "Invert (Negative)" command with the working block's invertDepthIndex.
int invertHandler(Session& session);

} // namespace vellora
