#pragma once
// Reading a whole small palette file, with a limit on its length.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace vellora {

enum class PaletteFileRead { Ok, OpenFailed, NotRegular, ReadFailed, TooLong };

// Reads the file into bytes when it is at most maxBytes long; a file that cannot be opened or
// read leaves the system's reason as the failure cause.
PaletteFileRead readPaletteFile(const std::filesystem::path& path, std::size_t maxBytes,
                                std::vector<std::uint8_t>& bytes);

} // namespace vellora
