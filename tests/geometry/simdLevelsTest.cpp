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
    // Rotations by 30 and 197 degrees; resizes by whole factors (integer weights) or not.
    for (const auto& [angle, width, height] :
         {std::tuple{30, 0, 0}, {197, 0, 0}, {0, 122, 141}, {0, 23, 19}, {0, 97, 30}}) {
        SCOPED_TRACE(angle * 1000 + width);
        expectSamePictureAtEveryLevel(
            [=](Session& s, const DibImage& source, DibImage& target) {
                if (angle == 0) return resizeToImage(s, source, target, {width, height, 1, true});
                const RotatedSize size = rotatedSize(source, angle);
                target = makeImage(size.width, size.height, 24);
                return rotateInterpolated(s, target, source, angle, {10, 200, 30});
            },
            source);
    }
}

} // namespace
} // namespace vellora::test
