#include "core/pictureBytes.h"

#include "core/scratchStore.h"

#include <sys/mman.h>

namespace vellora {

namespace {
struct Adoption {
    void* block = nullptr;
    std::size_t bytes = 0;
};
thread_local Adoption pendingAdoption;
} // namespace

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

void freeZeroedBlock(void* block, std::size_t bytes) noexcept {
    if (takeBackLentBlock(block, bytes)) return; // never true of a null block: none is lent
    std::free(block);
}

void* takeAdoptedBlock(std::size_t bytes) noexcept {
    if (!pendingAdoption.block || pendingAdoption.bytes != bytes) return nullptr;
    return std::exchange(pendingAdoption, Adoption{}).block;
}

PictureBytes adoptZeroedBlock(void* block, std::size_t bytes) {
    pendingAdoption = {block, bytes};
    PictureBytes adopted;
    adopted.reserve(bytes); // takes the pending block: an empty vector asks for exactly this
    pendingAdoption = {};
    adopted.resize(bytes); // constructs nothing, so the bytes stay
    return adopted;
}

} // namespace vellora
