#include "color/channelTables.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace vellora {
namespace {

// Bytes of a fixed noise stream, the same on every run.
std::vector<std::uint8_t> noiseBytes(std::size_t count, std::uint32_t stream) {
    std::mt19937 generator(stream);
    std::vector<std::uint8_t> bytes(count);
    for (std::uint8_t& b : bytes)
        b = std::uint8_t(generator());
    return bytes;
}

// Runs around the 64-pixel blocks of the wide path: empty, shorter than one block, exact
// blocks and blocks with every length of remainder.
constexpr std::size_t kLengths[] = {0, 1, 2, 63, 64, 65, 127, 128, 129, 130, 192, 1000};

// Each channel's own table, all three different: blue adds 1, green 86, red 171, modulo 256.
TEST(ChannelTables, EveryByteThroughItsChannelsTable) {
    ChannelTables tables;
    for (std::size_t c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            tables[c][std::size_t(v)] = std::uint8_t(v + 1 + 85 * int(c));
    for (const std::size_t pixels : kLengths) {
        const std::vector<std::uint8_t> in = noiseBytes(3 * pixels, std::uint32_t(pixels));
        std::vector<std::uint8_t> out(3 * pixels + 1, 0xEE);
        mapThroughChannelTables(in.data(), out.data(), pixels, tables);
        for (std::size_t i = 0; i < 3 * pixels; ++i)
            ASSERT_EQ(out[i], std::uint8_t(in[i] + 1 + 85 * (i % 3))) << pixels << " at " << i;
        EXPECT_EQ(out[3 * pixels], 0xEE) << "written past the run of " << pixels;
    }
}

} // namespace
} // namespace vellora
