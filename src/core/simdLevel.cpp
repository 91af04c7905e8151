#include "core/simdLevel.h"

#include <atomic>
#include <cstdlib>

namespace vellora {

namespace {

constexpr const char* kLevelNames[kSimdLevels] = {"baseline", "avx2", "avx512"};

// The features each level's target enables (see simdLevel.h), probed once.
SimdLevel probeProcessor() {
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx2")) return SimdLevel::Baseline;
    const bool avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512cd") &&
                        __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512dq") &&
                        __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi");
    return avx512 ? SimdLevel::Avx512 : SimdLevel::Avx2;
}

SimdLevel atMost(SimdLevel wanted) {
    return int(wanted) < int(processorSimdLevel()) ? wanted : processorSimdLevel();
}

SimdLevel levelFromEnvironment() {
    SimdLevel level = processorSimdLevel();
    if (const char* text = std::getenv("VELLORA_SIMD")) parseSimdLevel(text, level);
    return atMost(level);
}

std::atomic<int>& currentLevel() {
    static std::atomic<int> level{int(levelFromEnvironment())};
    return level;
}

} // namespace

const char* simdLevelName(SimdLevel level) {
    return kLevelNames[int(level)];
}

bool parseSimdLevel(std::string_view text, SimdLevel& level) {
    for (int i = 0; i < kSimdLevels; ++i)
        if (text == kLevelNames[i]) {
            level = SimdLevel(i);
            return true;
        }
    return false;
}

SimdLevel processorSimdLevel() {
    static const SimdLevel level = probeProcessor();
    return level;
}

SimdLevel simdLevel() {
    return SimdLevel(currentLevel().load(std::memory_order_relaxed));
}

SimdLevel setSimdLevel(SimdLevel level) {
    const SimdLevel used = atMost(level);
    currentLevel().store(int(used), std::memory_order_relaxed);
    return used;
}

bool simdEnvironmentAccepted(std::FILE* errors) {
    const char* text = std::getenv("VELLORA_SIMD");
    SimdLevel level;
    if (!text || parseSimdLevel(text, level)) return true;
    std::fprintf(errors, "VELLORA_SIMD must be baseline, avx2 or avx512, got \"%s\"\n", text);
    return false;
}

} // namespace vellora
