#include "color/presetPalette.h"

#include "color/paletteFile.h"
#include "color/paletteFolders.h"
#include "core/errors.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vellora {

namespace {
// Reads a preset file of at most maxBytes; 0, or the code after its message.
int readPreset(Frontend& frontend, std::string_view fileName, std::size_t maxBytes,
               std::string_view tooLongText, std::vector<std::uint8_t>& bytes) {
    switch (readPaletteFile(presetPaletteFolder() / fileName, maxBytes, bytes)) {
    case PaletteFileRead::Ok:
        return kOk;
    case PaletteFileRead::OpenFailed:
    case PaletteFileRead::NotRegular:
        return reportError(frontend, kErrorOpen);
    case PaletteFileRead::ReadFailed:
        return reportError(frontend, kErrorRead);
    case PaletteFileRead::TooLong:
        break;
    }
    showError(frontend, tooLongText);
    return kFailed;
}
} // namespace

int loadBasicPalette(Frontend& frontend, DibImage& target, std::string_view fileName) {
    std::vector<std::uint8_t> bytes;
    if (const int result =
            readPreset(frontend, fileName, target.paletteBytes, kBadBasicPaletteText, bytes))
        return result;
    std::copy(bytes.begin(), bytes.end(), target.paletteEntry(0)); // an empty file copies nothing
    return kOk;
}

int loadEvenPalette(Frontend& frontend, DibImage& target, std::string_view fileName,
                    EvenPaletteRecord& record) {
    std::vector<std::uint8_t> bytes;
    if (const int result =
            readPreset(frontend, fileName, target.paletteBytes + kEvenPaletteRecordBytes,
                       kBadEvenPaletteText, bytes))
        return result;
    if (bytes.size() < kEvenPaletteRecordBytes) {
        showError(frontend, kBadEvenPaletteText);
        return kFailed;
    }
    const std::size_t paletteBytes = bytes.size() - kEvenPaletteRecordBytes;
    const EvenPaletteRecord read = readEvenPaletteRecord(bytes.data() + paletteBytes);
    if (!isUsableEvenRecord(read, paletteBytes / 4) || read.colorCount != target.colorsUsed) {
        showError(frontend, kBadEvenPaletteText);
        return kFailed;
    }
    std::memcpy(target.paletteEntry(0), bytes.data(), paletteBytes);
    record = read;
    return kOk;
}

} // namespace vellora
