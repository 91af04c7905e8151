#include "geometry/bicubicQuad.h"

#include "core/simdLevel.h"

#include <cstring>

#include <immintrin.h>

namespace vellora {

namespace {

constexpr int kTaps = 4;     // source taps per axis
constexpr int kChannels = 3; // blue, green, red

// The first of the four taps of position t: trunc(t) − 2 when t lies in the lower half of its
// pixel, trunc(t) − 1 otherwise. t − 0.5 is exact, and its truncation is trunc(t) − 1 in the
// lower half and trunc(t) in the upper one; below 0.5 the tap comes out −1 rather than −2,
// outside the source just the same.
VELLORA_TARGET_AVX2 inline __m128i firstTaps(__m256d t) {
    const __m128i shifted = _mm256_cvttpd_epi32(_mm256_sub_pd(t, _mm256_set1_pd(0.5)));
    return _mm_sub_epi32(shifted, _mm_set1_epi32(1));
}

// Lanes whose index lies in 0 … last.
VELLORA_TARGET_AVX2 inline __m128i within(__m128i index, int last) {
    return _mm_and_si128(_mm_cmpgt_epi32(index, _mm_set1_epi32(-1)),
                         _mm_cmpgt_epi32(_mm_set1_epi32(last + 1), index));
}

// 1 − 2·d·d + d·d·d, the kernel below distance 1.
VELLORA_TARGET_AVX2 inline __m256d innerPiece(__m256d d) {
    const __m256d cube = _mm256_mul_pd(_mm256_mul_pd(d, d), d);
    const __m256d twice = _mm256_mul_pd(_mm256_mul_pd(_mm256_set1_pd(2), d), d);
    return _mm256_add_pd(_mm256_sub_pd(_mm256_set1_pd(1), twice), cube);
}

// 4 − 8·d + 5·d·d − d·d·d, the kernel from distance 1 to 2.
VELLORA_TARGET_AVX2 inline __m256d outerPiece(__m256d d) {
    const __m256d cube = _mm256_mul_pd(_mm256_mul_pd(d, d), d);
    const __m256d linear = _mm256_sub_pd(_mm256_set1_pd(4), _mm256_mul_pd(_mm256_set1_pd(8), d));
    const __m256d square = _mm256_mul_pd(_mm256_mul_pd(_mm256_set1_pd(5), d), d);
    return _mm256_sub_pd(_mm256_add_pd(linear, square), cube);
}

// The four weights of position t, as cubicWeights computes them for four taps inside the axis.
// There the taps' distances are known: t − centre is exact, the first two centres lie below t
// and the last two above it, the outer taps lie 1 … 2 away and the inner ones 0 … 1 (at exactly
// 1 or 2 both pieces and the zero beyond give 0). So each tap takes its piece without a test,
// and the sum, within rounding of 1, is never 0.
VELLORA_TARGET_AVX2 inline void cubicQuad(__m256d t, __m128i first, __m256d* weights) {
    const __m256d centre = _mm256_add_pd(_mm256_cvtepi32_pd(first), _mm256_set1_pd(0.5));
    const __m256d centre1 = _mm256_add_pd(centre, _mm256_set1_pd(1));
    const __m256d centre2 = _mm256_add_pd(centre, _mm256_set1_pd(2));
    const __m256d centre3 = _mm256_add_pd(centre, _mm256_set1_pd(3));
    weights[0] = outerPiece(_mm256_sub_pd(t, centre));
    weights[1] = innerPiece(_mm256_sub_pd(t, centre1));
    weights[2] = innerPiece(_mm256_sub_pd(centre2, t));
    weights[3] = outerPiece(_mm256_sub_pd(centre3, t));
    const __m256d sum =
        _mm256_add_pd(_mm256_add_pd(_mm256_add_pd(weights[0], weights[1]), weights[2]), weights[3]);
    for (int k = 0; k < kTaps; ++k)
        weights[k] = _mm256_div_pd(weights[k], sum);
}

// Shuffles taking word m of a vector as four lanes, one byte each, zero-extended to 32 bits.
constexpr char z = char(0x80);
alignas(16) constexpr char kWordLanes[][sizeof(__m128i)] = {
    {0, z, z, z, 1, z, z, z, 2, z, z, z, 3, z, z, z},
    {4, z, z, z, 5, z, z, z, 6, z, z, z, 7, z, z, z},
    {8, z, z, z, 9, z, z, z, 10, z, z, z, 11, z, z, z},
    {12, z, z, z, 13, z, z, z, 14, z, z, z, 15, z, z, z}};

VELLORA_TARGET_AVX2 inline __m128i lanesOfWord(__m128i words, int m) {
    return _mm_shuffle_epi8(words, _mm_load_si128(reinterpret_cast<const __m128i*>(kWordLanes[m])));
}

// Adds one tap row of the four pixels: `in[p]` is pixel p's first tap in that row.
VELLORA_TARGET_AVX2 inline void addTapRow(const std::uint8_t* const* in, __m256d rowWeight,
                                          const __m256d* columnWeights, __m256d* sums) {
    const __m128i p0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in[0]));
    const __m128i p1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in[1]));
    const __m128i p2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in[2]));
    const __m128i p3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in[3]));
    // Word k % 4 of bytes[k / 4] holds byte k of the four pixels' reads, pixel 0 lowest.
    const __m128i low01 = _mm_unpacklo_epi8(p0, p1), high01 = _mm_unpackhi_epi8(p0, p1);
    const __m128i low23 = _mm_unpacklo_epi8(p2, p3), high23 = _mm_unpackhi_epi8(p2, p3);
    const __m128i bytes[] = {_mm_unpacklo_epi16(low01, low23), _mm_unpackhi_epi16(low01, low23),
                             _mm_unpacklo_epi16(high01, high23)};
#pragma GCC unroll 4
    for (int j = 0; j < kTaps; ++j) {
        const __m256d weight = _mm256_mul_pd(rowWeight, columnWeights[j]);
#pragma GCC unroll 3
        for (int channel = 0; channel < kChannels; ++channel) {
            const int k = kChannels * j + channel;
            const __m256d value = _mm256_cvtepi32_pd(lanesOfWord(bytes[k / 4], k % 4));
            sums[channel] = _mm256_add_pd(sums[channel], _mm256_mul_pd(weight, value));
        }
    }
}

// Clamps each channel's sums to 0 … 255, truncates them and stores the four pixels.
VELLORA_TARGET_AVX2 inline void storeQuad(const __m256d* sums, std::uint8_t* out) {
    __m128i pixels = _mm_setzero_si128();
    for (int channel = 0; channel < kChannels; ++channel) {
        const __m256d clamped =
            _mm256_min_pd(_mm256_max_pd(sums[channel], _mm256_setzero_pd()), _mm256_set1_pd(255));
        pixels = _mm_or_si128(pixels, _mm_slli_epi32(_mm256_cvttpd_epi32(clamped), 8 * channel));
    }
    const char z = char(0x80);
    const __m128i packed =
        _mm_shuffle_epi8(pixels, _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, z, z, z, z));
    std::uint8_t bytes[sizeof(__m128i)];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes), packed);
    std::memcpy(out, bytes, kChannels * kQuadLanes);
}

// Four target pixels: their source positions and first taps.
struct Quad {
    __m256d tr, tc;
    __m128i firstRow, firstColumn;
};

// ((((u·scale + offset) + centre) − shift) + 0.5, lane by lane: a source position as the
// one-pixel pass evaluates it (subtracting v·sine is adding its negation, bit for bit).
VELLORA_TARGET_AVX2 inline __m256d position(__m256d u, double scale, double offset, double centre,
                                            double shift) {
    const __m256d scaled =
        _mm256_add_pd(_mm256_mul_pd(u, _mm256_set1_pd(scale)), _mm256_set1_pd(offset));
    return _mm256_add_pd(
        _mm256_sub_pd(_mm256_add_pd(scaled, _mm256_set1_pd(centre)), _mm256_set1_pd(shift)),
        _mm256_set1_pd(0.5));
}

VELLORA_TARGET_AVX2 inline Quad locate(const RotationFrame& f, double v, int x) {
    const __m256d u = _mm256_sub_pd(_mm256_add_pd(_mm256_set1_pd(x), _mm256_setr_pd(0, 1, 2, 3)),
                                    _mm256_set1_pd(f.cx));
    Quad q;
    q.tr = position(u, f.sine, v * f.cosine, f.cy, f.dy);
    q.tc = position(u, f.cosine, -(v * f.sine), f.cx, f.dx);
    q.firstRow = firstTaps(q.tr);
    q.firstColumn = firstTaps(q.tc);
    return q;
}

// Full taps on both axes, and 16 bytes from the first column tap stay inside the row.
VELLORA_TARGET_AVX2 inline bool fits(const Quad& q, const QuadSource& source) {
    const __m128i inside = _mm_and_si128(within(q.firstRow, source.height - 4),
                                         within(q.firstColumn, source.width - 6));
    return _mm_movemask_ps(_mm_castsi128_ps(inside)) == 0xF;
}

// True when the one-pixel pass leaves all four blank: the truncated position lies outside the
// source on one axis or the other.
VELLORA_TARGET_AVX2 inline bool allOutside(const Quad& q, const QuadSource& source) {
    const __m128i inside = _mm_and_si128(within(_mm256_cvttpd_epi32(q.tr), source.height - 1),
                                         within(_mm256_cvttpd_epi32(q.tc), source.width - 1));
    return _mm_movemask_ps(_mm_castsi128_ps(inside)) == 0;
}

// Where each pixel's first tap lies in the source.
VELLORA_TARGET_AVX2 inline void firstTapBytes(const QuadSource& source, const Quad& q,
                                              const std::uint8_t** in) {
    alignas(__m128i) int rows[kQuadLanes], columns[kQuadLanes];
    _mm_store_si128(reinterpret_cast<__m128i*>(rows), q.firstRow);
    _mm_store_si128(reinterpret_cast<__m128i*>(columns), q.firstColumn);
    for (int p = 0; p < kQuadLanes; ++p)
        in[p] = source.base + std::size_t(rows[p]) * source.stride +
                kChannels * std::size_t(columns[p]);
}

} // namespace

VELLORA_TARGET_AVX2 bool bicubicQuads(const QuadSource& source, const RotationFrame& f, double v,
                                      int x, const std::uint8_t* blank, std::uint8_t* out) {
    Quad quads[kQuadsPerCall];
    bool fit = true, outside = true;
    for (int n = 0; n < kQuadsPerCall; ++n) {
        quads[n] = locate(f, v, x + kQuadLanes * n);
        fit = fit && fits(quads[n], source);
        outside = outside && allOutside(quads[n], source);
    }
    if (outside) {
        for (int p = 0; p < kQuadPixels; ++p)
            std::memcpy(out + 3 * p, blank, 3);
        return true;
    }
    if (!fit) return false;
    // Each stage runs over all the groups before the next, so their chains of dependent
    // operations overlap.
    __m256d rowWeights[kQuadsPerCall][kTaps], columnWeights[kQuadsPerCall][kTaps];
    const std::uint8_t* in[kQuadsPerCall][kQuadLanes];
    __m256d sums[kQuadsPerCall][kChannels];
    for (int n = 0; n < kQuadsPerCall; ++n) {
        cubicQuad(quads[n].tr, quads[n].firstRow, rowWeights[n]);
        cubicQuad(quads[n].tc, quads[n].firstColumn, columnWeights[n]);
        firstTapBytes(source, quads[n], in[n]);
        for (auto& sum : sums[n])
            sum = _mm256_setzero_pd();
    }
#pragma GCC unroll 4
    for (int i = 0; i < kTaps; ++i)
        for (int n = 0; n < kQuadsPerCall; ++n) {
            addTapRow(in[n], rowWeights[n][i], columnWeights[n], sums[n]);
            for (auto& p : in[n])
                p += source.stride;
        }
    for (int n = 0; n < kQuadsPerCall; ++n)
        storeQuad(sums[n], out + kChannels * kQuadLanes * n);
    return true;
}

} // namespace vellora
