#pragma once
// Kernel tests at every vector level this machine runs, each held to the baseline level's result.
#include "core/dibImage.h"
#include "core/session.h"
#include "core/simdLevel.h"
#include "support/recordingFrontend.h"

#include <gtest/gtest.h>

#include <functional>

namespace vellora::test {

// Runs body(level) at baseline and each wider level this processor has; restores the prior level.
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

// An operation that makes `target` from `source`: 0, or its error code.
using PictureOperation = std::function<int(Session&, const DibImage& source, DibImage& target)>;

// Expects silent success and the same picture bytes (header, palette, pixels) at every level.
inline void expectSamePictureAtEveryLevel(const PictureOperation& run, const DibImage& source) {
    expectSameAtEveryLevel([&] {
        RecordingFrontend frontend;
        Session session(frontend);
        DibImage target;
        EXPECT_EQ(run(session, source, target), 0);
        EXPECT_TRUE(frontend.messages.empty());
        return target.data;
    });
}

} // namespace vellora::test
