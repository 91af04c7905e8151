#pragma once
// Black and white: a 1 bpp picture with a black and white palette, made from a gray copy of the
// picture, optionally stretched onto outset … endset, split at the mean gray ("median cut") or at
// a threshold, and optionally redone by error diffusion at the fixed level 128.
#include "core/session.h"

#include <cstdint>
#include <string_view>

namespace vellora {

struct BlackWhiteRequest {
    bool diffusion = false;
    bool medianCut = true;
    int threshold = 128;
    bool stretch = false;
    int outset = 1;
    int endset = 255;
};

// Maps the gray palette (first bytes of its colours-used entries) linearly so that its lowest
// gray goes to outset and its highest to endset. A palette of a single gray that is not already
// outset … endset would divide by zero; it goes to outset instead.
void stretchGrayPalette(DibImage& image, int outset, int endset);
// Entry 0 black and entry 1 white when entry 0's gray is below entry 1's, else the other way.
void setBlackWhitePalette(DibImage& result);
// Index 1 (white) where the gray copy's gray ≥ threshold.
void thresholdToBlackWhite(Session& session, DibImage& result, const DibImage& grayCopy,
                           int threshold);
// Every pixel decided at 128 with Floyd–Steinberg error diffusion. 0, or the reported 16.
int diffuseToBlackWhite(Session& session, DibImage& result, const DibImage& grayCopy);

// Makes the gray copy and the 1 bpp result from `source`. 0, or the reported code.
int blackWhiteToImage(Session& session, const DibImage& source, DibImage& result,
                      const BlackWhiteRequest& request);

// Current intermediate file → nextPath; 0 or 1.
int binarizeImage(Session& session, const BlackWhiteRequest& request);

// The dialog's check of threshold, outset and endset, taken as unsigned: the empty text when
// they pass, else the message to show with caption "alart".
std::string_view blackWhiteValuesError(std::int64_t threshold, std::int64_t outset,
                                       std::int64_t endset);

// The "Black and White" command with the working block's fields; out-of-range values are
// refused with the dialog's message.
int blackWhiteHandler(Session& session);

} // namespace vellora
