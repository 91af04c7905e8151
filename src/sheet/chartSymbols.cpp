#include "sheet/chartSymbols.h"

#include <string_view>

namespace vellora {

namespace {
constexpr std::string_view kGlyphs = "ABCDEFGHJKLMNPRSTUVWXYZ23456789abdefghknqrtyz+=#%&?@";
} // namespace

std::string chartSymbol(int n) {
    const int base = int(kGlyphs.size());
    if (n < base) return std::string(1, kGlyphs[std::size_t(n)]);
    n -= base;
    std::string symbol(1, kGlyphs[std::size_t(n / base % base)]);
    symbol.push_back(kGlyphs[std::size_t(n % base)]);
    if (n >= base * base) symbol.insert(0, chartSymbol(n / (base * base) - 1));
    return symbol;
}

bool darkSymbolOn(const std::array<std::uint8_t, 3>& rgb) {
    const int gray = (77 * rgb[0] + 151 * rgb[1] + 28 * rgb[2]) / 256;
    return gray >= 128;
}

} // namespace vellora
