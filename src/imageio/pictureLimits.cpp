#include "imageio/pictureLimits.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <new>

namespace vellora::imageio {

namespace {

std::uint64_t computeBudget() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    std::uint64_t budget = std::numeric_limits<std::uint64_t>::max();
    if (pages > 0 && pageSize > 0) budget = std::uint64_t(pages) * std::uint64_t(pageSize) / 4;
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        budget = std::min<std::uint64_t>(budget, limit.rlim_cur / 2);
    return budget;
}

std::atomic<std::uint64_t> budgetCap{0};

} // namespace

std::uint64_t memoryBudget() {
    static const std::uint64_t budget = computeBudget();
    const std::uint64_t cap = budgetCap.load(std::memory_order_relaxed);
    return cap != 0 ? std::min(budget, cap) : budget;
}

std::uint64_t capMemoryBudget(std::uint64_t bytes) {
    return budgetCap.exchange(bytes, std::memory_order_relaxed);
}

bool pictureFits(std::int64_t width, std::int64_t height, int bitsPerPixel) {
    if (width < 1 || height < 1 || width > std::numeric_limits<std::int32_t>::max() ||
        height > std::numeric_limits<std::int32_t>::max())
        return false;
    const std::uint64_t stride = (std::uint64_t(width) * std::uint64_t(bitsPerPixel) + 31) / 32 * 4;
    const std::uint64_t palette = bitsPerPixel <= 8 ? 4u << bitsPerPixel : 0;
    const std::uint64_t total = stride * std::uint64_t(height) + kHeaderBytes + palette;
    return total <= std::numeric_limits<std::uint32_t>::max() && total <= memoryBudget();
}

bool compressedSizePlausible(std::uint64_t decodedBytes, std::uint64_t fileBytes,
                             std::uint64_t maximumRatio, std::string& error) {
    if (decodedBytes / maximumRatio <= fileBytes) return true;
    error = kTooShortText;
    return false;
}

bool workingBytesFit(std::uint64_t bytes, std::string& error) {
    if (bytes <= memoryBudget()) return true;
    error = kTooLargeText;
    return false;
}

bool allocatePicture(DibImage& image, std::int64_t width, std::int64_t height, int bitsPerPixel,
                     std::uint32_t colorsUsed, std::string& error) {
    if (!pictureFits(width, height, bitsPerPixel)) {
        error = kTooLargeText;
        return false;
    }
    SilentFrontend silent;
    DibImage fresh;
    if (createDib(silent, fresh, std::int32_t(width), std::int32_t(height),
                  std::uint16_t(bitsPerPixel), colorsUsed) != 0) {
        error = kOutOfMemoryText;
        return false;
    }
    image = std::move(fresh);
    return true;
}

namespace {
template <class Buffer> bool resizeBuffer(Buffer& buffer, std::uint64_t bytes, std::string& error) {
    if (!workingBytesFit(bytes, error)) return false;
    try {
        buffer.resize(std::size_t(bytes));
        return true;
    } catch (const std::bad_alloc&) {
        error = kOutOfMemoryText;
        return false;
    }
}
} // namespace

bool allocateBuffer(std::vector<std::uint8_t>& buffer, std::uint64_t bytes, std::string& error) {
    return resizeBuffer(buffer, bytes, error);
}

bool allocateBuffer(PictureBytes& buffer, std::uint64_t bytes, std::string& error) {
    return resizeBuffer(buffer, bytes, error);
}

} // namespace vellora::imageio
