#pragma once
// Marks a hot row function to be built twice, for the baseline instruction set and for AVX2,
// the copy chosen once at load time by the processor. Only vector width changes: each value is
// computed by the same IEEE operations in the same order (no contraction, no reassociation), so
// both copies give bit-identical results.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(VELLORA_NO_WIDE_VECTORS)
#define VELLORA_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define VELLORA_WIDE_VECTORS
#endif
