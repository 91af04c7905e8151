// The view's arithmetic in an 800 x 600 client area with the 30-pixel margin: fit and zoom,
// scroll bars and their records, scroll requests, the wheel, zooming about the pointer, the
// view keys; and the paint model that feeds it.
#include "shell/viewLayout.h"
#include "shell/viewPaint.h"

#include "support/recordingFrontend.h"

#include <gtest/gtest.h>

namespace vellora {
namespace {

ImageInfo picture(int width, int height, std::int32_t state, int zoomIndex = 10) {
    ImageInfo info;
    info.width = width;
    info.height = height;
    info.clientWidth = 800;
    info.clientHeight = 600;
    info.state = state;
    info.zoomIndex = zoomIndex;
    return info;
}

TEST(ViewLayout, FitChoosesTheLargestZoomUpTo100PercentThatLeavesTheMargin) {
    const struct {
        const char* name;
        int width, height, zoomBefore;
        int zoomIndex, drawX, drawY, drawWidth, drawHeight;
    } cases[] = {
        {"2000 x 1000 at 30 %", 2000, 1000, 10, 3, 100, 150, 600, 300},
        {"small picture stays at 100 %", 100, 50, 12, 10, 350, 275, 100, 50},
        {"exactly the client less the margin", 770, 570, 0, 10, 15, 15, 770, 570},
        {"one pixel too wide for 100 %", 771, 100, 10, 9, 53, 255, 693, 90},
        {"one pixel too tall for 100 %", 100, 571, 10, 9, 355, 43, 90, 513},
        {"only 5 % fits", 10000, 100, 12, 0, 150, 297, 500, 5},
        {"too large for 5 % keeps the zoom", 20000, 100, 12, 12, -19600, 200, 40000, 200},
        {"single pixel", 1, 1, 4, 10, 399, 299, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ImageInfo info = picture(c.width, c.height, kStateFit, c.zoomBefore);
        info.hScrollShown = info.vScrollShown = 1;
        layoutPicture(info);
        EXPECT_EQ(info.zoomIndex, c.zoomIndex);
        EXPECT_EQ((Rect{info.drawX, info.drawY, info.drawWidth, info.drawHeight}),
                  (Rect{c.drawX, c.drawY, c.drawWidth, c.drawHeight}));
        EXPECT_EQ(info.hScrollShown + info.vScrollShown, 0);
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
    EXPECT_EQ((Rect{z.info.drawX, z.info.drawY, z.info.drawWidth, z.info.drawHeight}),
              (Rect{-600, -200, 2000, 1000}));
    EXPECT_EQ(z.info.hScrollShown + z.info.vScrollShown, 2);
    // page 800 * 800 / 2030, position (15 + 600) * 800 / 2030
    EXPECT_EQ(z.scroll.horizontal, (ScrollRecord{0, 800, 315, 242}));
    EXPECT_EQ(z.scroll.vertical, (ScrollRecord{0, 600, 349, 125}));

    ImageInfo wide = picture(1000, 100, kStateZoom);
    layoutPicture(wide);
    EXPECT_EQ(wide.hScrollShown * 10 + wide.vScrollShown, 10);
    ImageInfo tall = picture(770, 571, kStateZoom); // the width fits exactly with its margin
    layoutPicture(tall);
    EXPECT_EQ(tall.hScrollShown * 10 + tall.vScrollShown, 1);
}

TEST(ViewLayout, SavedStateHidesTheBarsAndScrolledStateKeepsEverything) {
    ImageInfo saved = picture(1000, 500, kStateSaved, 12);
    saved.drawX = -77;
    saved.hScrollShown = saved.vScrollShown = 1;
    layoutPicture(saved);
    EXPECT_EQ(saved.drawX, -77);
    EXPECT_EQ(saved.hScrollShown + saved.vScrollShown, 0);

    Zoomed200 z;
    z.info.state = kStateScrolled;
    z.info.drawX = -300;
    layoutPicture(z.info);
    EXPECT_EQ(z.info.drawX, -300);
    EXPECT_EQ(z.info.drawY, -200);
    EXPECT_EQ(z.info.hScrollShown, 1);
}

TEST(ViewLayout, HorizontalScrollRequestsMoveThePictureByTheirSteps) {
    using R = ScrollRequest;
    const struct {
        const char* name;
        int startPosition;
        ScrollRequest request;
        int thumb, drawX, step, position;
    } cases[] = {
        {"line left from 10 stops at the margin", 10, R::LineBack, 0, 15, -16, -6},
        {"line left from 242", 242, R::LineBack, 0, -573, -16, 226},
        {"line right from 242", 242, R::LineForward, 0, -634, 8, 250},
        {"line right near the end", 480, R::LineForward, 0, -1230, 8, 488},
        {"page right reaches the end", 242, R::PageForward, 0, -1230, 315, 557},
        {"page left reaches the start", 242, R::PageBack, 0, 15, -315, -73},
        {"thumb dragged back to 100", 242, R::ThumbTrack, 100, -253, -142, 100},
        {"thumb dragged on to 300", 242, R::ThumbTrack, 300, -761, 58, 300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Zoomed200 z;
        z.scroll.horizontal.position = c.startPosition;
        EXPECT_TRUE(scrollView(z.info, z.scroll, ScrollAxis::Horizontal, c.request, c.thumb));
        EXPECT_EQ(z.info.drawX, c.drawX);
        EXPECT_EQ(z.info.hScrollStep, c.step);
        EXPECT_EQ(z.scroll.horizontal.position, c.position);
        EXPECT_EQ(z.info.state, kStateScrolled);
        EXPECT_EQ(z.info.drawY, -200); // the other axis stays
    }
}

TEST(ViewLayout, VerticalLineDownUsesTheVerticalRecord) {
    Zoomed200 z;
    ASSERT_TRUE(scrollView(z.info, z.scroll, ScrollAxis::Vertical, ScrollRequest::LineForward));
    EXPECT_EQ(z.info.drawY, -228); // -((1000 + 30) * (8 + 125) / 600)
    EXPECT_EQ(z.info.vScrollStep, 8);
    EXPECT_EQ(z.scroll.vertical.position, 133);
    EXPECT_EQ(z.info.drawX, -600);
}

TEST(ViewLayout, OtherRequestsZeroStepsAndAnEmptyViewChangeNothing) {
    Zoomed200 z;
    z.info.hScrollStep = 99;
    EXPECT_FALSE(scrollView(z.info, z.scroll, ScrollAxis::Horizontal, ScrollRequest::Other));
    EXPECT_EQ(z.info.hScrollStep, 0);
    EXPECT_FALSE(
        scrollView(z.info, z.scroll, ScrollAxis::Horizontal, ScrollRequest::ThumbTrack, 242));
    EXPECT_EQ(z.info.drawX, -600);
    EXPECT_EQ(z.info.state, kStateZoom);
    z.info.clientWidth = 0; // would divide by zero
    EXPECT_FALSE(scrollView(z.info, z.scroll, ScrollAxis::Horizontal, ScrollRequest::PageForward));
}

TEST(ViewLayout, HugeZoomedPicturesDoNotOverflow) {
    ImageInfo info = picture(60000, 60000, kStateZoom, 20);
    ViewScroll scroll;
    layoutPicture(info);
    updateScrollRecords(info, scroll);
    EXPECT_EQ(info.drawWidth, 600000);
    EXPECT_EQ(info.drawX, (800 - 600000) / 2);
    EXPECT_EQ(scroll.horizontal.position, 399); // (15 + 299600) * 800 / 600030
    scrollView(info, scroll, ScrollAxis::Horizontal, ScrollRequest::LineForward);
    EXPECT_EQ(info.drawX, -int(600030LL * 407 / 800));
}

TEST(ViewLayout, WheelMovesThePictureWithinTheScrollRange) {
    using A = ScrollAxis;
    const struct {
        const char* name;
        ScrollAxis axis;
        int startY, angleDelta;
        bool moved;
        int drawX, drawY;
    } cases[] = {
        {"a notch up shows more of the top", A::Vertical, -200, 120, true, -600, -152},
        {"two notches down", A::Vertical, -200, -240, true, -600, -296},
        {"tilted left, sideways", A::Horizontal, -200, 120, true, -552, -200},
        {"a touchpad's small step", A::Vertical, -200, 5, true, -600, -198},
        {"ten notches up stop at the margin", A::Vertical, -200, 1200, true, -600, 15},
        {"far down stops at the end", A::Vertical, -200, -12000, true, -600, -430},
        {"already at the top", A::Vertical, 15, 120, false, -600, 15},
        {"too small a step to move", A::Vertical, -200, 2, false, -600, -200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Zoomed200 z;
        z.info.drawY = c.startY;
        EXPECT_EQ(wheelScrollView(z.info, c.axis, c.angleDelta), c.moved);
        EXPECT_EQ(z.info.drawX, c.drawX);
        EXPECT_EQ(z.info.drawY, c.drawY);
        EXPECT_EQ(z.info.state, c.moved ? kStateScrolled : kStateZoom);
    }
    ImageInfo wide = picture(1000, 100, kStateZoom); // only the horizontal bar
    layoutPicture(wide);
    EXPECT_FALSE(wheelScrollView(wide, A::Vertical, 120));
    EXPECT_EQ(wide.drawY, 250);
}

// 1000 x 500, laid out centred at the new zoom as a zoom command leaves it.
TEST(ViewLayout, ZoomKeepsThePointUnderThePointer) {
    const Rect at200{-600, -200, 2000, 1000};
    const struct {
        const char* name;
        Rect before;
        int zoomIndex, pointX, pointY;
        bool moved;
        int drawX, drawY;
    } cases[] = {
        {"the centre: centring already keeps it", at200, 13, 400, 300, false, -1100, -450},
        // (100 + 600) / 2 = picture column 350, at 300 % drawn at -950 + 1050 = 100
        {"off centre, 200 to 300 %", at200, 13, 100, 100, true, -950, -350},
        {"out near the start stops at the margin", {15, 15, 2000, 1000}, 11, 400, 300, true, 15,
         15},
        {"an axis without a bar stays centred", {-350, -75, 1500, 750}, 10, 100, 100, true, -200,
         50},
        {"nothing drawn before", {}, 13, 100, 100, false, -1100, -450},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ImageInfo info = picture(1000, 500, kStateZoom, c.zoomIndex);
        layoutPicture(info);
        EXPECT_EQ(keepPointUnderZoom(info, c.before, c.pointX, c.pointY), c.moved);
        EXPECT_EQ(info.drawX, c.drawX);
        EXPECT_EQ(info.drawY, c.drawY);
        EXPECT_EQ(info.state, c.moved ? kStateScrolled : kStateZoom);
    }
}

TEST(ViewLayout, ViewKeysWithBothBarsShown) {
    using K = ViewKey;
    const struct {
        const char* name;
        ViewKey key;
        bool shift, handled, repaint;
        int drawX, drawY, hPosition, vPosition;
    } cases[] = {
        {"shift home", K::Home, true, true, true, 15, 15, 0, 0},
        {"shift end", K::End, true, true, true, -1230, -430, 485, 251},
        {"home alone", K::Home, false, false, false, -600, -200, 242, 125},
        {"end alone", K::End, false, false, false, -600, -200, 242, 125},
        {"left", K::Left, false, true, true, -573, -200, 226, 125},
        {"right", K::Right, false, true, true, -634, -200, 250, 125},
        {"up", K::Up, false, true, true, -600, -187, 242, 109},
        {"page down", K::PageDown, false, true, true, -600, -430, 242, 474},
        {"other key", K::Other, false, false, false, -600, -200, 242, 125},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Zoomed200 z;
        const KeyResult result = handleViewKey(z.info, z.scroll, c.key, c.shift);
        EXPECT_EQ(result.handled, c.handled);
        EXPECT_EQ(result.repaint, c.repaint);
        EXPECT_EQ(z.info.drawX, c.drawX);
        EXPECT_EQ(z.info.drawY, c.drawY);
        EXPECT_EQ(z.scroll.horizontal.position, c.hPosition);
        EXPECT_EQ(z.scroll.vertical.position, c.vPosition);
    }
    // At the start already, shift home is handled without a repaint.
    Zoomed200 z;
    handleViewKey(z.info, z.scroll, ViewKey::Home, true);
    z.info.state = kStateZoom;
    EXPECT_FALSE(handleViewKey(z.info, z.scroll, ViewKey::Home, true).repaint);
    EXPECT_EQ(z.info.state, kStateZoom);
}

TEST(ViewLayout, ViewKeysWithoutBarsAreConsumedAndDoNothing) {
    for (ViewKey key : {ViewKey::Home, ViewKey::End, ViewKey::PageUp, ViewKey::PageDown,
                        ViewKey::Up, ViewKey::Down, ViewKey::Left, ViewKey::Right})
        for (bool shift : {false, true}) {
            ImageInfo info = picture(100, 50, kStateZoom);
            layoutPicture(info);
            ViewScroll scroll;
            const KeyResult result = handleViewKey(info, scroll, key, shift);
            EXPECT_TRUE(result.handled && !result.repaint);
            EXPECT_EQ(info.drawX, 350);
            EXPECT_EQ(info.state, kStateZoom);
        }
}

TEST(ViewLayout, ChildRectangles) {
    EXPECT_EQ(viewRect(640, 400), (Rect{0, 0, 640, 375}));
    EXPECT_EQ(progressBarRect(803), (Rect{80, 11, 642, 11}));
}

TEST(ViewPaint, PaintRecordsSizesLaysOutAndShowsTheStatus) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    session.currentInfo.state = kStateFit;
    ViewScroll scroll;
    const LoadedPicture cat{2000, 1000, 8};
    paintViewModel(session, scroll, &cat, 800, 600);
    EXPECT_EQ(session.currentInfo.zoomIndex, 3);
    EXPECT_EQ(session.currentInfo.bitsPerPixel, 8);
    EXPECT_EQ(frontend.statusTexts.back(), "    width x height : 2000 x 1000, bits per pixel : 8");
    const LoadedPicture odd{10, 10, 16}; // not one of the five depths: the depth stays
    paintViewModel(session, scroll, &odd, 800, 600);
    EXPECT_EQ(session.currentInfo.bitsPerPixel, 8);
    EXPECT_EQ(session.currentInfo.width, 10);

    // Nothing loaded: the last values stay.
    session.currentInfo.state = kStateZoom;
    session.currentInfo.zoomIndex = 12;
    const LoadedPicture big{1000, 500, 24};
    paintViewModel(session, scroll, &big, 800, 600);
    paintViewModel(session, scroll, nullptr, 300, 300);
    EXPECT_EQ(session.currentInfo.clientWidth, 800);
    EXPECT_EQ(scroll.horizontal, (ScrollRecord{0, 800, 315, 242}));
    EXPECT_EQ(frontend.statusTexts.back(), "    width x height : 1000 x 500, bits per pixel : 24");
    session.currentInfo.state = kStateSaved;
    paintViewModel(session, scroll, &big, 800, 600);
    EXPECT_EQ(frontend.statusTexts.back(), "");
    session.currentInfo.state = kStateNoPicture; // after Close: the bars go
    session.currentInfo.hScrollShown = 1;
    paintViewModel(session, scroll, nullptr, 800, 600);
    EXPECT_EQ(session.currentInfo.hScrollShown, 0);
}

} // namespace
} // namespace vellora
