#include "shell/viewLayout.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace vellora {

namespace {

// a × b / c with the product in 64 bits: a zoomed large picture would overflow 32 bits.
int mulDiv(std::int64_t a, std::int64_t b, std::int64_t c) {
    return int(a * b / c);
}

int zoomAt(const ImageInfo& info, int index) {
    return info.zoomPercent[std::size_t(index)];
}

void hideBars(ImageInfo& info) {
    info.hScrollShown = 0;
    info.vScrollShown = 0;
}

void centreAtZoom(ImageInfo& info) {
    const int z = zoomAt(info, info.zoomIndex);
    info.drawWidth = mulDiv(info.width, z, 100);
    info.drawHeight = mulDiv(info.height, z, 100);
    info.drawX = (info.clientWidth - info.drawWidth) / 2;
    info.drawY = (info.clientHeight - info.drawHeight) / 2;
}

void fitPicture(ImageInfo& info) {
    for (int i = kZoom100Index; i >= 0; --i) {
        const int z = zoomAt(info, i);
        if (mulDiv(info.width, z, 100) + info.margin <= info.clientWidth &&
            mulDiv(info.height, z, 100) + info.margin <= info.clientHeight) {
            info.zoomIndex = i;
            break;
        }
    }
    centreAtZoom(info);
    hideBars(info);
}

void zoomPicture(ImageInfo& info) {
    centreAtZoom(info);
    info.hScrollShown = info.drawWidth + info.margin > info.clientWidth;
    info.vScrollShown = info.drawHeight + info.margin > info.clientHeight;
}

void updateRecord(ScrollRecord& record, int client, int drawn, int drawPosition, int margin) {
    record.maximum = client;
    if (drawn + margin == 0) return;
    if (drawn != 0) record.page = mulDiv(client, client, drawn + margin);
    record.position = mulDiv(std::int64_t(margin / 2) - drawPosition, client, drawn + margin);
}

// The fields one axis works on.
struct AxisView {
    std::int32_t& drawPosition;
    std::int32_t drawn;
    std::int32_t client;
    std::int32_t& step;
    ScrollRecord& record;
};

AxisView axisView(ImageInfo& info, ViewScroll& scroll, ScrollAxis axis) {
    if (axis == ScrollAxis::Horizontal)
        return {info.drawX, info.drawWidth, info.clientWidth, info.hScrollStep, scroll.horizontal};
    return {info.drawY, info.drawHeight, info.clientHeight, info.vScrollStep, scroll.vertical};
}

int requestStep(ScrollRequest request, const ScrollRecord& record, int thumbPosition) {
    switch (request) {
    case ScrollRequest::LineBack:
        return kLineBackStep;
    case ScrollRequest::LineForward:
        return kLineForwardStep;
    case ScrollRequest::PageBack:
        return -record.page;
    case ScrollRequest::PageForward:
        return record.page;
    case ScrollRequest::ThumbTrack:
        return thumbPosition - record.position;
    case ScrollRequest::Other:
        break;
    }
    return 0;
}

} // namespace

void layoutPicture(ImageInfo& info) {
    switch (info.layoutByte()) {
    case 0:
        hideBars(info);
        break;
    case 1:
        fitPicture(info);
        break;
    case 2:
        zoomPicture(info);
        break;
    default:
        break; // scrolled: drawn where the last scroll step put it
    }
}

void updateScrollRecords(const ImageInfo& info, ViewScroll& scroll) {
    if (info.hScrollShown == 1)
        updateRecord(scroll.horizontal, info.clientWidth, info.drawWidth, info.drawX, info.margin);
    if (info.vScrollShown == 1)
        updateRecord(scroll.vertical, info.clientHeight, info.drawHeight, info.drawY, info.margin);
}

bool scrollView(ImageInfo& info, ViewScroll& scroll, ScrollAxis axis, ScrollRequest request,
                int thumbPosition) {
    AxisView a = axisView(info, scroll, axis);
    const int s = requestStep(request, a.record, thumbPosition);
    a.step = s;
    if (s == 0) return false;
    const int position = a.record.position;
    const int span = a.drawn + info.margin;
    // A zero-sized view cannot be scrolled proportionally; keep the picture where it is.
    if (a.client == 0) return false;
    if (s < 0) {
        a.drawPosition =
            position > std::abs(s) ? -mulDiv(span, s + position, a.client) : info.margin / 2;
    } else {
        a.drawPosition = a.client - position - a.record.page > s
                             ? -mulDiv(span, s + position, a.client)
                             : a.client - info.margin - a.drawn;
    }
    a.record.position += s;
    info.state = kStateScrolled;
    return true;
}

namespace {

KeyResult scrollKey(ImageInfo& info, ViewScroll& scroll, ScrollAxis axis, ScrollRequest request) {
    const bool shown =
        axis == ScrollAxis::Horizontal ? info.hScrollShown == 1 : info.vScrollShown == 1;
    if (!shown) return {true, false};
    return {true, scrollView(info, scroll, axis, request)};
}

KeyResult homeKey(ImageInfo& info, ViewScroll& scroll) {
    const int home = info.margin / 2;
    // Already at the start when both edges sit at (or right of) the margin. Testing for "at or
    // left of" instead would make the key do nothing whenever the picture is scrolled.
    if (info.drawX >= home && info.drawY >= home) return {true, false};
    info.drawX = home;
    info.drawY = home;
    scroll.horizontal.position = 0;
    scroll.vertical.position = 0;
    info.state = kStateScrolled;
    return {true, true};
}

KeyResult endKey(ImageInfo& info, ViewScroll& scroll) {
    const int endX = info.clientWidth - info.margin - info.drawWidth;
    const int endY = info.clientHeight - info.margin - info.drawHeight;
    if (info.drawX <= endX && info.drawY <= endY) return {true, false};
    info.drawX = endX;
    info.drawY = endY;
    scroll.horizontal.position = info.clientWidth - scroll.horizontal.page;
    scroll.vertical.position = info.clientHeight - scroll.vertical.page;
    info.state = kStateScrolled;
    return {true, true};
}

} // namespace

KeyResult handleViewKey(ImageInfo& info, ViewScroll& scroll, ViewKey key, bool shift) {
    using A = ScrollAxis;
    using R = ScrollRequest;
    const bool anyBar = info.hScrollShown == 1 || info.vScrollShown == 1;
    switch (key) {
    case ViewKey::PageUp:
        return scrollKey(info, scroll, A::Vertical, R::PageBack);
    case ViewKey::PageDown:
        return scrollKey(info, scroll, A::Vertical, R::PageForward);
    case ViewKey::Up:
        return scrollKey(info, scroll, A::Vertical, R::LineBack);
    case ViewKey::Down:
        return scrollKey(info, scroll, A::Vertical, R::LineForward);
    case ViewKey::Left:
        return scrollKey(info, scroll, A::Horizontal, R::LineBack);
    case ViewKey::Right:
        return scrollKey(info, scroll, A::Horizontal, R::LineForward);
    case ViewKey::Home:
        if (!anyBar) return {true, false};
        return shift ? homeKey(info, scroll) : KeyResult{};
    case ViewKey::End:
        if (!anyBar) return {true, false};
        return shift ? endKey(info, scroll) : KeyResult{};
    case ViewKey::Other:
        break;
    }
    return {};
}

Rect viewRect(int clientWidth, int clientHeight) {
    return {0, 0, clientWidth, clientHeight - kStatusBarHeight};
}

Rect progressBarRect(int statusBarWidth) {
    return {statusBarWidth / 10, 11, statusBarWidth * 4 / 5, 11};
}

namespace {

// The fields of ImageInfo one axis of the drawing rectangle lives in.
struct AxisFields {
    std::int32_t ImageInfo::*drawPosition;
    std::int32_t ImageInfo::*drawn;
    std::int32_t ImageInfo::*client;
    std::int32_t ImageInfo::*barShown;
};

const AxisFields& axisFields(ScrollAxis axis) {
    static constexpr AxisFields kAxes[] = {
        {&ImageInfo::drawX, &ImageInfo::drawWidth, &ImageInfo::clientWidth,
         &ImageInfo::hScrollShown},
        {&ImageInfo::drawY, &ImageInfo::drawHeight, &ImageInfo::clientHeight,
         &ImageInfo::vScrollShown},
    };
    return kAxes[axis == ScrollAxis::Horizontal ? 0 : 1];
}

// Puts the picture's start on an axis with a bar at `wanted`, within the range the scroll bar
// reaches: the start no further in than margin / 2, the end no further in than the margin.
// Returns whether the picture moved.
bool placeOnAxis(ImageInfo& info, ScrollAxis axis, std::int64_t wanted) {
    const AxisFields& f = axisFields(axis);
    if (info.*f.barShown != 1) return false;
    const int home = info.margin / 2;
    const int end = std::min(home, info.*f.client - info.margin - info.*f.drawn);
    const int placed = int(std::clamp<std::int64_t>(wanted, end, home));
    if (placed == info.*f.drawPosition) return false;
    info.*f.drawPosition = placed;
    return true;
}

} // namespace

bool wheelScrollView(ImageInfo& info, ScrollAxis axis, int angleDelta) {
    const std::int64_t wanted = std::int64_t(info.*axisFields(axis).drawPosition) +
                                mulDiv(angleDelta, kWheelNotchPixels, kWheelNotch);
    if (!placeOnAxis(info, axis, wanted)) return false;
    info.state = kStateScrolled;
    return true;
}

bool keepPointUnderZoom(ImageInfo& info, const Rect& before, int pointX, int pointY) {
    const struct {
        ScrollAxis axis;
        int point, start, size;
    } axes[] = {{ScrollAxis::Horizontal, pointX, before.x, before.width},
                {ScrollAxis::Vertical, pointY, before.y, before.height}};
    bool moved = false;
    for (const auto& a : axes) {
        if (a.size <= 0) continue;
        // The picture point under the pointer keeps its distance from the picture's start in
        // proportion to the drawn size.
        const std::int64_t offset =
            mulDiv(a.point - std::int64_t(a.start), info.*axisFields(a.axis).drawn, a.size);
        if (placeOnAxis(info, a.axis, a.point - offset)) moved = true;
    }
    if (moved) info.state = kStateScrolled;
    return moved;
}

} // namespace vellora
