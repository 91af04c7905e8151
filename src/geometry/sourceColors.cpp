#include "geometry/sourceColors.h"

#include "core/pixelAccess.h"

namespace vellora {

SourceColors::SourceColors(const DibImage& source) {
    if (source.bitsPerPixel == 24) {
        base_ = source.row(0);
        stride_ = std::size_t(source.stride);
        return;
    }
    stride_ = 3 * std::size_t(source.width);
    expanded_.resize(stride_ * std::size_t(source.height));
    for (int y = 0; y < source.height; ++y)
        readRowColors(source, y, expanded_.data() + stride_ * y);
    base_ = expanded_.data();
}

} // namespace vellora
