// The desktop program via its real main window: menus and keys reach the registry's commands, the
// view shows and scrolls the file, errors reach message boxes, dialog choices and "save as default"
// reach the operations, parameter file and next run. Prompts scripted; command rules: tests/shell.
#include "app/mainWindow.h"
#include "app/designTools.h"
#include "app/dialogRegistry.h"
#include "app/operationDialogs.h"
#include "app/paletteStrip.h"
#include "app/qtFrontend.h"
#include "core/dibImage.h"
#include "core/pixelAccess.h"
#include "dialogDriver.h"
#include "shell/commandTable.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

using namespace vellora;
using vellora::app::MainWindow;

namespace {

// A 24 bpp bitmap file: a colour ramp, or with `halves` black on the left and white on the right.
std::string writePicture(const QTemporaryDir& dir, const char* name, int width, int height,
                         bool halves = false) {
    SilentFrontend frontend;
    DibImage image;
    if (createDib(frontend, image, width, height, 24, 0) != 0) return {};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t v = x < width / 2 ? 0 : 255;
            const std::uint8_t bgr[3] = {halves ? v : std::uint8_t(x), halves ? v : std::uint8_t(y),
                                         halves ? v : std::uint8_t(x + y)};
            setColor(image, bgr, y, x, 24);
        }
    const std::string path = dir.filePath(name).toStdString();
    return writeBitmapFile(frontend, path, image) == 0 ? path : std::string();
}

// The palette lines of a saved tiling CSV: index → count, and the entries' colours in order.
std::map<int, long> csvCounts(const std::string& path, std::vector<QColor>* colors = nullptr) {
    std::ifstream in(path);
    std::map<int, long> counts;
    std::string line;
    while (std::getline(in, line) && line != "index,red,green,blue,count") {
    }
    int index, red, green, blue;
    long count;
    while (std::getline(in, line) &&
           std::sscanf(line.c_str(), "%d,%d,%d,%d,%ld", &index, &red, &green, &blue, &count) == 5) {
        counts[index] = count;
        if (colors != nullptr) colors->emplace_back(red, green, blue);
    }
    return counts;
}

// The 32-bit field at `offset` of the parameter file (little-endian, as this machine).
std::uint32_t fileField(const std::string& path, std::size_t offset) {
    std::uint32_t value = 0xFFFFFFFFu;
    std::ifstream(path, std::ios::binary)
        .seekg(std::streamoff(offset))
        .read(reinterpret_cast<char*>(&value), 4);
    return value;
}

constexpr std::size_t kGrayLevelOffsetInFile = 12 + 528;

// The swatch's middle row, then column: o where the outline's colour shows, f the fill's, . else.
QString swatchCross(const QImage& strip, QRect swatch, QColor outline, QColor fill) {
    QString cross;
    const auto mark = [&](int x, int y) {
        const QColor shown = strip.pixelColor(x, y);
        cross += shown == outline ? 'o' : shown == fill ? 'f' : '.';
    };
    for (int x = swatch.left(); x <= swatch.right(); ++x)
        mark(x, swatch.center().y());
    cross += ' ';
    for (int y = swatch.top(); y <= swatch.bottom(); ++y)
        mark(swatch.center().x(), y);
    return cross;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    test::ScriptedPrompter prompter_;
    std::unique_ptr<MainWindow> window_;
    std::map<int, app::DialogFactory> dialogs_;

    std::string parameterFile() const { return dir_->filePath("vellora.par").toStdString(); }

    MainWindow& start(std::optional<QSize> screen = QSize(1920, 1080)) {
        app::MainWindowOptions options;
        options.parameterFile = parameterFile();
        options.prompter = &prompter_;
        options.screenSize = screen;
        options.dialogs = dialogs_;
        window_ = std::make_unique<MainWindow>(std::move(options));
        window_->showAtSavedGeometry();
        QApplication::setActiveWindow(window_.get());
        [&] { QVERIFY(QTest::qWaitForWindowExposed(window_.get())); }();
        return *window_;
    }

    // Resizes the window so that the view's client area is exactly `size`.
    void setClientSize(QSize size) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            QApplication::processEvents();
            const QSize now = window_->imageView()->canvas()->size();
            if (now == size) return;
            window_->resize(window_->size() + (size - now));
        }
        QApplication::processEvents();
    }

    // Starts with an 800 × 600 view on a new picture of that size.
    MainWindow& startOn(const char* name, int width, int height, bool halves = false) {
        const std::string path = writePicture(*dir_, name, width, height, halves);
        MainWindow& w = start();
        setClientSize({800, 600});
        open(path);
        return w;
    }

    void run(int commandId) { window_->commandAction(commandId)->trigger(); }
    bool enabled(int commandId) { return window_->commandAction(commandId)->isEnabled(); }

    void open(const std::string& path) {
        prompter_.files.push_back(path);
        run(kCmdOpen);
    }

    void ctrl(Qt::Key key, bool shift = false) {
        QTest::keyClick(window_.get(), key,
                        shift ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
    }

    bool sendKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(window_.get(), &event);
        return event.isAccepted();
    }

    const ImageInfo& info() { return window_->session().currentInfo; }

    QString statusText() {
        const auto* label = window_->statusBar()->findChild<QLabel*>("statusText");
        return label != nullptr ? label->text() : "(no status text label)";
    }

    QColor shownAt(QPoint point) {
        return window_->imageView()->canvas()->grab().toImage().pixelColor(point);
    }

    // A wheel turn at canvas `point`, given to the view: the canvas keeps hand-sent ones to itself.
    void wheel(QPoint point, QPoint angleDelta, Qt::KeyboardModifiers modifiers = {}) {
        app::ImageView* view = window_->imageView();
        const QPoint at = view->canvas()->mapTo(view, point);
        QWheelEvent event(at, view->mapToGlobal(at), QPoint(), angleDelta, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &event);
    }

    std::map<int, long> saveCsv(const char* name, std::vector<QColor>* colors = nullptr) {
        const std::string csv = dir_->filePath(name).toStdString();
        prompter_.files.push_back(csv);
        ctrl(Qt::Key_S); // SaveAs CSV File
        return csvCounts(csv, colors);
    }

    // Runs "gray scale" through its dialog, returning the levels position shown; `choose` ≥ 0 picks
    // that position and presses "Okay" (ticked when `save`), otherwise "Cancel".
    int grayScale(int choose, bool save) {
        int shown = -3;
        test::onNextModal([&shown, choose, save](QDialog& dialog) {
            shown = test::selected(&dialog, "combo1620");
            if (choose >= 0) test::chooseItem(&dialog, "combo1620", choose);
            if (save) test::click(&dialog, "check505");
            test::click(&dialog, choose >= 0 ? "okay" : "cancel");
        });
        window_->runCommand(kCmdGrayScale);
        return shown;
    }

    void exitProgram() {
        prompter_.saveAnswer = SaveChangesAnswer::No;
        QVERIFY(window_->close()); // the changes not saved
        window_.reset();
    }

  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        prompter_ = test::ScriptedPrompter{};
        dialogs_.clear();
    }

    void cleanup() {
        if (window_) {
            prompter_.saveAnswer = SaveChangesAnswer::No;
            window_->close();
            window_.reset();
        }
    }

    void firstRunCentresA640By480WindowWithTheRegistrysMenus() {
        MainWindow& w = start();
        QCOMPARE(w.frameGeometry(), QRect(640, 300, 640, 480));
        QVERIFY(w.textPane()->isHidden() && w.progressBar()->isHidden() && !w.commandAction(301));
        // Menus follow the shell's layout; keys are Ctrl (and Shift) with the letter or digit.
        QCOMPARE(w.menuBar()->actions().front()->menu()->actions().front()->text(),
                 QString("Open\tCtrl + O"));
        QCOMPARE(w.commandAction(kCmdClose)->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
        QCOMPARE(w.commandAction(kCmdRotate180)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_2));
        // Compare and Edit Tiles end the View and Tiling menus.
        QCOMPARE(w.menuBar()->actions()[1]->menu()->actions().back()->text(), QString("Compare"));
        QCOMPARE(w.menuBar()->actions()[5]->menu()->actions().back()->text(),
                 QString("Edit Tiles"));
        // The controls' ids, the status bar's size grip, the percent bar and the table's font.
        QCOMPARE(w.imageView()->property("controlId"), QVariant(111));
        QCOMPARE(w.textPane()->property("controlId"), QVariant(112));
        QCOMPARE(w.statusBar()->property("controlId"), QVariant(113));
        QVERIFY(w.statusBar()->isSizeGripEnabled());
        w.session().frontend.setProgressVisible(true);
        w.session().frontend.setProgressPosition(40);
        QCOMPARE(std::tuple(w.progressBar()->minimum(), w.progressBar()->maximum(),
                            w.progressBar()->isTextVisible(), w.progressBar()->isVisible(),
                            w.progressBar()->value()),
                 std::tuple(0, 100, false, true, 40));
        w.session().frontend.setProgressVisible(false);
        QCOMPARE(w.textPane()->font().pointSize(), 10);
        // The client size that makes the saved outer size, never below 1 x 1.
        QCOMPARE(app::clientSizeFor({640, 480}, {16, 39}), QSize(624, 441));
        QCOMPARE(app::clientSizeFor({640, 480}, {0, 0}), QSize(640, 480));
        QCOMPARE(app::clientSizeFor({10, 30}, {10, 31}), QSize(1, 1));
        // The hidden menu has a key and no item; About runs only once the command running ends.
        dialogs_[kCmdHiddenMenu] = [this](QWidget*, int, Session&) {
            window_->commandAction(kCmdAbout)->trigger();
            return false;
        };
        start();
        ctrl(Qt::Key_U, true);
        QVERIFY(prompter_.questions.empty());
        ctrl(Qt::Key_T, true);
        QCOMPARE(prompter_.questions, std::vector<std::string>{"about vellora version 0.1.0"});
    }

    void zoomAt200ScrollsByTheWheelBarsAndKeys() {
        MainWindow& w = startOn("scroll.bmp", 1000, 500);
        run(232);                  // 200 %: drawn 2000 x 1000 at (-600, -200)
        setClientSize({800, 600}); // the bars took their room; give the client its size back
        w.imageView()->repaintNow();
        wheel({100, 100}, {0, -120}); // a notch down: 48 pixels
        QCOMPARE(std::pair(info().drawY, w.imageView()->drawnRect().y()), std::pair(-248, -248));
        wheel({100, 100}, {0, 120}, Qt::ShiftModifier); // sideways
        QCOMPARE(info().drawX, -552);
        // Picture column (100 + 552) / 2 and row (100 + 248) / 2 stay under the pointer at 300 %.
        wheel({100, 100}, {0, 120}, Qt::ControlModifier);
        QCOMPARE(w.windowTitle(), QString("vellora -- scroll.bmp, 300 %"));
        QVERIFY(w.commandAction(233)->isChecked());
        QCOMPARE(info().drawX, 100 - 652 * 3 / 2);
        QCOMPARE(info().drawY, 100 - 348 * 3 / 2);
        QCOMPARE(w.imageView()->drawnRect().topLeft(), QPoint(info().drawX, info().drawY));
        wheel({100, 100}, {0, -60}, Qt::ControlModifier); // half a notch: not yet a step
        QCOMPARE(info().zoomIndex, 13);
        wheel({100, 100}, {0, -60}, Qt::ControlModifier);
        QCOMPARE(std::pair(info().zoomIndex, info().drawX), std::pair(12, -552));
        QScrollBar* bar = w.imageView()->horizontalBar(); // the bar shows the record
        const ScrollRecord& record = w.imageView()->scroll().horizontal;
        QVERIFY(bar->isVisible() && record.position > 0);
        // Both bars lie against the canvas (below it, right of it) in the view, as thick as asked.
        const QRect canvas = w.imageView()->canvas()->geometry();
        const QRect inner = w.imageView()->contentsRect();
        QCOMPARE(std::tuple(bar->geometry().top(), bar->geometry().bottom(), bar->height()),
                 std::tuple(canvas.bottom() + 1, inner.bottom(), bar->sizeHint().height()));
        const QScrollBar* vertical = w.imageView()->verticalBar();
        QCOMPARE(std::tuple(vertical->geometry().left(), vertical->geometry().right(),
                            vertical->width()),
                 std::tuple(canvas.right() + 1, inner.right(), vertical->sizeHint().width()));
        QCOMPARE(std::tuple(bar->value(), bar->pageStep(), bar->maximum()),
                 std::tuple(record.position, record.page, record.maximum - record.page));
        bar->setSliderPosition(10); // the thumb dragged near the start
        // drawX = -((2000 + 30) * 10 / 800) = -25; painted, position = (15 + 25) * 800 / 2030 = 15
        QCOMPARE(std::pair(info().drawX, record.position), std::pair(-25, 15));
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(std::pair(info().drawX, bar->value()), std::pair(15, 0));
        const int top = info().drawY; // the other bar scrolls the other way
        w.imageView()->verticalBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QVERIFY(info().drawY < top && info().drawX == 15);
        QVERIFY(sendKey(Qt::Key_End, Qt::ShiftModifier));
        QCOMPARE(info().drawX, 800 - 30 - 2000);
        QVERIFY(!sendKey(Qt::Key_Home, Qt::NoModifier)); // not the view's key with a bar shown
        QVERIFY(!sendKey(Qt::Key_A, Qt::NoModifier));
        QVERIFY(shownAt({400, 0}) != QColor(Qt::white)); // the picture reaches the top row
    }

    // Long operations let the window paint: what waits on the main thread runs.
    void keepingTheWindowPaintedRunsWhatWaits() {
        bool ran = false;
        QTimer::singleShot(0, [&ran] { ran = true; });
        app::keepWindowPainted();
        QVERIFY(ran);
    }

    // The tile line named in the sheet settings beside the parameter file is used from the start.
    void theSavedTileLineIsTheDesignPaletteAtStart() {
        const std::string line = dir_->filePath("glass.tiles").toStdString();
        std::ofstream(line) << "name,code,red,green,blue\nblue,B1,0,0,255\nsand,S2,230,210,150\n";
        std::ofstream(dir_->filePath("vellora.sheet").toStdString()) << "tiles=" << line << "\n";
        MainWindow& w = start();
        QCOMPARE(w.session().designPalette.colors,
                 (std::vector<std::array<std::uint8_t, 3>>{{255, 0, 0}, {150, 210, 230}}));
    }

    // Compare sets the picture before the last step beside the current one, each centred in
    // half the canvas: black then white before the flip, white then black after it.
    void compareShowsThePictureBeforeTheStepOnTheLeft() {
        MainWindow& w = startOn("halves.bmp", 4, 2, true);
        run(kCmdZoomLast); // 1000 %: 40 x 20 at x 180 of each 400-pixel half
        ctrl(Qt::Key_H);
        w.findChild<QAction*>("designCompare")->trigger();
        const std::pair<int, QColor> shown[] = {{185, Qt::black},    {215, Qt::white},
                                                {399, Qt::darkGray}, {400, Qt::darkGray},
                                                {585, Qt::white},    {615, Qt::black}};
        for (const auto& [x, colour] : shown)
            QCOMPARE(shownAt({x, 300}), colour);
        QCOMPARE(std::pair(shownAt({400, 0}), shownAt({401, 300})), // the divider's full height
                 std::pair(QColor(Qt::darkGray), QColor(Qt::white)));
    }

    // Each paint shows the current file with enlarged pixels sharp; a failed open keeps it.
    void theViewShowsTheCurrentFileAndAFailedOpenKeepsIt() {
        const std::string broken = dir_->filePath("broken.png").toStdString();
        std::ofstream(broken) << "\x89PNG not a picture";
        MainWindow& w = startOn("halves.bmp", 4, 2, true);
        run(kCmdZoomLast); // 1000 %: each pixel 10 x 10
        const QRect drawn = w.imageView()->drawnRect();
        QCOMPARE(drawn, QRect(380, 290, 40, 20));
        // With no bar shown the canvas takes the whole view.
        QCOMPARE(w.imageView()->canvas()->geometry(), w.imageView()->contentsRect());
        const int y = drawn.y() + 10;
        QCOMPARE(shownAt({drawn.x() + 19, y}), QColor(Qt::black)); // last black column
        QCOMPARE(shownAt({drawn.x() + 20, y}), QColor(Qt::white)); // first white one
        ctrl(Qt::Key_H); // Flip Horizontal: a new current file, drawn at once
        QCOMPARE(shownAt({drawn.x() + 19, y}), QColor(Qt::white));
        QCOMPARE(shownAt({drawn.x() + 20, y}), QColor(Qt::black));
        ctrl(Qt::Key_Z); // Undo: the first file again
        const QString title = w.windowTitle();
        open(broken);
        QCOMPARE(prompter_.messages.size(), std::size_t(1)); // the failure's message
        QCOMPARE(w.windowTitle(), title);
        QVERIFY(w.commandAction(kCmdZoomLast)->isChecked() && !enabled(kCmdSave));
        QCOMPARE(shownAt({drawn.x() + 5, y}), QColor(Qt::black));
        ctrl(Qt::Key_D); // Zoom Dn: the last item is unchecked too
        QVERIFY(!w.commandAction(kCmdZoomLast)->isChecked());
    }

    // Actions follow the menu state (rules: tests/shell): an operation enables Save and Undo,
    // saving grays them; the saved state's next paint clears the status, Fit Window lays out again;
    // after a tiling Express Table swaps in the table (the hidden view takes no key) and back.
    void actionsFollowTheStateAndExpressTableSwapsThePanes() {
        MainWindow& w = startOn("tile.bmp", 200, 150);
        ctrl(Qt::Key_H); // Flip Horizontal
        QVERIFY(enabled(kCmdSave) && enabled(kCmdUndo) && !enabled(kCmdExpressTable));
        ctrl(Qt::Key_S, true); // Save
        QVERIFY(!enabled(kCmdSave) && !enabled(kCmdUndo));
        w.imageView()->repaintNow();
        QCOMPARE(statusText(), QString());
        ctrl(Qt::Key_F);
        QCOMPARE(statusText(), QString("    width x height : 200 x 150, bits per pixel : 24"));
        ctrl(Qt::Key_T);
        QVERIFY(enabled(kCmdExpressTable) && enabled(kCmdSaveCsv));
        ctrl(Qt::Key_E);
        QVERIFY(w.textPane()->isVisible() && !w.imageView()->isVisible());
        QVERIFY(w.textPane()->isReadOnly() && !w.textPane()->toPlainText().isEmpty());
        QVERIFY(!enabled(kCmdTiling) && !enabled(kCmdUndo));
        QVERIFY(!sendKey(Qt::Key_Home, Qt::ShiftModifier));
        ctrl(Qt::Key_E);
        QVERIFY(!w.textPane()->isVisible() && w.imageView()->isVisible());
        ctrl(Qt::Key_Z); // Undo
        QVERIFY(prompter_.messages.empty());
        QCOMPARE(w.shellState().menuState, int(kMenuUndone));
    }

    // F2 compares with the picture before the tiling, else the step before; nothing before: off.
    void compareKeyTogglesTheViewAndBack() {
        MainWindow& w = startOn("tile.bmp", 200, 150);
        QAction* compare = w.designTools()->compareAction();
        QTest::keyClick(&w, Qt::Key_F2);
        QVERIFY(!compare->isChecked() && w.imageView()->comparePath().empty());
        const std::string before = w.session().currentPath;
        ctrl(Qt::Key_H);
        QTest::keyClick(&w, Qt::Key_F2);
        QCOMPARE(w.imageView()->comparePath(), before);
        QTest::keyClick(&w, Qt::Key_F2);
        const std::string flipped = w.session().currentPath;
        ctrl(Qt::Key_T);
        const QRect single = w.imageView()->drawnRect();
        QTest::keyClick(&w, Qt::Key_F2);
        QVERIFY(compare->isChecked());
        QCOMPARE(w.imageView()->comparePath(), flipped);
        QVERIFY(w.imageView()->drawnRect().x() >= w.imageView()->canvas()->width() / 2);
        QTest::keyClick(&w, Qt::Key_F2);
        QVERIFY(w.imageView()->comparePath().empty());
        QCOMPARE(w.imageView()->drawnRect(), single);
    }

    // Edit Tiles: the strip shows the palette, current swatch marked; a click moves one tile to the
    // current colour's count in the saved CSV, undo back. Other modes, middle clicks: no paint.
    void editedTileMovesOneCountAndUndoMovesItBack() {
        MainWindow& w = startOn("tile.bmp", 200, 150);
        ctrl(Qt::Key_T);
        std::vector<QColor> palette;
        const std::map<int, long> tiled = saveCsv("tiled.csv", &palette);
        QWidget* canvas = w.imageView()->canvas();
        const QPoint tile = w.imageView()->drawnRect().bottomRight() - QPoint(2, 2);
        const int depth = w.session().history.historyDepth;
        QTest::keyClick(&w, Qt::Key_F3);
        app::PaletteStrip* strip = w.designTools()->strip();
        QVERIFY(strip->isVisible());
        QCOMPARE(std::pair(strip->count(), strip->current()), std::pair(int(tiled.size()), 0));
        // 2-pixel margins round rows of 18-pixel swatches
        const int lastRowEnd = strip->swatchRect(strip->count() - 1).bottom() + 1;
        QCOMPARE(std::pair(strip->swatchRect(1), strip->height()),
                 std::pair(QRect(20, 2, 18, 18), lastRowEnd + 2));
        QTest::mouseClick(canvas, Qt::RightButton, {}, tile); // the tile's colour is current
        const int old = strip->current();
        const int fresh = (old + 1) % strip->count();
        QTest::mouseClick(strip, Qt::LeftButton, {}, strip->swatchRect(fresh).center());
        strip->setCurrent(strip->count()); // past the last swatch: nothing changes
        QCOMPARE(strip->current(), fresh);
        strip->setCurrent(0);
        QCOMPARE(strip->current(), 0);
        strip->setCurrent(fresh);
        const QImage shown = strip->grab().toImage();
        const QString fill(13, 'f');
        for (int i = 0; i < strip->count(); ++i) {
            const QRect swatch = strip->swatchRect(i);
            // The current swatch's outline is red, twice as thick and one pixel further out.
            const QColor outline = i == fresh ? QColor(Qt::red) : QColor(Qt::darkGray);
            const QString half = i == fresh ? "oo" + fill + "oo." : "..o" + fill + "o.";
            QCOMPARE(swatchCross(shown, swatch, outline, palette[std::size_t(i)]),
                     half + " " + half);
        }
        const QRect after = strip->swatchRect(strip->count()); // nothing past the last swatch
        QCOMPARE(shown.pixelColor(after.center()), shown.pixelColor(after.topLeft()));
        QTest::mouseClick(canvas, Qt::MiddleButton, {}, tile);
        QCOMPARE(w.session().history.historyDepth, depth);
        QTest::mouseClick(canvas, Qt::LeftButton, {}, tile); // and shown at once
        QCOMPARE(shownAt(w.imageView()->drawnRect().bottomRight() - QPoint(2, 2)),
                 palette[std::size_t(fresh)]); // laid out anew under the strip
        std::map<int, long> expected = tiled;
        --expected[old];
        ++expected[fresh];
        QCOMPARE(saveCsv("edited.csv"), expected);
        ctrl(Qt::Key_Z);
        QCOMPARE(saveCsv("undone.csv"), tiled);
        QTest::keyClick(&w, Qt::Key_F3); // editing off: a click paints nothing
        QTest::mouseClick(canvas, Qt::LeftButton, {},
                          w.imageView()->drawnRect().bottomRight() - QPoint(2, 2));
        QVERIFY(w.session().history.historyDepth == depth && prompter_.messages.empty());
    }

    // A picture drawn one pixel wide and high (20 pixels at 5 %) is still shown and edited.
    void aPictureDrawnOnePixelWideIsShownAndEdited() {
        MainWindow& w = startOn("thin.bmp", 20, 20);
        run(kCmdZoomFirst);
        QCOMPARE(w.imageView()->drawnRect().size(), QSize(1, 1));
        const auto middle = [&w] { return w.imageView()->drawnRect().center(); };
        QVERIFY(shownAt(middle()) != QColor(Qt::white)); // the picture, not the ground
        w.session().workingBlock.slitPixelWidth = 0;     // every point in a tile
        ctrl(Qt::Key_T);
        run(kCmdZoomFirst);
        QTest::keyClick(&w, Qt::Key_F3);
        app::PaletteStrip* strip = w.designTools()->strip();
        const int depth = w.session().history.historyDepth;
        QTest::mouseClick(w.imageView()->canvas(), Qt::RightButton, {}, middle());
        strip->setCurrent((strip->current() + 1) % strip->count());
        QTest::mouseClick(w.imageView()->canvas(), Qt::LeftButton, {}, middle());
        QCOMPARE(w.session().history.historyDepth, depth + 1);
    }

    // Levels "16" ticked reach the file, next run and dialog; "4" unticked lasts the run. The
    // window reopens at its last rectangle; cancelling the save question of a close leaves it open.
    void savedLevelsAndTheWindowRectangleReachTheNextRun() {
        app::registerOperationDialogs();
        dialogs_ = app::dialogFactories();
        MainWindow& w = startOn("grays.bmp", 8, 4);
        QCOMPARE(grayScale(3, true), 7);                   // "256" at first
        QCOMPARE(w.session().currentInfo.bitsPerPixel, 4); // the command ran with "16"
        QCOMPARE(w.session().savedBlock.grayLevelIndex, 3u);
        w.move(100, 120);
        w.resize(700, 500);
        QApplication::processEvents();
        const QRect outer = w.frameGeometry();
        QCOMPARE(outer.topLeft(), QPoint(100, 120));
        prompter_.saveAnswer = SaveChangesAnswer::Cancel; // the close box, cancelled
        QVERIFY(!w.close() && w.isVisible() && !std::filesystem::exists(parameterFile()));
        exitProgram();
        QCOMPARE(fileField(parameterFile(), kGrayLevelOffsetInFile), 3u);
        QCOMPARE(start().frameGeometry(), outer);
        open(dir_->filePath("grays.bmp").toStdString());
        QCOMPARE(grayScale(1, false), 3);
        QCOMPARE(grayScale(-1, false), 1); // "4" again until the program ends
        exitProgram();
        QCOMPARE(fileField(parameterFile(), kGrayLevelOffsetInFile), 3u);
        start();
        open(dir_->filePath("grays.bmp").toStdString());
        QCOMPARE(grayScale(-1, false), 3);
    }
};

static const vellora::test::TestClass<MainWindowTest> registered;
#include "mainWindowTest.moc"
