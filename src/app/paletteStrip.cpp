#include "app/paletteStrip.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace vellora::app {

namespace {
constexpr int kSwatch = 18; // pixels, the outline included
constexpr int kMargin = 2;
} // namespace

PaletteStrip::PaletteStrip(QWidget* parent) : QWidget(parent) {
    setObjectName("paletteStrip");
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    fitHeight();
}

void PaletteStrip::setColors(std::vector<QColor> colors) {
    colors_ = std::move(colors);
    current_ = 0;
    fitHeight();
    update();
}

void PaletteStrip::setCurrent(int index) {
    if (index < 0 || index >= count() || index == current_) return;
    current_ = index;
    update();
    emit currentChanged(index);
}

int PaletteStrip::perRow() const {
    return std::max(1, (width() - 2 * kMargin) / kSwatch);
}

QRect PaletteStrip::swatchRect(int index) const {
    const int row = index / perRow();
    const int column = index % perRow();
    return {kMargin + column * kSwatch, kMargin + row * kSwatch, kSwatch, kSwatch};
}

void PaletteStrip::fitHeight() {
    const int rows = std::max(1, (count() + perRow() - 1) / perRow());
    setFixedHeight(2 * kMargin + rows * kSwatch);
}

void PaletteStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitHeight();
}

void PaletteStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    for (int i = 0; i < count(); ++i) {
        const QRect r = swatchRect(i).adjusted(2, 2, -2, -2);
        painter.fillRect(r, colors_[std::size_t(i)]);
        painter.setPen(i == current_ ? QPen(Qt::red, 2) : QPen(Qt::darkGray, 1));
        painter.drawRect(i == current_ ? r.adjusted(-1, -1, 0, 0) : r);
    }
}

void PaletteStrip::mousePressEvent(QMouseEvent* event) {
    for (int i = 0; i < count(); ++i)
        if (swatchRect(i).contains(event->position().toPoint())) {
            setCurrent(i);
            return;
        }
}

} // namespace vellora::app
