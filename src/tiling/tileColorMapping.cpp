#include "tiling/tileColorMapping.h"

#include "color/nearestPalette.h"

#include <array>

namespace vellora {

namespace {

enum class Lookup { Nearest, Even, Color };

// The lookup of each conversion class (code ÷ 256); user palettes (class 4) by choice.
constexpr auto kClassLookup =
    std::to_array<Lookup>({Lookup::Nearest, Lookup::Nearest, Lookup::Even, Lookup::Color});
constexpr auto kUserPaletteLookup = std::to_array<Lookup>({Lookup::Even, Lookup::Nearest});

Lookup lookupFor(int code) {
    const int conversionClass = code / 256;
    if (conversionClass == 4) return kUserPaletteLookup[std::size_t(code % 256 == 1)];
    if (conversionClass >= 0 && conversionClass < int(kClassLookup.size()))
        return kClassLookup[std::size_t(conversionClass)];
    return Lookup::Color;
}

TileColorMapping nearestMapping(const DibImage& palette) {
    return {[&palette](const Bgr& c) { return nearestPaletteIndex(palette, c[0], c[1], c[2]); }};
}

} // namespace

TileColorMapping tileColorMapping(const DibImage& target, int code,
                                  const EvenPaletteRecord& record) {
    switch (lookupFor(code)) {
    case Lookup::Nearest:
        return nearestMapping(target);
    case Lookup::Even:
        return {[&record](const Bgr& c) { return evenPaletteIndex(record, c[0], c[1], c[2]); }};
    case Lookup::Color:
        break;
    }
    return {};
}

TileColorMapping pictureColorMapping(const DibImage& picture) {
    if (picture.isIndexed()) return nearestMapping(picture);
    return {};
}

} // namespace vellora
