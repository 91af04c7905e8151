// Even colour palette files on arbitrary bytes: an accepted file's lookup must stay inside its
// colours for every colour value, and a picture mapped with it must be well formed.
#include "color/conversionCode.h"
#include "color/conversionTarget.h"
#include "color/mapToPalette.h"
#include "color/userPalette.h"
#include "core/pixelAccess.h"

#include <cstdint>
#include <cstdlib>
#include <span>

using namespace vellora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SilentFrontend frontend;
    UserPalette palette;
    if (acceptEvenPaletteBytes(frontend, std::span<const std::uint8_t>(data, size), palette) != 0)
        return 0;
    const EvenPaletteRecord& record = palette.record;
    for (int v = 0; v < 256; ++v)
        for (int k = 0; k < 3; ++k) {
            std::uint8_t bgr[3] = {255, 255, 255};
            bgr[k] = std::uint8_t(v);
            if (evenPaletteIndex(record, bgr[0], bgr[1], bgr[2]) >= record.colorCount) std::abort();
        }
    Session session(frontend);
    DibImage source;
    if (createDib(frontend, source, 16, 4, 24, 0) != 0) std::abort();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x) {
            const std::uint8_t bgr[3] = {std::uint8_t(17 * x), std::uint8_t(60 * y),
                                         std::uint8_t(255 - 16 * x)};
            setColor(source, bgr, y, x, 24);
        }
    DibImage target;
    EvenPaletteRecord used;
    if (prepareConversionTarget(session, target, source, &palette, used, kCodeUserEven) != 0)
        std::abort();
    if (mapToPalette(session, target, source, true, used, kCodeUserEven) != 0) std::abort();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x) {
            std::uint8_t index = 0;
            getIndex(target, index, y, x, target.bitsPerPixel);
            if (index >= target.colorsUsed) std::abort();
        }
    return 0;
}
