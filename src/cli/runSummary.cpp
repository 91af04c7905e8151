#include "cli/runSummary.h"

#include "core/dibImage.h"
#include "core/pixelAccess.h"
#include "shell/tileDesign.h" // the tile geometry

#include <algorithm>
#include <vector>

namespace vellora::cli {

namespace {
// The distinct colours of the picture; -1 when it cannot be read again, which a finished run
// does not report.
long countColours(const Session& session) {
    SilentFrontend silent;
    DibImage image;
    if (readBitmapFile(silent, session.currentPath, image) != 0) return -1;
    std::vector<bool> seen(std::size_t(1) << 24);
    std::vector<std::uint8_t> bgr(3 * std::size_t(image.width));
    long count = 0;
    for (int y = 0; y < std::abs(image.height); ++y) {
        readRowColors(image, y, bgr.data());
        for (std::size_t i = 0; i < bgr.size(); i += 3) {
            const std::size_t key =
                std::size_t(bgr[i]) | std::size_t(bgr[i + 1]) << 8 | std::size_t(bgr[i + 2]) << 16;
            count += seen[key] ? 0 : 1;
            seen[key] = true;
        }
    }
    return count;
}

std::string sizeText(const Session& session, bool tiled) {
    const ImageInfo& info = session.currentInfo;
    if (!tiled || !tilingLayoutProblem(session.workingBlock, info.width, info.height).empty())
        return std::to_string(info.width) + " x " + std::to_string(info.height) + " pixels";
    const TileGeometry geometry =
        computeTileGeometry(session.workingBlock, info.width, info.height);
    return std::to_string(geometry.tileColumns) + " x " + std::to_string(geometry.tileRows) +
           " tiles";
}
} // namespace

std::string runSummary(const Session& session, bool tiled,
                       const std::vector<std::string>& written) {
    std::string text = "done: " + sizeText(session, tiled);
    const long colours = countColours(session);
    if (colours >= 0) text += ", " + std::to_string(colours) + " colours";
    text += "; wrote ";
    for (std::size_t i = 0; i < written.size(); ++i)
        text += (i > 0 ? ", " : "") + written[i];
    return text;
}

} // namespace vellora::cli
