// Bitmap files in exactly the intermediate layout: 54-byte header, the full colour table,
// bottom-up rows with zero padding.
#include "imageio/codecs.h"
#include "imageio/pictureLimits.h"

#include <cstring>
#include <new>

namespace vellora::imageio {

bool encodeBmp(const DibImage& image, const EncodeOptions&, PictureBytes& file,
               std::string& error) {
    SilentFrontend silent;
    DibImage layout;
    if (!pictureFits(image.width, image.height, image.bitsPerPixel) ||
        createDib(silent, layout, image.width, image.height, image.bitsPerPixel, image.colorsUsed,
                  &image) != 0) {
        error = kOutOfMemoryText;
        return false;
    }
    // Rows are copied whole; the source's padding may hold anything, the copy's stays zero.
    const std::size_t rowBytes = (std::size_t(image.width) * image.bitsPerPixel + 7) / 8;
    for (int y = 0; y < image.height; ++y)
        std::memcpy(layout.row(y), image.row(y), rowBytes);
    layout.data.resize(layout.fileSize);
    file = std::move(layout.data);
    return true;
}

} // namespace vellora::imageio
