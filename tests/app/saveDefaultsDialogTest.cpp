// The registered dialogs behind the real main window: every operation command opens its own
// dialog, a dialog's choices reach the operation, and "save as default" reaches the parameter
// file written at exit and the next run (the merge itself: tests/shell/mergeDefaultsTest.cpp).
#include "app/dialogRegistry.h"
#include "app/mainWindow.h"
#include "app/operationDialogs.h"
#include "core/dibImage.h"
#include "dialogDriver.h"
#include "scriptedPrompter.h"
#include "shell/commandTable.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <fstream>
#include <memory>

using namespace vellora;

namespace {

// The 32-bit little-endian field at `offset` of the parameter file.
std::uint32_t fileField(const std::string& path, std::size_t offset) {
    std::ifstream file(path, std::ios::binary);
    file.seekg(std::streamoff(offset));
    unsigned char bytes[4] = {};
    file.read(reinterpret_cast<char*>(bytes), 4);
    if (!file) return 0xFFFFFFFFu;
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24;
}

constexpr std::size_t kGrayLevelOffsetInFile = 12 + 528;

} // namespace

class SaveDefaultsDialogTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    test::ScriptedPrompter prompter_;
    std::unique_ptr<app::MainWindow> window_;
    std::string picture_;

    std::string parameterFile() const { return dir_.filePath("vellora.par").toStdString(); }

    void start() {
        app::MainWindowOptions options;
        options.parameterFile = parameterFile();
        options.prompter = &prompter_;
        options.screenSize = QSize(1920, 1080);
        options.dialogs = app::dialogFactories();
        window_ = std::make_unique<app::MainWindow>(std::move(options));
        window_->showAtSavedGeometry();
        prompter_.files.push_back(picture_);
        window_->runCommand(kCmdOpen);
    }

    void exitProgram() {
        prompter_.saveAnswer = SaveChangesAnswer::No;
        QVERIFY(window_->close());
        window_.reset();
    }

    // Runs "gray scale" and gives back the levels position it showed; `choose` ≥ 0 picks that
    // position and presses "Okay" (with the tick when `save`), otherwise "Cancel".
    int grayScale(int choose, bool save) {
        int shown = -3;
        QTimer::singleShot(0, [&shown, choose, save] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            shown = test::selected(dialog, "combo1620");
            if (choose >= 0) test::chooseItem(dialog, "combo1620", choose);
            if (save) test::click(dialog, "check505");
            test::click(dialog, choose >= 0 ? "okay" : "cancel");
        });
        window_->runCommand(kCmdGrayScale);
        return shown;
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        SilentFrontend frontend;
        DibImage image;
        QCOMPARE(createDib(frontend, image, 8, 4, 24, 0), 0);
        picture_ = dir_.filePath("grays.bmp").toStdString();
        QCOMPARE(writeBitmapFile(frontend, picture_, image), 0);
        app::registerOperationDialogs();
    }

    void everyOperationCommandOpensItsOwnDialog() {
        test::DialogSession s(400, 300);
        const std::pair<int, const char*> expected[] = {
            {kCmdHiddenMenu, "HiddenMenu"},       {kCmdResize, "Resize"},
            {kCmdCrop, "Crop"},                   {kCmdRotateArbitrary, "Rotate"},
            {kCmdBlackWhite, "BlackWhite"},       {kCmdGrayScale, "GrayScale"},
            {kCmdColorProcessing, "Color"},       {kCmdInvert, "Invert"},
            {kCmdPosterization, "Posterization"}, {kCmdHistogram, "Histogram"},
            {kCmdSmoothing, "Smoothing"},         {kCmdEdgePreserving, "EdgePreserving"},
            {kCmdSharpening, "Sharpening"},       {kCmdEdgeDetect, "EdgeDetect"},
            {kCmdDeNoise, "DeNoise"},             {kCmdUserFilter, "UserFilter"},
            {kCmdTiling, "Tiling"},               {kCmdSheetSetup, "SheetSetup"}};
        QCOMPARE(app::dialogFactories().size(), std::size(expected));
        for (const auto& [command, name] : expected)
            QCOMPARE(test::registeredDialogClass(command, *s.session),
                     QString("vellora::app::%1Dialog").arg(name));
    }

    // Levels "16" saved with the tick reach the file; "4" without it lasts only the run.
    void savedLevelsReachTheFileUnsavedOnesLastOnlyTheRun() {
        start();
        QCOMPARE(grayScale(3, true), 7); // "256" at first
        QCOMPARE(window_->session().currentInfo.bitsPerPixel, 4); // the command ran with "16"
        QCOMPARE(window_->session().savedBlock.grayLevelIndex, 3u);
        exitProgram();
        QCOMPARE(fileField(parameterFile(), kGrayLevelOffsetInFile), 3u);

        start();
        QCOMPARE(grayScale(1, false), 3);
        QCOMPARE(grayScale(-1, false), 1); // "4" again until the program ends
        exitProgram();
        QCOMPARE(fileField(parameterFile(), kGrayLevelOffsetInFile), 3u);

        start();
        QCOMPARE(grayScale(-1, false), 3);
        exitProgram();
    }
};

QTEST_MAIN(SaveDefaultsDialogTest)
#include "saveDefaultsDialogTest.moc"
