#include "color/conversionTarget.h"

#include "color/conversionCode.h"
#include "color/medianCut.h"
#include "color/presetPalette.h"
#include "core/errors.h"

#include <algorithm>
#include <cstring>

namespace vellora {

namespace {
struct TargetShape {
    std::uint16_t bitsPerPixel;
    std::uint32_t colorsUsed;
};

bool shapeFor(const ConversionTarget& row, const UserPalette* userPalette, TargetShape& shape) {
    if (row.palette != PaletteSource::UserPalette) {
        shape = {row.bitsPerPixel, row.colorsUsed};
        return true;
    }
    if (!userPalette) return false;
    const std::uint32_t colors = userPalette->record.colorCount;
    if (colors < 1 || colors > 256) return false;
    shape = {userPaletteBitsPerPixel(colors), colors};
    return true;
}

int fillPalette(Session& session, DibImage& target, const DibImage& source,
                const ConversionTarget& row, const UserPalette* userPalette,
                EvenPaletteRecord& record) {
    switch (row.palette) {
    case PaletteSource::MedianCut:
        return medianCutPalette(session, target, source);
    case PaletteSource::BasicPreset:
        return loadBasicPalette(session.frontend, target, row.presetFile);
    case PaletteSource::EvenPreset:
        return loadEvenPalette(session.frontend, target, row.presetFile, record);
    case PaletteSource::None:
        return kOk;
    case PaletteSource::UserPalette:
        std::memcpy(target.paletteEntry(0), userPalette->buffer.data(),
                    4 * std::size_t(target.colorsUsed));
        record = userPalette->record;
        return kOk;
    }
    return kOk;
}
} // namespace

int prepareConversionTarget(Session& session, DibImage& target, const DibImage& source,
                            const UserPalette* userPalette, EvenPaletteRecord& record, int code) {
    const ConversionTarget* row = findConversionTarget(code);
    TargetShape shape{};
    if (!row || !shapeFor(*row, userPalette, shape)) {
        target.release();
        showError(session.frontend, kBadConversionCodeText);
        return kFailed;
    }
    if (createDib(session.frontend, target, source.width, source.height, shape.bitsPerPixel,
                  shape.colorsUsed) != kOk) {
        target.release();
        return kFailed;
    }
    if (fillPalette(session, target, source, *row, userPalette, record) != kOk) {
        target.release();
        return kFailed;
    }
    return kOk;
}

} // namespace vellora
