// The desktop program through its real main window: actions, keys, the view, the dialogs'
// answers scripted.
#include "app/mainWindow.h"
#include "app/designTools.h"
#include "app/paletteStrip.h"
#include "app/startup.h"
#include "core/dibImage.h"
#include "core/pixelAccess.h"
#include "imageio/pictureLibrary.h"
#include "scriptedPrompter.h"
#include "shell/commandTable.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

using namespace vellora;
using vellora::app::MainWindow;
using vellora::app::MainWindowOptions;

namespace {

// A 24 bpp bitmap file of the given size with a colour ramp.
std::string writePicture(const QTemporaryDir& dir, const char* name, int width, int height) {
    SilentFrontend frontend;
    DibImage image;
    if (createDib(frontend, image, width, height, 24, 0) != 0) return {};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t bgr[3] = {std::uint8_t(x), std::uint8_t(y), std::uint8_t(x + y)};
            setColor(image, bgr, y, x, 24);
        }
    const std::string path = dir.filePath(name).toStdString();
    if (writeBitmapFile(frontend, path, image) != 0) return {};
    return path;
}

// A 24 bpp bitmap file whose left half is black and right half white, as seen on screen.
std::string writeHalves(const QTemporaryDir& dir, const char* name, int width, int height) {
    SilentFrontend frontend;
    DibImage image;
    if (createDib(frontend, image, width, height, 24, 0) != 0) return {};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t v = x < width / 2 ? 0 : 255;
            const std::uint8_t bgr[3] = {v, v, v};
            setColor(image, bgr, y, x, 24);
        }
    const std::string path = dir.filePath(name).toStdString();
    if (writeBitmapFile(frontend, path, image) != 0) return {};
    return path;
}

// A JPEG whose frame header states 12-bit samples: an 8-bit file with its precision byte changed.
std::string writeTwelveBitJpeg(const QTemporaryDir& dir, const char* name) {
    SilentFrontend frontend;
    DibImage image;
    if (createDib(frontend, image, 8, 8, 24, 0) != 0) return {};
    const std::string path = dir.filePath(name).toStdString();
    std::string error;
    if (!imageio::savePicture(path, image, "image/jpeg", 90, 24, error)) return {};
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    const std::size_t frame = bytes.find("\xFF\xC0");
    if (frame == std::string::npos) return {};
    file.seekp(std::streamoff(frame + 4)); // marker, length, then the sample precision
    file.put(12);
    return file.good() ? path : std::string();
}

// The palette lines of a saved tiling CSV: index → count.
std::map<int, long> csvCounts(const std::string& path) {
    std::ifstream in(path);
    std::map<int, long> counts;
    bool inPalette = false;
    for (std::string line; std::getline(in, line);) {
        if (line == "index,red,green,blue,count")
            inPalette = true;
        else if (inPalette && !line.empty() && std::isdigit(static_cast<unsigned char>(line[0])))
            counts[std::stoi(line)] = std::stol(line.substr(line.rfind(',') + 1));
        else if (inPalette)
            break;
    }
    return counts;
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
        MainWindowOptions options;
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

    // A wheel turn over the canvas at `point`, as it reaches the view (a wheel event sent by
    // hand is not passed on from the canvas to its parent).
    void wheel(QPoint point, QPoint angleDelta, Qt::KeyboardModifiers modifiers = {}) {
        app::ImageView* view = window_->imageView();
        const QPoint at = view->canvas()->mapTo(view, point);
        QWheelEvent event(at, view->mapToGlobal(at), QPoint(), angleDelta, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &event);
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

    void firstRunCentresA640By480Window() {
        MainWindow& w = start(QSize(1920, 1080));
        QCOMPARE(w.frameGeometry(), QRect(640, 300, 640, 480));
        QCOMPARE(w.windowTitle(), QString("vellora"));
        QVERIFY(!enabled(kCmdSave));
        QVERIFY(enabled(kCmdOpen));
        QVERIFY(w.textPane()->isHidden());
        QVERIFY(w.progressBar()->isHidden());
    }

    void menusAreLaidOutWithTheirShortcutTexts() {
        MainWindow& w = start();
        QStringList top;
        for (QAction* a : w.menuBar()->actions())
            top << a->text();
        QCOMPARE(top, (QStringList{"File(&F)", "View(&V)", "Edit(&E)", "Effect(&C)",
                                   "Filtering(&R)", "Tiling(&T)", "Help(&H)"}));
        QStringList file;
        for (QAction* a : w.menuBar()->actions().front()->menu()->actions())
            file << (a->isSeparator() ? QString("-") : a->text());
        QCOMPARE(file, (QStringList{"Open\tCtrl + O", "Close\tCtrl Sft + C", "Save\tCtrl Sft + S",
                                    "Save As\tCtrl Sft + A", "-", "Exit\tCtrl + X"}));
        QCOMPARE(w.commandAction(kCmdClose)->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
        QCOMPARE(w.commandAction(kCmdRotateRight90)->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_1));
        QCOMPARE(w.commandAction(kCmdHiddenMenu)->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U));
    }

    void hiddenMenuKeyRunsItsDialog() {
        int runs = 0;
        dialogs_[kCmdHiddenMenu] = [&runs](QWidget*, int, Session&) {
            ++runs;
            return false;
        };
        start();
        ctrl(Qt::Key_U, true);
        QCOMPARE(runs, 1);
    }

    void openFitsAndTheStatusTellsTheSize() {
        const std::string big = writePicture(*dir_, "big.bmp", 2000, 1000);
        MainWindow& w = start();
        setClientSize({800, 600});
        open(big);
        QCOMPARE(info().zoomIndex, 3);
        QCOMPARE(w.imageView()->drawnRect(), QRect(100, 150, 600, 300));
        QVERIFY(w.imageView()->horizontalBar()->isHidden());
        QCOMPARE(w.windowTitle(), QString("vellora -- big.bmp, 30 %"));
        QVERIFY(w.commandAction(223)->isChecked());
        const QString status("    width x height : 2000 x 1000, bits per pixel : 24");
        QCOMPARE(statusText(), status);
        QStatusTipEvent menuHover{QString()}; // what an item without a tip sends on hovering
        QApplication::sendEvent(&w, &menuHover);
        QCOMPARE(statusText(), status);
        QVERIFY(!enabled(kCmdSave));
        QVERIFY(!enabled(kCmdUndo));
        QVERIFY(enabled(kCmdGrayScale));
    }

    void smallPictureFitsAt100AndHugeOneKeepsTheZoom() {
        const std::string small = writePicture(*dir_, "small.bmp", 100, 50);
        const std::string wide = writePicture(*dir_, "wide.bmp", 20000, 20);
        MainWindow& w = start();
        setClientSize({800, 600});
        open(small);
        QCOMPARE(info().zoomIndex, 10);
        QCOMPARE(w.imageView()->drawnRect(), QRect(350, 275, 100, 50));
        run(232); // 200 %
        prompter_.saveAnswer = SaveChangesAnswer::No;
        open(wide);
        QCOMPARE(info().zoomIndex, 12);
        QCOMPARE(w.windowTitle(), QString("vellora -- wide.bmp, 200 %"));
    }

    void zoomAt200ScrollsByTheRecords() {
        const std::string picture = writePicture(*dir_, "scroll.bmp", 1000, 500);
        MainWindow& w = start();
        setClientSize({800, 600});
        open(picture);
        run(232);
        setClientSize({800, 600}); // the bars took their room; give the client its size back
        w.imageView()->repaintNow();
        QCOMPARE(info().drawX, -600);
        QCOMPARE(info().drawY, -200);
        QCOMPARE(w.imageView()->scroll().horizontal, (ScrollRecord{0, 800, 315, 242}));
        QScrollBar* bar = w.imageView()->horizontalBar();
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->value(), 242);
        QCOMPARE(bar->pageStep(), 315);

        bar->setSliderPosition(10); // the thumb dragged near the start
        // drawX = -((2000 + 30) * 10 / 800) = -25; the paint makes the position
        // (15 + 25) * 800 / 2030 = 15
        QCOMPARE(info().drawX, -25);
        QCOMPARE(w.imageView()->scroll().horizontal.position, 15);
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(info().drawX, 15);
        QCOMPARE(info().state, kStateScrolled);
        QCOMPARE(bar->value(), 0);

        QVERIFY(sendKey(Qt::Key_End, Qt::ShiftModifier));
        QCOMPARE(info().drawX, 800 - 30 - 2000);
        QVERIFY(!sendKey(Qt::Key_Home, Qt::NoModifier)); // not the view's key with a bar shown
    }

    void wheelScrollsAndCtrlWheelZoomsAroundThePointer() {
        const std::string picture = writePicture(*dir_, "wheel.bmp", 1000, 500);
        MainWindow& w = start();
        setClientSize({800, 600});
        open(picture);
        run(232); // 200 %: drawn 2000 x 1000 at (-600, -200)
        setClientSize({800, 600});
        w.imageView()->repaintNow();
        wheel({100, 100}, {0, -120}); // a notch down: 48 pixels
        QCOMPARE(info().drawY, -248);
        wheel({100, 100}, {0, 120}, Qt::ShiftModifier); // sideways
        QCOMPARE(info().drawX, -552);

        // Picture column (100 + 552) / 2 and row (100 + 248) / 2 stay under the pointer at 300 %.
        wheel({100, 100}, {0, 120}, Qt::ControlModifier);
        QCOMPARE(w.windowTitle(), QString("vellora -- wheel.bmp, 300 %"));
        QVERIFY(w.commandAction(233)->isChecked());
        QCOMPARE(info().drawX, 100 - 652 * 3 / 2);
        QCOMPARE(info().drawY, 100 - 348 * 3 / 2);
        QCOMPARE(w.imageView()->drawnRect().topLeft(), QPoint(info().drawX, info().drawY));
        wheel({100, 100}, {0, -60}, Qt::ControlModifier); // half a notch: not yet a step
        QCOMPARE(info().zoomIndex, 13);
        wheel({100, 100}, {0, -60}, Qt::ControlModifier);
        QCOMPARE(w.windowTitle(), QString("vellora -- wheel.bmp, 200 %"));
        QCOMPARE(info().drawX, -552);
    }

    void enlargedPixelsStaySharpAndEveryPaintShowsTheCurrentFile() {
        const std::string halves = writeHalves(*dir_, "halves.bmp", 4, 2);
        MainWindow& w = start();
        setClientSize({800, 600});
        open(halves);
        run(kCmdZoomLast); // 1000 %: each pixel 10 x 10
        const QRect drawn = w.imageView()->drawnRect();
        QCOMPARE(drawn, QRect(380, 290, 40, 20));
        QImage shown = w.imageView()->canvas()->grab().toImage();
        const int y = drawn.y() + 10;
        QCOMPARE(shown.pixelColor(drawn.x() + 19, y), QColor(Qt::black)); // last black column
        QCOMPARE(shown.pixelColor(drawn.x() + 20, y), QColor(Qt::white)); // first white one
        QCOMPARE(shown.pixelColor(drawn.x() - 1, y), QColor(Qt::white));  // the background

        ctrl(Qt::Key_H); // Flip Horizontal: a new current file, drawn at once
        shown = w.imageView()->canvas()->grab().toImage();
        QCOMPARE(shown.pixelColor(drawn.x() + 19, y), QColor(Qt::white));
        QCOMPARE(shown.pixelColor(drawn.x() + 20, y), QColor(Qt::black));
        ctrl(Qt::Key_Z); // Undo: the first file again
        shown = w.imageView()->canvas()->grab().toImage();
        QCOMPARE(shown.pixelColor(drawn.x() + 5, y), QColor(Qt::black));
    }

    void failedOpenKeepsThePictureShownAndInvertStillWorks() {
        const std::string halves = writeHalves(*dir_, "halves.bmp", 4, 2);
        const std::string broken = writeTwelveBitJpeg(*dir_, "twelve.jpg");
        DibImage unread;
        std::string reason;
        QVERIFY(!imageio::loadPicture(broken, unread, reason));
        MainWindow& w = start();
        setClientSize({800, 600});
        open(halves);
        run(kCmdZoomLast);
        const QString title = w.windowTitle();
        const QRect drawn = w.imageView()->drawnRect();
        const QPoint left = drawn.topLeft() + QPoint(5, 10);
        open(broken);
        QCOMPARE(prompter_.messages.size(), std::size_t(1));
        QCOMPARE(prompter_.messages[0], "error: failed to handle an intermediate file\ncannot load \"" +
                                            broken + "\": " + reason);
        QCOMPARE(w.windowTitle(), title);
        QVERIFY(w.commandAction(kCmdZoomLast)->isChecked());
        QVERIFY(!enabled(kCmdSave));
        QCOMPARE(w.imageView()->canvas()->grab().toImage().pixelColor(left), QColor(Qt::black));
        run(kCmdInvert);
        QCOMPARE(prompter_.messages.size(), std::size_t(1));
        QVERIFY(enabled(kCmdUndo));
        QCOMPARE(w.imageView()->canvas()->grab().toImage().pixelColor(left), QColor(Qt::white));
    }

    void shiftHomeWithoutBarsIsConsumed() {
        const std::string small = writePicture(*dir_, "small.bmp", 100, 50);
        start();
        setClientSize({800, 600});
        open(small);
        const int x = info().drawX;
        QVERIFY(sendKey(Qt::Key_Home, Qt::ShiftModifier));
        QCOMPARE(info().drawX, x);
        QCOMPARE(info().state, kStateZoom);
        QVERIFY(!sendKey(Qt::Key_A, Qt::NoModifier));
    }

    void zoomKeysStopAtTheEnds() {
        const std::string small = writePicture(*dir_, "small.bmp", 100, 50);
        MainWindow& w = start();
        open(small);
        run(kCmdZoomLast);
        ctrl(Qt::Key_U);
        QCOMPARE(info().zoomIndex, 20);
        QCOMPARE(w.windowTitle(), QString("vellora -- small.bmp, 1000 %"));
        run(kCmdZoomFirst);
        ctrl(Qt::Key_D);
        QCOMPARE(info().zoomIndex, 0);
        ctrl(Qt::Key_U);
        QCOMPARE(w.windowTitle(), QString("vellora -- small.bmp, 10 %"));
        QVERIFY(w.commandAction(221)->isChecked());
        QVERIFY(!w.commandAction(220)->isChecked());
        ctrl(Qt::Key_Z, true); // 100 %
        QCOMPARE(info().zoomIndex, 10);
    }

    void menusFollowOpenOperationSaveAndUndo() {
        const std::string picture = writePicture(*dir_, "cat.bmp", 64, 32);
        MainWindow& w = start();
        open(picture);
        ctrl(Qt::Key_S, true); // Save is grayed right after opening: nothing happens
        QVERIFY(prompter_.messages.empty());
        ctrl(Qt::Key_H); // Flip Horizontal
        QVERIFY2(prompter_.messages.empty(),
                 prompter_.messages.empty() ? "" : prompter_.messages[0].c_str());
        QVERIFY(enabled(kCmdSave));
        QVERIFY(enabled(kCmdUndo));
        QVERIFY(!enabled(kCmdExpressTable));
        QCOMPARE(w.session().history.historyDepth, 1);
        ctrl(Qt::Key_S, true); // Save
        QVERIFY(prompter_.messages.empty());
        QVERIFY(!enabled(kCmdSave));
        QVERIFY(!enabled(kCmdUndo));
        w.imageView()->repaintNow(); // the saved state's next paint clears the status
        QCOMPARE(statusText(), QString());
        ctrl(Qt::Key_F); // Fit Window lays the picture out again
        QCOMPARE(statusText(), QString("    width x height : 64 x 32, bits per pixel : 24"));
        ctrl(Qt::Key_H);
        ctrl(Qt::Key_Z); // Undo
        QVERIFY(!enabled(kCmdUndo));
        QVERIFY(enabled(kCmdTiling));
        QCOMPARE(w.shellState().menuState, int(kMenuUndone));
    }

    void grayedTableCommandsDoNothing() {
        const std::string picture = writePicture(*dir_, "cat.bmp", 64, 32);
        MainWindow& w = start();
        open(picture);
        ctrl(Qt::Key_E); // Express Table is grayed until a tiling
        QVERIFY(w.textPane()->isHidden());
        QVERIFY(w.imageView()->isVisible());
    }

    void tilingThenThreeExpressTablePresses() {
        const std::string picture = writePicture(*dir_, "tile.bmp", 200, 150);
        MainWindow& w = start();
        open(picture);
        ctrl(Qt::Key_T);
        QVERIFY2(prompter_.messages.empty(),
                 prompter_.messages.empty() ? "" : prompter_.messages.front().c_str());
        QCOMPARE(w.shellState().menuState, int(kMenuTiled));
        QCOMPARE(w.windowTitle(), QString("vellora -- tile.bmp, 100 %"));
        QVERIFY(enabled(kCmdExpressTable));
        QVERIFY(enabled(kCmdSaveCsv));

        ctrl(Qt::Key_E); // built and shown instead of the picture
        QVERIFY(w.textPane()->isVisible());
        QVERIFY(!w.imageView()->isVisible());
        const QString table = w.textPane()->toPlainText();
        QVERIFY(!table.isEmpty());
        QCOMPARE(w.shellState().menuState, int(kMenuTableShown));
        QVERIFY(!enabled(kCmdTiling));
        QVERIFY(!enabled(kCmdOpen));
        QVERIFY(!enabled(kCmdUndo));

        ctrl(Qt::Key_E); // the picture again
        QVERIFY(!w.textPane()->isVisible());
        QVERIFY(w.imageView()->isVisible());
        QCOMPARE(w.shellState().menuState, int(kMenuTiled));
        QVERIFY(enabled(kCmdUndo));

        // The third press shows the text already built: with the picture file gone, building
        // it again would fail.
        std::filesystem::remove(w.session().currentPath);
        ctrl(Qt::Key_E);
        QVERIFY(w.textPane()->isVisible());
        QCOMPARE(w.textPane()->toPlainText(), table);
        QVERIFY(prompter_.messages.empty());
    }

    void tableSavedAsCsvBesideThePicture() {
        const std::string picture = writePicture(*dir_, "tile.bmp", 200, 150);
        MainWindow& w = start();
        open(picture);
        ctrl(Qt::Key_T);
        const std::string csv = dir_->filePath("chosen.csv").toStdString();
        prompter_.files.push_back(csv);
        ctrl(Qt::Key_S);                           // SaveAs CSV File
        QCOMPARE(w.session().saveAsPath, picture); // Save As still offers the picture
        QVERIFY(std::filesystem::exists(csv));
        QVERIFY(std::filesystem::file_size(csv) > 0);
        QVERIFY(prompter_.messages.empty());
    }

    void compareKeyTogglesTheViewAndBack() {
        const std::string picture = writePicture(*dir_, "tile.bmp", 200, 150);
        MainWindow& w = start();
        open(picture);
        const std::string before = w.session().currentPath;
        ctrl(Qt::Key_T);
        const QRect single = w.imageView()->drawnRect();
        QTest::keyClick(&w, Qt::Key_F2);
        QCOMPARE(w.imageView()->comparePath(), before);
        QVERIFY(w.imageView()->drawnRect().x() >= w.imageView()->canvas()->width() / 2);
        QTest::keyClick(&w, Qt::Key_F2);
        QVERIFY(w.imageView()->comparePath().empty());
        QCOMPARE(w.imageView()->drawnRect(), single);
    }

    // In Edit Tiles a click moves one tile from its count to the current colour's in the saved
    // CSV, and undo moves it back.
    void editedTileMovesOneCountAndUndoMovesItBack() {
        const std::string picture = writePicture(*dir_, "tile.bmp", 200, 150);
        MainWindow& w = start();
        open(picture);
        ctrl(Qt::Key_T);
        const auto saveCsv = [&](const char* name) {
            const std::string csv = dir_->filePath(name).toStdString();
            prompter_.files.push_back(csv);
            ctrl(Qt::Key_S);
            return csvCounts(csv);
        };
        const std::map<int, long> tiled = saveCsv("tiled.csv");
        QTest::keyClick(&w, Qt::Key_F3);
        app::PaletteStrip* strip = w.designTools()->strip();
        QVERIFY(strip->isVisible());
        QCOMPARE(strip->count(), int(tiled.size()));
        QCOMPARE(strip->current(), 0);
        const QPoint tile = w.imageView()->drawnRect().topLeft() + QPoint(2, 2);
        QWidget* canvas = w.imageView()->canvas();
        QTest::mouseClick(canvas, Qt::RightButton, {}, tile); // the tile's colour is current
        const int old = strip->current();
        const int fresh = (old + 1) % strip->count();
        QTest::mouseClick(strip, Qt::LeftButton, {}, strip->swatchRect(fresh).center());
        QCOMPARE(strip->current(), fresh);
        QTest::mouseClick(canvas, Qt::LeftButton, {}, tile);
        std::map<int, long> expected = tiled;
        --expected[old];
        ++expected[fresh];
        QCOMPARE(saveCsv("edited.csv"), expected);
        ctrl(Qt::Key_Z);
        QCOMPARE(saveCsv("undone.csv"), tiled);
        QVERIFY(prompter_.messages.empty());
    }

    void exitWithoutChangesAsksToConfirm() {
        MainWindow& w = start();
        prompter_.exitAnswer = false;
        ctrl(Qt::Key_X);
        QVERIFY(w.isVisible());
        prompter_.exitAnswer = true;
        ctrl(Qt::Key_X);
        QVERIFY(!w.isVisible());
        QCOMPARE(prompter_.questions,
                 (std::vector<std::string>{"are you sure to exit the program?",
                                           "are you sure to exit the program?"}));
        QCOMPARE(std::filesystem::file_size(parameterFile()), std::uintmax_t(816));
    }

    void exitWithChangesAsksOnlyToSave() {
        const std::string picture = writePicture(*dir_, "cat.bmp", 64, 32);
        MainWindow& w = start();
        open(picture);
        ctrl(Qt::Key_2); // Rotate 180
        prompter_.saveAnswer = SaveChangesAnswer::Cancel;
        ctrl(Qt::Key_X);
        QVERIFY(w.isVisible());
        prompter_.saveAnswer = SaveChangesAnswer::No;
        ctrl(Qt::Key_X);
        QVERIFY(!w.isVisible());
        QCOMPARE(prompter_.questions,
                 (std::vector<std::string>{"file", "do you want to save the changes to cat.bmp?",
                                           "do you want to save the changes to cat.bmp?"}));
    }

    void closeBoxWithChangesCancelledKeepsRunning() {
        const std::string picture = writePicture(*dir_, "cat.bmp", 64, 32);
        MainWindow& w = start();
        open(picture);
        ctrl(Qt::Key_1);
        const std::string current = w.session().currentPath;
        prompter_.saveAnswer = SaveChangesAnswer::Cancel;
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QCOMPARE(w.session().currentPath, current);
        QVERIFY(std::filesystem::exists(current));
        QVERIFY(enabled(kCmdUndo));
        QVERIFY(!std::filesystem::exists(parameterFile()));
    }

    void saveAsDefaultSurvivesTheNextRunWithTheWindowRectangle() {
        dialogs_[kCmdGrayScale] = [](QWidget*, int, Session& session) {
            session.workingBlock.grayLevelIndex = 3;
            session.workingBlock.saveGray = 1;
            return true;
        };
        dialogs_[kCmdPosterization] = [](QWidget*, int, Session& session) {
            session.workingBlock.posterLevelRGB = 7; // not saved as default
            return true;
        };
        const std::string picture = writePicture(*dir_, "cat.bmp", 64, 32);
        QRect outer;
        {
            MainWindow& w = start();
            open(picture);
            ctrl(Qt::Key_G);
            ctrl(Qt::Key_P);
            QCOMPARE(w.session().savedBlock.grayLevelIndex, 3u);
            w.move(100, 120);
            w.resize(700, 500);
            QApplication::processEvents();
            outer = w.frameGeometry();
            prompter_.saveAnswer = SaveChangesAnswer::No;
            QVERIFY(w.close());
            window_.reset();
        }
        MainWindow& again = start();
        QCOMPARE(again.session().workingBlock.grayLevelIndex, 3u);
        QCOMPARE(again.session().workingBlock.posterLevelRGB, 2u);
        QCOMPARE(outer.topLeft(), QPoint(100, 120));
        QCOMPARE(again.frameGeometry(), outer);
    }

    void noOtherCommandIsTakenWhileOneRuns() {
        MainWindow* running = nullptr;
        dialogs_[kCmdGrayScale] = [&running](QWidget*, int, Session&) {
            running->commandAction(kCmdAbout)->trigger(); // chosen while Gray Scale runs
            return false;
        };
        const std::string picture = writePicture(*dir_, "cat.bmp", 64, 32);
        running = &start();
        open(picture);
        ctrl(Qt::Key_G);
        QVERIFY(prompter_.questions == std::vector<std::string>{"file"});
        ctrl(Qt::Key_T, true); // About once the command has ended
        QCOMPARE(prompter_.questions.back(), std::string("about vellora version 0.1.0"));
    }

    void aboutShowsTheProgramAndVersion() {
        start();
        ctrl(Qt::Key_T, true);
        QCOMPARE(prompter_.questions, std::vector<std::string>{"about vellora version 0.1.0"});
    }

    void secondCopyFindsTheLockTakenAndAStaleOneIsTakenOver() {
        const QString path = dir_->filePath("vellora");
        {
            const auto first = app::takeSingleInstanceLock(path);
            QVERIFY(first != nullptr);
            QVERIFY(app::takeSingleInstanceLock(path) == nullptr);
        }
        QVERIFY(app::takeSingleInstanceLock(path) != nullptr); // released with the first
        // A lock whose process is gone, as a crashed run leaves it.
        QFile stale(path);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray::number(0x7ffffff0) + "\nvellora\n" +
                    QSysInfo::machineHostName().toUtf8() + "\n");
        stale.close();
        QVERIFY(app::takeSingleInstanceLock(path) != nullptr);
    }

    void progressBarSitsInsideTheStatusBar() {
        MainWindow& w = start();
        w.resize(803, 400);
        QApplication::processEvents();
        const int width = w.statusBar()->width();
        QCOMPARE(w.progressBar()->geometry(), QRect(width / 10, 11, width * 4 / 5, 11));
        QCOMPARE(w.statusBar()->height(), 25);
        w.progressBar()->show(); // over the status text, as while an operation runs
        QCOMPARE(w.statusBar()->childAt(w.progressBar()->geometry().center()), w.progressBar());
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainWindowTest.moc"
