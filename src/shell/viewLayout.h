#pragma once
// The image view's arithmetic: where the picture is drawn (fit, zoom, scrolled), the scroll bar
// records, scroll requests and the view's keys. All in signed 32-bit integers with divisions
// truncating toward zero; the widget only applies the results.
#include "core/imageInfo.h"

namespace vellora {

// As the platform's scroll bar takes it; the minimum is always 0.
struct ScrollRecord {
    int minimum = 0;
    int maximum = 0;
    int page = 0;
    int position = 0;
    bool operator==(const ScrollRecord&) const = default;
};

struct ViewScroll {
    ScrollRecord horizontal;
    ScrollRecord vertical;
};

enum class ScrollAxis { Horizontal, Vertical };

enum class ScrollRequest {
    LineBack,    // line left / up: −16
    LineForward, // line right / down: +8
    PageBack,    // −page
    PageForward, // +page
    ThumbTrack,  // the thumb being dragged: its position − position
    Other,       // thumb released, top, bottom, end of scrolling
};

inline constexpr int kLineBackStep = -16;
inline constexpr int kLineForwardStep = 8;

// The size the paint found: the picture's and the view's client area.
struct PaintSizes {
    int width;
    int height;
    int clientWidth;
    int clientHeight;
};

// Lays the picture out by the layout byte of info.state: 0 hides the bars, 1 fits (never above
// 100 %), 2 centres at the zoom and shows the bars that are needed, 4 keeps the scrolled position.
void layoutPicture(ImageInfo& info);

// After a paint: maximum, page and position of each axis whose bar is shown.
void updateScrollRecords(const ImageInfo& info, ViewScroll& scroll);

// A scroll request on one axis. Returns whether the view must be repainted (state 1026 is set).
bool scrollView(ImageInfo& info, ViewScroll& scroll, ScrollAxis axis, ScrollRequest request,
                int thumbPosition = 0);

enum class ViewKey { PageUp, PageDown, Up, Down, Left, Right, Home, End, Other };

struct KeyResult {
    bool handled = false; // false: the key goes to the default handling
    bool repaint = false; // the view must be repainted at once
};

KeyResult handleViewKey(ImageInfo& info, ViewScroll& scroll, ViewKey key, bool shift);

// Rectangles of the main window's children.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

inline constexpr int kStatusBarHeight = 25;

// The view and the text pane: the client area less the status bar's 25 pixels.
Rect viewRect(int clientWidth, int clientHeight);
// The progress bar inside the status bar.
Rect progressBarRect(int statusBarWidth);

// One notch of a mouse wheel as the toolkits count it, and how far a notch moves the picture.
inline constexpr int kWheelNotch = 120;
inline constexpr int kWheelNotchPixels = 48;

// Wheel scrolling on one axis: the picture moves by angleDelta × kWheelNotchPixels / kWheelNotch
// view pixels (positive towards the bottom or right, as a wheel turned up or left shows more of
// the top or left), no further than the scroll range allows, and only while that axis's bar is
// shown. Returns whether the view must be repainted (state 1026 is set).
bool wheelScrollView(ImageInfo& info, ScrollAxis axis, int angleDelta);

// After a zoom command laid the picture out at its new zoom, moves it so that the picture point
// that lay under `point` (view coordinates) in the drawing rectangle `before` lies under it
// again, as far as the scroll range allows; an axis without a scroll bar stays centred. Returns
// whether the view must be repainted (state 1026 is set).
bool keepPointUnderZoom(ImageInfo& info, const Rect& before, int pointX, int pointY);

} // namespace vellora
