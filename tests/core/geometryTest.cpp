#include "core/dibImage.h"
#include "core/errors.h"
#include "support/recordingFrontend.h"

#include <gtest/gtest.h>

namespace vellora {
namespace {

struct GeometryCase {
    int width, height, bitsPerPixel;
    int stride;
    std::uint32_t fileSize;
};

class DeriveGeometryTest : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(DeriveGeometryTest, StrideAndFileSize) {
    const auto c = GetParam();
    test::RecordingFrontend frontend;
    DibImage image;
    image.width = c.width;
    image.height = c.height;
    image.bitsPerPixel = std::uint16_t(c.bitsPerPixel);
    ASSERT_EQ(deriveGeometry(frontend, image), 0);
    EXPECT_EQ(image.stride, c.stride);
    EXPECT_EQ(image.fileSize, c.fileSize);
    EXPECT_EQ(image.paletteOffset, 54u);
    EXPECT_EQ(image.bitsOffset, 54u + image.paletteBytes);
    EXPECT_TRUE(frontend.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, DeriveGeometryTest,
                         ::testing::Values(GeometryCase{1, 1, 1, 4, 54 + 8 + 4},
                                           GeometryCase{5, 1, 24, 16, 54 + 16},
                                           GeometryCase{3, 1, 4, 4, 54 + 64 + 4},
                                           GeometryCase{10, 10, 8, 12, 1198},
                                           GeometryCase{10, 10, 24, 32, 374},
                                           GeometryCase{10, 10, 1, 4, 102},
                                           GeometryCase{10, 10, 32, 40, 54 + 400},
                                           // width × depth passes 2^32 before the division
                                           GeometryCase{0x40000006, 1, 4, 536870916,
                                                        54 + 64 + 536870916}));

TEST(DeriveGeometry, UnsupportedDepthReports128) {
    test::RecordingFrontend frontend;
    DibImage image;
    image.width = 4;
    image.height = 4;
    image.bitsPerPixel = 16;
    EXPECT_EQ(deriveGeometry(frontend, image), 128);
    ASSERT_EQ(frontend.messages.size(), 1u);
    EXPECT_EQ(frontend.messages[0], (test::Message{"error", "error of count bits per pixel"}));
}

} // namespace
} // namespace vellora
