#pragma once
// The common shape of an editing operation: read the current intermediate file into
// sourceImage, build targetImage from it, write that to nextPath, release both.
#include "core/session.h"

#include <functional>

namespace vellora {

// build(source, target) makes the target and returns 0 or the code whose message it showed.
using PictureBuilder = std::function<int(const DibImage& source, DibImage& target)>;

// 0 on success; 1 after any failure (its message already shown). Both images are released on
// every path.
int runPictureStep(Session& session, const PictureBuilder& build);

} // namespace vellora
