// The eight-lane vectors exist only inside the AVX2 copy of the row kernel, which inlines every
// routine it calls, so no vector is ever passed across a call: the ABI note does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

#include "filter/deNoise.h"

#include "core/errors.h"
#include "core/operationFrame.h"
#include "core/simdLevel.h"
#include "filter/convolve.h"
#include "filter/filterRows.h"
#include "filter/selectionNetwork.h"
#include "filter/windowLuminance.h"

#include <cstring>
#include <utility>
#include <vector>

#include <immintrin.h>

namespace vellora {

namespace {

// Pixels side by side, four or (with AVX2) eight. A pixel's key for window position p is
// 64 x (256 x luminance) + p: below 2^22, so single precision holds it exactly, and key order
// is the documented order. Minimum and maximum are exact, so the width never changes a result.
// Vectors go in and out by reference, so no routine outside the AVX2 copy passes one by value.
struct NarrowLanes {
    using V = __m128;
    static constexpr int width = 4;
    static void load(V& out, const float* p) { out = _mm_loadu_ps(p); }
    static void store(float* p, const V& v) { _mm_storeu_ps(p, v); }
    static void add(V& v, float a) { v = _mm_add_ps(v, _mm_set1_ps(a)); }
    static void min(V& out, const V& a, const V& b) { out = _mm_min_ps(a, b); }
    static void max(V& out, const V& a, const V& b) { out = _mm_max_ps(a, b); }
};
struct WideLanes {
    using V = __m256;
    static constexpr int width = 8;
    VELLORA_TARGET_AVX2 static void load(V& out, const float* p) { out = _mm256_loadu_ps(p); }
    VELLORA_TARGET_AVX2 static void store(float* p, const V& v) { _mm256_storeu_ps(p, v); }
    VELLORA_TARGET_AVX2 static void add(V& v, float a) { v = _mm256_add_ps(v, _mm256_set1_ps(a)); }
    VELLORA_TARGET_AVX2 static void min(V& out, const V& a, const V& b) {
        out = _mm256_min_ps(a, b);
    }
    VELLORA_TARGET_AVX2 static void max(V& out, const V& a, const V& b) {
        out = _mm256_max_ps(a, b);
    }
};
constexpr int kMaxLanes = 8;
constexpr int kPositionBits = 64;

template <int Size>
inline constexpr auto kMedianNetwork = selectionNetwork<Size * Size, Size * Size / 2>();

// A source row, padded by `half` replicated pixels each side plus room for a last full group
// of lanes: its colours and its keys without the position part.
struct KeyRow {
    std::vector<std::uint8_t> colors;
    std::vector<float> keys;
};

template <class Lanes, Comparator C> void exchange(typename Lanes::V* v) {
    typename Lanes::V low;
    Lanes::min(low, v[C.low], v[C.high]);
    if constexpr (C.exchange != Exchange::MinOnly) Lanes::max(v[C.high], v[C.low], v[C.high]);
    if constexpr (C.exchange != Exchange::MaxOnly) v[C.low] = low;
}

template <class Lanes, int Size, std::size_t... I>
void runMedianNetwork(typename Lanes::V* v, std::index_sequence<I...>) {
    (exchange<Lanes, kMedianNetwork<Size>[I]>(v), ...);
}

// Row y's medians from its Size window rows: keys of a group of pixels at once through the
// network, then each pixel's colour from the position its median key names.
template <class Lanes, int Size>
void medianRow(const KeyRow* const* rows, int width, std::uint8_t* out) {
    constexpr int count = Size * Size;
    // Where each window position's keys and colours start, in locals: the byte stores below
    // could otherwise alias the rows and force these to be loaded again for every pixel.
    const float* keys[count];
    const std::uint8_t* colors[count];
    for (int p = 0; p < count; ++p) {
        keys[p] = rows[p / Size]->keys.data() + p % Size;
        colors[p] = rows[p / Size]->colors.data() + 3 * (p % Size);
    }
    typename Lanes::V v[count];
    alignas(32) float median[kMaxLanes];
    for (int x0 = 0; x0 < width; x0 += Lanes::width) {
        for (int p = 0; p < count; ++p) {
            Lanes::load(v[p], keys[p] + x0);
            Lanes::add(v[p], float(p));
        }
        runMedianNetwork<Lanes, Size>(v, std::make_index_sequence<kMedianNetwork<Size>.size()>{});
        Lanes::store(median, v[count / 2]);
        const int lanes = std::min(Lanes::width, width - x0);
        for (int l = 0; l < lanes; ++l) {
            // Keys are whole non-negative numbers: the position is their low bits.
            const unsigned p = unsigned(median[l]) & (kPositionBits - 1);
            std::memcpy(out + 3 * (x0 + l), colors[p] + 3 * (x0 + l), 3);
        }
    }
}

// Built for the processor's lanes by the dispatch point; AVX-512 runs the eight-lane copy.
template <int Size>
inline constexpr auto& kMedianRow =
    kSimdKernelUpToAvx2<&medianRow<NarrowLanes, Size>, &medianRow<WideLanes, Size>>;

template <int Size> void deNoiseAs(Session& session, DibImage& target, const DibImage& source) {
    constexpr int half = Size / 2;
    const int paddedWidth = source.width + 2 * half;
    const KeyRow blank{std::vector<std::uint8_t>(3 * std::size_t(paddedWidth)),
                       std::vector<float>(std::size_t(paddedWidth + kMaxLanes), 0.0f)};
    const auto prepare = [&](int r, KeyRow& row) {
        readPaddedColors(source, r, half, row.colors.data());
        for (int x = 0; x < paddedWidth; ++x)
            row.keys[std::size_t(x)] =
                float(luminanceNumerator(row.colors.data() + 3 * x) * kPositionBits);
    };
    forEachTargetRow<WindowRowCache<KeyRow>>(
        session, target.height, [&] { return WindowRowCache<KeyRow>(Size, blank); },
        [&](int y, WindowRowCache<KeyRow>& cache) {
            const KeyRow* rows[Size];
            for (int j = 0; j < Size; ++j)
                rows[j] = &cache.row(windowRow(y, half, j, source.height), prepare);
            kMedianRow<Size>(rows, target.width, target.row(y));
        });
}

} // namespace

int deNoiseWindowSize(int index) {
    return index >= 0 && index <= 2 ? 2 * index + 3 : 0;
}

int deNoisePass(Session& session, DibImage& target, const DibImage& source, int size) {
    switch (size) {
    case 3:
        deNoiseAs<3>(session, target, source);
        break;
    case 5:
        deNoiseAs<5>(session, target, source);
        break;
    case 7:
        deNoiseAs<7>(session, target, source);
        break;
    default:
        break;
    }
    return 0;
}

int deNoiseImage(Session& session, int index) {
    DibImage& source = session.sourceImage;
    DibImage& target = session.targetImage;
    const int size = deNoiseWindowSize(index);
    int result = 1;
    if (size != 0 && createDib(session.frontend, target, source.width, source.height, 24, 0) == 0) {
        deNoisePass(session, target, source, size);
        result = writeBitmapFile(session.frontend, session.nextPath, target) == 0 ? 0 : kFailed;
    }
    target.release();
    source.release();
    return result;
}

int deNoiseHandler(Session& session) {
    const int index = int(session.workingBlock.deNoiseIndex);
    return runOperationFrame(session, Operation::DeNoise, [index](Session& s) {
        return readSourceImage(s) != 0 ? kFailed : deNoiseImage(s, index);
    });
}

} // namespace vellora
