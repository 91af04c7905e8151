// The tone dialogs: each shows the block as the shell's rules give it (tests/shell/
// toneDialogRulesTest.cpp), its checks, radios and arrows go to those rules, "Okay" stores
// through them and a refusal reaches the frontend with the block left as it was.
#include "app/operationDialogs.h"
#include "app/toneDialogs.h"
#include "dialogDriver.h"

#include <QtTest>

using namespace vellora;
using namespace vellora::app;
using namespace vellora::test;

namespace {

// Presses "Okay", expects it refused with `message`, and the block untouched.
void expectRefused(QDialog& dialog, DialogSession& s, const Message& message) {
    const ParameterBlock before = s.block();
    s.frontend.clear();
    QVERIFY(!pressOkay(dialog));
    QCOMPARE(s.frontend.messages, std::vector<Message>{message});
    QVERIFY(sameBlock(s.block(), before));
}

} // namespace

class ToneDialogTest : public QObject {
    Q_OBJECT
  private slots:
    // Diffusion is off and disabled at "256"; only the user's click changes what it stores.
    void grayFollowsTheLevels() {
        DialogSession s;
        s.block().grayLevelIndex = 2;
        GrayScaleDialog dialog(nullptr, *s.session);
        QCOMPARE(selected(&dialog, "combo1620"), 2);
        QVERIFY(checked(&dialog, "check1610") && enabled(&dialog, "check1610"));
        chooseItem(&dialog, "combo1620", 7);
        QVERIFY(!checked(&dialog, "check1610") && !enabled(&dialog, "check1610"));
        QVERIFY(!enabled(&dialog, "static1611"));
        chooseItem(&dialog, "combo1620", 3);
        QVERIFY(checked(&dialog, "check1610"));
        click(&dialog, "check1610");
        click(&dialog, "check505");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.block().grayLevelIndex, 3u);
        QCOMPARE(s.block().grayDiffusion, 0u);
        QCOMPARE(s.block().saveGray, 1u);
    }

    void blackWhiteEnablingFollowsTheChecks() {
        DialogSession s;
        BlackWhiteDialog dialog(nullptr, *s.session);
        QVERIFY(!checked(&dialog, "check1710") && checked(&dialog, "radio1720"));
        QCOMPARE(textOf(&dialog, "edit1730"), QString::number(s.block().bwThreshold));
        QCOMPARE(textOf(&dialog, "edit1731"), QString::number(s.block().bwOutset));
        QCOMPARE(textOf(&dialog, "edit1732"), QString::number(s.block().bwEndset));
        const auto expectEnabled = [&dialog](bool threshold, bool range) {
            QCOMPARE(enabled(&dialog, "edit1730"), threshold);
            QCOMPARE(enabled(&dialog, "check1750"), threshold);
            QCOMPARE(enabled(&dialog, "edit1731"), range);
            QCOMPARE(enabled(&dialog, "edit1732"), range);
        };
        expectEnabled(false, false);
        click(&dialog, "radio1721");
        expectEnabled(true, false);
        click(&dialog, "check1750");
        expectEnabled(true, true);
        click(&dialog, "check1710"); // diffusion takes all of them away
        expectEnabled(false, false);
        click(&dialog, "check1710");
        expectEnabled(true, true);
    }

    void blackWhiteRefusalsAndArrowsReachTheBlock() {
        DialogSession s;
        BlackWhiteDialog dialog(nullptr, *s.session);
        click(&dialog, "radio1721");
        click(&dialog, "check1750");
        typeText(&dialog, "edit1730", "300");
        expectRefused(dialog, s, {"alart", "out of range, which must be 0 ~ 255"});
        typeText(&dialog, "edit1730", "40");
        typeText(&dialog, "edit1731", "200");
        typeText(&dialog, "edit1732", "100");
        expectRefused(dialog, s, {"alart", "outset must be smaller than endset"});
        typeText(&dialog, "edit1732", "254x"); // the leading integer
        click(&dialog, "up1742");
        click(&dialog, "up1742"); // stops at 255
        QCOMPARE(textOf(&dialog, "edit1732"), QString("255"));
        click(&dialog, "down1741");
        click(&dialog, "up1740");
        click(&dialog, "check506");
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.block();
        QCOMPARE(b.bwMedianCut, 0u);
        QCOMPARE(b.bwStretch, 1u);
        QCOMPARE(b.bwThreshold, 41u);
        QCOMPARE(b.bwOutset, 199u);
        QCOMPARE(b.bwEndset, 255u);
        QCOMPARE(b.saveBlackWhite, 1u);
    }

    void invertStoresTheChosenFormat() {
        DialogSession s;
        InvertDialog dialog(nullptr, *s.session);
        QCOMPARE(selected(&dialog, "combo1810"), int(s.block().invertDepthIndex));
        chooseItem(&dialog, "combo1810", 1);
        click(&dialog, "check507");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.block().invertDepthIndex, 1u);
        QCOMPARE(s.block().saveInvert, 1u);
    }

    void posterCommonLevelSwitchesTheFields() {
        DialogSession s;
        PosterizationDialog dialog(nullptr, *s.session);
        QVERIFY(!checked(&dialog, "check1820"));
        QCOMPARE(textOf(&dialog, "edit1831"), QString::number(s.block().posterLevelRed));
        for (bool common : {false, true}) {
            if (common) click(&dialog, "check1820");
            QCOMPARE(enabled(&dialog, "edit1830"), common);
            QCOMPARE(enabled(&dialog, "up1840"), common);
            for (const char* name : {"edit1831", "edit1832", "edit1833", "down1843"})
                QVERIFY2(enabled(&dialog, name) != common, name);
        }
        typeText(&dialog, "edit1830", "1");
        expectRefused(dialog, s, {"alert", "each level must be 1 ~ 128 and not 1 same all"});
        typeText(&dialog, "edit1830", "5");
        click(&dialog, "up1840");
        click(&dialog, "check508");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.block().posterCommon, 1u);
        QCOMPARE(s.block().posterLevelRGB, 6u);
        QCOMPARE(s.block().savePoster, 1u);
    }

    void histogramStoresAllNineAndRefuses() {
        DialogSession s;
        HistogramDialog dialog(nullptr, *s.session);
        QVERIFY(checked(&dialog, "check1910") && checked(&dialog, "check1912"));
        click(&dialog, "check1911");
        QVERIFY(!enabled(&dialog, "edit1921") && !enabled(&dialog, "up1951"));
        QVERIFY(enabled(&dialog, "edit1920"));
        typeText(&dialog, "edit1920", "200");
        typeText(&dialog, "edit1930", "100");
        expectRefused(dialog, s, {"alart", "outset must be smaller than endset"});
        typeText(&dialog, "edit1930", "256");
        expectRefused(dialog, s, {"alart", "out of range which must be 0 ~ 255"});
        typeText(&dialog, "edit1930", "255");
        typeText(&dialog, "edit1922", "30");
        click(&dialog, "up1942");
        click(&dialog, "check509");
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.block();
        QCOMPARE(b.histEnabled[1], 0u);
        QCOMPARE(b.histOutset[0], 200u);
        QCOMPARE(b.histEndset[0], 255u);
        QCOMPARE(b.histOutset[2], 31u);
        QCOMPARE(b.saveHistogram, 1u);
    }
};

QTEST_MAIN(ToneDialogTest)
#include "toneDialogTest.moc"
