#pragma once
// The symbols that tell the colours apart on a printed chart, in colour or in black and white.
#include <array>
#include <cstdint>
#include <string>

namespace vellora {

// The symbol of the n-th used colour (0-based): one character for the first ones, then two,
// from characters that do not look alike (no 0/O, 1/I/l).
std::string chartSymbol(int n);

// True when a dark symbol stands out on a cell of this colour (red, green, blue): the cell's gray
// level is in the light half, as it prints in black and white.
bool darkSymbolOn(const std::array<std::uint8_t, 3>& rgb);

} // namespace vellora
