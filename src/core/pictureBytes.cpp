#include "core/pictureBytes.h"

#include <sys/mman.h>

namespace vellora {

void* allocateZeroedBlock(std::size_t bytes) {
    void* block = std::calloc(bytes, 1);
    constexpr std::uintptr_t kLargePage = std::uintptr_t(2) << 20;
    if (!block || bytes < 2 * kLargePage) return block;
    const auto begin = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kLargePage - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    return block;
}

} // namespace vellora
