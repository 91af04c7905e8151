#include "color/nearestPalette.h"
#include "color/colorTestImages.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

namespace vellora::test {
namespace {

DibImage paletteImage(int bitsPerPixel, const std::vector<std::uint32_t>& rgb,
                      std::uint32_t colorsUsed) {
    DibImage image = makeIndexedImage(1, 1, bitsPerPixel, rgb, [](int, int) { return 0; });
    image.colorsUsed = colorsUsed;
    return image;
}

TEST(NearestPaletteIndex, SmallestSquaredDistanceLowestIndexOnTiesEntriesInUse) {
    const DibImage image = paletteImage(4, {0x000000, 0x0A0000, 0x000A00, 0x0A0000, 0xFFFFFF}, 5);
    // 0x050000 is as near entry 0 as entry 1: the lower wins; entry 3 repeats entry 1.
    const std::pair<std::uint32_t, int> cases[] = {{0x000000, 0}, {0x050000, 0}, {0x060000, 1},
                                                   {0x0A0000, 1}, {0x050500, 0}, {0x000600, 2},
                                                   {0xC0C0C0, 4}, {0x000040, 0}};
    for (const auto& [rgb, index] : cases)
        EXPECT_EQ(nearestPaletteIndex(image, std::uint8_t(rgb), std::uint8_t(rgb >> 8),
                                      std::uint8_t(rgb >> 16)),
                  index)
            << std::hex << rgb;
    // Entry 1 is nearest but lies past colorsUsed = 1; with colorsUsed = 0 all entries count.
    EXPECT_EQ(nearestPaletteIndex(paletteImage(1, {0x000000, 0xFFFFFF}, 1), 250, 250, 250), 0);
    EXPECT_EQ(nearestPaletteIndex(paletteImage(1, {0x000000, 0xFFFFFF}, 0), 250, 250, 250), 1);
    // No palette at all keeps the previous result.
    EXPECT_EQ(nearestPaletteIndex(makeImage(1, 1, 24), 1, 2, 3, 7), 7);
}

// Passes over the same few thousand colours: the first searches directly, the second switches
// to the remembered answers part way, the third is answered from them; a copy made part way
// starts its own table and answers the same.
TEST(NearestPaletteFinder, RememberedAnswersAndCopiesAgreeWithThePlainSearch) {
    const DibImage palette = noiseImage(1, 1, 8, 11u, 4);
    NearestPaletteFinder finder(palette);
    std::vector<NearestPaletteFinder> copies;
    for (int pass = 0; pass < 3; ++pass) {
        for (int c = 0; c < 3000; ++c) {
            const auto b = std::uint8_t(c * 37), g = std::uint8_t(c / 11 * 5),
                       r = std::uint8_t(c * 13);
            const std::uint8_t expected = nearestPaletteIndex(palette, b, g, r);
            ASSERT_EQ(finder.find(b, g, r), expected) << pass << " " << c;
            for (NearestPaletteFinder& copy : copies)
                ASSERT_EQ(copy.find(b, g, r), expected) << pass << " " << c;
        }
        copies.push_back(finder);
    }
}

} // namespace
} // namespace vellora::test
