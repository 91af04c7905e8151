#include "core/simdLevel.h"

#include <gtest/gtest.h>

namespace vellora {
namespace {

TEST(SimdLevel, NamesParseBackAndAnythingElseIsRefused) {
    for (const SimdLevel level : {SimdLevel::Baseline, SimdLevel::Avx2, SimdLevel::Avx512}) {
        SimdLevel parsed = SimdLevel((int(level) + 1) % kSimdLevels);
        ASSERT_TRUE(parseSimdLevel(simdLevelName(level), parsed));
        EXPECT_EQ(parsed, level);
    }
    for (const char* text : {"", "AVX2", "avx", "sse2", "baseline ", "avx5120"}) {
        SimdLevel level = SimdLevel::Avx2;
        EXPECT_FALSE(parseSimdLevel(text, level)) << text;
        EXPECT_EQ(level, SimdLevel::Avx2) << text;
    }
}

TEST(SimdLevel, ALevelAboveTheProcessorsFallsBackToItsBest) {
    const SimdLevel before = simdLevel();
    for (const SimdLevel wanted : {SimdLevel::Baseline, SimdLevel::Avx2, SimdLevel::Avx512}) {
        const SimdLevel expected =
            int(wanted) <= int(processorSimdLevel()) ? wanted : processorSimdLevel();
        EXPECT_EQ(setSimdLevel(wanted), expected);
        EXPECT_EQ(simdLevel(), expected);
    }
    setSimdLevel(before);
}

} // namespace
} // namespace vellora
