#pragma once
// Marks a hot row function to be built several times, for the baseline instruction set, for
// AVX2 and (the widest form) for AVX-512, the copy chosen once at load time by the processor.
// Only vector width changes: each value is computed by the same IEEE operations in the same
// order (no contraction, no reassociation), so every copy gives bit-identical results. The
// widest form is for the loops measured faster in 512-bit vectors; short row loops, such as a
// 3 x 3 convolution's, lose more in their remainders than they gain.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(VELLORA_NO_WIDE_VECTORS)
#define VELLORA_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#define VELLORA_WIDEST_VECTORS \
    __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define VELLORA_WIDE_VECTORS
#define VELLORA_WIDEST_VECTORS
#endif
