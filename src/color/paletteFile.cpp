#include "color/paletteFile.h"

#include <cstdio>
#include <memory>
#include <new>

namespace vellora {

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
} // namespace

PaletteFileRead readPaletteFile(const std::filesystem::path& path, std::size_t maxBytes,
                                std::vector<std::uint8_t>& bytes) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return PaletteFileRead::OpenFailed;
    // Read one byte past the limit: a longer file shows itself without trusting its stated size.
    try {
        bytes.assign(maxBytes + 1, 0);
    } catch (const std::bad_alloc&) {
        return PaletteFileRead::ReadFailed;
    }
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (std::ferror(file.get())) return PaletteFileRead::ReadFailed;
    if (got > maxBytes) return PaletteFileRead::TooLong;
    bytes.resize(got);
    return PaletteFileRead::Ok;
}

} // namespace vellora
