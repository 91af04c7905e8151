#pragma once
// The Color Processing command: median-cut reduction, a basic, even or user palette, or a plain
// change to 24 or 32 bpp, optionally with error diffusion. Parameters from the working block:
// colorMethod (the class, 0 … 4), colorChoice[class] (classes 0 … 3), colorDiffusion and
// userPalettePath (class 4).
#include "color/evenPalette.h"
#include "color/userPalette.h"
#include "core/session.h"

#include <string_view>

namespace vellora {

inline constexpr std::string_view kNoNeedToDecreaseText =
    "no need to decrease colors cause original image 'bits per pixel' is smaller";

// The code of the block's class and choice (a user palette's code also needs its format flag).
int colorConversionCode(const ParameterBlock& block);

// Whether a median cut to 2^(choice + 1) colours asks for more colours than a picture of
// `bitsPerPixel` can hold.
bool isNeedlessMedianCut(int choice, int bitsPerPixel);

// Target preparation, mapping and writing of session.sourceImage to session.nextPath; both
// images are released on every path. 0, or 1 after the failing step's message.
int convertColors(Session& session, const UserPalette* userPalette, EvenPaletteRecord& record,
                  bool diffuse, int code);

// The whole command from the current intermediate file: the notice for a needless median cut
// (caption "notice") and the user palette's loading come before the operation frame, whose
// failure text is "failed to convert the image color". 0 or 1.
int runColorConversion(Session& session);

// The command's handler (the CLI step "color", the menu's Color Processing).
int colorConversionHandler(Session& session);

} // namespace vellora
