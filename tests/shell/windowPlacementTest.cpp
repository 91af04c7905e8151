// The stored window rectangle against the screens there are: damaged files open the window on
// a screen and no larger than it.
#include "shell/windowGeometry.h"

#include "core/parameterBlock.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

namespace vellora {
namespace {

struct PlacementCase {
    const char* name;
    std::array<std::int32_t, 4> stored; // left, top, right, bottom
    std::array<std::int32_t, 4> placed;
};

TEST(WindowPlacement, DamagedRectanglesComeBackOnAScreen) {
    // A 1920 x 1080 primary screen with a 1280 x 1024 one to its right.
    const std::array<ScreenArea, 2> screens{{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}}};
    const std::array<std::int32_t, 4> firstRun{640, 300, 1280, 780};
    const PlacementCase cases[] = {
        {"on the primary screen", {10, 20, 810, 620}, {10, 20, 810, 620}},
        {"on the second screen", {2000, 100, 2600, 700}, {2000, 100, 2600, 700}},
        {"partly off, enough showing", {-500, 900, 140, 1380}, {-500, 900, 140, 1380}},
        {"off every screen", {-31072, -31072, -30432, -30592}, firstRun},
        {"a sliver showing", {-630, 100, 10, 580}, firstRun},
        {"right of left", {500, 500, 100, 100}, firstRun},
        {"largest size", {0, 0, INT_MAX, INT_MAX}, {0, 0, 1920, 1080}},
        {"widest span", {INT_MIN, 0, INT_MAX, 600}, {0, 0, 1920, 600}},
        {"taller than the second screen", {2000, -50, 2600, 2000}, {2000, 0, 2600, 1024}},
    };
    for (const PlacementCase& c : cases) {
        ParameterBlock block = defaultParameterBlock();
        std::copy(c.stored.begin(), c.stored.end(), block.windowRect);
        block.windowWidth = 1; // anything but zero: the stored rectangle counts
        block.windowHeight = 1;
        fitWindowToScreens(block, screens);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(block.windowRect[i], c.placed[std::size_t(i)]) << c.name << " edge " << i;
        if (c.placed != c.stored) {
            EXPECT_EQ(block.windowWidth, std::uint32_t(c.placed[2] - c.placed[0])) << c.name;
            EXPECT_EQ(block.windowHeight, std::uint32_t(c.placed[3] - c.placed[1])) << c.name;
        }
    }
}

TEST(WindowPlacement, FirstRunDefaultIsCutToASmallScreen) {
    const std::array<ScreenArea, 1> small{{{0, 0, 320, 240}}};
    ParameterBlock block = defaultParameterBlock();
    std::fill(std::begin(block.windowRect), std::end(block.windowRect), -99999);
    fitWindowToScreens(block, small);
    EXPECT_EQ(std::vector<std::int32_t>(block.windowRect, block.windowRect + 4),
              (std::vector<std::int32_t>{0, 0, 320, 240}));
}

} // namespace
} // namespace vellora
