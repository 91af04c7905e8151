// "save as default" end to end: the real main window, the registered dialogs driven through
// their widgets, the parameter file written at exit and read by the next run.
#include "app/dialogRegistry.h"
#include "app/mainWindow.h"
#include "app/operationDialogs.h"
#include "core/dibImage.h"
#include "core/pixelAccess.h"
#include "dialogDriver.h"
#include "scriptedPrompter.h"
#include "shell/commandTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>

using namespace vellora;
using vellora::app::MainWindow;
using vellora::app::MainWindowOptions;

namespace {

constexpr std::size_t kQualityOffsetInFile = 12 + 172;

// The 32-bit field at `offset` of the parameter file.
std::uint32_t fileField(const std::string& path, std::size_t offset) {
    std::ifstream file(path, std::ios::binary);
    file.seekg(std::streamoff(offset));
    unsigned char bytes[4] = {};
    file.read(reinterpret_cast<char*>(bytes), 4);
    if (!file) return 0xFFFFFFFFu;
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24;
}

// A small 24 bpp bitmap file with a colour ramp.
std::string writePicture(const QTemporaryDir& dir, const char* name) {
    SilentFrontend frontend;
    DibImage image;
    if (createDib(frontend, image, 16, 8, 24, 0) != 0) return {};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            const std::uint8_t bgr[3] = {std::uint8_t(16 * x), std::uint8_t(30 * y), 7};
            setColor(image, bgr, y, x, 24);
        }
    const std::string path = dir.filePath(name).toStdString();
    if (writeBitmapFile(frontend, path, image) != 0) return {};
    return path;
}

// Runs `script` on the modal dialog the next command opens.
void answerNextDialog(std::function<void(QDialog&)> script) {
    QTimer::singleShot(0, [script = std::move(script)] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            script(*dialog);
    });
}

int selected(QWidget* dialog, const char* name) {
    auto* combo = dialog->findChild<QComboBox*>(name);
    return combo == nullptr ? -2 : combo->currentIndex();
}

} // namespace

class SaveDefaultsDialogTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    test::ScriptedPrompter prompter_;
    std::unique_ptr<MainWindow> window_;

    std::string parameterFile() const { return dir_.filePath("vellora.par").toStdString(); }

    MainWindow& start() {
        MainWindowOptions options;
        options.parameterFile = parameterFile();
        options.prompter = &prompter_;
        options.screenSize = QSize(1920, 1080);
        options.dialogs = app::dialogFactories();
        window_ = std::make_unique<MainWindow>(std::move(options));
        window_->showAtSavedGeometry();
        QApplication::setActiveWindow(window_.get());
        return *window_;
    }

    void exitProgram() {
        prompter_.exitAnswer = true;
        prompter_.saveAnswer = SaveChangesAnswer::No;
        QVERIFY(window_->close());
        window_.reset();
    }

    // Opens the hidden menu and gives back the quality position it showed; `choose` ≥ 0 picks
    // that quality and presses "Okay" (with the tick when `save`), otherwise "Cancel".
    int hiddenMenu(int choose, bool save) {
        int shown = -3;
        answerNextDialog([&shown, choose, save](QDialog& dialog) {
            shown = selected(&dialog, "combo911");
            if (choose < 0) {
                test::click(&dialog, "cancel");
                return;
            }
            test::chooseItem(&dialog, "combo911", choose);
            if (save) test::click(&dialog, "check500");
            test::click(&dialog, "okay");
        });
        window_->runCommand(kCmdHiddenMenu);
        return shown;
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        app::registerOperationDialogs();
    }

    void savedChoiceReachesTheFileAndTheNextRunUnsavedOneLastsOnlyTheRun() {
        // First run, no parameter file: quality 100. Choose 50 with the tick.
        start();
        QCOMPARE(hiddenMenu(10, true), 0);
        QCOMPARE(window_->session().savedBlock.saveQuality, 50u);
        QCOMPARE(window_->session().workingBlock.saveHiddenMenu, 0u); // cleared by the merge
        QCOMPARE(hiddenMenu(-1, false), 10);
        exitProgram();
        QCOMPARE(fileField(parameterFile(), kQualityOffsetInFile), 50u);

        // Second run opens at 50; 75 without the tick changes the working block only.
        start();
        QCOMPARE(hiddenMenu(5, false), 10);
        QCOMPARE(window_->session().workingBlock.saveQuality, 75u);
        QCOMPARE(window_->session().savedBlock.saveQuality, 50u);
        QCOMPARE(hiddenMenu(-1, false), 5); // shown again until the program ends
        exitProgram();
        QCOMPARE(fileField(parameterFile(), kQualityOffsetInFile), 50u);

        // Third run: the saved 50 again.
        start();
        QCOMPARE(hiddenMenu(-1, false), 10);
        exitProgram();
    }

    void colourConversionSavedAsDefaultOpensTheNextRunOnIt() {
        const std::string picture = writePicture(dir_, "ramp.bmp");
        QVERIFY(!picture.empty());
        start();
        prompter_.files.push_back(picture);
        window_->runCommand(kCmdOpen);
        QCOMPARE(window_->session().currentInfo.bitsPerPixel, 24);
        answerNextDialog([](QDialog& dialog) {
            test::click(&dialog, "radio1423");
            test::chooseItem(&dialog, "combo1433", 1); // "32 bpp"
            test::click(&dialog, "check504");
            test::click(&dialog, "okay");
        });
        window_->runCommand(kCmdColorProcessing);
        QCOMPARE(window_->session().currentInfo.bitsPerPixel, 32);
        exitProgram();
        QCOMPARE(fileField(parameterFile(), 12 + 240), 0u); // no diffusion for true colour
        QCOMPARE(fileField(parameterFile(), 12 + 244), 3u);
        QCOMPARE(fileField(parameterFile(), 12 + 260), 1u);

        start();
        prompter_.files.push_back(picture);
        window_->runCommand(kCmdOpen);
        bool trueColour = false;
        int shownChoice = -3;
        answerNextDialog([&](QDialog& dialog) {
            auto* radio = dialog.findChild<QAbstractButton*>("radio1423");
            trueColour = radio != nullptr && radio->isChecked();
            shownChoice = selected(&dialog, "combo1433");
            test::click(&dialog, "cancel");
        });
        window_->runCommand(kCmdColorProcessing);
        exitProgram();
        QVERIFY(trueColour);
        QCOMPARE(shownChoice, 1);
    }
};

QTEST_MAIN(SaveDefaultsDialogTest)
#include "saveDefaultsDialogTest.moc"
