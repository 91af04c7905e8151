#include "color/channelTables.h"

#include "core/simdLevel.h"

#include <immintrin.h>

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

// 64 pixels are three vectors of 64 bytes; since 64 = 3 × 21 + 1, vector k starts on channel k.
constexpr std::size_t kBlockPixels = 64;

// One channel's table as four vectors of 64 entries.
struct WideTable {
    __m512i quarter[4];
};

VELLORA_TARGET_AVX512 inline WideTable loadTable(const ChannelTable& table) {
    WideTable wide;
    for (int q = 0; q < 4; ++q)
        wide.quarter[q] = _mm512_loadu_si512(table.data() + 64 * q);
    return wide;
}

// Every byte looked up in one table: the low seven bits pick among 128 entries of the lower or
// the upper half, the top bit picks the half.
VELLORA_TARGET_AVX512 inline __m512i lookUp(const WideTable& t, __m512i bytes, __mmask64 upper) {
    const __m512i low = _mm512_permutex2var_epi8(t.quarter[0], bytes, t.quarter[1]);
    const __m512i high = _mm512_permutex2var_epi8(t.quarter[2], bytes, t.quarter[3]);
    return _mm512_mask_blend_epi8(upper, low, high);
}

// The lanes of a vector that start on channel `phase` hold channels phase, phase + 1, … in turn:
// greenLanes and redLanes mark the lanes of channels 1 and 2.
struct PhaseLanes {
    __mmask64 green;
    __mmask64 red;
};

constexpr PhaseLanes phaseLanes(int phase) {
    PhaseLanes lanes{0, 0};
    for (int lane = 0; lane < 64; ++lane) {
        const int channel = (lane + phase) % 3;
        if (channel == 1) lanes.green |= __mmask64{1} << lane;
        if (channel == 2) lanes.red |= __mmask64{1} << lane;
    }
    return lanes;
}

constexpr PhaseLanes kPhases[3] = {phaseLanes(0), phaseLanes(1), phaseLanes(2)};

VELLORA_TARGET_AVX512 inline __m512i mapVector(const WideTable (&t)[3], __m512i bytes,
                                               const PhaseLanes& lanes) {
    const __mmask64 upper = _mm512_movepi8_mask(bytes);
    __m512i mapped = lookUp(t[0], bytes, upper);
    mapped = _mm512_mask_blend_epi8(lanes.green, mapped, lookUp(t[1], bytes, upper));
    return _mm512_mask_blend_epi8(lanes.red, mapped, lookUp(t[2], bytes, upper));
}

VELLORA_TARGET_AVX512 std::size_t mapBlocks(const std::uint8_t* in, std::uint8_t* out,
                                            std::size_t pixels, const ChannelTables& tables) {
    const WideTable t[3] = {loadTable(tables[0]), loadTable(tables[1]), loadTable(tables[2])};
    const std::size_t blocks = pixels / kBlockPixels;
    for (std::size_t b = 0; b < blocks; ++b, in += 3 * kBlockPixels, out += 3 * kBlockPixels)
        for (int k = 0; k < 3; ++k) {
            const __m512i bytes = _mm512_loadu_si512(in + 64 * k);
            _mm512_storeu_si512(out + 64 * k, mapVector(t, bytes, kPhases[k]));
        }
    return blocks * kBlockPixels;
}

// Whole blocks by byte permutes, the rest one byte at a time.
VELLORA_TARGET_AVX512 void mapByPermutes(const std::uint8_t* in, std::uint8_t* out,
                                         std::size_t pixels, const ChannelTables& tables) {
    const std::size_t done = mapBlocks(in, out, pixels, tables);
    mapPlainly(in + 3 * done, out + 3 * done, pixels - done, tables);
}

} // namespace

void mapThroughChannelTables(const std::uint8_t* in, std::uint8_t* out, std::size_t pixels,
                             const ChannelTables& tables) {
    kSimdKernel<&mapPlainly, &mapPlainly, &mapByPermutes>(in, out, pixels, tables);
}

} // namespace vellora
