#pragma once
// Invert from a bitmap file into a bitmap file without holding the picture: when a batch run
// does nothing else, the rows pass from the one file to the other through a small buffer, so
// the run costs about what a copy of the file does. The bytes are those the whole-picture steps
// (open, invert, Save As) write.
#include "core/session.h"

#include <string>

namespace vellora {

// Writes `input` inverted to `output` (as the working block's invertDepthIndex and the
// session's save durability ask) when the rows can stream between them: a plain bottom-up
// 24 bpp input laid out as an intermediate file, a 24 bpp result and an output named as a
// bitmap. Returns false with `output` as it was for any other pair and on any failure: the
// caller then takes the usual way, which reports what went wrong.
bool invertFileStreamed(const Session& session, const std::string& input,
                        const std::string& output);

} // namespace vellora
