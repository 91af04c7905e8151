#pragma once
// Conversion codes: a 16-bit number saying what a colour conversion or a tiling produces.
// class = code ÷ 256, choice = code mod 256. Classes: 0 median cut (choice 0 … 7 for 2 … 256
// colours), 1 basic palette (0 "16 basic", 1 "147 extended"), 2 even palette (0 … 10),
// 3 true colour (0 24 bpp, 1 32 bpp), 4 user palette (0 from an even colour palette file,
// 1 from a CSV file).
#include <cstdint>
#include <string_view>

namespace vellora {

enum ConversionClass : int {
    kClassMedianCut = 0,
    kClassBasic = 1,
    kClassEven = 2,
    kClassTrueColor = 3,
    kClassUser = 4,
};

inline constexpr int kCodeUserEven = 1024;
inline constexpr int kCodeUserCsv = 1025;

constexpr int conversionClass(int code) {
    return code / 256;
}
constexpr int conversionChoice(int code) {
    return code % 256;
}
constexpr int conversionCode(int classNumber, int choice) {
    return classNumber * 256 + choice;
}

// Where a target's palette comes from.
enum class PaletteSource { MedianCut, BasicPreset, EvenPreset, None, UserPalette };

struct ConversionTarget {
    int code;
    std::string_view dialogText;
    std::uint16_t bitsPerPixel; // 0 for user palettes: it follows their colour count
    std::uint32_t colorsUsed;   // 0 for user palettes: their record says
    PaletteSource palette;
    std::string_view presetFile; // for the preset palettes
};

// The row of a code, or nullptr for a code that is not in the table.
const ConversionTarget* findConversionTarget(int code);

// The depth of a user palette of `colors` colours: 8 above 16, 4 from 3 to 16, 1 for 1 or 2.
std::uint16_t userPaletteBitsPerPixel(std::uint32_t colors);

} // namespace vellora
