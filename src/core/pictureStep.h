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

// changeInPlace(picture) may turn the source into the target within its own block, saving a
// second picture's memory: it returns true when it has (and then it cannot have failed part
// way), false to leave the picture untouched for build. The block read is the reader's own
// (from the file, or the scratch store's, passed on under the new name), so the current
// picture stays as it was until the step has succeeded.
using PictureChange = std::function<bool(DibImage& picture)>;
int runPictureStep(Session& session, const PictureBuilder& build,
                   const PictureChange& changeInPlace);

} // namespace vellora
