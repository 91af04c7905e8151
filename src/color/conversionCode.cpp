#include "color/conversionCode.h"

#include <array>

namespace vellora {

namespace {
using P = PaletteSource;
constexpr auto kTargets = std::to_array<ConversionTarget>({
    {0, "2", 1, 2, P::MedianCut, ""},
    {1, "4", 4, 4, P::MedianCut, ""},
    {2, "8", 4, 8, P::MedianCut, ""},
    {3, "16", 4, 16, P::MedianCut, ""},
    {4, "32", 8, 32, P::MedianCut, ""},
    {5, "64", 8, 64, P::MedianCut, ""},
    {6, "128", 8, 128, P::MedianCut, ""},
    {7, "256", 8, 256, P::MedianCut, ""},
    {256, "16 basic", 4, 16, P::BasicPreset, "basicColorPalette_016.bcp"},
    {257, "147 extended", 8, 147, P::BasicPreset, "basicColorPalette_147ex.bcp"},
    {512, "2 red", 1, 2, P::EvenPreset, "evenColorPalette_002_211.ecp"},
    {513, "2 green", 1, 2, P::EvenPreset, "evenColorPalette_002_121.ecp"},
    {514, "2 blue", 1, 2, P::EvenPreset, "evenColorPalette_002_112.ecp"},
    {515, "16", 4, 16, P::EvenPreset, "evenColorPalette_016_422.ecp"},
    {516, "32", 8, 32, P::EvenPreset, "evenColorPalette_032_442.ecp"},
    {517, "48", 8, 48, P::EvenPreset, "evenColorPalette_048_443.ecp"},
    {518, "60", 8, 60, P::EvenPreset, "evenColorPalette_060_543.ecp"},
    {519, "96", 8, 96, P::EvenPreset, "evenColorPalette_096_644.ecp"},
    {520, "140", 8, 140, P::EvenPreset, "evenColorPalette_140_754.ecp"},
    {521, "216 safe color", 8, 216, P::EvenPreset, "safeColorPalette_216_666.ecp"},
    {522, "240", 8, 240, P::EvenPreset, "evenColorPalette_240_865.ecp"},
    {768, "24 bpp", 24, 0, P::None, ""},
    {769, "32 bpp", 32, 0, P::None, ""},
    {kCodeUserEven, "", 0, 0, P::UserPalette, ""},
    {kCodeUserCsv, "", 0, 0, P::UserPalette, ""},
});
} // namespace

const ConversionTarget* findConversionTarget(int code) {
    for (const ConversionTarget& target : kTargets)
        if (target.code == code) return &target;
    return nullptr;
}

std::uint16_t userPaletteBitsPerPixel(std::uint32_t colors) {
    if (colors > 16) return 8;
    if (colors >= 3) return 4;
    return 1;
}

} // namespace vellora
