#include "app/pictureCache.h"

#include "core/dibImage.h"
#include "imageio/pictureLibrary.h"

#include <cstring>
#include <vector>

namespace vellora::app {

namespace {
QImage toQImage(const DibImage& dib) {
    std::vector<std::uint32_t> argb;
    imageio::viewPixels(dib, argb);
    const int width = int(dib.width);
    const int height = int(dib.height);
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull() || argb.size() < std::size_t(width) * std::size_t(height)) return {};
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), argb.data() + std::size_t(y) * std::size_t(width),
                    std::size_t(width) * 4);
    return image;
}
} // namespace

const QImage* PictureCache::load(const std::string& path, LoadedPicture& picture) {
    std::error_code error;
    Stamp stamp{path, 0, {}};
    if (path.empty()) return nullptr;
    stamp.size = std::filesystem::file_size(path, error);
    if (error) return nullptr;
    stamp.modified = std::filesystem::last_write_time(path, error);
    if (error) return nullptr;
    if (stamp_ != stamp) {
        stamp_.reset();
        DibImage dib;
        std::string reason;
        if (!imageio::loadPicture(path, dib, reason)) return nullptr;
        image_ = toQImage(dib);
        if (image_.isNull()) return nullptr;
        picture_ = {int(dib.width), int(dib.height), int(dib.bitsPerPixel)};
        stamp_ = stamp;
    }
    picture = picture_;
    return &image_;
}

} // namespace vellora::app
