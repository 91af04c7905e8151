#include "color/userPalette.h"

#include "color/csvPalette.h"
#include "color/paletteFile.h"
#include "color/presetPalette.h"
#include "core/errors.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace vellora {

namespace {
// Far above any real palette: 257 lines of 4095 characters and room for comments.
constexpr std::size_t kMaxCsvFileBytes = std::size_t(64) << 20;

int fail(Frontend& frontend, std::string_view text) {
    showError(frontend, text);
    return kFailed;
}

int loadEvenPaletteFile(Frontend& frontend, UserPalette& palette, std::string_view path) {
    std::vector<std::uint8_t> bytes;
    switch (readPaletteFile(std::string(path), kUserPaletteBytes, bytes)) {
    case PaletteFileRead::Ok:
        break;
    case PaletteFileRead::OpenFailed:
    case PaletteFileRead::NotRegular:
        return fail(frontend, kEcpOpenFailedText);
    case PaletteFileRead::ReadFailed:
        return fail(frontend, kEcpReadFailedText);
    case PaletteFileRead::TooLong:
        return fail(frontend, kBadEvenPaletteText);
    }
    return acceptEvenPaletteBytes(frontend, bytes, palette);
}

int loadCsvPaletteFile(Frontend& frontend, UserPalette& palette, std::string_view path) {
    std::vector<std::uint8_t> bytes;
    const PaletteFileRead read = readPaletteFile(std::string(path), kMaxCsvFileBytes, bytes);
    if (read != PaletteFileRead::Ok) return fail(frontend, kCsvIllegalDataText);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::array<std::uint8_t, kUserPaletteBytes> entries{};
    std::uint32_t colors{};
    const CsvPaletteResult result = parseCsvPalette(text, entries.data(), colors);
    if (result != CsvPaletteResult::Ok) return fail(frontend, csvPaletteMessage(result));
    palette.buffer = entries;
    palette.record = EvenPaletteRecord{};
    palette.record.colorCount = colors;
    palette.formatFlag = 1;
    return 0;
}
} // namespace

int acceptEvenPaletteBytes(Frontend& frontend, std::span<const std::uint8_t> bytes,
                           UserPalette& palette) {
    if (bytes.size() > kUserPaletteBytes || bytes.size() < kEvenPaletteRecordBytes)
        return fail(frontend, kBadEvenPaletteText);
    const std::size_t entryBytes = bytes.size() - kEvenPaletteRecordBytes;
    const EvenPaletteRecord record = readEvenPaletteRecord(bytes.data() + entryBytes);
    if (!isUsableEvenRecord(record, entryBytes / 4)) return fail(frontend, kBadEvenPaletteText);
    palette.buffer.fill(0);
    std::memcpy(palette.buffer.data(), bytes.data(), bytes.size());
    palette.record = record;
    palette.formatFlag = 0;
    return 0;
}

bool isEvenPalettePath(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    return dot != std::string_view::npos && path.substr(dot + 1) == "ecp";
}

int loadUserPalette(Frontend& frontend, UserPalette& palette, std::string_view path) {
    return isEvenPalettePath(path) ? loadEvenPaletteFile(frontend, palette, path)
                                   : loadCsvPaletteFile(frontend, palette, path);
}

int loadBlockUserPalette(Frontend& frontend, const ParameterBlock& block,
                         std::unique_ptr<UserPalette>& palette) {
    try {
        palette = std::make_unique<UserPalette>();
    } catch (const std::bad_alloc&) {
        reportError(frontend, kErrorAllocate);
        return kFailed;
    }
    if (!hasTerminatedPath(block)) return fail(frontend, kEcpOpenFailedText);
    return loadUserPalette(frontend, *palette, std::string(block.userPalettePath));
}

} // namespace vellora
