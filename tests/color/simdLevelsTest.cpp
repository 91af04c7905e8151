// The colour operations with vector kernels give the same file bytes at every level.
#include "support/simdLevels.h"
#include "color/colorTestImages.h"
#include "color/grayScale.h"
#include "color/histogramModify.h"
#include "color/medianCut.h"
#include "color/posterize.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

namespace vellora::test {
namespace {

// Odd sizes leave remainders after every vector width; few levels give ties at the cuts.
TEST(ColorAtEveryLevel, SameBytesAsTheBaseline) {
    const NamedOperation operations[] = {
        {"medianCut",
         [](Session& s, const DibImage& source, DibImage& target) {
             target = makeImage(source.width, source.height, 8, 256);
             return medianCutPalette(s, target, source);
         }},
        {"grayScale",
         [](Session& s, const DibImage& source, DibImage& target) {
             return grayScaleToImage(s, source, target, false, 256);
         }},
        {"posterize",
         [](Session& s, const DibImage& source, DibImage& target) {
             return posterizeToImage(s, source, target, {100, 7, 128});
         }},
        {"histogram", [](Session& s, const DibImage& source, DibImage& target) {
             return modifyHistogramToImage(s, source, target,
                                           {{true, false, true}, {10, 0, 30}, {200, 255, 240}});
         }}};
    for (const NamedOperation& operation : operations)
        for (const DibImage& source : {noiseImage(317, 61, 24, 5), noiseImage(64, 33, 8, 9, 6)}) {
            SCOPED_TRACE(operation.name);
            expectSamePictureAtEveryLevel(operation.run, source);
        }
}

} // namespace
} // namespace vellora::test
