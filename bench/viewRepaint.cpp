// Repaint of the desktop view while scrolling a 24-megapixel picture (6000 x 4000), at several
// zooms, on the offscreen platform: every measured step moves the horizontal bar by one step
// and paints. Run: bin/viewRepaint (QtTest benchmark options such as -iterations apply).
#include "app/mainWindow.h"
#include "core/dibImage.h"
#include "shell/commandTable.h"

#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include <deque>
#include <memory>

using namespace vellora;
using vellora::app::MainWindow;
using vellora::app::MainWindowOptions;

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

// Smooth ramps with a fine pattern, so a reduction has real work to do.
std::string writePicture(const QTemporaryDir& dir) {
    SilentFrontend frontend;
    DibImage image;
    if (createDib(frontend, image, kWidth, kHeight, 24, 0) != 0) return {};
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* row = image.row(y);
        for (int x = 0; x < kWidth; ++x) {
            row[3 * x] = std::uint8_t(x * 255 / kWidth);
            row[3 * x + 1] = std::uint8_t(y * 255 / kHeight);
            row[3 * x + 2] = std::uint8_t((x ^ y) & 255);
        }
    }
    const std::string path = dir.filePath("large.bmp").toStdString();
    if (writeBitmapFile(frontend, path, image) != 0) return {};
    return path;
}

// Answers the window's questions without a screen: the picture to open, and "No" to saving.
class BenchPrompter final : public app::Prompter {
  public:
    void showMessage(const std::string&, const std::string&) override {}
    bool chooseFile(FileChooserKind, std::string& path) override {
        if (files.empty()) return false;
        path = files.front();
        files.pop_front();
        return true;
    }
    SaveChangesAnswer askSaveChanges(const std::string&) override { return saveAnswer; }
    bool confirmExit() override { return true; }
    void showAbout(const std::string&) override {}

    std::deque<std::string> files;
    SaveChangesAnswer saveAnswer = SaveChangesAnswer::Cancel;
};

} // namespace

class ViewRepaint : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    BenchPrompter prompter_;
    std::unique_ptr<MainWindow> window_;
    std::string picture_;

    void setClientSize(QSize size) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            QApplication::processEvents();
            const QSize now = window_->imageView()->canvas()->size();
            if (now == size) return;
            window_->resize(window_->size() + (size - now));
        }
        QApplication::processEvents();
    }

  private slots:
    void initTestCase() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        picture_ = writePicture(*dir_);
        QVERIFY(!picture_.empty());
        MainWindowOptions options;
        options.parameterFile = dir_->filePath("vellora.par").toStdString();
        options.prompter = &prompter_;
        options.screenSize = QSize(1920, 1080);
        window_ = std::make_unique<MainWindow>(std::move(options));
        window_->showAtSavedGeometry();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        prompter_.files.push_back(picture_);
        window_->commandAction(kCmdOpen)->trigger();
        QApplication::processEvents();
    }

    void cleanupTestCase() {
        prompter_.saveAnswer = SaveChangesAnswer::No;
        window_->close();
        window_.reset();
    }

    void scrollAndRepaint_data() {
        QTest::addColumn<int>("zoomCommand");
        QTest::newRow("5 %") << int(kCmdZoomFirst);
        QTest::newRow("30 %") << int(kCmdZoomFirst) + 3;
        QTest::newRow("50 %") << int(kCmdZoomFirst) + 5;
        QTest::newRow("90 %") << int(kCmdZoomFirst) + 9;
        QTest::newRow("100 %") << int(kCmdZoom100);
        QTest::newRow("400 %") << int(kCmdZoomFirst) + 14;
    }

    void scrollAndRepaint() {
        QFETCH(int, zoomCommand);
        window_->commandAction(zoomCommand)->trigger();
        setClientSize({1280, 800});
        window_->imageView()->repaintNow(); // the first paint at this zoom may prepare caches
        QScrollBar* bar = window_->imageView()->horizontalBar();
        int step = 0;
        QBENCHMARK {
            const bool forward = (step++ / 8) % 2 == 0;
            if (bar->isVisible())
                bar->triggerAction(forward ? QAbstractSlider::SliderSingleStepAdd
                                           : QAbstractSlider::SliderSingleStepSub);
            else
                window_->imageView()->repaintNow();
        }
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ViewRepaint bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "viewRepaint.moc"
