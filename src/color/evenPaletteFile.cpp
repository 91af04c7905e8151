#include "color/evenPaletteFile.h"

#include "color/evenPalette.h"
#include "color/paletteFolders.h"
#include "core/atomicFile.h"
#include "core/errors.h"
#include "core/userFolders.h"

#include <cstdio>
#include <memory>

namespace vellora {

namespace {
bool isMakeableProduct(int red, int green, int blue) {
    const int product = red * green * blue;
    return product >= 2 && product <= kMaxEvenColors;
}
} // namespace

std::string evenPaletteFileName(int red, int green, int blue) {
    const bool safe = red == 6 && green == 6 && blue == 6;
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, "_%03d_%d%d%d.ecp", red * green * blue, red, green, blue);
    return std::string(safe ? "safeColorPalette" : "evenColorPalette") + suffix;
}

std::vector<std::uint8_t> evenPaletteFileBytes(int red, int green, int blue) {
    const EvenPaletteRecord record = makeEvenPaletteRecord(red, green, blue);
    std::vector<std::uint8_t> bytes(4 * std::size_t(record.entriesStored) + kEvenPaletteRecordBytes,
                                    0);
    fillEvenPaletteEntries(record, bytes.data());
    writeEvenPaletteRecord(record, bytes.data() + 4 * std::size_t(record.entriesStored));
    return bytes;
}

int makeEvenPaletteFile(Frontend& frontend, int red, int green, int blue) {
    const auto isDivision = [](int d) { return d >= 1 && d <= kMaxEvenDivisions; };
    if (!isDivision(red) || !isDivision(green) || !isDivision(blue)) return kFailed;
    if (red * green * blue > kMaxEvenColors) return kFailed;
    const std::vector<std::uint8_t> bytes = evenPaletteFileBytes(red, green, blue);
    const auto folder = userPaletteFolder();
    std::error_code error;
    if (!makeUserFolder(folder, error))
        return reportWriteFailure(frontend, AtomicFileFailure::create);
    return reportWriteFailure(
        frontend, writeFileAtomically(folder / evenPaletteFileName(red, green, blue), bytes));
}

int makeEvenPaletteFromDivisions(Frontend& frontend, ParameterBlock& block, int red, int green,
                                 int blue) {
    if (!isMakeableProduct(red, green, blue)) {
        frontend.showMessage("alert", kEvenDivisionsText);
        return kFailed;
    }
    block.evenDivisions[0] = std::uint32_t(red);
    block.evenDivisions[1] = std::uint32_t(green);
    block.evenDivisions[2] = std::uint32_t(blue);
    if (makeEvenPaletteFile(frontend, red, green, blue) != 0) {
        frontend.showMessage("", kMakeEvenPaletteFailedText);
        return kFailed;
    }
    return 0;
}

} // namespace vellora
