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

// Four pixels side by side. A pixel's key for window position p is 64 x (256 x luminance) + p:
// below 2^22, so single precision holds it exactly, and key order is the documented order.
#if defined(__SSE__)
using Lanes = __m128;
inline Lanes loadLanes(const float* p) { return _mm_loadu_ps(p); }
inline void storeLanes(float* p, Lanes v) { _mm_storeu_ps(p, v); }
inline Lanes addLanes(Lanes v, float a) { return _mm_add_ps(v, _mm_set1_ps(a)); }
inline Lanes minLanes(Lanes a, Lanes b) { return _mm_min_ps(a, b); }
inline Lanes maxLanes(Lanes a, Lanes b) { return _mm_max_ps(a, b); }
#else
struct Lanes {
    float v[4];
};
inline Lanes loadLanes(const float* p) { return {{p[0], p[1], p[2], p[3]}}; }
inline void storeLanes(float* p, Lanes v) { std::memcpy(p, v.v, sizeof v.v); }
inline Lanes addLanes(Lanes v, float a) { return {{v.v[0] + a, v.v[1] + a, v.v[2] + a, v.v[3] + a}}; }
inline Lanes minLanes(Lanes a, Lanes b) {
    return {{std::min(a.v[0], b.v[0]), std::min(a.v[1], b.v[1]), std::min(a.v[2], b.v[2]),
             std::min(a.v[3], b.v[3])}};
}
inline Lanes maxLanes(Lanes a, Lanes b) {
    return {{std::max(a.v[0], b.v[0]), std::max(a.v[1], b.v[1]), std::max(a.v[2], b.v[2]),
             std::max(a.v[3], b.v[3])}};
}
#endif
constexpr int kLanes = 4;
constexpr int kPositionBits = 64;

template <Comparator C>
inline void exchange(Lanes* v) {
    const Lanes low = minLanes(v[C.low], v[C.high]);
    if constexpr (C.exchange != Exchange::MinOnly) v[C.high] = maxLanes(v[C.low], v[C.high]);
    if constexpr (C.exchange != Exchange::MaxOnly) v[C.low] = low;
}

template <int Size>
inline constexpr auto kMedianNetwork = selectionNetwork<Size * Size, Size * Size / 2>();

template <int Size, std::size_t... I>
inline void runMedianNetwork(Lanes* v, std::index_sequence<I...>) {
    (exchange<kMedianNetwork<Size>[I]>(v), ...);
}

// A source row, padded by `half` replicated pixels each side plus room for a last full group
// of lanes: its colours and its keys without the position part.
struct KeyRow {
    std::vector<std::uint8_t> colors;
    std::vector<float> keys;
};

template <int Size>
void medianRow(const KeyRow* const* rows, int width, std::uint8_t* out) {
    constexpr int count = Size * Size;
    Lanes v[count];
    alignas(16) float median[kLanes];
    for (int x0 = 0; x0 < width; x0 += kLanes) {
        for (int p = 0; p < count; ++p)
            v[p] = addLanes(loadLanes(rows[p / Size]->keys.data() + x0 + p % Size), float(p));
        runMedianNetwork<Size>(v, std::make_index_sequence<kMedianNetwork<Size>.size()>{});
        storeLanes(median, v[count / 2]);
        const int lanes = std::min(kLanes, width - x0);
        for (int l = 0; l < lanes; ++l) {
            const int p = int(median[l]) % kPositionBits;
            const std::uint8_t* bgr = rows[p / Size]->colors.data() + 3 * (x0 + l + p % Size);
            std::memcpy(out + 3 * (x0 + l), bgr, 3);
        }
    }
}

template <int Size>
void deNoiseAs(Session& session, DibImage& target, const DibImage& source) {
    constexpr int half = Size / 2;
    const int paddedWidth = source.width + 2 * half;
    const KeyRow blank{std::vector<std::uint8_t>(3 * std::size_t(paddedWidth)),
                       std::vector<float>(std::size_t(paddedWidth + kLanes), 0.0f)};
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
            medianRow<Size>(rows, target.width, target.row(y));
        });
}

} // namespace

int deNoiseWindowSize(int index) { return index >= 0 && index <= 2 ? 2 * index + 3 : 0; }

int deNoisePass(Session& session, DibImage& target, const DibImage& source, int size) {
    switch (size) {
    case 3: deNoiseAs<3>(session, target, source); break;
    case 5: deNoiseAs<5>(session, target, source); break;
    case 7: deNoiseAs<7>(session, target, source); break;
    default: break;
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
