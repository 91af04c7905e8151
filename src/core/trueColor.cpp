#include "core/trueColor.h"

#include "core/errors.h"
#include "core/pixelAccess.h"

#include <utility>
#include <vector>

namespace vellora {

int makeTrueColorHeader(Frontend& frontend, DibImage& target, const DibImage& source) {
    return createDib(frontend, target, source.width, source.height, 24, source.colorsUsed);
}

int copyAsTrueColor(DibImage& target, const DibImage& source) {
    // The target's 24 bpp rows take the colours straight in.
    for (int y = 0; y < target.height; ++y)
        readRowColors(source, y, target.row(y));
    return 0;
}

int saveAsTrueColor(Session& session, const std::string& destination) {
    int result = makeTrueColorHeader(session.frontend, session.targetImage, session.sourceImage);
    if (result == 0) {
        copyAsTrueColor(session.targetImage, session.sourceImage);
        result = writeBitmapFile(session.frontend, destination, std::move(session.targetImage));
    }
    session.sourceImage.release();
    session.targetImage.release();
    return result == 0 ? 0 : kFailed;
}

} // namespace vellora
