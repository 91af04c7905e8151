#pragma once
// The design tools of the main window: Compare (F2), the picture before the tiling beside the
// tiled one at one zoom and scroll, and Edit Tiles (F3), the palette strip with a current
// colour that a click paints into a tile and a right click takes from one. Each edit is an
// undo step of its own and the tiling table follows it.
#include <QObject>

#include <string>
#include <unordered_set>

class QAction;
class QToolBar;

namespace vellora::app {

class MainWindow;
class PaletteStrip;

class DesignTools final : public QObject {
    Q_OBJECT
  public:
    explicit DesignTools(MainWindow& window);

    QAction* compareAction() const { return compare_; }
    QAction* editAction() const { return edit_; }
    PaletteStrip* strip() const { return strip_; }
    // What a press on the view's canvas does in Edit Tiles.
    void pressAt(QPoint canvasPoint, Qt::MouseButton button);

  private:
    void addToMenu(const QString& menuPrefix, QAction* action);
    void setComparing(bool on);
    void setEditing(bool on);
    void afterTiling(const std::string& before);
    void afterUndo();
    void refreshStrip();

    MainWindow& window_;
    QAction* compare_;
    QAction* edit_;
    QToolBar* stripBar_;
    PaletteStrip* strip_;
    std::string beforeTiling_; // the picture the last tiling started from
    std::string seenPath_;     // the current picture as the last command left it
    // The tiled pictures of this design: the tiling's result and every edit's.
    std::unordered_set<std::string> tiledPaths_;
};

} // namespace vellora::app
