#include "app/imageView.h"

#include "shell/viewPaint.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>

namespace vellora::app {

class ViewCanvas final : public QWidget {
  public:
    ViewCanvas(ImageView& view) : QWidget(&view), view_(view) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override { view_.paintCanvas(*this); }
    void mousePressEvent(QMouseEvent* event) override {
        emit view_.canvasPressed(event->position().toPoint(), event->button());
    }

  private:
    ImageView& view_;
};

namespace {

// The scroll bar actions as the shell's scroll requests.
ScrollRequest requestOf(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return ScrollRequest::LineBack;
    case QAbstractSlider::SliderSingleStepAdd:
        return ScrollRequest::LineForward;
    case QAbstractSlider::SliderPageStepSub:
        return ScrollRequest::PageBack;
    case QAbstractSlider::SliderPageStepAdd:
        return ScrollRequest::PageForward;
    case QAbstractSlider::SliderMove:
        return ScrollRequest::ThumbTrack;
    default:
        return ScrollRequest::Other;
    }
}

void applyRecord(QScrollBar& bar, const ScrollRecord& record) {
    const QSignalBlocker block(&bar);
    bar.setRange(record.minimum, std::max(record.minimum, record.maximum - record.page));
    bar.setPageStep(std::max(1, record.page));
    bar.setValue(record.position);
    // A bar that cannot scroll stays in place, disabled.
    bar.setEnabled(record.maximum - record.page > record.minimum);
}

} // namespace

ImageView::ImageView(Session& session, QWidget* parent)
    : QFrame(parent), session_(session),
      canvas_(new ViewCanvas(*this)), bars_{new QScrollBar(Qt::Horizontal, this),
                                            new QScrollBar(Qt::Vertical, this)} {
    setObjectName("imageView");
    setProperty("controlId", 111);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    canvas_->setObjectName("imageCanvas");
    for (int i = 0; i < 2; ++i) {
        const ScrollAxis axis = i == 0 ? ScrollAxis::Horizontal : ScrollAxis::Vertical;
        bars_[i]->hide();
        bars_[i]->setFocusPolicy(Qt::NoFocus);
        connect(bars_[i], &QAbstractSlider::actionTriggered, this,
                [this, axis](int action) { onBarAction(axis, action); });
    }
    placeChildren();
}

void ImageView::repaintNow() {
    if (canvas_->isVisible()) canvas_->repaint();
}

KeyResult ImageView::handleKey(ViewKey key, bool shift) {
    const KeyResult result = handleViewKey(session_.currentInfo, scroll_, key, shift);
    if (result.repaint) repaintNow();
    return result;
}

void ImageView::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    placeChildren();
}

void ImageView::placeChildren() {
    const QRect inner = contentsRect();
    const bool h = session_.currentInfo.hScrollShown == 1;
    const bool v = session_.currentInfo.vScrollShown == 1;
    const int hHeight = h ? bars_[0]->sizeHint().height() : 0;
    const int vWidth = v ? bars_[1]->sizeHint().width() : 0;
    const QRect client(inner.x(), inner.y(), std::max(0, inner.width() - vWidth),
                       std::max(0, inner.height() - hHeight));
    if (canvas_->geometry() != client) canvas_->setGeometry(client);
    bars_[0]->setGeometry(client.x(), client.bottom() + 1, client.width(), hHeight);
    bars_[1]->setGeometry(client.right() + 1, client.y(), vWidth, client.height());
    bars_[0]->setVisible(h);
    bars_[1]->setVisible(v);
}

void ImageView::setComparePath(std::string path) {
    comparePath_ = std::move(path);
    repaintNow();
}

void ImageView::paintCanvas(QWidget& canvas) {
    LoadedPicture picture;
    const QImage* image = cache_.load(session_.currentPath, picture);
    LoadedPicture before;
    const QImage* compared =
        comparePath_.empty() ? nullptr : compareCache_.load(comparePath_, before);
    // Side by side, each picture has half the canvas and both follow the one layout.
    const int half = compared != nullptr ? canvas.width() / 2 : 0;
    paintViewModel(session_, scroll_, image != nullptr ? &picture : nullptr, canvas.width() - half,
                   canvas.height());
    QPainter painter(&canvas);
    painter.fillRect(canvas.rect(), Qt::white);
    const ImageInfo& info = session_.currentInfo;
    drawn_ = {};
    if (image != nullptr && info.hasPicture()) {
        const QRect layout(info.drawX, info.drawY, info.drawWidth, info.drawHeight);
        const int zoom = info.zoomPercent[std::size_t(info.zoomIndex)];
        // Enlarged pixels stay sharp; reductions are smoothed.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, zoom < 100);
        drawn_ = layout.translated(half, 0);
        drawPicture(painter, *image, drawn_,
                    QRect(half, 0, canvas.width() - half, canvas.height()));
        if (compared != nullptr) {
            drawPicture(painter, *compared, layout, QRect(0, 0, half, canvas.height()));
            painter.fillRect(QRect(half - 1, 0, 2, canvas.height()), Qt::darkGray);
        }
    }
    painter.end();
    applyBars();
}

void ImageView::drawPicture(QPainter& painter, const QImage& image, QRect drawn, QRect area) const {
    const QRect visible = drawn.intersected(area);
    if (visible.isEmpty()) return; // as it is for an empty `drawn`
    const double sx = double(image.width()) / drawn.width();
    const double sy = double(image.height()) / drawn.height();
    const QRectF source((visible.x() - drawn.x()) * sx, (visible.y() - drawn.y()) * sy,
                        visible.width() * sx, visible.height() * sy);
    painter.drawImage(QRectF(visible), image, source);
}

void ImageView::applyBars() {
    applyRecord(*bars_[0], scroll_.horizontal);
    applyRecord(*bars_[1], scroll_.vertical);
    placeChildren(); // a bar that appears or goes changes the client size: the next paint follows
}

void ImageView::onBarAction(ScrollAxis axis, int action) {
    QScrollBar* bar = bars_[axis == ScrollAxis::Horizontal ? 0 : 1];
    const ScrollRequest request = requestOf(action);
    const bool moved =
        scrollView(session_.currentInfo, scroll_, axis, request, bar->sliderPosition());
    const ScrollRecord& record =
        axis == ScrollAxis::Horizontal ? scroll_.horizontal : scroll_.vertical;
    if (moved) repaintNow();
    bar->setSliderPosition(std::clamp(record.position, bar->minimum(), bar->maximum()));
}

} // namespace vellora::app
