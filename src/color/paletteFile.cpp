#include "color/paletteFile.h"

#include "core/failureCause.h"
#include "core/regularFile.h"

#include <cstdio>
#include <new>

namespace vellora {

PaletteFileRead readPaletteFile(const std::filesystem::path& path, std::size_t maxBytes,
                                std::vector<std::uint8_t>& bytes) {
    ReadOpen outcome = ReadOpen::ok;
    const ReadFile file = openRegularFile(path, &outcome);
    if (!file) {
        noteOpenFailure(path, outcome);
        return outcome == ReadOpen::notRegular ? PaletteFileRead::NotRegular
                                               : PaletteFileRead::OpenFailed;
    }
    // Read in pieces up to one byte past the limit: a longer file shows itself without trusting
    // a stated size, and a small file costs no large block.
    std::vector<std::uint8_t> read;
    std::uint8_t piece[16384];
    for (;;) {
        const std::size_t got = std::fread(piece, 1, sizeof piece, file.get());
        if (std::ferror(file.get())) {
            noteShortRead(path, file.get());
            return PaletteFileRead::ReadFailed;
        }
        if (read.size() + got > maxBytes) return PaletteFileRead::TooLong;
        try {
            read.insert(read.end(), piece, piece + got);
        } catch (const std::bad_alloc&) {
            noteFailureCause("not enough memory for \"" + path.string() + "\"");
            return PaletteFileRead::ReadFailed;
        }
        if (got < sizeof piece) break;
    }
    bytes.swap(read);
    return PaletteFileRead::Ok;
}

} // namespace vellora
