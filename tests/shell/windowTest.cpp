// The main window's title and zoom check, its first-run geometry, and the stored rectangle
// against the screens there are: a damaged file opens the window on a screen, no larger than it.
#include "shell/windowGeometry.h"
#include "shell/windowTitle.h"

#include <gtest/gtest.h>

#include <climits>

namespace vellora {
namespace {

using Edges = std::vector<std::int32_t>;
Edges edgesOf(const ParameterBlock& block) {
    return {block.windowRect[0], block.windowRect[1], block.windowRect[2], block.windowRect[3],
            std::int32_t(block.windowWidth), std::int32_t(block.windowHeight)};
}

TEST(WindowTitle, TitleAndZoomCheckFromTheDialogRecord) {
    const std::tuple<std::int32_t, int, const char*, const char*, int> cases[] = {
        {kStateZoom, 10, "/home/user/pictures/cat.jpg", "vellora -- cat.jpg, 100 %", 230},
        {kStateZoom, 0, "/tmp/a.b/mosaic.png", "vellora -- mosaic.png, 5 %", 220},
        {kStateZoom, 20, "cat.jpg", "vellora -- cat.jpg, 1000 %", 240},
        {kStateScrolled, 12, "/p/x.gif", "vellora -- x.gif, 200 %", 232},
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

// A 640 x 480 window centred on a 1920 x 1080 screen, only where nothing is stored.
TEST(WindowGeometry, DefaultsFillOnlyWhatIsNotStored) {
    const std::tuple<const char*, Edges, Edges, std::uint32_t, std::uint32_t> cases[] = {
        {"first run", {0, 0, 0, 0, 0, 0}, {640, 300, 1280, 780, 640, 480}, 1920, 1080},
        {"stored size", {10, 20, 810, 620, 800, 600}, {10, 20, 810, 620, 800, 600}, 0, 0},
        {"zero width, stored left", {100, 0, 0, 0, 0, 0}, {100, 300, 740, 780, 640, 480}, 0, 1080},
        {"zero height only", {5, 7, 905, 0, 900, 0}, {5, 7, 905, 487, 900, 480}, 0, 0}};
    for (const auto& [name, stored, expected, screenWidth, screenHeight] : cases) {
        ParameterBlock block = defaultParameterBlock();
        std::copy(stored.begin(), stored.begin() + 4, block.windowRect);
        block.windowWidth = std::uint32_t(stored[4]);
        block.windowHeight = std::uint32_t(stored[5]);
        applyWindowGeometryDefaults(block, 1920, 1080);
        EXPECT_EQ(edgesOf(block), expected) << name;
        EXPECT_EQ(block.screenWidth, screenWidth) << name;
        EXPECT_EQ(block.screenHeight, screenHeight) << name;
    }
    ParameterBlock block = defaultParameterBlock();
    storeWindowRect(block, -8, 33, 1024, 700);
    applyWindowGeometryDefaults(block, 1920, 1080);
    EXPECT_EQ(edgesOf(block), (Edges{-8, 33, 1016, 733, 1024, 700}));
}

TEST(WindowPlacement, DamagedRectanglesComeBackOnAScreen) {
    // A 1920 x 1080 primary screen with a 1280 x 1024 one to its right.
    const std::array<ScreenArea, 2> screens{{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}}};
    const Edges firstRun{640, 300, 1280, 780};
    const std::tuple<const char*, Edges, Edges> cases[] = {
        {"on the primary screen", {10, 20, 810, 620}, {10, 20, 810, 620}},
        {"on the second screen", {2000, 100, 2600, 700}, {2000, 100, 2600, 700}},
        {"partly off, enough showing", {-500, 900, 140, 1380}, {-500, 900, 140, 1380}},
        {"off every screen", {-31072, -31072, -30432, -30592}, firstRun},
        {"a sliver showing", {-630, 100, 10, 580}, firstRun},
        {"right of left", {500, 500, 100, 100}, firstRun},
        {"largest size", {0, 0, INT_MAX, INT_MAX}, {0, 0, 1920, 1080}},
        {"widest span", {INT_MIN, 0, INT_MAX, 600}, {0, 0, 1920, 600}},
        {"taller than the second screen", {2000, -50, 2600, 2000}, {2000, 0, 2600, 1024}}};
    for (const auto& [name, stored, placed] : cases) {
        ParameterBlock block = defaultParameterBlock();
        std::copy(stored.begin(), stored.end(), block.windowRect);
        block.windowWidth = block.windowHeight = 1; // not zero: the stored rectangle counts
        fitWindowToScreens(block, screens);
        Edges expected = placed;
        const bool moved = placed != stored;
        expected.push_back(moved ? placed[2] - placed[0] : 1);
        expected.push_back(moved ? placed[3] - placed[1] : 1);
        EXPECT_EQ(edgesOf(block), expected) << name;
    }
    // The first-run default is cut to a small screen.
    const std::array<ScreenArea, 1> small{{{0, 0, 320, 240}}};
    ParameterBlock block = defaultParameterBlock();
    std::fill(std::begin(block.windowRect), std::end(block.windowRect), -99999);
    fitWindowToScreens(block, small);
    EXPECT_EQ(edgesOf(block), (Edges{0, 0, 320, 240, 320, 240}));
}

} // namespace
} // namespace vellora
