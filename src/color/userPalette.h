#pragma once
// User palettes: an even colour palette file (.ecp) or a CSV palette file (color/csvPalette.h)
// chosen by the user, read into a 1044-byte buffer owned by the command that uses it.
#include "color/evenPalette.h"
#include "core/frontend.h"
#include "core/parameterBlock.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace vellora {

inline constexpr std::size_t kUserPaletteBytes = 1044;

inline constexpr std::string_view kEcpOpenFailedText = "failed to open the even color palette file";
inline constexpr std::string_view kEcpReadFailedText = "failed to read the even color palette file";

struct UserPalette {
    // An .ecp file as it is (entries, then its record); for CSV the entries from offset 0.
    std::array<std::uint8_t, kUserPaletteBytes> buffer{};
    // The .ecp record; for CSV only colorCount is set.
    EvenPaletteRecord record;
    int formatFlag = 0; // 0 even colour palette file, 1 CSV file
};

// The checks and copying of an .ecp file's bytes; 0, or 1 after the message.
int acceptEvenPaletteBytes(Frontend& frontend, std::span<const std::uint8_t> bytes,
                           UserPalette& palette);

// Whether the text after the last "." of the path is exactly "ecp" (letter case matters).
bool isEvenPalettePath(std::string_view path);

// Reads the palette; every message has the caption "error". An .ecp file must hold its record
// and at most 1044 bytes, and its record must be usable for the entries it stores (otherwise
// "illegal file structure as an even color palette file"). 0, or 1 after the message with the
// palette unchanged.
int loadUserPalette(Frontend& frontend, UserPalette& palette, std::string_view path);

// The palette the block's userPalettePath names, read into a fresh `palette` (an unterminated
// path fails to open); 0, or 1 after the message.
int loadBlockUserPalette(Frontend& frontend, const ParameterBlock& block,
                         std::unique_ptr<UserPalette>& palette);

} // namespace vellora
