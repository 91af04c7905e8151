#include "tiling/palettePreview.h"

#include "color/conversionCode.h"
#include "color/presetPalette.h"
#include "color/userPalette.h"
#include "tiling/runTiling.h"
#include "tiling/tileColorMapping.h"
#include "tiling/tileMatcher.h"

namespace vellora {

namespace {

PalettePreview known(std::vector<Bgr> colors) {
    return {std::move(colors), true};
}

PalettePreview presetPalette(const ConversionTarget& row) {
    SilentFrontend quiet;
    DibImage palette;
    EvenPaletteRecord record;
    if (createDib(quiet, palette, 1, 1, row.bitsPerPixel, row.colorsUsed) != 0) return {};
    const int result = row.palette == PaletteSource::EvenPreset
                           ? loadEvenPalette(quiet, palette, row.presetFile, record)
                           : loadBasicPalette(quiet, palette, row.presetFile);
    return result == 0 ? known(paletteColors(palette)) : PalettePreview{};
}

PalettePreview userPalette(const ParameterBlock& block) {
    SilentFrontend quiet;
    UserPalette palette;
    if (!hasTerminatedPath(block) ||
        loadUserPalette(quiet, palette, std::string(block.userPalettePath)) != 0)
        return {};
    std::vector<Bgr> colors;
    for (std::uint32_t i = 0; i < palette.record.colorCount && i < 256; ++i)
        colors.push_back(
            {palette.buffer[4 * i], palette.buffer[4 * i + 1], palette.buffer[4 * i + 2]});
    return known(std::move(colors));
}

} // namespace

PalettePreview previewTilingPalette(const Session& session, const ParameterBlock& block) {
    if (!session.designPalette.colors.empty()) return known(session.designPalette.colors);
    if (session.design.keepPalette && session.currentInfo.bitsPerPixel <= 8 &&
        !session.currentPath.empty()) {
        SilentFrontend quiet;
        DibImage picture;
        if (readBitmapFile(quiet, session.currentPath, picture) == 0 && picture.isIndexed())
            return known(paletteColors(picture));
    }
    const int code = tilingConversionCode(block, 0);
    if (code == kNoConversionCode) return {};
    if (conversionClass(code) == kClassUser) return userPalette(block);
    const ConversionTarget* row = findConversionTarget(code);
    if (row == nullptr) return {};
    if (row->palette == PaletteSource::MedianCut)
        return {std::vector<Bgr>(row->colorsUsed, Bgr{0, 0, 0}), false};
    return presetPalette(*row);
}

} // namespace vellora
