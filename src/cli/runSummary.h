#pragma once
// The line a run ends with on a terminal: what the finished picture is and what was written.
#include "core/session.h"

#include <string>
#include <vector>

namespace vellora::cli {

// "done: 64 x 48 tiles, 16 colours; wrote out.png, t.txt" after a tiling, "done: 640 x 480
// pixels, ..." otherwise. Reads the finished picture again to count its colours.
std::string runSummary(const Session& session, bool tiled, const std::vector<std::string>& written);

} // namespace vellora::cli
