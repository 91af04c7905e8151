#pragma once
// Kernel tests at every vector level this machine runs, each held to the baseline level's result.
#include "core/simdLevel.h"

#include <gtest/gtest.h>

namespace vellora::test {

// Runs body(level) at the baseline level and at every wider level this processor has; the
// level in force before is restored.
template <class Body> void atEveryLevel(const Body& body) {
    const SimdLevel before = simdLevel();
    for (int level = 0; level <= int(processorSimdLevel()); ++level) {
        setSimdLevel(SimdLevel(level));
        body(SimdLevel(level));
    }
    setSimdLevel(before);
}

// Expects produce() to give at every level what it gives at the baseline level.
template <class Produce> void expectSameAtEveryLevel(const Produce& produce) {
    decltype(produce()) baseline{};
    atEveryLevel([&](SimdLevel level) {
        if (level == SimdLevel::Baseline)
            baseline = produce();
        else
            EXPECT_TRUE(produce() == baseline) << "differs at " << simdLevelName(level);
    });
}

} // namespace vellora::test
