#pragma once
// The image view: draws the current intermediate file where the shell's layout arithmetic puts
// it, with the two scroll bars driven by the shell's scroll records. The client area is the
// canvas beside the bars that are shown. The wheel scrolls (sideways with Shift); Ctrl+wheel asks
// for the View menu's zoom steps and keeps the picture point under the pointer.
#include "app/pictureCache.h"
#include "core/session.h"
#include "shell/viewLayout.h"

#include <QFrame>

#include <string>

class QPainter;
class QScrollBar;

namespace vellora::app {

class ImageView final : public QFrame {
    Q_OBJECT
  public:
    ImageView(Session& session, QWidget* parent);

    // Paints at once: reloads currentPath, lays it out, updates the bars and the status text.
    void repaintNow();
    KeyResult handleKey(ViewKey key, bool shift);

    const ViewScroll& scroll() const { return scroll_; }
    QScrollBar* horizontalBar() const { return bars_[0]; }
    QScrollBar* verticalBar() const { return bars_[1]; }
    QWidget* canvas() const { return canvas_; }
    // The picture as last drawn (empty when nothing was).
    QRect drawnRect() const { return drawn_; }
    // Another picture drawn beside the current one, on the left, at the same zoom and scroll
    // (each in half the canvas); empty for the single view.
    void setComparePath(std::string path);
    const std::string& comparePath() const { return comparePath_; }

  signals:
    // A mouse button pressed on the canvas, at this canvas point.
    void canvasPressed(QPoint point, Qt::MouseButton button);

  signals:
    // A command for the main window to run (the zoom steps of Ctrl+wheel); it has run, title and
    // check marks included, by the time the signal returns.
    void commandRequested(int commandId);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    friend class ViewCanvas;
    void paintCanvas(QWidget& canvas);
    void drawPicture(QPainter& painter, const QImage& image, QRect drawn, QRect area) const;
    void applyBars();
    void placeChildren();
    void onBarAction(ScrollAxis axis, int action);
    void scrollByWheel(QPoint angleDelta);
    void zoomByWheel(int angleDelta, QPoint canvasPoint);

    Session& session_;
    ViewScroll scroll_;
    PictureCache cache_;
    QWidget* canvas_;
    QScrollBar* bars_[2];
    QRect drawn_;
    bool applying_ = false;
    int zoomWheel_ = 0; // Ctrl+wheel turning short of a whole notch, kept for the next event
    std::string comparePath_;
    PictureCache compareCache_;
};

} // namespace vellora::app
