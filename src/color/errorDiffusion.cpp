#include "color/errorDiffusion.h"

#include <algorithm>
#include <new>

namespace vellora {

bool DiffusionRows::allocate(int width, int channels) {
    channels_ = channels;
    const std::size_t cells = (std::size_t(width) + 1) * std::size_t(channels);
    try {
        current_.assign(cells, 0);
        next_.assign(cells, 0);
    } catch (const std::bad_alloc&) {
        current_.clear();
        next_.clear();
        return false;
    }
    return true;
}

void DiffusionRows::nextRow() {
    current_.swap(next_);
    std::fill(next_.begin(), next_.end(), 0);
}

} // namespace vellora
