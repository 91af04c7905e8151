#include "color/channelTables.h"

#include "core/simdLevel.h"

namespace vellora {

namespace {

void mapPlainly(const std::uint8_t* in, std::uint8_t* out, std::size_t pixels,
                const ChannelTables& tables) {
    for (std::size_t i = 0; i < pixels; ++i, in += 3, out += 3) {
        const std::uint8_t b = in[0], g = in[1], r = in[2];
        out[0] = tables[0][b];
        out[1] = tables[1][g];
        out[2] = tables[2][r];
    }
}

} // namespace

void mapThroughChannelTables(const std::uint8_t* in, std::uint8_t* out, std::size_t pixels,
                             const ChannelTables& tables) {
    kSimdKernel<&mapPlainly>(in, out, pixels, tables);
}

} // namespace vellora
