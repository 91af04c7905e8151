// "save as default" of the gray scale dialog end to end: the real main window and its registered
// dialog driven through the widgets, the parameter file written at exit and read by the next
// run. Levels "16" saved with the tick reach the file; "4" without it lasts only the run.
#include "app/dialogRegistry.h"
#include "app/mainWindow.h"
#include "app/operationDialogs.h"
#include "core/dibImage.h"
#include "core/pixelAccess.h"
#include "dialogDriver.h"
#include "scriptedPrompter.h"
#include "shell/commandTable.h"

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <fstream>
#include <functional>
#include <memory>

using namespace vellora;
using vellora::app::MainWindow;
using vellora::app::MainWindowOptions;

namespace {

constexpr std::size_t kGrayLevelOffsetInFile = 12 + 528;
constexpr std::size_t kGrayDiffusionOffsetInFile = 12 + 524;

std::uint32_t fileField(const std::string& path, std::size_t offset) {
    std::ifstream file(path, std::ios::binary);
    file.seekg(std::streamoff(offset));
    unsigned char bytes[4] = {};
    file.read(reinterpret_cast<char*>(bytes), 4);
    if (!file) return 0xFFFFFFFFu;
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24;
}

// A small 24 bpp bitmap file of several grays.
std::string writePicture(const QTemporaryDir& dir) {
    SilentFrontend frontend;
    DibImage image;
    if (createDib(frontend, image, 8, 4, 24, 0) != 0) return {};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            const std::uint8_t g = std::uint8_t(30 * x + 5 * y);
            const std::uint8_t bgr[3] = {g, g, g};
            setColor(image, bgr, y, x, 24);
        }
    const std::string path = dir.filePath("grays.bmp").toStdString();
    if (writeBitmapFile(frontend, path, image) != 0) return {};
    return path;
}

} // namespace

class ToneDefaultsDialogTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    test::ScriptedPrompter prompter_;
    std::unique_ptr<MainWindow> window_;
    std::string picture_;

    std::string parameterFile() const { return dir_.filePath("vellora.par").toStdString(); }

    void start() {
        MainWindowOptions options;
        options.parameterFile = parameterFile();
        options.prompter = &prompter_;
        options.screenSize = QSize(1920, 1080);
        options.dialogs = app::dialogFactories();
        window_ = std::make_unique<MainWindow>(std::move(options));
        window_->showAtSavedGeometry();
        QApplication::setActiveWindow(window_.get());
        prompter_.files.push_back(picture_);
        window_->runCommand(kCmdOpen);
    }

    void exitProgram() {
        prompter_.exitAnswer = true;
        prompter_.saveAnswer = SaveChangesAnswer::No;
        QVERIFY(window_->close());
        window_.reset();
    }

    // Opens "gray scale" and gives back the levels position it showed; `choose` ≥ 0 picks that
    // position and presses "Okay" (with the tick when `save`), otherwise "Cancel".
    int grayScale(int choose, bool save) {
        int shown = -3;
        QTimer::singleShot(0, [&shown, choose, save] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            auto* combo = dialog->findChild<QComboBox*>("combo1620");
            shown = combo == nullptr ? -2 : combo->currentIndex();
            if (choose < 0) {
                test::click(dialog, "cancel");
                return;
            }
            test::chooseItem(dialog, "combo1620", choose);
            if (save) test::click(dialog, "check505");
            test::click(dialog, "okay");
        });
        window_->runCommand(kCmdGrayScale);
        return shown;
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        picture_ = writePicture(dir_);
        QVERIFY(!picture_.empty());
        app::registerOperationDialogs();
    }

    void savedLevelsReachTheFileUnsavedOnesLastOnlyTheRun() {
        start();
        QCOMPARE(window_->session().currentInfo.bitsPerPixel, 24);
        QCOMPARE(grayScale(3, true), 7);                          // "256" at first; "16" saved
        QCOMPARE(window_->session().currentInfo.bitsPerPixel, 4); // the command ran
        QCOMPARE(window_->session().savedBlock.grayLevelIndex, 3u);
        QCOMPARE(window_->session().workingBlock.saveGray, 0u); // cleared by the merge
        exitProgram();
        QCOMPARE(fileField(parameterFile(), kGrayLevelOffsetInFile), 3u);
        QCOMPARE(fileField(parameterFile(), kGrayDiffusionOffsetInFile), 1u);

        start();
        QCOMPARE(grayScale(1, false), 3); // opens at "16"; "4" without the tick
        QCOMPARE(window_->session().savedBlock.grayLevelIndex, 3u);
        QCOMPARE(grayScale(-1, false), 1); // "4" again until the program ends
        exitProgram();
        QCOMPARE(fileField(parameterFile(), kGrayLevelOffsetInFile), 3u);

        start();
        QCOMPARE(grayScale(-1, false), 3);
        exitProgram();
    }
};

QTEST_MAIN(ToneDefaultsDialogTest)
#include "toneDefaultsDialogTest.moc"
