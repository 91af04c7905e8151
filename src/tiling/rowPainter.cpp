#include "tiling/rowPainter.h"

#include "core/pixelAccess.h"

#include <algorithm>

namespace vellora {

RowPainter::RowPainter(DibImage& target)
    : target_(target), bytes_(target.isIndexed() ? 1 : 3),
      row_(std::size_t(target.width) * bytes_) {}

void RowPainter::load(int y) {
    if (bytes_ == 1)
        readRowIndices(target_, y, row_.data());
    else
        readRowColors(target_, y, row_.data());
}

void RowPainter::store(int y) {
    if (bytes_ == 1)
        writeRowIndices(target_, y, row_.data());
    else
        writeRowColors(target_, y, row_.data());
}

void RowPainter::fill(int x0, int x1, const Bgr& value) {
    if (bytes_ == 1) {
        std::fill(row_.begin() + x0, row_.begin() + x1, value[0]);
        return;
    }
    for (int x = x0; x < x1; ++x)
        std::copy(value.begin(), value.end(), row_.begin() + bytes_ * x);
}

} // namespace vellora
