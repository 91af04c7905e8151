#include "color/errorDiffusion.h"

#include <new>

namespace vellora {

bool DiffusionRows::allocate(int width, int channels) {
    const std::size_t cells = std::size_t(width) * std::size_t(channels);
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

} // namespace vellora
