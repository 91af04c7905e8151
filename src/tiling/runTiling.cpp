#include "tiling/runTiling.h"

#include "color/conversionCode.h"
#include "color/conversionTarget.h"
#include "core/errors.h"
#include "core/operationFrame.h"
#include "tiling/designTiling.h"
#include "tiling/renderTiles.h"
#include "tiling/tileColorMapping.h"

#include <array>
#include <memory>
#include <new>
#include <string>

namespace vellora {

namespace {

constexpr std::uint32_t kPaletteClassUser = 2;

// The palette class of the tiling dialog and the conversion class it stands for.
constexpr auto kTilingClassToConversionClass =
    std::to_array<int>({kClassMedianCut, kClassEven, kClassUser});

bool usesUserPalette(const ParameterBlock& block) {
    return block.tilingConvert != 0 && block.tilingPaletteClass == kPaletteClassUser;
}

} // namespace

int tilingConversionCode(const ParameterBlock& block, int userFormatFlag) {
    if (block.tilingConvert == 0) return kNoConversionCode;
    if (block.tilingPaletteClass >= kTilingClassToConversionClass.size()) return -1;
    const int conversion = kTilingClassToConversionClass[block.tilingPaletteClass];
    if (conversion == kClassUser) return kCodeUserEven + userFormatFlag;
    const std::uint32_t choice =
        conversion == kClassMedianCut ? block.tilingMedianIndex : block.tilingEvenIndex;
    return conversionCode(conversion, int(std::min<std::uint32_t>(choice, 255)));
}

int tileSourceImage(Session& session, const UserPalette* userPalette, EvenPaletteRecord& record,
                    int code) {
    DibImage& source = session.sourceImage;
    DibImage& target = session.targetImage;
    // The layout follows the picture actually read, whatever the shell believed its size was.
    if (checkTilingLayout(session.frontend, session.workingBlock, source.width, source.height))
        return kFailed;
    const TileGeometry geometry =
        computeTileGeometry(session.workingBlock, source.width, source.height);
    int result = 0;
    if (designChangesTiling(session, source)) {
        result = prepareDesignTarget(session, target, source, userPalette, record, code);
        if (result == 0)
            result = renderDesignTiles(session, target, source, geometry, code, record);
    } else {
        result = prepareConversionTarget(session, target, source, userPalette, record, code);
        if (result == 0)
            result = renderTiles(session, target, source, geometry,
                                 tileColorMapping(target, code, record));
    }
    if (result == 0) result = writeBitmapFile(session.frontend, session.nextPath, target);
    target.release();
    source.release();
    return result == 0 ? 0 : kFailed;
}

int runTiling(Session& session) {
    const ParameterBlock& block = session.workingBlock;
    std::unique_ptr<UserPalette> palette;
    if (usesUserPalette(block) && loadBlockUserPalette(session.frontend, block, palette) != 0)
        return kFailed;
    const int code = tilingConversionCode(block, palette ? palette->formatFlag : 0);
    if (checkTilingLayout(session.frontend, block, session.currentInfo.width,
                          session.currentInfo.height))
        return kFailed;
    return runOperationFrame(session, Operation::Tiling, [&](Session& s) {
        if (readBitmapFile(s.frontend, s.currentPath, s.sourceImage) != 0) return kFailed;
        EvenPaletteRecord record;
        return tileSourceImage(s, palette.get(), record, code);
    });
}

int tilingHandler(Session& session) {
    return runTiling(session);
}

} // namespace vellora
