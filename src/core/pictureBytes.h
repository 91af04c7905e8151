#pragma once
// Storage for whole pictures. Blocks come from calloc, which takes large blocks as fresh pages
// that the system has zeroed already, and elements are left as allocated instead of being
// value-initialised, so a picture is not cleared a second time before it is filled. Large
// blocks ask for 2 MB pages before their first touch: filling a picture otherwise spends much
// of its time taking one page fault per 4 KB. Growing a block that was shrunk gives back its
// old bytes: blocks are sized once, from empty. The scratch store (core/scratchStore.h) lends
// its blocks to readers and takes them back when they are freed, so freeing goes through it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

namespace vellora {

// A zeroed block of `bytes`, or null; given back with freeZeroedBlock.
void* allocateZeroedBlock(std::size_t bytes);
// Frees a block, unless the scratch store lent it out: then the store takes it back.
void freeZeroedBlock(void* block, std::size_t bytes) noexcept;

// The block a PictureBytes being made by adoptZeroedBlock takes instead of a new one; null
// otherwise.
void* takeAdoptedBlock(std::size_t bytes) noexcept;

template <class T> struct ZeroedAllocator {
    using value_type = T;
    ZeroedAllocator() = default;
    template <class U> ZeroedAllocator(const ZeroedAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > std::size_t(-1) / sizeof(T)) throw std::bad_array_new_length();
        if (void* adopted = takeAdoptedBlock(n * sizeof(T))) return static_cast<T*>(adopted);
        void* block = allocateZeroedBlock(n * sizeof(T));
        if (!block) throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, std::size_t n) noexcept { freeZeroedBlock(block, n * sizeof(T)); }

    // calloc has zeroed it, or it is an adopted block whose bytes stay.
    template <class U> void construct(U*) noexcept {}
    template <class U, class... Args> void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
    template <class U> bool operator==(const ZeroedAllocator<U>&) const noexcept { return true; }
};

using PictureBytes = std::vector<std::uint8_t, ZeroedAllocator<std::uint8_t>>;

// A PictureBytes owning `block` (from allocateZeroedBlock, `bytes` long) with its bytes as
// they are.
PictureBytes adoptZeroedBlock(void* block, std::size_t bytes);

// Blocks compare by their bytes with plain byte vectors (file contents read back, for one).
inline bool operator==(const PictureBytes& a, const std::vector<std::uint8_t>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

} // namespace vellora
