#include "imageio/safeFileWrite.h"

#include "core/atomicFile.h"

#include <cerrno>
#include <cstring>

namespace vellora::imageio {

bool writeFileSafely(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                     std::string& error, FileDurability durability) {
    if (writeFileAtomically(path, bytes, durability) == AtomicFileFailure::none) return true;
    error = std::strerror(errno);
    return false;
}

} // namespace vellora::imageio
