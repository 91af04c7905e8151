#pragma once
// The image view: draws the current intermediate file where the shell's layout arithmetic puts
// it, with the two scroll bars driven by the shell's scroll records. The client area is the
// canvas beside the bars that are shown.
#include "app/pictureCache.h"
#include "core/session.h"
#include "shell/viewLayout.h"

#include <QFrame>

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

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    friend class ViewCanvas;
    void paintCanvas(QWidget& canvas);
    void applyBars();
    void placeChildren();
    void onBarAction(ScrollAxis axis, int action);

    Session& session_;
    ViewScroll scroll_;
    PictureCache cache_;
    QWidget* canvas_;
    QScrollBar* bars_[2];
    QRect drawn_;
    bool applying_ = false;
};

} // namespace vellora::app
