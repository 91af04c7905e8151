#include "imageio/safeFileWrite.h"

#include "core/atomicFile.h"

namespace vellora::imageio {

bool writeFileSafely(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                     std::string& error, FileDurability durability) {
    switch (writeFileAtomically(path, bytes, durability)) {
    case AtomicFileFailure::none:
        return true;
    case AtomicFileFailure::write:
    case AtomicFileFailure::flush:
        error = "failed to write the file";
        return false;
    case AtomicFileFailure::create:
    case AtomicFileFailure::rename:
        break;
    }
    error = "failed to create the file";
    return false;
}

} // namespace vellora::imageio
