// The crop, resize and rotate dialogs on a 400 × 300 picture: they open on what the shell's
// rules give for the picture and the block, their arrows and buttons go to those rules, "Okay"
// stores through them and a refusal reaches the frontend. The rules themselves are tested in
// tests/shell/geometryDialogRulesTest.cpp.
#include "app/cropDialog.h"
#include "app/resizeDialog.h"
#include "app/rotateDialog.h"
#include "dialogDriver.h"

#include <QCheckBox>
#include <QtTest>

using namespace vellora;
using namespace vellora::app;
using namespace vellora::test;

class GeometryDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void cropShowsThePictureAndStoresTheTypedRectangle() {
        DialogSession s(400, 300);
        CropDialog dialog(nullptr, *s.session);
        QVERIFY(dialog.findChild<QCheckBox*>() == nullptr); // no "save as default"
        QCOMPARE(textOf(&dialog, "static1040"), QString(" : 400 x 300"));
        const char* shown[][2] = {
            {"edit1010", "300"}, {"edit1011", "1"}, {"edit1012", "400"}, {"edit1013", "1"}};
        for (const auto& [edit, text] : shown)
            QCOMPARE(textOf(&dialog, edit), QString(text));
        click(&dialog, "up1022"); // each arrow steps its own field, within the picture
        QCOMPARE(textOf(&dialog, "edit1012"), QString("400"));
        click(&dialog, "up1021");
        click(&dialog, "down1020");
        typeText(&dialog, "edit1013", "4x"); // leading integer 4
        click(&dialog, "up1023");
        typeText(&dialog, "edit1012", "13");
        click(&dialog, "button1030");
        QCOMPARE(textOf(&dialog, "static1041"), QString(" : 12 x 295"));
        QVERIFY(pressOkay(dialog));
        const int expected[] = {1, 4, 12, 298}; // left, bottom, right, top from 0
        for (int k = 0; k < 4; ++k)
            QCOMPARE(s.block().cropRect[k], expected[k]);
        QVERIFY(s.frontend.messages.empty());
    }

    void cropRefusalReachesTheFrontendAndEnterRetries() {
        DialogSession s(400, 300);
        const ParameterBlock before = s.block();
        CropDialog dialog(nullptr, *s.session);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        typeText(&dialog, "edit1011", "401"); // left beyond right
        click(&dialog, "button1030");
        QCOMPARE(textOf(&dialog, "static1041"), QString("invalid values"));
        pressKey(&dialog, Qt::Key_Return); // Enter is "Okay": refused, the dialog stays
        QVERIFY(dialog.isVisible());
        QCOMPARE(s.frontend.messages,
                 (std::vector<Message>{{"alert", "invalid rectangle values tried to setup"}}));
        QVERIFY(sameBlock(s.block(), before));
        typeText(&dialog, "edit1011", "7");
        pressKey(&dialog, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(s.block().cropRect[0], 6);
    }

    void resizeArrowsKeepRatioAndDepthReachTheBlock() {
        DialogSession s(400, 300);
        s.block().resizeDepthIndex = 0;
        ResizeDialog dialog(nullptr, *s.session);
        QCOMPARE(textOf(&dialog, "static1140"), QString(" : 400 x 300"));
        QCOMPARE(textOf(&dialog, "edit1110"), QString("400"));
        QCOMPARE(textOf(&dialog, "edit1111"), QString("300"));
        QVERIFY(checked(&dialog, "check1150") && !enabled(&dialog, "combo1151"));
        QCOMPARE(selected(&dialog, "combo1151"), 0); // the stored choice, disabled
        typeText(&dialog, "edit1110", "200");
        click(&dialog, "button1130");
        QCOMPARE(textOf(&dialog, "edit1111"), QString("150"));
        typeText(&dialog, "edit1111", "100");
        click(&dialog, "button1130");
        QCOMPARE(textOf(&dialog, "edit1110"), QString("133"));
        click(&dialog, "up1120");   // an arrow edits its dimension too:
        click(&dialog, "down1121"); // height 99 gives width 132
        click(&dialog, "button1130");
        QCOMPARE(textOf(&dialog, "edit1110"), QString("132"));
        click(&dialog, "check1150"); // off: the stored choice, enabled
        QVERIFY(enabled(&dialog, "combo1151"));
        QCOMPARE(selected(&dialog, "combo1151"), 0);
        click(&dialog, "check1160");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.block().resizeWidth, 132);
        QCOMPARE(s.block().resizeHeight, 99);
        QCOMPARE(s.block().resizeInterpolate, 0u);
        QCOMPARE(s.block().resizeDepthIndex, 0u);
        QCOMPARE(s.block().saveResize, 1u);
    }

    void resizeRefusalReachesTheFrontend() {
        DialogSession s(400, 300);
        const ParameterBlock before = s.block();
        ResizeDialog dialog(nullptr, *s.session);
        typeText(&dialog, "edit1110", "0");
        QVERIFY(!pressOkay(dialog));
        QCOMPARE(s.frontend.messages,
                 (std::vector<Message>{{"alert", "invalid size values tried to setup"}}));
        QVERIFY(sameBlock(s.block(), before));
    }

    void rotateShowsTheBlockAndStoresEveryChoice() {
        DialogSession s(400, 300);
        s.block().rotateAngle = -30;
        s.block().rotateBicubic = 0;
        s.block().rotateDepthIndex = 0;
        s.block().rotateBlankIndex = 4;
        RotateDialog dialog(nullptr, *s.session);
        QCOMPARE(textOf(&dialog, "edit1310"), QString("-30"));
        QVERIFY(!checked(&dialog, "check1330") && enabled(&dialog, "combo1340"));
        QCOMPARE(selected(&dialog, "combo1340"), 0);
        QCOMPARE(selected(&dialog, "combo1341"), 4);
        typeText(&dialog, "edit1310", "359 degrees"); // the arrow reads the text first
        click(&dialog, "up1320");
        QCOMPARE(textOf(&dialog, "edit1310"), QString("360"));
        chooseItem(&dialog, "combo1340", 1);
        chooseItem(&dialog, "combo1341", 5);
        click(&dialog, "check503");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.block().rotateAngle, 360);
        QCOMPARE(s.block().rotateBicubic, 0u);
        QCOMPARE(s.block().rotateDepthIndex, 1u);
        QCOMPARE(s.block().rotateBlankIndex, 5u);
        QCOMPARE(s.block().saveRotate, 1u);
    }
};

QTEST_MAIN(GeometryDialogTest)
#include "geometryDialogTest.moc"
