#pragma once
// Invert: every colour replaced by its complement, keeping the depth (an indexed picture then
// only has its palette inverted) or as a 24 or 32 bpp result.
#include "core/session.h"

#include <cstddef>
#include <cstdint>

namespace vellora {

// Every byte replaced by its complement, 255 - byte; `in` and `out` may be the same bytes.
void invertBytes(const std::uint8_t* in, std::uint8_t* out, std::size_t count);

// The result depth for the block's invertDepthIndex: 0 the source's, 1 → 24, 2 → 32.
int invertResultDepth(std::uint32_t depthIndex);

// Makes and fills the inverted picture at `depth` (0 = the source's). 0, or the reported code.
int invertToImage(Session& session, const DibImage& source, DibImage& target, int depth);

// Current intermediate file → nextPath; 0 or 1.
int invertImage(Session& session, int depth);

// The "Invert (Negative)" command with the working block's invertDepthIndex.
int invertHandler(Session& session);

} // namespace vellora
