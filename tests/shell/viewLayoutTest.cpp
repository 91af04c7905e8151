// The view arithmetic in an 800 x 600 client area with its 30-pixel margin: fit, zoom, scroll bars,
// scrolling, the wheel, the view keys, what a paint records; the title, and the stored window
// rectangle against the screens there are.
#include "shell/viewLayout.h"
#include "shell/viewPaint.h"
#include "shell/windowGeometry.h"
#include "shell/windowTitle.h"

#include "imageio/pictureLibrary.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <climits>

namespace vellora {
namespace {

ImageInfo picture(int width, int height, std::int32_t state, int zoomIndex = 10) {
    return {.width = width, .height = height, .clientWidth = 800, .clientHeight = 600,
            .zoomIndex = zoomIndex, .state = state};
}
Rect drawn(const ImageInfo& i) { return {i.drawX, i.drawY, i.drawWidth, i.drawHeight}; }
int bars(const ImageInfo& info) { return info.hScrollShown * 10 + info.vScrollShown; }

// Name; picture size and zoom index before; zoom index and drawing rectangle after.
TEST(ViewLayout, FitChoosesTheLargestZoomUpTo100PercentThatLeavesTheMargin) {
    const std::tuple<const char*, int, int, int, int, Rect> cases[] = {
        {"2000 x 1000 at 30 %", 2000, 1000, 10, 3, {100, 150, 600, 300}},
        {"small picture stays at 100 %", 100, 50, 12, 10, {350, 275, 100, 50}},
        {"exactly the client less the margin", 770, 570, 0, 10, {15, 15, 770, 570}},
        {"one pixel too wide for 100 %", 771, 100, 10, 9, {53, 255, 693, 90}},
        {"one pixel too tall for 100 %", 100, 571, 10, 9, {355, 43, 90, 513}},
        {"only 5 % fits", 10000, 100, 12, 0, {150, 297, 500, 5}},
        {"too large for 5 % keeps the zoom", 20000, 100, 12, 12, {-19600, 200, 40000, 200}},
        {"single pixel", 1, 1, 4, 10, {399, 299, 1, 1}}};
    for (const auto& [name, width, height, zoomBefore, zoomIndex, rect] : cases) {
        ImageInfo info = picture(width, height, kStateFit, zoomBefore);
        info.hScrollShown = info.vScrollShown = 1;
        layoutPicture(info);
        EXPECT_EQ(info.zoomIndex, zoomIndex) << name;
        EXPECT_EQ(drawn(info), rect) << name;
        EXPECT_EQ(bars(info), 0) << name;
    }
}

// 1000 x 500 at 200 %, laid out and painted once.
struct Zoomed200 {
    ImageInfo info = picture(1000, 500, kStateZoom, 12);
    ViewScroll scroll;
    Zoomed200() {
        layoutPicture(info);
        updateScrollRecords(info, scroll);
    }
};

TEST(ViewLayout, ZoomCentresThePictureAndShowsTheBarsItNeeds) {
    Zoomed200 z;
    EXPECT_EQ(drawn(z.info), (Rect{-600, -200, 2000, 1000}));
    EXPECT_EQ(bars(z.info), 11);
    // page 800 * 800 / 2030, position (15 + 600) * 800 / 2030
    EXPECT_EQ(z.scroll.horizontal, (ScrollRecord{0, 800, 315, 242}));
    EXPECT_EQ(z.scroll.vertical, (ScrollRecord{0, 600, 349, 125}));
    ImageInfo wide = picture(1000, 100, kStateZoom);
    layoutPicture(wide);
    EXPECT_EQ(bars(wide), 10);
    ImageInfo tall = picture(770, 571, kStateZoom); // the width fits exactly with its margin
    layoutPicture(tall);
    EXPECT_EQ(bars(tall), 1);
}

// Name; thumb position before; request and thumb; drawX, step and thumb position after.
TEST(ViewLayout, HorizontalScrollRequestsMoveThePictureByTheirSteps) {
    using R = ScrollRequest;
    const std::tuple<const char*, int, ScrollRequest, int, int, int, int> cases[] = {
        {"line left from 10 stops at the margin", 10, R::LineBack, 0, 15, -16, -6},
        {"line right from 242", 242, R::LineForward, 0, -634, 8, 250},
        {"page right reaches the end", 242, R::PageForward, 0, -1230, 315, 557},
        {"page left reaches the start", 242, R::PageBack, 0, 15, -315, -73},
        {"thumb dragged back to 100", 242, R::ThumbTrack, 100, -253, -142, 100}};
    for (const auto& [name, start, request, thumb, drawX, step, position] : cases) {
        Zoomed200 z;
        z.scroll.horizontal.position = start;
        EXPECT_TRUE(scrollView(z.info, z.scroll, ScrollAxis::Horizontal, request, thumb)) << name;
        EXPECT_EQ(drawn(z.info), (Rect{drawX, -200, 2000, 1000})) << name;
        EXPECT_EQ(z.info.hScrollStep, step) << name;
        EXPECT_EQ(z.scroll.horizontal.position, position) << name;
        EXPECT_EQ(z.info.state, kStateScrolled) << name;
    }
    Zoomed200 z; // a scrolled picture is drawn where the scroll put it
    scrollView(z.info, z.scroll, ScrollAxis::Vertical, ScrollRequest::LineForward);
    layoutPicture(z.info);
    EXPECT_EQ(drawn(z.info), (Rect{-600, -228, 2000, 1000})); // -((1000 + 30) * (8 + 125) / 600)
    EXPECT_EQ(z.scroll.vertical.position, 133);
}

TEST(ViewLayout, OtherRequestsZeroStepsAndAnEmptyViewChangeNothing) {
    Zoomed200 z;
    z.info.hScrollStep = 99;
    EXPECT_FALSE(scrollView(z.info, z.scroll, ScrollAxis::Horizontal, ScrollRequest::Other));
    EXPECT_EQ(z.info.hScrollStep, 0);
    EXPECT_FALSE(scrollView(z.info, z.scroll, ScrollAxis::Horizontal, ScrollRequest::ThumbTrack,
                            z.scroll.horizontal.position));
    EXPECT_EQ(z.info.drawX * 1000 + z.info.state, -600 * 1000 + kStateZoom);
    z.info.clientWidth = 0; // would divide by zero
    EXPECT_FALSE(scrollView(z.info, z.scroll, ScrollAxis::Horizontal, ScrollRequest::PageForward));
}

TEST(ViewLayout, HugeZoomedPicturesDoNotOverflow) {
    ImageInfo info = picture(60000, 60000, kStateZoom, 20);
    ViewScroll scroll;
    layoutPicture(info);
    updateScrollRecords(info, scroll);
    EXPECT_EQ(drawn(info), (Rect{(800 - 600000) / 2, (600 - 600000) / 2, 600000, 600000}));
    EXPECT_EQ(scroll.horizontal.position, 399); // (15 + 299600) * 800 / 600030
    scrollView(info, scroll, ScrollAxis::Horizontal, ScrollRequest::LineForward);
    EXPECT_EQ(info.drawX, -int(600030LL * 407 / 800)); // the step in 64 bits too
}

// Name; axis; drawY before; wheel angle; whether it moved; drawX, drawY after.
TEST(ViewLayout, WheelMovesThePictureWithinTheScrollRange) {
    using A = ScrollAxis;
    const std::tuple<const char*, ScrollAxis, int, int, bool, int, int> cases[] = {
        {"a notch up shows more of the top", A::Vertical, -200, 120, true, -600, -152},
        {"tilted left, sideways", A::Horizontal, -200, 120, true, -552, -200},
        {"ten notches up stop at the margin", A::Vertical, -200, 1200, true, -600, 15},
        {"far down stops at the end", A::Vertical, -200, -12000, true, -600, -430},
        {"already at the top", A::Vertical, 15, 120, false, -600, 15},
        {"too small a step to move", A::Vertical, -200, 2, false, -600, -200}};
    for (const auto& [name, axis, startY, angle, moved, drawX, drawY] : cases) {
        Zoomed200 z;
        z.info.drawY = startY;
        EXPECT_EQ(wheelScrollView(z.info, axis, angle), moved) << name;
        EXPECT_EQ(drawn(z.info), (Rect{drawX, drawY, 2000, 1000})) << name;
        EXPECT_EQ(z.info.state, moved ? kStateScrolled : kStateZoom) << name;
    }
    ImageInfo wide = picture(1000, 100, kStateZoom); // only the horizontal bar
    layoutPicture(wide);
    EXPECT_FALSE(wheelScrollView(wide, A::Vertical, 120));
}

// 1000 x 500, laid out centred at the new zoom as a zoom command leaves it. Name; the drawing
// before; the new zoom index; the pointer; whether it moved; drawX, drawY after.
TEST(ViewLayout, ZoomKeepsThePointUnderThePointer) {
    const Rect at200{-600, -200, 2000, 1000};
    const std::tuple<const char*, Rect, int, int, int, bool, int, int> cases[] = {
        {"the centre: centring already keeps it", at200, 13, 400, 300, false, -1100, -450},
        // (100 + 600) / 2 = picture column 350, at 300 % drawn at -950 + 1050 = 100
        {"off centre, 200 to 300 %", at200, 13, 100, 100, true, -950, -350},
        {"near the start stops at the margin", {15, 15, 2000, 1000}, 11, 400, 300, true, 15, 15},
        {"an axis without a bar stays centred", {-350, -75, 1500, 750}, 10, 100, 100, true, -200,
         50},
        {"nothing drawn before", {}, 13, 100, 100, false, -1100, -450}};
    for (const auto& [name, before, zoomIndex, x, y, moved, drawX, drawY] : cases) {
        ImageInfo info = picture(1000, 500, kStateZoom, zoomIndex);
        layoutPicture(info);
        EXPECT_EQ(keepPointUnderZoom(info, before, x, y), moved) << name;
        EXPECT_EQ(std::pair(info.drawX, info.drawY), std::pair(drawX, drawY)) << name;
        EXPECT_EQ(info.state, moved ? kStateScrolled : kStateZoom) << name;
    }
}

// Key and shift; handled, repaint; drawX, drawY and both thumb positions after.
TEST(ViewLayout, ViewKeysWithBothBarsShown) {
    using K = ViewKey;
    const std::tuple<ViewKey, bool, bool, bool, std::array<int, 4>> cases[] = {
        {K::Home, true, true, true, {15, 15, 0, 0}},
        {K::End, true, true, true, {-1230, -430, 485, 251}},
        {K::Home, false, false, false, {-600, -200, 242, 125}},
        {K::Left, false, true, true, {-573, -200, 226, 125}},
        {K::Right, false, true, true, {-634, -200, 250, 125}},
        {K::Up, false, true, true, {-600, -187, 242, 109}},
        {K::PageDown, false, true, true, {-600, -430, 242, 474}},
        {K::Other, true, false, false, {-600, -200, 242, 125}}};
    for (const auto& [key, shift, handled, repaint, after] : cases) {
        Zoomed200 z;
        const KeyResult result = handleViewKey(z.info, z.scroll, key, shift);
        EXPECT_EQ(std::pair(result.handled, result.repaint), std::pair(handled, repaint))
            << int(key);
        EXPECT_EQ((std::array{z.info.drawX, z.info.drawY, z.scroll.horizontal.position,
                              z.scroll.vertical.position}),
                  after)
            << int(key);
    }
    Zoomed200 z; // at the horizontal end only: End still moves down
    z.info.drawX = -1230;
    EXPECT_TRUE(handleViewKey(z.info, z.scroll, ViewKey::End, true).repaint);
    EXPECT_EQ(z.info.drawY, -430);
    // already at the start: handled without a repaint
    handleViewKey(z.info, z.scroll, ViewKey::Home, true);
    z.info.state = kStateZoom;
    EXPECT_FALSE(handleViewKey(z.info, z.scroll, ViewKey::Home, true).repaint);
    EXPECT_EQ(z.info.state, kStateZoom);
    ImageInfo small = picture(100, 50, kStateZoom); // without bars every view key is consumed
    layoutPicture(small);
    for (int key = 0; key < int(ViewKey::Other); ++key) {
        const KeyResult result = handleViewKey(small, z.scroll, ViewKey(key), true);
        EXPECT_TRUE(result.handled && !result.repaint) << key;
    }
    EXPECT_EQ(small.drawX * 1000 + small.state, 350 * 1000 + kStateZoom);
    ImageInfo wide = picture(1000, 100, kStateZoom); // one bar is enough for Home
    layoutPicture(wide);
    EXPECT_TRUE(handleViewKey(wide, z.scroll, ViewKey::Home, true).repaint);
    EXPECT_EQ(wide.drawX, 15);
    EXPECT_EQ(viewRect(640, 400), (Rect{0, 0, 640, 375}));
    EXPECT_EQ(progressBarRect(803), (Rect{80, 11, 642, 11}));
}

// A paint lays the loaded picture out in the client area and shows its size; a depth the view
// does not know keeps the last one. Without a picture after Close the bars go and the text is
// cleared.
TEST(ViewPaint, RecordsTheLoadedPictureAndLaysItOut) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    session.currentInfo.state = kStateZoom;
    ViewScroll scroll;
    const LoadedPicture pictures[] = {{1000, 500, 8}, {1000, 500, 16}};
    for (const LoadedPicture& loaded : pictures)
        paintViewModel(session, scroll, &loaded, 800, 600);
    EXPECT_EQ(drawn(session.currentInfo), (Rect{-100, 50, 1000, 500}));
    EXPECT_EQ(scroll.horizontal, (ScrollRecord{0, 800, 621, 89})); // 800 * 800 / 1030, 115 * …
    EXPECT_EQ(frontend.statusTexts.back(), "    width x height : 1000 x 500, bits per pixel : 8");
    session.currentInfo.state = kStateNoPicture;
    paintViewModel(session, scroll, nullptr, 0, 0);
    EXPECT_EQ(bars(session.currentInfo) * 100 + session.currentInfo.clientWidth, 800);
    EXPECT_EQ(frontend.statusTexts.back(), "");
    // The pixels come top row first, as seen.
    test::TempDir dir;
    const DibImage image = test::makeTrueColorImage(2, 2, [](int x, int y) { return y * 2u + x + 1; });
    std::string error;
    ASSERT_TRUE(imageio::savePicture(dir / "v.png", image, "image/png", 100, 24, error)) << error;
    std::vector<std::uint32_t> argb;
    LoadedPicture loaded;
    ASSERT_TRUE(loadViewPixels((dir / "v.png").string(), argb, loaded));
    EXPECT_EQ(argb, (std::vector<std::uint32_t>{0xFF000003, 0xFF000004, 0xFF000001, 0xFF000002}));
    EXPECT_EQ(std::tuple(loaded.width, loaded.height, loaded.bitsPerPixel), std::tuple(2, 2, 24));
    EXPECT_FALSE(loadViewPixels((dir / "none.png").string(), argb, loaded));
}

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
        const ImageInfo info = picture(0, 0, state, zoomIndex);
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
