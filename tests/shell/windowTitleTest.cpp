#include "shell/windowGeometry.h"
#include "shell/windowTitle.h"

#include <gtest/gtest.h>

namespace vellora {
namespace {

struct TitleCase {
    std::int32_t state;
    int zoomIndex;
    const char* picturePath;
    const char* title;
    int checkedItem;
};

TEST(WindowTitle, TitleAndZoomCheckFromDialogInfo) {
    const TitleCase cases[] = {
        {kStateZoom, 10, "/home/user/pictures/cat.jpg", "vellora -- cat.jpg, 100 %", 230},
        {kStateZoom, 0, "/tmp/a.b/mosaic.png", "vellora -- mosaic.png, 5 %", 220},
        {kStateZoom, 20, "cat.jpg", "vellora -- cat.jpg, 1000 %", 240},
        {kStateScrolled, 12, "/p/x.gif", "vellora -- x.gif, 200 %", 232},
        {kStateFit, 3, "/p/x.gif", "vellora -- x.gif, 30 %", 223},
        {kStateSaved, 12, "/p/saved.png", "vellora -- saved.png, 200 %", -1},
        {kStateNoPicture, 10, "/p/closed.jpg", "vellora", -1},
    };
    for (const TitleCase& c : cases) {
        ImageInfo info;
        info.state = c.state;
        info.zoomIndex = c.zoomIndex;
        EXPECT_EQ(windowTitle(info, c.picturePath), c.title);
        EXPECT_EQ(checkedZoomItem(info), c.checkedItem) << c.title;
    }
}

struct GeometryCase {
    const char* name;
    std::int32_t storedRect[4];
    std::uint32_t storedWidth, storedHeight;
    std::int32_t rect[4];
    std::uint32_t width, height, screenWidth, screenHeight;
};

TEST(WindowGeometry, DefaultsCentreA640By480WindowOnlyWhereNothingIsStored) {
    const GeometryCase cases[] = {
        {"first run", {0, 0, 0, 0}, 0, 0, {640, 300, 1280, 780}, 640, 480, 1920, 1080},
        {"stored size kept", {10, 20, 810, 620}, 800, 600, {10, 20, 810, 620}, 800, 600, 0, 0},
        {"zero width, stored left", {100, 0, 0, 0}, 0, 0, {100, 300, 740, 780}, 640, 480, 0, 1080},
        {"zero height only", {5, 7, 905, 0}, 900, 0, {5, 7, 905, 487}, 900, 480, 0, 0},
    };
    for (const GeometryCase& c : cases) {
        ParameterBlock block = defaultParameterBlock();
        for (int i = 0; i < 4; ++i)
            block.windowRect[i] = c.storedRect[i];
        block.windowWidth = c.storedWidth;
        block.windowHeight = c.storedHeight;
        applyWindowGeometryDefaults(block, 1920, 1080);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(block.windowRect[i], c.rect[i]) << c.name << i;
        EXPECT_EQ(block.windowWidth, c.width) << c.name;
        EXPECT_EQ(block.windowHeight, c.height) << c.name;
        EXPECT_EQ(block.screenWidth, c.screenWidth) << c.name;
        EXPECT_EQ(block.screenHeight, c.screenHeight) << c.name;
    }
}

TEST(WindowGeometry, StoredRectangleRoundTripsThroughTheDefaults) {
    ParameterBlock block = defaultParameterBlock();
    storeWindowRect(block, -8, 33, 1024, 700);
    EXPECT_EQ(block.windowRect[2], 1016);
    EXPECT_EQ(block.windowRect[3], 733);
    const ParameterBlock before = block;
    applyWindowGeometryDefaults(block, 1920, 1080);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(block.windowRect[i], before.windowRect[i]);
    EXPECT_EQ(block.windowWidth, 1024u);
    EXPECT_EQ(block.windowHeight, 700u);
}

} // namespace
} // namespace vellora
