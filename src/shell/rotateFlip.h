#pragma once
// Every quarter turn and flip of the current picture, done by the picture library: the five
// menu commands and the Arbitrary command's multiples of 90 degrees.
#include "core/session.h"

#include <string>

namespace vellora {

// Loads `source`, turns it `turns` quarter turns clockwise, then flips it (1 left–right,
// 2 top–bottom, 3 both), and writes it to session.nextPath through the encoder its extension
// names, quality 100 and colour depth `colorDepth`. 1 at once when turns and flip are both 0
// or either lies outside 0 … 3; otherwise 0 or 1.
int transformPicture(Session& session, const std::string& source, int colorDepth, int turns,
                     int flip);

// The frame (no progress bar) around transformPicture of the current intermediate file;
// "failed to rotate or flip the image" on failure.
int rotateFlipPicture(Session& session, int turns, int flip);

// The current picture (as a 24 bpp copy when `trueColor`) turned `turns` (1 … 3) times
// clockwise by the picture library, written to nextPath. 0 or 1.
int rotateQuarterTurns(Session& session, int turns, bool trueColor);

// The five menu commands.
int rotateRight90Handler(Session& session);
int rotate180Handler(Session& session);
int rotateLeft90Handler(Session& session);
int flipHorizontalHandler(Session& session);
int flipVerticalHandler(Session& session);

} // namespace vellora
