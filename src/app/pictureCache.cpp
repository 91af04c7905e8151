#include "app/pictureCache.h"

#include "shell/viewPaint.h"

#include <cstring>
#include <vector>

namespace vellora::app {

namespace {
QImage toQImage(const std::vector<std::uint32_t>& argb, const LoadedPicture& picture) {
    const int width = picture.width;
    const int height = picture.height;
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
        std::vector<std::uint32_t> argb;
        LoadedPicture loaded;
        if (!loadViewPixels(path, argb, loaded)) return nullptr;
        image_ = toQImage(argb, loaded);
        if (image_.isNull()) return nullptr;
        picture_ = loaded;
        stamp_ = stamp;
    }
    picture = picture_;
    return &image_;
}

} // namespace vellora::app
