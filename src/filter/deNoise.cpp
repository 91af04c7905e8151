#include "filter/deNoise.h"

#include "core/operationFrame.h"
#include "filter/convolve.h"
#include "filter/filterRows.h"
#include "filter/selectionNetwork.h"
#include "filter/windowLuminance.h"

#include <cstring>
#include <utility>
#include <vector>

#if defined(__SSE__)
#include <immintrin.h>
#endif

namespace vellora {

namespace {

// Pixels side by side, four or (with AVX2) eight. A pixel's key for window position p is
// 64 x (256 x luminance) + p: below 2^22, so single precision holds it exactly, and key order
// is the documented order. Minimum and maximum are exact, so the width never changes a result.
#define VELLORA_LANES_INLINE [[gnu::always_inline]] static inline
#if defined(__SSE__)
struct NarrowLanes {
    using V = __m128;
    static constexpr int width = 4;
    VELLORA_LANES_INLINE V load(const float* p) { return _mm_loadu_ps(p); }
    VELLORA_LANES_INLINE void store(float* p, V v) { _mm_storeu_ps(p, v); }
    VELLORA_LANES_INLINE V add(V v, float a) { return _mm_add_ps(v, _mm_set1_ps(a)); }
    VELLORA_LANES_INLINE V min(V a, V b) { return _mm_min_ps(a, b); }
    VELLORA_LANES_INLINE V max(V a, V b) { return _mm_max_ps(a, b); }
};
#else
struct NarrowLanes {
    using V = float;
    static constexpr int width = 1;
    VELLORA_LANES_INLINE V load(const float* p) { return *p; }
    VELLORA_LANES_INLINE void store(float* p, V v) { *p = v; }
    VELLORA_LANES_INLINE V add(V v, float a) { return v + a; }
    VELLORA_LANES_INLINE V min(V a, V b) { return b < a ? b : a; }
    VELLORA_LANES_INLINE V max(V a, V b) { return a < b ? b : a; }
};
#endif
#if defined(__x86_64__) && defined(__GNUC__) && !defined(VELLORA_NO_WIDE_VECTORS)
#define VELLORA_WIDE_MEDIAN 1
#define VELLORA_AVX2 __attribute__((target("avx2"), always_inline)) static inline
struct WideLanes {
    using V = __m256;
    static constexpr int width = 8;
    VELLORA_AVX2 V load(const float* p) { return _mm256_loadu_ps(p); }
    VELLORA_AVX2 void store(float* p, V v) { _mm256_storeu_ps(p, v); }
    VELLORA_AVX2 V add(V v, float a) { return _mm256_add_ps(v, _mm256_set1_ps(a)); }
    VELLORA_AVX2 V min(V a, V b) { return _mm256_min_ps(a, b); }
    VELLORA_AVX2 V max(V a, V b) { return _mm256_max_ps(a, b); }
};
#endif
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

// The kernel is written once and built twice: for the baseline lanes and for AVX2.
namespace narrow {
using Lanes = NarrowLanes;
#define VELLORA_KERNEL_INLINE [[gnu::always_inline]] inline
#define VELLORA_KERNEL_ENTRY
#include "filter/medianKernel.inc"
#undef VELLORA_KERNEL_INLINE
#undef VELLORA_KERNEL_ENTRY
} // namespace narrow

#if VELLORA_WIDE_MEDIAN
namespace wide {
using Lanes = WideLanes;
#define VELLORA_KERNEL_INLINE __attribute__((target("avx2"), always_inline)) inline
#define VELLORA_KERNEL_ENTRY __attribute__((target("avx2")))
#include "filter/medianKernel.inc"
#undef VELLORA_KERNEL_INLINE
#undef VELLORA_KERNEL_ENTRY
} // namespace wide
#endif

template <int Size> using MedianRow = void (*)(const KeyRow* const*, int, std::uint8_t*);

// The row kernel for this processor, chosen once.
template <int Size> MedianRow<Size> medianRowKernel() {
#if VELLORA_WIDE_MEDIAN
    if (__builtin_cpu_supports("avx2")) return wide::medianRow<Size>;
#endif
    return narrow::medianRow<Size>;
}

template <int Size> void deNoiseAs(Session& session, DibImage& target, const DibImage& source) {
    constexpr int half = Size / 2;
    const int paddedWidth = source.width + 2 * half;
    const KeyRow blank{std::vector<std::uint8_t>(3 * std::size_t(paddedWidth)),
                       std::vector<float>(std::size_t(paddedWidth + kMaxLanes), 0.0f)};
    const MedianRow<Size> kernel = medianRowKernel<Size>();
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
            kernel(rows, target.width, target.row(y));
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
        result = writeBitmapFile(session.frontend, session.nextPath, target) == 0 ? 0 : 1;
    }
    target.release();
    source.release();
    return result;
}

int deNoiseHandler(Session& session) {
    const int index = int(session.workingBlock.deNoiseIndex);
    return runOperationFrame(session, Operation::DeNoise, [index](Session& s) {
        return readSourceImage(s) != 0 ? 1 : deNoiseImage(s, index);
    });
}

} // namespace vellora
