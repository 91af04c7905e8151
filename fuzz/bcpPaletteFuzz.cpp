// Basic colour palette files on arbitrary bytes: loaded into 4 and 8 bpp targets they are
// refused when longer than the colour table, and otherwise give a palette whose fast nearest
// colour search agrees with the plain one.
#include "color/nearestPalette.h"
#include "color/paletteFolders.h"
#include "color/presetPalette.h"
#include "support/tempDir.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace vellora;

namespace {
// A folder of this run, where the palette folders point.
struct PaletteFolder {
    test::TempDir dir{"bcpFuzz"};
    PaletteFolder() { setPaletteFolderOverride(PaletteFolders{dir.path(), dir.path()}); }
};

const std::filesystem::path& folder() {
    static const PaletteFolder made;
    return made.dir.path();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path path = folder() / "input.bcp";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    SilentFrontend frontend;
    for (const auto& [bits, colors] : {std::pair{4, 16u}, std::pair{8, 147u}}) {
        DibImage target;
        if (createDib(frontend, target, 9, 3, std::uint16_t(bits), colors) != 0) std::abort();
        const int result = loadBasicPalette(frontend, target, "input.bcp");
        if ((result == 0) != (size <= target.paletteBytes)) std::abort();
        if (result != 0) continue;
        NearestPaletteFinder finder(target);
        for (int c = 0; c < 27; ++c) {
            const auto blue = std::uint8_t(c * 97), green = std::uint8_t(c * 31 + 7),
                       red = std::uint8_t(255 - c * 11);
            const std::uint8_t index = finder.find(blue, green, red);
            if (index >= colors || index != nearestPaletteIndex(target, blue, green, red))
                std::abort();
        }
    }
    return 0;
}
