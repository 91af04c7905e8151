// The bitmap reader on arbitrary bytes: it must refuse or accept without reading outside the
// block, and an accepted image must be fully addressable through the pixel routines.
#include "core/dibImage.h"
#include "core/pixelAccess.h"
#include "core/trueColor.h"

#include <cstdint>
#include <cstdlib>
#include <span>

using namespace vellora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SilentFrontend frontend;
    DibImage image;
    const int result = readBitmapBytes(frontend, std::span<const std::uint8_t>(data, size), image);
    if (result != 0) {
        if (!image.data.empty()) std::abort(); // a refused file leaves nothing allocated
        return 0;
    }
    if (image.data.size() < image.fileSize) std::abort();
    // Keep the work per input small: the corners and one conversion of a small picture.
    std::uint8_t bgr[3];
    getColor(image, bgr, 0, 0, image.bitsPerPixel);
    getColor(image, bgr, image.height - 1, image.width - 1, image.bitsPerPixel);
    if (std::uint64_t(image.width) * std::uint64_t(image.height) <= 1u << 12) {
        DibImage trueColor;
        if (makeTrueColorHeader(frontend, trueColor, image) == 0)
            copyAsTrueColor(trueColor, image);
    }
    return 0;
}
