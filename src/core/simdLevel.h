#pragma once
// The one place that decides which vector instructions the wide routines use. The processor is
// probed once; VELLORA_SIMD=baseline|avx2|avx512 may ask for a narrower level (a level the
// processor lacks falls back to the best it has). Every kernel is registered per level in a
// SimdKernel; calling it runs the copy of the current level.
//
// Only vector width changes between copies: each value is computed by the same IEEE operations
// in the same order (the build keeps -ffp-contract=off for every copy, so no multiply and add
// ever fuse, and nothing is reassociated), so every level gives the same bytes.
#include <cstdio>
#include <string_view>
#include <utility>

namespace vellora {

enum class SimdLevel { Baseline, Avx2, Avx512 };
inline constexpr int kSimdLevels = 3;

// The instructions a level's copies are built for. avx512 is the AVX-512 of processors with
// byte permutes (F, CD, BW, DQ, VL, VBMI). No level enables FMA.
#define VELLORA_TARGET_AVX2 __attribute__((target("avx2")))
#define VELLORA_TARGET_AVX512                                                                      \
    __attribute__((target("avx2,avx512f,avx512cd,avx512bw,avx512dq,avx512vl,avx512vbmi")))

// "baseline", "avx2" or "avx512".
const char* simdLevelName(SimdLevel level);
// False (level untouched) for any other text.
bool parseSimdLevel(std::string_view text, SimdLevel& level);

// The widest level this processor runs.
SimdLevel processorSimdLevel();
// The level kernels run at: VELLORA_SIMD's when given and valid, never above the processor's.
SimdLevel simdLevel();
// Makes kernels run at `level` from now on, or at the processor's best when it lacks it;
// returns the level in force.
SimdLevel setSimdLevel(SimdLevel level);

// True when VELLORA_SIMD is unset or names a level. Otherwise false, with a message on `errors`
// ("VELLORA_SIMD must be baseline, avx2 or avx512, got …"): the programs then end with exit 2.
bool simdEnvironmentAccepted(std::FILE* errors);

template <class Fn> struct SimdKernel;

// A kernel's copies, one per level; calling it runs the copy of simdLevel().
template <class R, class... A> struct SimdKernel<R (*)(A...)> {
    R (*copies[kSimdLevels])(A...);
    R operator()(A... args) const { return copies[int(simdLevel())](std::forward<A>(args)...); }
};

namespace simd_detail {

// Each copy inlines the whole body (flatten), so the body and every routine it calls are built
// for the copy's instructions; routines written with one level's intrinsics carry that level's
// target themselves.
template <class Fn> struct Copies;
template <class R, class... A> struct Copies<R (*)(A...)> {
    template <auto Body> [[gnu::flatten]] static R baseline(A... args) {
        return Body(std::forward<A>(args)...);
    }
    template <auto Body> [[gnu::flatten]] VELLORA_TARGET_AVX2 static R avx2(A... args) {
        return Body(std::forward<A>(args)...);
    }
    template <auto Body> [[gnu::flatten]] VELLORA_TARGET_AVX512 static R avx512(A... args) {
        return Body(std::forward<A>(args)...);
    }
};

} // namespace simd_detail

// A kernel built from one body per level: Baseline for the baseline level, Avx2 for avx2 and
// Avx512 for avx512, each compiled for its level's instructions.
template <auto Baseline, auto Avx2 = Baseline, auto Avx512 = Avx2>
inline constexpr SimdKernel<decltype(Baseline)> kSimdKernel = {
    {simd_detail::Copies<decltype(Baseline)>::template baseline<Baseline>,
     simd_detail::Copies<decltype(Baseline)>::template avx2<Avx2>,
     simd_detail::Copies<decltype(Baseline)>::template avx512<Avx512>}};

// A kernel whose loops gain nothing from 512-bit vectors (their remainders cost more than the
// width saves): the avx512 level runs the AVX2 copy.
template <auto Baseline, auto Avx2 = Baseline>
inline constexpr SimdKernel<decltype(Baseline)> kSimdKernelUpToAvx2 = {
    {simd_detail::Copies<decltype(Baseline)>::template baseline<Baseline>,
     simd_detail::Copies<decltype(Baseline)>::template avx2<Avx2>,
     simd_detail::Copies<decltype(Baseline)>::template avx2<Avx2>}};

} // namespace vellora
