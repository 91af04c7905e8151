#pragma once
// The palette a tiling will choose its colours from, as far as it is known before the tiling
// runs: for the list of colours to leave out. A median cut's colours come from the picture and
// are known only by their number.
#include "core/session.h"
#include "tiling/tileColor.h"

#include <vector>

namespace vellora {

struct PalettePreview {
    std::vector<Bgr> colors; // every entry; all black when not known
    bool colorsKnown = false;
};

// For the block's palette choice, or the design's own palette, or the current picture's when it
// is kept and indexed. Empty without colour conversion or when a palette file cannot be read;
// never shows a message.
PalettePreview previewTilingPalette(const Session& session, const ParameterBlock& block);

} // namespace vellora
