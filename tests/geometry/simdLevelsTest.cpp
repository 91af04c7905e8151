// Rotation and resizing give the same bytes at every vector level.
#include "support/simdLevels.h"
#include "geometry/resize.h"
#include "geometry/rotate.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

namespace vellora::test {
namespace {

class GeometryAtEveryLevel : public ::testing::TestWithParam<NamedOperation> {};

TEST_P(GeometryAtEveryLevel, SameBytesAsTheBaseline) {
    const DibImage source = makeTrueColorImage(61, 47, [](int x, int y) {
        return std::uint32_t((x * 37 + y * 11) % 256) << 16 |
               std::uint32_t((x * y + 3 * y) % 256) << 8 | std::uint32_t((x ^ y) * 5 % 256);
    });
    expectSamePictureAtEveryLevel(GetParam().run, source);
}

PictureOperation rotateBy(int angle) {
    return [=](Session& s, const DibImage& source, DibImage& target) {
        const RotatedSize size = rotatedSize(source, angle);
        target = makeImage(size.width, size.height, 24);
        return rotateInterpolated(s, target, source, angle, {10, 200, 30});
    };
}

// Integer weights when the factors are whole, double ones otherwise.
PictureOperation resizeTo(int width, int height) {
    return [=](Session& s, const DibImage& source, DibImage& target) {
        return resizeToImage(s, source, target, {width, height, 1, true});
    };
}

INSTANTIATE_TEST_SUITE_P(Operations, GeometryAtEveryLevel,
                         ::testing::Values(NamedOperation{"rotate30", rotateBy(30)},
                                           NamedOperation{"rotate197", rotateBy(197)},
                                           NamedOperation{"enlarge", resizeTo(122, 141)},
                                           NamedOperation{"reduce", resizeTo(23, 19)},
                                           NamedOperation{"stretch", resizeTo(97, 30)}),
                         caseName);

} // namespace
} // namespace vellora::test
