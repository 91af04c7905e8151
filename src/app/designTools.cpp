#include "app/designTools.h"

#include "app/mainWindow.h"
#include "app/paletteStrip.h"
#include "core/dibImage.h"
#include "core/frontend.h"
#include "shell/commandTable.h"
#include "shell/menuState.h"
#include "shell/tileDesign.h"

#include <QAction>
#include <QMenuBar>
#include <QToolBar>

#include <filesystem>

namespace vellora::app {

namespace {

// The point of the picture as displayed (column, row from the top) under a canvas point.
std::optional<QPoint> picturePoint(const QRect& drawn, const ImageInfo& info, QPoint canvas) {
    if (!drawn.contains(canvas)) return std::nullopt; // nor does an empty one contain any
    const auto x = int(std::int64_t(canvas.x() - drawn.x()) * info.width / drawn.width());
    const auto top = int(std::int64_t(canvas.y() - drawn.y()) * info.height / drawn.height());
    return QPoint(x, top);
}

std::vector<QColor> pictureColors(const std::string& path) {
    DibImage picture;
    SilentFrontend quiet;
    std::vector<QColor> colors;
    if (readBitmapFile(quiet, path, picture) != 0) return colors; // true colour lists none
    for (int i = 0; i < picture.listedEntries(); ++i) {
        const std::uint8_t* e = picture.paletteEntry(i);
        colors.emplace_back(e[2], e[1], e[0]);
    }
    return colors;
}

} // namespace

DesignTools::DesignTools(MainWindow& window)
    : QObject(&window), window_(window), compare_(new QAction("Compare", &window)),
      edit_(new QAction("Edit Tiles", &window)), stripBar_(new QToolBar("palette", &window)),
      strip_(new PaletteStrip(stripBar_)) {
    compare_->setObjectName("designCompare");
    compare_->setShortcut(Qt::Key_F2);
    compare_->setCheckable(true);
    edit_->setObjectName("designEditTiles");
    edit_->setShortcut(Qt::Key_F3);
    edit_->setCheckable(true);
    addToMenu("View", compare_);
    addToMenu("Tiling", edit_);
    connect(compare_, &QAction::toggled, this, &DesignTools::setComparing);
    connect(edit_, &QAction::toggled, this, &DesignTools::setEditing);

    stripBar_->setObjectName("paletteBar");
    stripBar_->setMovable(false);
    stripBar_->addWidget(strip_);
    window.addToolBar(Qt::BottomToolBarArea, stripBar_);
    stripBar_->hide();
    connect(window.imageView(), &ImageView::canvasPressed, this, &DesignTools::pressAt);

    // The window's own commands run first; these follow what they did. seenPath_ is the
    // current picture as every command left it, so a tiling that made a new picture is told
    // from one whose dialog was cancelled.
    if (QAction* tiling = window.commandAction(kCmdTiling))
        connect(tiling, &QAction::triggered, this, [this] {
            if (window_.session().currentPath != seenPath_) afterTiling(seenPath_);
        });
    if (QAction* undo = window.commandAction(kCmdUndo))
        connect(undo, &QAction::triggered, this, &DesignTools::afterUndo);
    for (int id = kFirstCommandId; id <= kLastCommandId; ++id)
        if (QAction* action = window.commandAction(id))
            connect(action, &QAction::triggered, this,
                    [this] { seenPath_ = window_.session().currentPath; });
    seenPath_ = window.session().currentPath;
}

void DesignTools::addToMenu(const QString& menuPrefix, QAction* action) {
    for (QAction* top : window_.menuBar()->actions())
        if (top->menu() != nullptr && top->text().startsWith(menuPrefix)) {
            top->menu()->addSeparator();
            top->menu()->addAction(action);
            return;
        }
    window_.addAction(action); // no such menu: the key still works
}

void DesignTools::afterTiling(const std::string& before) {
    beforeTiling_ = before;
    tiledPaths_ = {window_.session().currentPath};
    if (compare_->isChecked()) window_.imageView()->setComparePath(beforeTiling_);
    if (edit_->isChecked()) refreshStrip();
}

void DesignTools::afterUndo() {
    // An edit undone leaves a tiled picture: its table stays to be had.
    if (tiledPaths_.count(window_.session().currentPath) != 0)
        window_.dispatcher().setMenuState(kMenuTiled, window_.session().history.historyDepth);
}

void DesignTools::setComparing(bool on) {
    std::string before = beforeTiling_;
    const UndoHistory& h = window_.session().history;
    if (before.empty() && h.historyDepth > 0) before = h.historyPaths[std::size_t(h.historyDepth)];
    std::error_code error;
    if (on && (before.empty() || !std::filesystem::exists(before, error))) {
        compare_->setChecked(false);
        return;
    }
    window_.imageView()->setComparePath(on ? before : std::string());
}

void DesignTools::setEditing(bool on) {
    stripBar_->setVisible(on);
    if (on) refreshStrip();
}

void DesignTools::refreshStrip() {
    strip_->setColors(pictureColors(window_.session().currentPath));
}

void DesignTools::pressAt(QPoint canvasPoint, Qt::MouseButton button) {
    Session& session = window_.session();
    if (!edit_->isChecked() || !session.currentInfo.hasPicture()) return;
    const auto point =
        picturePoint(window_.imageView()->drawnRect(), session.currentInfo, canvasPoint);
    if (!point) return;
    const ImageInfo& info = session.currentInfo;
    const TileGeometry g = computeTileGeometry(session.workingBlock, info.width, info.height);
    const auto cell = tileAtPoint(g, info.width, info.height, point->x(), point->y());
    if (!cell) return;
    if (button == Qt::RightButton) {
        DibImage picture;
        SilentFrontend quiet;
        if (readBitmapFile(quiet, session.currentPath, picture) == 0)
            strip_->setCurrent(tileIndex(picture, g, *cell));
        return;
    }
    if (button != Qt::LeftButton || strip_->count() == 0) return;
    if (paintTile(session, *cell, strip_->current()) != 0) return;
    tiledPaths_.insert(session.currentPath);
    seenPath_ = session.currentPath;
    window_.dispatcher().finishOperation(kMenuTiled);
}

} // namespace vellora::app
