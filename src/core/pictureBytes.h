#pragma once
// Storage for whole pictures. Blocks come from calloc, which takes large blocks as fresh pages
// that the system has zeroed already, and elements are left as allocated instead of being
// value-initialised, so a picture is not cleared a second time before it is filled. Large
// blocks ask for 2 MB pages before their first touch: filling a picture otherwise spends much
// of its time taking one page fault per 4 KB. Growing a block that was shrunk gives back its
// old bytes: blocks are sized once, from empty.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

namespace vellora {

// A zeroed block of `bytes`, or null; freed with std::free.
void* allocateZeroedBlock(std::size_t bytes);

template <class T> struct ZeroedAllocator {
    using value_type = T;
    ZeroedAllocator() = default;
    template <class U> ZeroedAllocator(const ZeroedAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > std::size_t(-1) / sizeof(T)) throw std::bad_array_new_length();
        void* block = allocateZeroedBlock(n * sizeof(T));
        if (!block) throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, std::size_t) noexcept { std::free(block); }

    template <class U> void construct(U*) noexcept {} // calloc has zeroed it
    template <class U, class... Args> void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
    template <class U> bool operator==(const ZeroedAllocator<U>&) const noexcept { return true; }
};

using PictureBytes = std::vector<std::uint8_t, ZeroedAllocator<std::uint8_t>>;

// Blocks compare by their bytes with plain byte vectors (file contents read back, for one).
inline bool operator==(const PictureBytes& a, const std::vector<std::uint8_t>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

} // namespace vellora
