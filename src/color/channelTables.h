#pragma once
// Mapping every byte of a run of colour pixels (blue, green, red) through its channel's table of
// 256 values: the inner loop of posterization and histogram modification.
#include <array>
#include <cstddef>
#include <cstdint>

namespace vellora {

using ChannelTable = std::array<std::uint8_t, 256>;
// Per channel in colour byte order: blue, green, red.
using ChannelTables = std::array<ChannelTable, 3>;

// out[3i + c] = tables[c][in[3i + c]] for every pixel i; in and out may be the same run.
void mapThroughChannelTables(const std::uint8_t* in, std::uint8_t* out, std::size_t pixels,
                             const ChannelTables& tables);

} // namespace vellora
