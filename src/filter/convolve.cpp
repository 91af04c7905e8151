#include "filter/convolve.h"

#include "core/errors.h"
#include "core/simdLevel.h"
#include "filter/filterRows.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace vellora {

namespace {

template <class T> struct Tap {
    int row;    // window row j
    int offset; // 3 * i: the tap's place in a padded colour row
    T coefficient;
};

// Single precision is exact when every coefficient is an integer and no partial sum can reach
// 2^24: all sums are then the same integers the double sums give, whatever the order.
bool sumsExactInFloat(const FilterMask& mask) {
    double magnitude = 0;
    for (int q = 0; q < mask.size * mask.size; ++q) {
        const double c = mask.coefficients[std::size_t(q)];
        if (c != std::trunc(c)) return false;
        magnitude += std::fabs(c);
    }
    return magnitude * 255 < 16777216.0;
}

// The taps in row-by-row order; zero coefficients add nothing and are left out.
template <class T> std::vector<Tap<T>> makeTaps(const FilterMask& mask) {
    std::vector<Tap<T>> taps;
    for (int j = 0; j < mask.size; ++j)
        for (int i = 0; i < mask.size; ++i) {
            const double c = mask.coefficients[std::size_t(j * mask.size + i)];
            if (c != 0) taps.push_back({j, 3 * i, T(c)});
        }
    return taps;
}

// Accumulators for one group of channel values stay in registers across all taps: a few
// vectors side by side, so that their chains of additions overlap. Each value still adds its
// taps' products in tap order. Vectors stay local: none crosses a call.
// Masks of more than nine taps run four vectors side by side, masks of up to nine eight: with
// few taps, walking them is a larger share of the work, so it is spread over more values.
constexpr int kVectorBytes = 32;
constexpr int kFewTaps = 9;
constexpr int kFewTapVectors = 8;

template <class T> struct VectorOf;
template <> struct VectorOf<float> {
    using type = float __attribute__((vector_size(kVectorBytes)));
};
template <> struct VectorOf<double> {
    using type = double __attribute__((vector_size(kVectorBytes)));
};

template <class T, int Vectors>
[[gnu::always_inline]] inline void accumulateGroup(T* out, const T* const* rows,
                                                   const std::vector<Tap<T>>& taps, int t0) {
    using V = typename VectorOf<T>::type;
    constexpr int lanes = kVectorBytes / int(sizeof(T));
    V acc[Vectors];
#pragma GCC unroll 8
    for (int v = 0; v < Vectors; ++v)
        acc[v] = V{};
    for (const Tap<T>& tap : taps) {
        const T* src = rows[tap.row] + tap.offset + t0;
        const V c = V{} + tap.coefficient;
#pragma GCC unroll 8
        for (int v = 0; v < Vectors; ++v) {
            V x;
            std::memcpy(&x, src + v * lanes, sizeof x);
            acc[v] += x * c;
        }
    }
    std::memcpy(out, acc, sizeof acc);
}

// The same as plain arrays the compiler vectorises, for the last values of a row, one at a time.
template <class T, int Length>
[[gnu::always_inline]] inline void accumulateArray(T* out, const T* const* rows,
                                                   const std::vector<Tap<T>>& taps, int t0) {
    T acc[Length] = {};
    for (const Tap<T>& tap : taps) {
        const T* src = rows[tap.row] + tap.offset + t0;
        const T c = tap.coefficient;
        for (int t = 0; t < Length; ++t)
            acc[t] += src[t] * c;
    }
    for (int t = 0; t < Length; ++t)
        out[t] = acc[t];
}

// Dividing by a power of two is multiplying by its exact reciprocal: the same double results.
bool isPowerOfTwo(double k) {
    int exponent = 0;
    return k != 0 && std::fabs(std::frexp(k, &exponent)) == 0.5;
}

template <class T>
[[gnu::always_inline]] inline void finishRow(const T* sums, int count, double k,
                                             std::uint8_t* out) {
    if constexpr (std::is_same_v<T, float>) {
        // Whole-number sums in single precision times a power of two are exact in single
        // precision too, so the scaling, clamping and truncation can stay eight lanes wide
        // and give the same bytes as the double path.
        const double exactScale = k == 0 ? 1.0 : 1 / k;
        const float scale = float(exactScale);
        if ((k == 0 || isPowerOfTwo(k)) && double(scale) == exactScale && scale >= 0x1p-100f) {
            for (int t = 0; t < count; ++t) {
                float v = sums[t] * scale;
                v = v < 0 ? 0 : v;
                v = v > 255 ? 255 : v;
                out[t] = std::uint8_t(int(v));
            }
            return;
        }
    }
    if (k == 0 || isPowerOfTwo(k)) {
        // No division (k = 0) is a multiplication by exactly 1.
        const double scale = k == 0 ? 1.0 : 1 / k;
        for (int t = 0; t < count; ++t)
            out[t] = finishChannel(double(sums[t]) * scale);
    } else {
        for (int t = 0; t < count; ++t)
            out[t] = finishChannel(double(sums[t]) / k);
    }
}

template <class T>
[[gnu::always_inline]] inline void convolveRowOf(const T* const* rows,
                                                 const std::vector<Tap<T>>& taps, int count,
                                                 double k, T* sums, std::uint8_t* out) {
    int t0 = 0;
    if (taps.size() <= std::size_t(kFewTaps)) {
        constexpr int group = kFewTapVectors * kVectorBytes / int(sizeof(T));
        for (; t0 + group <= count; t0 += group)
            accumulateGroup<T, kFewTapVectors>(sums + t0, rows, taps, t0);
    } else {
        constexpr int group = 4 * kVectorBytes / int(sizeof(T));
        for (; t0 + group <= count; t0 += group)
            accumulateGroup<T, 4>(sums + t0, rows, taps, t0);
    }
    for (; t0 < count; ++t0)
        accumulateArray<T, 1>(sums + t0, rows, taps, t0);
    finishRow(sums, count, k, out);
}

template <class T> struct ConvolveScratch {
    WindowRowCache<std::vector<T>> cache;
    std::vector<std::uint8_t> colors;
    std::vector<const T*> rows;
    std::vector<T> sums;
};

template <class T>
void convolveAs(Session& session, DibImage& target, const DibImage& source,
                const FilterMask& mask) {
    const int half = mask.half;
    const std::size_t padded = 3 * (std::size_t(source.width) + 2 * std::size_t(half));
    const std::vector<Tap<T>> taps = makeTaps<T>(mask);
    const auto prepare = [&](ConvolveScratch<T>& s) {
        return [&](int r, std::vector<T>& values) {
            readPaddedColors(source, r, half, s.colors.data());
            for (std::size_t t = 0; t < padded; ++t)
                values[t] = T(s.colors[t]);
        };
    };
    forEachTargetRow<ConvolveScratch<T>>(
        session, target.height,
        [&] {
            return ConvolveScratch<T>{
                WindowRowCache<std::vector<T>>(mask.size, std::vector<T>(padded)),
                std::vector<std::uint8_t>(padded), std::vector<const T*>(std::size_t(mask.size)),
                std::vector<T>(3 * std::size_t(target.width))};
        },
        [&](int y, ConvolveScratch<T>& s) {
            for (int j = 0; j < mask.size; ++j)
                s.rows[std::size_t(j)] =
                    s.cache.row(windowRow(y, half, j, source.height), prepare(s)).data();
            kSimdKernelUpToAvx2<&convolveRowOf<T>>(s.rows.data(), taps, 3 * target.width, mask.k,
                                                   s.sums.data(), target.row(y));
        });
}

} // namespace

int convolve(Session& session, DibImage& target, const DibImage& source, const FilterMask& mask) {
    if (sumsExactInFloat(mask))
        convolveAs<float>(session, target, source, mask);
    else
        convolveAs<double>(session, target, source, mask);
    return 0;
}

int filterSourceWithMask(Session& session, int family, int index) {
    FilterMask mask;
    mask.coefficients.assign(family == kSmoothingFamily ? 49 : 25, 0.0);
    if (!makeMask(mask, family, index)) {
        session.sourceImage.release();
        return kFailed;
    }
    return convolveSourceToNext(session, mask);
}

int readSourceImage(Session& session) {
    if (readBitmapFile(session.frontend, session.currentPath, session.sourceImage) != 0)
        return kFailed;
    return 0;
}

int convolveSourceToNext(Session& session, const FilterMask& mask) {
    DibImage& source = session.sourceImage;
    DibImage& target = session.targetImage;
    int result = createDib(session.frontend, target, source.width, source.height, 24, 0);
    if (result == 0) {
        convolve(session, target, source, mask);
        result = writeBitmapFile(session.frontend, session.nextPath, target);
    }
    target.release();
    source.release();
    return result == 0 ? 0 : kFailed;
}

} // namespace vellora
