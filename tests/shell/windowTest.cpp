// The main window's title and zoom check, its first-run geometry, and the stored rectangle
// against the screens there are: a damaged file opens the window on a screen, no larger than it.
#include "shell/windowGeometry.h"
#include "shell/windowTitle.h"

#include <gtest/gtest.h>

#include <climits>

namespace vellora {
namespace {

using Edges = std::vector<std::int32_t>; // left, top, right, bottom, width, height
Edges edgesOf(const ParameterBlock& b) {
    return {b.windowRect[0], b.windowRect[1], b.windowRect[2], b.windowRect[3],
            std::int32_t(b.windowWidth), std::int32_t(b.windowHeight)};
}
ParameterBlock stored(const Edges& edges) {
    ParameterBlock block = defaultParameterBlock();
    std::copy(edges.begin(), edges.begin() + 4, block.windowRect);
    block.windowWidth = std::uint32_t(edges[4]);
    block.windowHeight = std::uint32_t(edges[5]);
    return block;
}

TEST(WindowTitle, TitleAndZoomCheckFromTheDialogRecord) {
    const std::tuple<std::int32_t, int, const char*, const char*, int> cases[] = {
        {kStateZoom, 10, "/home/user/pictures/cat.jpg", "vellora -- cat.jpg, 100 %", 230},
        {kStateZoom, 0, "/tmp/a.b/mosaic.png", "vellora -- mosaic.png, 5 %", 220},
        {kStateScrolled, 20, "cat.jpg", "vellora -- cat.jpg, 1000 %", 240},
        {kStateFit, 3, "/p/x.gif", "vellora -- x.gif, 30 %", 223},
        {kStateSaved, 12, "/p/saved.png", "vellora -- saved.png, 200 %", -1},
        {kStateNoPicture, 10, "/p/closed.jpg", "vellora", -1}};
    for (const auto& [state, zoomIndex, path, title, checked] : cases) {
        ImageInfo info;
        info.state = state;
        info.zoomIndex = zoomIndex;
        EXPECT_EQ(windowTitle(info, path), title);
        EXPECT_EQ(checkedZoomItem(info), checked) << title;
    }
}

TEST(WindowPlacement, DamagedRectanglesComeBackOnAScreen) {
    // A 1920 x 1080 primary screen with a 1280 x 1024 one to its right.
    const std::array<ScreenArea, 2> screens{{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}}};
    const Edges firstRun{640, 300, 1280, 780, 640, 480};
    const std::pair<Edges, Edges> cases[] = {
        {{2000, 100, 2600, 700, 1, 1}, {2000, 100, 2600, 700, 1, 1}}, // on a screen: kept
        {{-500, 900, 140, 1380, 1, 1}, {-500, 900, 140, 1380, 1, 1}}, // enough of it showing
        {{-31072, -31072, -30432, -30592, 1, 1}, firstRun},
        {{-630, 100, 10, 580, 1, 1}, firstRun}, // a sliver showing
        {{500, 500, 100, 100, 1, 1}, firstRun}, // right of left
        {{INT_MIN, 0, INT_MAX, 600, 1, 1}, {0, 0, 1920, 600, 1920, 600}},
        {{2000, -50, 2600, 2000, 1, 1}, {2000, 0, 2600, 1024, 600, 1024}}};
    for (const auto& [before, after] : cases) {
        ParameterBlock block = stored(before);
        fitWindowToScreens(block, screens);
        EXPECT_EQ(edgesOf(block), after) << before[0] << ", " << before[1];
    }
    ParameterBlock block = stored({-99999, -99999, -99999, -99999, 0, 0});
    fitWindowToScreens(block, std::array<ScreenArea, 1>{{{0, 0, 320, 240}}});
    EXPECT_EQ(edgesOf(block), (Edges{0, 0, 320, 240, 320, 240})); // first run cut to the screen
}

} // namespace
} // namespace vellora
