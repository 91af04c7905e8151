// Rotation and resizing give the same bytes at every vector level.
#include "support/simdLevels.h"
#include "geometry/resize.h"
#include "geometry/rotate.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <functional>

namespace vellora::test {
namespace {

using Operation = std::function<int(Session&, const DibImage&, DibImage&)>;

struct GeometryCase {
    const char* name;
    Operation run;
};

class GeometryAtEveryLevel : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(GeometryAtEveryLevel, SameBytesAsTheBaseline) {
    const DibImage source = makeTrueColorImage(61, 47, [](int x, int y) {
        return std::uint32_t((x * 37 + y * 11) % 256) << 16 |
               std::uint32_t((x * y + 3 * y) % 256) << 8 | std::uint32_t((x ^ y) * 5 % 256);
    });
    expectSameAtEveryLevel([&] {
        RecordingFrontend frontend;
        Session session(frontend);
        DibImage target;
        EXPECT_EQ(GetParam().run(session, source, target), 0);
        return target.data;
    });
}

Operation rotateBy(int angle) {
    return [=](Session& s, const DibImage& source, DibImage& target) {
        const RotatedSize size = rotatedSize(source, angle);
        target = makeImage(size.width, size.height, 24);
        return rotateInterpolated(s, target, source, angle, {10, 200, 30});
    };
}

// Integer weights when the factors are whole, double ones otherwise.
Operation resizeTo(int width, int height) {
    return [=](Session& s, const DibImage& source, DibImage& target) {
        return resizeToImage(s, source, target, {width, height, 1, true});
    };
}

INSTANTIATE_TEST_SUITE_P(Operations, GeometryAtEveryLevel,
                         ::testing::Values(GeometryCase{"rotate30", rotateBy(30)},
                                           GeometryCase{"rotate197", rotateBy(197)},
                                           GeometryCase{"enlarge", resizeTo(122, 141)},
                                           GeometryCase{"reduce", resizeTo(23, 19)},
                                           GeometryCase{"stretch", resizeTo(97, 30)}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vellora::test
