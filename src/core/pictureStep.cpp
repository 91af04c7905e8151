#include "core/pictureStep.h"

#include "core/errors.h"

#include <utility>

namespace vellora {

int runPictureStep(Session& session, const PictureBuilder& build) {
    return runPictureStep(session, build, nullptr);
}

int runPictureStep(Session& session, const PictureBuilder& build,
                   const PictureChange& changeInPlace) {
    int result = readBitmapFile(session.frontend, session.currentPath, session.sourceImage);
    const bool changed = result == 0 && changeInPlace && changeInPlace(session.sourceImage);
    if (result == 0 && !changed) result = build(session.sourceImage, session.targetImage);
    DibImage& made = changed ? session.sourceImage : session.targetImage;
    if (result == 0) result = writeBitmapFile(session.frontend, session.nextPath, std::move(made));
    session.sourceImage.release();
    session.targetImage.release();
    return result == 0 ? 0 : kFailed;
}

} // namespace vellora
