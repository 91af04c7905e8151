#include "core/pictureStep.h"

#include <utility>

namespace vellora {

int runPictureStep(Session& session, const PictureBuilder& build) {
    int result = readBitmapFile(session.frontend, session.currentPath, session.sourceImage);
    if (result == 0) result = build(session.sourceImage, session.targetImage);
    if (result == 0)
        result =
            writeBitmapFile(session.frontend, session.nextPath, std::move(session.targetImage));
    session.sourceImage.release();
    session.targetImage.release();
    return result == 0 ? 0 : 1;
}

} // namespace vellora
