// The colour operations with vector kernels give the same file bytes at every level.
#include "support/simdLevels.h"
#include "color/colorTestImages.h"
#include "color/grayScale.h"
#include "color/histogramModify.h"
#include "color/medianCut.h"
#include "color/posterize.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <functional>

namespace vellora::test {
namespace {

using Operation = std::function<int(Session&, const DibImage&, DibImage&)>;

struct OperationCase {
    const char* name;
    Operation run;
};

class ColorAtEveryLevel : public ::testing::TestWithParam<OperationCase> {};

// Odd sizes leave remainders after every vector width; few levels give ties at the cuts.
TEST_P(ColorAtEveryLevel, SameBytesAsTheBaseline) {
    for (const DibImage& source : {noiseImage(317, 61, 24, 5), noiseImage(64, 33, 8, 9, 6)})
        expectSameAtEveryLevel([&] {
            RecordingFrontend frontend;
            Session session(frontend);
            DibImage target;
            EXPECT_EQ(GetParam().run(session, source, target), 0);
            return target.data;
        });
}

INSTANTIATE_TEST_SUITE_P(
    Operations, ColorAtEveryLevel,
    ::testing::Values(OperationCase{"medianCut",
                                    [](Session& s, const DibImage& source, DibImage& target) {
                                        target = makeImage(source.width, source.height, 8, 256);
                                        return medianCutPalette(s, target, source);
                                    }},
                      OperationCase{"grayScale",
                                    [](Session& s, const DibImage& source, DibImage& target) {
                                        return grayScaleToImage(s, source, target, false, 256);
                                    }},
                      OperationCase{"posterize",
                                    [](Session& s, const DibImage& source, DibImage& target) {
                                        return posterizeToImage(s, source, target, {100, 7, 128});
                                    }},
                      OperationCase{"histogram",
                                    [](Session& s, const DibImage& source, DibImage& target) {
                                        return modifyHistogramToImage(
                                            s, source, target,
                                            {{true, false, true}, {10, 0, 30}, {200, 255, 240}});
                                    }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vellora::test
