// The image view's mouse wheel: the events are forwarded to the shell's layout arithmetic, and
// Ctrl+wheel to the zoom commands, so the title and the zoom check marks follow as from the menu.
#include "app/imageView.h"

#include "shell/commandTable.h"

#include <QWheelEvent>

#include <cstdlib>

namespace vellora::app {

void ImageView::wheelEvent(QWheelEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const QPoint delta = event->angleDelta();
    if (modifiers.testFlag(Qt::ControlModifier)) {
        zoomByWheel(delta.y(), canvas_->mapFrom(this, event->position().toPoint()));
    } else if (modifiers.testFlag(Qt::ShiftModifier) && delta.x() == 0) {
        scrollByWheel({delta.y(), 0}); // a wheel without a sideways axis scrolls sideways
    } else {
        scrollByWheel(delta);
    }
    event->accept();
}

void ImageView::scrollByWheel(QPoint angleDelta) {
    ImageInfo& info = session_.currentInfo;
    const bool sideways = wheelScrollView(info, ScrollAxis::Horizontal, angleDelta.x());
    const bool down = wheelScrollView(info, ScrollAxis::Vertical, angleDelta.y());
    if (sideways || down) repaintNow();
}

void ImageView::zoomByWheel(int angleDelta, QPoint canvasPoint) {
    zoomWheel_ += angleDelta;
    while (std::abs(zoomWheel_) >= kWheelNotch) {
        const bool up = zoomWheel_ > 0;
        zoomWheel_ += up ? -kWheelNotch : kWheelNotch;
        ImageInfo& info = session_.currentInfo;
        const Rect before{info.drawX, info.drawY, info.drawWidth, info.drawHeight};
        const int zoomBefore = info.zoomIndex;
        emit commandRequested(up ? kCmdZoomUp : kCmdZoomDown);
        if (info.zoomIndex != zoomBefore &&
            keepPointUnderZoom(info, before, canvasPoint.x(), canvasPoint.y()))
            repaintNow();
    }
}

} // namespace vellora::app
