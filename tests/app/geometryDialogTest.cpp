// The crop, resize and rotate dialogs driven through their widgets on a 400 × 300 picture.
#include "app/cropDialog.h"
#include "app/dialogRegistry.h"
#include "app/operationDialogs.h"
#include "app/resizeDialog.h"
#include "app/rotateDialog.h"
#include "dialogDriver.h"
#include "shell/commandTable.h"
#include "support/tempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTimer>
#include <QtTest>

#include <cstring>

using namespace vellora;
using namespace vellora::app;
using namespace vellora::test;

namespace {

// A session on a picture of that size.
struct PictureSession : DialogSession {
    PictureSession(int width = 400, int height = 300) {
        session->dialogInfo.width = width;
        session->dialogInfo.height = height;
        session->dialogInfo.bitsPerPixel = 24;
        session->currentInfo = session->dialogInfo;
    }
    ParameterBlock& block() { return session->workingBlock; }
    std::vector<Message>& messages() { return frontend.messages; }
};

bool sameBlock(const ParameterBlock& a, const ParameterBlock& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

QComboBox* combo(QWidget* dialog, const char* name) {
    return dialog->findChild<QComboBox*>(name);
}

bool checked(QWidget* dialog, const char* name) {
    auto* box = dialog->findChild<QCheckBox*>(name);
    return box != nullptr && box->isChecked();
}

const Message kCropAlert{"alert", "invalid rectangle values tried to setup"};
const Message kSizeAlert{"alert", "invalid size values tried to setup"};

} // namespace

class GeometryDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void registersAllThreeDialogs();

    void cropOpensOnTheWholePictureAndOkayKeepsIt();
    void cropArrowsFollowTheOtherFields();
    void cropRefusesBadRectanglesWithTheirTexts();
    void cropAcceptsOnePixelAndDropsTheBottomRow();
    void cropCancelAndLayout();
    void cropKeyboard();

    void resizeOpensOnTheCurrentSize();
    void resizeKeepRatioFollowsTheLastEditedDimension();
    void resizeLimitsAre64Times();
    void resizeDepthListFollowsInterpolation();
    void resizeSaveFlagAndCancel();

    void rotateOpensFromTheBlock();
    void rotateArrowsHaveNoLimits();
    void rotateStoresEveryChoice();
    void rotateKeysAndCancel();

  private:
    // Where the screenshots go; VELLORA_KEEP_TEST_FILES=1 keeps them to look at.
    const TempDir looks_{"looks-geometry"};
};

void GeometryDialogTest::registersAllThreeDialogs() {
    registerGeometryDialogs();
    const auto factories = dialogFactories();
    PictureSession s;
    for (int command : {int(kCmdCrop), int(kCmdResize), int(kCmdRotateArbitrary)}) {
        QVERIFY(factories.count(command) == 1);
        QString opened;
        QTimer::singleShot(0, [&opened] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) return;
            opened = modal->metaObject()->className();
            static_cast<QDialog*>(modal)->reject();
        });
        QVERIFY(!factories.at(command)(nullptr, command, *s.session));
        const char* expected = command == kCmdCrop     ? "vellora::app::CropDialog"
                               : command == kCmdResize ? "vellora::app::ResizeDialog"
                                                       : "vellora::app::RotateDialog";
        QCOMPARE(opened, QString(expected));
    }
}

// ---- crop ---------------------------------------------------------------------------------------

void GeometryDialogTest::cropOpensOnTheWholePictureAndOkayKeepsIt() {
    PictureSession s;
    s.block().cropRect[0] = 5; // a rectangle left from an earlier crop is not shown
    CropDialog dialog(nullptr, *s.session);
    QCOMPARE(dialog.windowTitle(), QString("crop image"));
    QCOMPARE(textOf(&dialog, "static1040"), QString(" : 400 x 300"));
    QCOMPARE(textOf(&dialog, "static1041"), QString(" : 400 x 300"));
    QCOMPARE(textOf(&dialog, "edit1011"), QString("1"));   // left
    QCOMPARE(textOf(&dialog, "edit1012"), QString("400")); // right
    QCOMPARE(textOf(&dialog, "edit1013"), QString("1"));   // bottom
    QCOMPARE(textOf(&dialog, "edit1010"), QString("300")); // top
    QVERIFY(pressOkay(dialog));
    QCOMPARE(s.block().cropRect[0], 0);
    QCOMPARE(s.block().cropRect[1], 0);
    QCOMPARE(s.block().cropRect[2], 399);
    QCOMPARE(s.block().cropRect[3], 299);
    QVERIFY(s.messages().empty());
}

void GeometryDialogTest::cropArrowsFollowTheOtherFields() {
    PictureSession s(20, 10);
    CropDialog dialog(nullptr, *s.session);
    click(&dialog, "up1022"); // right already at the width
    QCOMPARE(textOf(&dialog, "edit1012"), QString("20"));
    click(&dialog, "down1021"); // left already at 1
    QCOMPARE(textOf(&dialog, "edit1011"), QString("1"));
    click(&dialog, "up1020"); // top at the height
    QCOMPARE(textOf(&dialog, "edit1010"), QString("10"));
    typeText(&dialog, "edit1011", "7");
    typeText(&dialog, "edit1012", "8");
    click(&dialog, "up1021");
    click(&dialog, "up1021"); // left stops at right
    QCOMPARE(textOf(&dialog, "edit1011"), QString("8"));
    click(&dialog, "down1022"); // right stops at left
    QCOMPARE(textOf(&dialog, "edit1012"), QString("8"));
    typeText(&dialog, "edit1013", "4x"); // leading integer 4
    click(&dialog, "up1023");
    QCOMPARE(textOf(&dialog, "edit1013"), QString("5"));
    typeText(&dialog, "edit1010", "5");
    click(&dialog, "down1020"); // top stops at bottom
    QCOMPARE(textOf(&dialog, "edit1010"), QString("5"));
    QVERIFY(pressOkay(dialog));
    QCOMPARE(s.block().cropRect[0], 7);
    QCOMPARE(s.block().cropRect[1], 4);
    QCOMPARE(s.block().cropRect[2], 7);
    QCOMPARE(s.block().cropRect[3], 4);
}

void GeometryDialogTest::cropRefusesBadRectanglesWithTheirTexts() {
    struct Bad {
        const char* edit;
        const char* text;
    };
    const Bad cases[] = {
        {"edit1011", "401"},                   // left greater than right
        {"edit1010", "301"},                   // top beyond the height
        {"edit1012", "0"},   {"edit1013", ""}, // no digits: 0
        {"edit1011", "-3"},
    };
    for (const Bad& bad : cases) {
        PictureSession s;
        const ParameterBlock before = s.block();
        CropDialog dialog(nullptr, *s.session);
        typeText(&dialog, bad.edit, bad.text);
        click(&dialog, "button1030");
        QCOMPARE(textOf(&dialog, "static1041"), QString("invalid values"));
        QVERIFY(!pressOkay(dialog));
        QCOMPARE(s.messages(), std::vector<Message>{kCropAlert});
        QVERIFY(sameBlock(s.block(), before));
    }
    // Mended fields then pass, and "crop size" shows the rectangle again.
    PictureSession s;
    CropDialog dialog(nullptr, *s.session);
    typeText(&dialog, "edit1011", "14");
    typeText(&dialog, "edit1012", "13");
    click(&dialog, "button1030");
    QCOMPARE(textOf(&dialog, "static1041"), QString("invalid values"));
    typeText(&dialog, "edit1011", "4");
    click(&dialog, "button1030");
    QCOMPARE(textOf(&dialog, "static1041"), QString(" : 10 x 300"));
    QVERIFY(pressOkay(dialog));
    QCOMPARE(s.block().cropRect[0], 3);
    QCOMPARE(s.block().cropRect[2], 12);
    QVERIFY(s.messages().empty());
}

void GeometryDialogTest::cropAcceptsOnePixelAndDropsTheBottomRow() {
    PictureSession s;
    CropDialog dialog(nullptr, *s.session);
    for (auto [edit, text] :
         {std::pair{"edit1011", "7"}, {"edit1012", "7"}, {"edit1013", "3"}, {"edit1010", "3"}})
        typeText(&dialog, edit, text);
    click(&dialog, "button1030");
    QCOMPARE(textOf(&dialog, "static1041"), QString(" : 1 x 1"));
    QVERIFY(pressOkay(dialog));
    QCOMPARE(s.block().cropRect[0], 6);
    QCOMPARE(s.block().cropRect[1], 2);
    QCOMPARE(s.block().cropRect[2], 6);
    QCOMPARE(s.block().cropRect[3], 2);

    PictureSession t;
    CropDialog second(nullptr, *t.session);
    typeText(&second, "edit1013", "2");
    click(&second, "button1030");
    QCOMPARE(textOf(&second, "static1041"), QString(" : 400 x 299"));
    QVERIFY(pressOkay(second));
    QCOMPARE(t.block().cropRect[1], 1);
    QCOMPARE(t.block().cropRect[3], 299);
}

void GeometryDialogTest::cropCancelAndLayout() {
    PictureSession s;
    const ParameterBlock before = s.block();
    CropDialog dialog(nullptr, *s.session);
    QVERIFY(dialog.findChild<QCheckBox*>() == nullptr); // no "save as default"
    QVERIFY(saveLook(&dialog, looks_ / "crop.png"));
    typeText(&dialog, "edit1011", "50");
    click(&dialog, "cancel");
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(sameBlock(s.block(), before));
    QVERIFY(s.messages().empty());
}

void GeometryDialogTest::cropKeyboard() {
    PictureSession s;
    CropDialog dialog(nullptr, *s.session);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    // Tab walks top, left, right, bottom, then the buttons.
    const char* order[] = {"edit1010", "edit1011", "edit1012", "edit1013", "button1030"};
    for (const char* name : order) {
        QCOMPARE(dialog.focusWidget()->objectName(), QString(name));
        pressKey(&dialog, Qt::Key_Tab);
    }
    typeText(&dialog, "edit1010", "0"); // top below bottom
    pressKey(&dialog, Qt::Key_Return);  // Enter is "Okay": refused, the dialog stays
    QVERIFY(dialog.isVisible());
    QCOMPARE(s.messages(), std::vector<Message>{kCropAlert});
    typeText(&dialog, "edit1010", "300");
    pressKey(&dialog, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
}

// ---- resize -------------------------------------------------------------------------------------

void GeometryDialogTest::resizeOpensOnTheCurrentSize() {
    PictureSession s;
    s.block().resizeWidth = 17;
    ResizeDialog dialog(nullptr, *s.session);
    QCOMPARE(dialog.windowTitle(), QString("resize image"));
    QCOMPARE(textOf(&dialog, "static1140"), QString(" : 400 x 300"));
    QCOMPARE(textOf(&dialog, "edit1110"), QString("400"));
    QCOMPARE(textOf(&dialog, "edit1111"), QString("300"));
    QVERIFY(checked(&dialog, "check1150"));
    QVERIFY(!combo(&dialog, "combo1151")->isEnabled());
    QCOMPARE(combo(&dialog, "combo1151")->currentText(), QString("24 bpp"));
    QCOMPARE(textOf(&dialog, "check1160"), QString("save methods as default"));
    QVERIFY(!checked(&dialog, "check1160"));
    QVERIFY(saveLook(&dialog, looks_ / "resize.png"));
}

void GeometryDialogTest::resizeKeepRatioFollowsTheLastEditedDimension() {
    PictureSession s;
    ResizeDialog dialog(nullptr, *s.session);
    typeText(&dialog, "edit1110", "200");
    click(&dialog, "button1130");
    QCOMPARE(textOf(&dialog, "edit1111"), QString("150"));
    typeText(&dialog, "edit1111", "100");
    click(&dialog, "button1130");
    QCOMPARE(textOf(&dialog, "edit1110"), QString("133"));
    QCOMPARE(textOf(&dialog, "edit1111"), QString("100"));
    // An arrow click edits its dimension too: height 99 gives width 132.
    click(&dialog, "up1120");
    click(&dialog, "down1121");
    click(&dialog, "button1130");
    QCOMPARE(textOf(&dialog, "edit1110"), QString("132"));
    QVERIFY(pressOkay(dialog));
    QCOMPARE(s.block().resizeWidth, 132);
    QCOMPARE(s.block().resizeHeight, 99);
}

void GeometryDialogTest::resizeLimitsAre64Times() {
    {
        PictureSession s;
        ResizeDialog dialog(nullptr, *s.session);
        typeText(&dialog, "edit1110", "25600");
        click(&dialog, "up1120");
        QCOMPARE(textOf(&dialog, "edit1110"), QString("25600"));
        typeText(&dialog, "edit1111", "1");
        click(&dialog, "down1121");
        QCOMPARE(textOf(&dialog, "edit1111"), QString("1"));
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.block().resizeWidth, 25600);
        QCOMPARE(s.block().resizeHeight, 1);
    }
    struct Bad {
        const char* edit;
        const char* text;
    };
    for (const Bad bad : {Bad{"edit1110", "25601"}, Bad{"edit1111", "19201"}, Bad{"edit1110", "0"},
                          Bad{"edit1111", "none"}}) {
        PictureSession s;
        const ParameterBlock before = s.block();
        ResizeDialog dialog(nullptr, *s.session);
        typeText(&dialog, bad.edit, bad.text);
        QVERIFY(!pressOkay(dialog));
        QCOMPARE(s.messages(), std::vector<Message>{kSizeAlert});
        QVERIFY(sameBlock(s.block(), before));
    }
    // "keep ratio" does not clamp: width 1 gives height 0, which "Okay" refuses.
    PictureSession s;
    ResizeDialog dialog(nullptr, *s.session);
    typeText(&dialog, "edit1110", "1");
    click(&dialog, "button1130");
    QCOMPARE(textOf(&dialog, "edit1111"), QString("0"));
    QVERIFY(!pressOkay(dialog));
    QCOMPARE(s.messages(), std::vector<Message>{kSizeAlert});
}

void GeometryDialogTest::resizeDepthListFollowsInterpolation() {
    PictureSession s;
    s.block().resizeDepthIndex = 0; // stored "source bpp" under interpolation
    ResizeDialog dialog(nullptr, *s.session);
    QComboBox* depth = combo(&dialog, "combo1151");
    QCOMPARE(depth->count(), 2);
    QCOMPARE(depth->itemText(0), QString("source bpp"));
    QCOMPARE(depth->itemText(1), QString("24 bpp"));
    QCOMPARE(depth->currentIndex(), 0);
    QVERIFY(!depth->isEnabled());
    click(&dialog, "check1150"); // off: the stored choice
    QVERIFY(depth->isEnabled());
    QCOMPARE(depth->currentIndex(), 0);
    chooseItem(&dialog, "combo1151", 1);
    chooseItem(&dialog, "combo1151", 0);
    click(&dialog, "check1150"); // on: 24 bpp, disabled
    QCOMPARE(depth->currentIndex(), 1);
    QVERIFY(!depth->isEnabled());
    click(&dialog, "check1150"); // off: the user's last choice
    QCOMPARE(depth->currentIndex(), 0);
    QVERIFY(pressOkay(dialog));
    QCOMPARE(s.block().resizeInterpolate, 0u);
    QCOMPARE(s.block().resizeDepthIndex, 0u);
}

void GeometryDialogTest::resizeSaveFlagAndCancel() {
    for (bool tick : {false, true}) {
        PictureSession s;
        s.block().saveResize = tick ? 0 : 1;
        ResizeDialog dialog(nullptr, *s.session);
        if (tick) click(&dialog, "check1160");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.block().saveResize, tick ? 1u : 0u);
    }
    PictureSession s;
    const ParameterBlock before = s.block();
    ResizeDialog dialog(nullptr, *s.session);
    typeText(&dialog, "edit1110", "12");
    click(&dialog, "check1150");
    click(&dialog, "check1160");
    click(&dialog, "cancel");
    QVERIFY(sameBlock(s.block(), before));
}

// ---- rotate -------------------------------------------------------------------------------------

void GeometryDialogTest::rotateOpensFromTheBlock() {
    PictureSession s;
    s.block().rotateAngle = -30;
    s.block().rotateBicubic = 0;
    s.block().rotateDepthIndex = 0;
    s.block().rotateBlankIndex = 4;
    RotateDialog dialog(nullptr, *s.session);
    QCOMPARE(dialog.windowTitle(), QString("rotate image"));
    QCOMPARE(textOf(&dialog, "edit1310"), QString("-30"));
    QVERIFY(!checked(&dialog, "check1330"));
    QVERIFY(combo(&dialog, "combo1340")->isEnabled());
    QCOMPARE(combo(&dialog, "combo1340")->currentIndex(), 0);
    QComboBox* blank = combo(&dialog, "combo1341");
    QCOMPARE(blank->currentIndex(), 4);
    const QStringList grays{"white",       "light gray", "little gray",
                            "medium gray", "deep gray",  "black"};
    QCOMPARE(blank->count(), int(grays.size()));
    for (int k = 0; k < blank->count(); ++k)
        QCOMPARE(blank->itemText(k), grays[k]);
    QCOMPARE(textOf(&dialog, "check503"), QString("save as default"));
    QVERIFY(!checked(&dialog, "check503"));
    QVERIFY(saveLook(&dialog, looks_ / "rotate.png"));
}

void GeometryDialogTest::rotateArrowsHaveNoLimits() {
    PictureSession s;
    RotateDialog dialog(nullptr, *s.session);
    QCOMPARE(textOf(&dialog, "edit1310"), QString("0"));
    click(&dialog, "down1320");
    QCOMPARE(textOf(&dialog, "edit1310"), QString("-1"));
    typeText(&dialog, "edit1310", "359 degrees"); // the arrow reads the text first
    click(&dialog, "up1320");
    QCOMPARE(textOf(&dialog, "edit1310"), QString("360"));
    typeText(&dialog, "edit1310", "2147483647");
    click(&dialog, "up1320"); // stops at the end of the range
    QCOMPARE(textOf(&dialog, "edit1310"), QString("2147483647"));
    typeText(&dialog, "edit1310", "-100000");
    click(&dialog, "down1320");
    QVERIFY(pressOkay(dialog));
    QCOMPARE(s.block().rotateAngle, -100001);
    QVERIFY(s.messages().empty());
}

void GeometryDialogTest::rotateStoresEveryChoice() {
    PictureSession s;
    s.block().rotateDepthIndex = 0;
    RotateDialog dialog(nullptr, *s.session);
    QComboBox* depth = combo(&dialog, "combo1340");
    QVERIFY(checked(&dialog, "check1330")); // bicubic by default
    QVERIFY(!depth->isEnabled());
    click(&dialog, "check1330");
    QVERIFY(depth->isEnabled());
    QCOMPARE(depth->currentIndex(), 0);
    chooseItem(&dialog, "combo1340", 1);
    click(&dialog, "check1330");
    click(&dialog, "check1330");
    QCOMPARE(depth->currentIndex(), 1);
    click(&dialog, "check1330"); // bicubic on again
    chooseItem(&dialog, "combo1341", 5);
    typeText(&dialog, "edit1310", "");
    click(&dialog, "check503");
    QVERIFY(pressOkay(dialog));
    QCOMPARE(s.block().rotateAngle, 0);
    QCOMPARE(s.block().rotateBicubic, 1u);
    QCOMPARE(s.block().rotateDepthIndex, 1u);
    QCOMPARE(s.block().rotateBlankIndex, 5u);
    QCOMPARE(s.block().saveRotate, 1u);
}

void GeometryDialogTest::rotateKeysAndCancel() {
    {
        PictureSession s;
        s.block().saveRotate = 1;
        RotateDialog dialog(nullptr, *s.session);
        dialog.show();
        typeText(&dialog, "edit1310", "-270");
        pressKey(&dialog, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(s.block().rotateAngle, -270);
        QCOMPARE(s.block().saveRotate, 0u); // the unticked box clears the flag
    }
    PictureSession s;
    const ParameterBlock before = s.block();
    RotateDialog dialog(nullptr, *s.session);
    dialog.show();
    typeText(&dialog, "edit1310", "45");
    chooseItem(&dialog, "combo1341", 0);
    click(&dialog, "check503");
    pressKey(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(sameBlock(s.block(), before));
}

QTEST_MAIN(GeometryDialogTest)
#include "geometryDialogTest.moc"
