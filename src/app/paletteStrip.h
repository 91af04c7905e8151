#pragma once
// The palette of the tiled picture as rows of swatches; one of them is the current colour,
// outlined, and a click on another makes it current.
#include <QColor>
#include <QWidget>

#include <vector>

namespace vellora::app {

class PaletteStrip final : public QWidget {
    Q_OBJECT
  public:
    explicit PaletteStrip(QWidget* parent);

    // New colours; the current colour goes back to entry 0.
    void setColors(std::vector<QColor> colors);
    int current() const { return current_; }
    void setCurrent(int index);
    int count() const { return int(colors_.size()); }
    // The swatch's rectangle, for tests and clicks.
    QRect swatchRect(int index) const;

  signals:
    void currentChanged(int index);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    int perRow() const;
    void fitHeight();

    std::vector<QColor> colors_;
    int current_ = 0;
};

} // namespace vellora::app
