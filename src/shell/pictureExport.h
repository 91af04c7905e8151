#pragma once
// Save and Save As: the current intermediate file written as a picture file, with the optional
// conversion of the intermediate file itself to 24 bpp first.
//
// A save makes no new intermediate file, so these handlers are called directly, never through
// runCommandHandler (which would push an undo step onto a file that does not exist).
#include "core/session.h"

#include <string>

namespace vellora {

// Writes the current picture to `destination` through the encoder its extension names, with
// the working block's quality and depth choice (saveDepthIndex 1 = "24 bpp": the picture is
// saved as 24 bpp and the current intermediate file becomes 24 bpp too, only when the save
// succeeded). 0, or 1 after its own messages.
int saveCurrentPicture(Session& session, const std::string& destination);

// Save: to picturePath. Save As: to saveAsPath (the dialog or the command line has filled it),
// which becomes picturePath. Both run the frame; on success the state is 2 ("saved") and the
// history is cleared; on failure "failed to save a file" and nothing else changes.
int savePictureHandler(Session& session);
int savePictureAsHandler(Session& session);

} // namespace vellora
