// Rotation and resizing give the same bytes at every vector level.
#include "support/simdLevels.h"
#include "geometry/resize.h"
#include "geometry/rotate.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

namespace vellora::test {
namespace {

TEST(GeometryAtEveryLevel, SameBytesAsTheBaseline) {
    const DibImage source = randomPicture(61, 47, 24, 17);
    for (const int angle : {30, 197}) {
        SCOPED_TRACE(angle);
        expectSamePictureAtEveryLevel(
            [=](Session& s, const DibImage& source, DibImage& target) {
                const RotatedSize size = rotatedSize(source, angle);
                target = makeImage(size.width, size.height, 24);
                return rotateInterpolated(s, target, source, angle, {10, 200, 30});
            },
            source);
    }
    // Integer weights when the factors are whole (enlarge), double ones otherwise.
    for (const auto& [width, height] : {std::pair{122, 141}, {23, 19}, {97, 30}}) {
        SCOPED_TRACE(width);
        expectSamePictureAtEveryLevel(
            [=](Session& s, const DibImage& source, DibImage& target) {
                return resizeToImage(s, source, target, {width, height, 1, true});
            },
            source);
    }
}

} // namespace
} // namespace vellora::test
