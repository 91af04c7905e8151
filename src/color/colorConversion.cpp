#include "color/colorConversion.h"

#include "color/conversionCode.h"
#include "color/conversionTarget.h"
#include "color/mapToPalette.h"
#include "core/errors.h"
#include "core/operationFrame.h"

#include <memory>
#include <new>
#include <string>

namespace vellora {

namespace {
constexpr std::uint32_t kChoiceClasses = 4; // classes whose choice lies in colorChoice

} // namespace

int colorConversionCode(const ParameterBlock& block) {
    const std::uint32_t method = block.colorMethod;
    if (method >= kChoiceClasses)
        return conversionCode(int(std::min<std::uint32_t>(method, 255)), 0);
    return conversionCode(int(method),
                          int(std::min<std::uint32_t>(block.colorChoice[method], 255)));
}

bool isNeedlessMedianCut(int choice, int bitsPerPixel) {
    if (bitsPerPixel >= 32) return false;
    const unsigned long long asked = 1ull << (choice + 1);
    return asked > (1ull << bitsPerPixel);
}

int convertColors(Session& session, const UserPalette* userPalette, EvenPaletteRecord& record,
                  bool diffuse, int code) {
    int result = prepareConversionTarget(session, session.targetImage, session.sourceImage,
                                         userPalette, record, code);
    if (result == 0)
        result =
            mapToPalette(session, session.targetImage, session.sourceImage, diffuse, record, code);
    if (result == 0)
        result = writeBitmapFile(session.frontend, session.nextPath, session.targetImage);
    session.targetImage.release();
    session.sourceImage.release();
    return result == 0 ? 0 : kFailed;
}

int runColorConversion(Session& session) {
    const ParameterBlock& block = session.workingBlock;
    int code = colorConversionCode(block);
    if (conversionClass(code) == kClassMedianCut &&
        isNeedlessMedianCut(conversionChoice(code), session.currentInfo.bitsPerPixel)) {
        session.frontend.showMessage("notice", kNoNeedToDecreaseText);
        return kFailed;
    }
    std::unique_ptr<UserPalette> palette;
    if (conversionClass(code) == kClassUser) {
        if (loadBlockUserPalette(session.frontend, session.workingBlock, palette) != 0)
            return kFailed;
        code = kCodeUserEven + palette->formatFlag;
    }
    const bool diffuse = block.colorDiffusion != 0;
    return runOperationFrame(session, Operation::ColorProcessing, [&](Session& s) {
        if (readBitmapFile(s.frontend, s.currentPath, s.sourceImage) != 0) return kFailed;
        EvenPaletteRecord record;
        return convertColors(s, palette.get(), record, diffuse, code);
    });
}

int colorConversionHandler(Session& session) {
    return runColorConversion(session);
}

} // namespace vellora
