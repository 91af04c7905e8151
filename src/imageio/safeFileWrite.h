#pragma once
// Writing a whole file so that a failure never leaves a partial target behind.
#include "core/atomicFile.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace vellora::imageio {

// Writes the bytes to a temporary file in the target's folder, then renames it over the
// target (flushed to disk first unless it is a scratch file). On failure the target is as it
// was, the temporary file is gone and `error` holds the system's reason.
bool writeFileSafely(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                     std::string& error, FileDurability durability = FileDurability::flushed);

} // namespace vellora::imageio
