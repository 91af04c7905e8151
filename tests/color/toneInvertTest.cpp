#include "color/invert.h"
#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vellora {
namespace {

using test::rgbAt;

DibImage invert(const DibImage& source, int depth) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    DibImage target;
    EXPECT_EQ(invertToImage(session, source, target, depth), 0);
    return target;
}

void expectComplements(const DibImage& result, const DibImage& source) {
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x)
            ASSERT_EQ(rgbAt(result, x, y), 0xFFFFFFu - rgbAt(source, x, y)) << x << "," << y;
}

// 37 pixels: a row of 111 bytes plus one padding byte, longer than any vector width; 32 bpp
// results get zero fourth bytes; twice is the picture again.
TEST(Invert, TrueColourComplementsWithZeroPaddingAndFourthBytes) {
    const auto pattern = [](int x, int y) {
        return std::uint32_t(x * 0x030507 + y * 0x405060 + 0x0A0B0C) & 0xFFFFFF;
    };
    const DibImage wide = test::makeTrueColorImage(37, 4, pattern);
    const DibImage result = invert(wide, 0);
    ASSERT_EQ(result.bitsPerPixel, 24);
    expectComplements(result, wide);
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(result.row(y)[111], 0);
    EXPECT_EQ(invert(result, 0).data, wide.data);
    const DibImage fourBytes = invert(wide, 32);
    ASSERT_EQ(fourBytes.bitsPerPixel, 32);
    expectComplements(fourBytes, wide);
    for (int x = 0; x < 37; ++x)
        EXPECT_EQ(fourBytes.row(3)[4 * x + 3], 0);
}

} // namespace
} // namespace vellora
