// The CSV palette parser on arbitrary text: it accepts 1 … 256 colours with zero reserved bytes
// or refuses without touching its outputs.
#include "color/csvPalette.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace vellora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::array<std::uint8_t, 1024> entries;
    entries.fill(0xEE);
    std::uint32_t count = 12345;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (parseCsvPalette(text, entries.data(), count) != CsvPaletteResult::Ok) {
        if (count != 12345 || entries[0] != 0xEE) std::abort();
        return 0;
    }
    if (count < 1 || count > 256) std::abort();
    for (std::uint32_t i = 0; i < count; ++i)
        if (entries[4 * i + 3] != 0) std::abort();
    return 0;
}
