// The tone dialogs driven through their widgets: gray scale and its diffusion check at "256",
// the black and white enabling chain and its checks, invert, posterization with its limits and
// the "not 1 same all" rule, and histogram modification that checks unchecked channels too.
// Every refused "Okay" and every "Cancel" leaves the working block as it was.
#include "app/dialogRegistry.h"
#include "app/operationDialogs.h"
#include "app/toneDialogs.h"
#include "dialogDriver.h"
#include "shell/commandTable.h"
#include "support/tempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include <cstring>

using namespace vellora;
using namespace vellora::app;
using namespace vellora::test;

namespace {

const Message kRangeComma{"alart", "out of range, which must be 0 ~ 255"};
const Message kRangeNoComma{"alart", "out of range which must be 0 ~ 255"};
const Message kOrder{"alart", "outset must be smaller than endset"};
const Message kLevels{"alert", "each level must be 1 ~ 128 and not 1 same all"};

bool sameBlock(const ParameterBlock& a, const ParameterBlock& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool checked(QWidget* dialog, const char* name) {
    auto* button = dialog->findChild<QAbstractButton*>(name);
    return button != nullptr && button->isChecked();
}

bool enabled(QWidget* dialog, const char* name) {
    QWidget* control = findControl(dialog, name);
    return control != nullptr && control->isEnabled();
}

int selected(QWidget* dialog, const char* name) {
    auto* combo = dialog->findChild<QComboBox*>(name);
    return combo == nullptr ? -2 : combo->currentIndex();
}

QStringList itemsOf(QWidget* dialog, const char* name) {
    QStringList items;
    if (auto* combo = dialog->findChild<QComboBox*>(name))
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
    return items;
}

// Presses "Okay", expects it refused with `message`, and the block untouched.
void expectRefused(QDialog& dialog, DialogSession& s, const ParameterBlock& before,
                   const Message& message) {
    s.frontend.clear();
    QVERIFY(!pressOkay(dialog));
    QCOMPARE(s.frontend.messages, std::vector<Message>{message});
    QVERIFY(sameBlock(s.session->workingBlock, before));
}

} // namespace

class ToneDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void registersAllFive() {
        registerToneDialogs();
        const auto factories = dialogFactories();
        const std::pair<int, QString> expected[] = {
            {kCmdGrayScale, "vellora::app::GrayScaleDialog"},
            {kCmdBlackWhite, "vellora::app::BlackWhiteDialog"},
            {kCmdInvert, "vellora::app::InvertDialog"},
            {kCmdPosterization, "vellora::app::PosterizationDialog"},
            {kCmdHistogram, "vellora::app::HistogramDialog"}};
        DialogSession s;
        for (const auto& [command, className] : expected) {
            QVERIFY(factories.count(command) == 1);
            QString opened;
            QTimer::singleShot(0, [&opened] {
                QWidget* modal = QApplication::activeModalWidget();
                if (modal == nullptr) return;
                opened = modal->metaObject()->className();
                static_cast<QDialog*>(modal)->reject();
            });
            QVERIFY(!factories.at(command)(nullptr, command, *s.session));
            QCOMPARE(opened, className);
        }
    }

    // ---- gray scale -----------------------------------------------------------------------

    void grayOpensAt256WithDiffusionDisabled() {
        DialogSession s;
        GrayScaleDialog dialog(nullptr, *s.session);
        QCOMPARE(dialog.windowTitle(), QString("gray scale"));
        QCOMPARE(textOf(&dialog, "check1610"), QString("error dispersion method"));
        QCOMPARE(textOf(&dialog, "static1611"), QString("(Floyd Steinberg)"));
        QCOMPARE(textOf(&dialog, "static1621"), QString("decrease scale due to median cut"));
        QCOMPARE(itemsOf(&dialog, "combo1620"),
                 (QStringList{"2", "4", "8", "16", "32", "64", "128", "256"}));
        QCOMPARE(selected(&dialog, "combo1620"), 7);
        QVERIFY(!checked(&dialog, "check1610"));
        QVERIFY(!enabled(&dialog, "check1610"));
        QVERIFY(!checked(&dialog, "check505"));
        QVERIFY(saveLook(&dialog, looks_ / "gray.png"));
    }

    void grayRemembersTheClickedStateAcross256() {
        DialogSession s;
        GrayScaleDialog dialog(nullptr, *s.session);
        chooseItem(&dialog, "combo1620", 3); // "16": the stored flag shows again
        QVERIFY(enabled(&dialog, "check1610"));
        QVERIFY(checked(&dialog, "check1610"));
        click(&dialog, "check1610");
        chooseItem(&dialog, "combo1620", 7);
        QVERIFY(!checked(&dialog, "check1610"));
        chooseItem(&dialog, "combo1620", 1);
        QVERIFY(!checked(&dialog, "check1610")); // still off as clicked
        click(&dialog, "check505");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.session->workingBlock.grayLevelIndex, 1u);
        QCOMPARE(s.session->workingBlock.grayDiffusion, 0u);
        QCOMPARE(s.session->workingBlock.saveGray, 1u);
    }

    void grayChoosing256StoresDiffusionOff() {
        DialogSession s;
        s.session->workingBlock.grayLevelIndex = 2;
        GrayScaleDialog dialog(nullptr, *s.session);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(selected(&dialog, "combo1620"), 2);
        QVERIFY(checked(&dialog, "check1610"));
        chooseItem(&dialog, "combo1620", 7);
        QVERIFY(!checked(&dialog, "check1610"));
        QVERIFY(!enabled(&dialog, "check1610"));
        findControl(&dialog, "combo1620")->setFocus(); // Enter still means "Okay"
        pressKey(&dialog, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(s.session->workingBlock.grayLevelIndex, 7u);
        QCOMPARE(s.session->workingBlock.grayDiffusion, 0u);
        QCOMPARE(s.session->workingBlock.saveGray, 0u);
    }

    void grayCancelChangesNothing() {
        DialogSession s;
        const ParameterBlock before = s.session->workingBlock;
        GrayScaleDialog dialog(nullptr, *s.session);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        chooseItem(&dialog, "combo1620", 0);
        click(&dialog, "check1610");
        click(&dialog, "check505");
        pressKey(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(sameBlock(s.session->workingBlock, before));
    }

    // ---- black and white ------------------------------------------------------------------

    void blackWhiteOpensOnTheDefaults() {
        DialogSession s;
        BlackWhiteDialog dialog(nullptr, *s.session);
        QCOMPARE(dialog.windowTitle(), QString("black and white"));
        QVERIFY(!checked(&dialog, "check1710"));
        QVERIFY(checked(&dialog, "radio1720"));
        QVERIFY(!checked(&dialog, "radio1721"));
        QVERIFY(!checked(&dialog, "check1750"));
        QCOMPARE(textOf(&dialog, "radio1721"), QString("threshold value"));
        QCOMPARE(textOf(&dialog, "check1750"), QString("histogram modification (in advance)"));
        QCOMPARE(textOf(&dialog, "edit1730"), QString("128"));
        QCOMPARE(textOf(&dialog, "edit1731"), QString("1"));
        QCOMPARE(textOf(&dialog, "edit1732"), QString("255"));
        for (const char* name : {"edit1730", "up1740", "check1750", "edit1731", "edit1732"})
            QVERIFY2(!enabled(&dialog, name), name);
        QVERIFY(!checked(&dialog, "check506"));
        click(&dialog, "radio1721");
        click(&dialog, "check1750");
        QVERIFY(saveLook(&dialog, looks_ / "blackWhite.png"));
    }

    void blackWhiteEnablingChain() {
        DialogSession s;
        BlackWhiteDialog dialog(nullptr, *s.session);
        click(&dialog, "radio1721");
        QVERIFY(enabled(&dialog, "edit1730"));
        QVERIFY(enabled(&dialog, "check1750"));
        QVERIFY(!enabled(&dialog, "edit1731"));
        click(&dialog, "check1750");
        for (const char* name : {"edit1731", "up1741", "edit1732", "down1742"})
            QVERIFY2(enabled(&dialog, name), name);
        click(&dialog, "check1710"); // diffusion takes all of them away
        for (const char* name : {"edit1730", "check1750", "edit1731", "edit1732"})
            QVERIFY2(!enabled(&dialog, name), name);
        click(&dialog, "check1710");
        QVERIFY(enabled(&dialog, "edit1732"));
        click(&dialog, "radio1720");
        for (const char* name : {"edit1730", "check1750", "edit1731", "edit1732"})
            QVERIFY2(!enabled(&dialog, name), name);
    }

    void blackWhiteRefusesOutOfRangeAndOrder() {
        DialogSession s;
        const ParameterBlock before = s.session->workingBlock;
        BlackWhiteDialog dialog(nullptr, *s.session);
        click(&dialog, "radio1721");
        click(&dialog, "check1750");
        typeText(&dialog, "edit1730", "300");
        expectRefused(dialog, s, before, kRangeComma);
        typeText(&dialog, "edit1730", "-1");
        expectRefused(dialog, s, before, kRangeComma);
        typeText(&dialog, "edit1730", "40");
        typeText(&dialog, "edit1731", "200");
        typeText(&dialog, "edit1732", "100");
        expectRefused(dialog, s, before, kOrder);
        typeText(&dialog, "edit1732", "256");
        expectRefused(dialog, s, before, kRangeComma); // range before order
        typeText(&dialog, "edit1732", "200x");         // leading integer: equal values pass
        s.frontend.clear();
        QVERIFY(pressOkay(dialog));
        QVERIFY(s.frontend.messages.empty());
        const ParameterBlock& b = s.session->workingBlock;
        QCOMPARE(b.bwMedianCut, 0u);
        QCOMPARE(b.bwStretch, 1u);
        QCOMPARE(b.bwThreshold, 40u);
        QCOMPARE(b.bwOutset, 200u);
        QCOMPARE(b.bwEndset, 200u);
        QCOMPARE(b.saveBlackWhite, 0u);
    }

    void blackWhiteChecksDisabledFieldsToo() {
        DialogSession s;
        s.session->workingBlock.bwOutset = 300; // from an edited parameter file
        const ParameterBlock before = s.session->workingBlock;
        BlackWhiteDialog dialog(nullptr, *s.session);
        QCOMPARE(textOf(&dialog, "edit1731"), QString("300"));
        QVERIFY(!enabled(&dialog, "edit1731"));
        expectRefused(dialog, s, before, kRangeComma);
    }

    void blackWhiteArrowsStopAt0And255() {
        DialogSession s;
        s.session->workingBlock.bwMedianCut = 0;
        s.session->workingBlock.bwStretch = 1;
        s.session->workingBlock.bwOutset = 0;
        BlackWhiteDialog dialog(nullptr, *s.session);
        click(&dialog, "down1741");
        QCOMPARE(textOf(&dialog, "edit1731"), QString("0"));
        click(&dialog, "up1741");
        QCOMPARE(textOf(&dialog, "edit1731"), QString("1"));
        click(&dialog, "up1742");
        QCOMPARE(textOf(&dialog, "edit1732"), QString("255"));
        typeText(&dialog, "edit1730", "abc"); // no number: 0
        click(&dialog, "up1740");
        QCOMPARE(textOf(&dialog, "edit1730"), QString("1"));
        click(&dialog, "check506");
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.session->workingBlock;
        QCOMPARE(b.bwThreshold, 1u);
        QCOMPARE(b.bwOutset, 1u);
        QCOMPARE(b.bwEndset, 255u);
        QCOMPARE(b.saveBlackWhite, 1u);
    }

    // ---- invert ---------------------------------------------------------------------------

    void invertStoresTheChosenFormat() {
        DialogSession s;
        InvertDialog dialog(nullptr, *s.session);
        QCOMPARE(dialog.windowTitle(), QString("invert color image"));
        QCOMPARE(itemsOf(&dialog, "combo1810"), (QStringList{"source bpp", "24 bpp"}));
        QCOMPARE(selected(&dialog, "combo1810"), 0);
        QVERIFY(saveLook(&dialog, looks_ / "invert.png"));
        chooseItem(&dialog, "combo1810", 1);
        click(&dialog, "check507");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.session->workingBlock.invertDepthIndex, 1u);
        QCOMPARE(s.session->workingBlock.saveInvert, 1u);
    }

    void invertKeeps32BppAndCancels() {
        DialogSession s;
        s.session->workingBlock.invertDepthIndex = 2; // 32 bpp, not offered by the list
        const ParameterBlock before = s.session->workingBlock;
        {
            InvertDialog dialog(nullptr, *s.session);
            QCOMPARE(selected(&dialog, "combo1810"), -1);
            chooseItem(&dialog, "combo1810", 0);
            click(&dialog, "cancel");
            QVERIFY(sameBlock(s.session->workingBlock, before));
        }
        InvertDialog dialog(nullptr, *s.session);
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.session->workingBlock.invertDepthIndex, 2u);
        QCOMPARE(s.session->workingBlock.saveInvert, 0u);
    }

    // ---- posterization --------------------------------------------------------------------

    void posterOpensOnTheDefaults() {
        DialogSession s;
        PosterizationDialog dialog(nullptr, *s.session);
        QCOMPARE(dialog.windowTitle(), QString("posterization"));
        QCOMPARE(textOf(&dialog, "check1820"), QString("level RGB"));
        QVERIFY(!checked(&dialog, "check1820"));
        const char* shown[][2] = {
            {"edit1830", "2"}, {"edit1831", "2"}, {"edit1832", "1"}, {"edit1833", "1"}};
        for (const auto& [edit, text] : shown)
            QCOMPARE(textOf(&dialog, edit), QString(text));
        QVERIFY(!enabled(&dialog, "edit1830"));
        QVERIFY(!enabled(&dialog, "up1840"));
        for (const char* name : {"edit1831", "edit1832", "edit1833", "down1843"})
            QVERIFY2(enabled(&dialog, name), name);
        QVERIFY(saveLook(&dialog, looks_ / "posterization.png"));
        click(&dialog, "check1820");
        QVERIFY(enabled(&dialog, "edit1830"));
        for (const char* name : {"edit1831", "up1841", "edit1832", "edit1833"})
            QVERIFY2(!enabled(&dialog, name), name);
    }

    void posterArrowsKeepTheirLimits() {
        DialogSession s;
        s.session->workingBlock.posterLevelBlue = 128;
        PosterizationDialog dialog(nullptr, *s.session);
        click(&dialog, "down1841");
        click(&dialog, "down1841");
        QCOMPARE(textOf(&dialog, "edit1831"), QString("1"));
        click(&dialog, "up1843");
        QCOMPARE(textOf(&dialog, "edit1833"), QString("128"));
        click(&dialog, "check1820");
        click(&dialog, "down1840");
        QCOMPARE(textOf(&dialog, "edit1830"), QString("2"));
        click(&dialog, "up1840");
        QCOMPARE(textOf(&dialog, "edit1830"), QString("3"));
    }

    void posterRefusesAllOnesAndCommonOne() {
        DialogSession s;
        const ParameterBlock before = s.session->workingBlock;
        PosterizationDialog dialog(nullptr, *s.session);
        typeText(&dialog, "edit1831", "1");
        expectRefused(dialog, s, before, kLevels);
        typeText(&dialog, "edit1832", "129");
        typeText(&dialog, "edit1833", "2");
        expectRefused(dialog, s, before, kLevels);
        click(&dialog, "check1820");
        typeText(&dialog, "edit1830", "1");
        expectRefused(dialog, s, before, kLevels);
        typeText(&dialog, "edit1830", "6");
        click(&dialog, "check508");
        s.frontend.clear();
        QVERIFY(pressOkay(dialog)); // the unchecked channels are not checked
        QVERIFY(s.frontend.messages.empty());
        const ParameterBlock& b = s.session->workingBlock;
        QCOMPARE(b.posterCommon, 1u);
        QCOMPARE(b.posterLevelRGB, 6u);
        QCOMPARE(b.posterLevelRed, 1u);
        QCOMPARE(b.posterLevelGreen, 129u);
        QCOMPARE(b.posterLevelBlue, 2u);
        QCOMPARE(b.savePoster, 1u);
    }

    void posterStoresChannelLevels() {
        DialogSession s;
        PosterizationDialog dialog(nullptr, *s.session);
        typeText(&dialog, "edit1831", "17");
        typeText(&dialog, "edit1832", "15");
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.session->workingBlock;
        QCOMPARE(b.posterCommon, 0u);
        QCOMPARE(b.posterLevelRed, 17u);
        QCOMPARE(b.posterLevelGreen, 15u);
        QCOMPARE(b.posterLevelBlue, 1u);
        QCOMPARE(b.savePoster, 0u);
    }

    // ---- histogram modification -----------------------------------------------------------

    void histogramOpensOnTheDefaults() {
        DialogSession s;
        HistogramDialog dialog(nullptr, *s.session);
        QCOMPARE(dialog.windowTitle(), QString("histogram modification"));
        const char* boxes[][2] = {
            {"check1910", "Red"}, {"check1911", "Green"}, {"check1912", "Blue"}};
        for (const auto& [box, text] : boxes) {
            QCOMPARE(textOf(&dialog, box), QString(text));
            QVERIFY(checked(&dialog, box));
        }
        for (const char* name : {"edit1920", "edit1921", "edit1922"})
            QCOMPARE(textOf(&dialog, name), QString("0"));
        for (const char* name : {"edit1930", "edit1931", "edit1932"})
            QCOMPARE(textOf(&dialog, name), QString("255"));
        QVERIFY(!checked(&dialog, "check509"));
        QVERIFY(saveLook(&dialog, looks_ / "histogram.png"));
    }

    void histogramUncheckedGreenIsKeptAndDisabled() {
        DialogSession s;
        {
            HistogramDialog dialog(nullptr, *s.session);
            click(&dialog, "check1911");
            for (const char* name : {"edit1921", "up1941", "edit1931", "down1951"})
                QVERIFY2(!enabled(&dialog, name), name);
            QVERIFY(enabled(&dialog, "edit1920"));
            click(&dialog, "up1952"); // stays at 255
            QCOMPARE(textOf(&dialog, "edit1932"), QString("255"));
            click(&dialog, "down1940"); // stays at 0
            QCOMPARE(textOf(&dialog, "edit1920"), QString("0"));
            typeText(&dialog, "edit1922", "30");
            QVERIFY(pressOkay(dialog));
        }
        const ParameterBlock& b = s.session->workingBlock;
        QCOMPARE(b.histEnabled[0], 1u);
        QCOMPARE(b.histEnabled[1], 0u);
        QCOMPARE(b.histEnabled[2], 1u);
        QCOMPARE(b.histOutset[2], 30u);
        QCOMPARE(b.saveHistogram, 0u);
        HistogramDialog reopened(nullptr, *s.session);
        QVERIFY(!checked(&reopened, "check1911"));
        QCOMPARE(textOf(&reopened, "edit1922"), QString("30"));
    }

    void histogramChecksUncheckedChannelsInOrder() {
        DialogSession s;
        ParameterBlock& b = s.session->workingBlock;
        b.histEnabled[1] = 0;
        b.histEndset[1] = 256;
        const ParameterBlock before = b;
        HistogramDialog dialog(nullptr, *s.session);
        expectRefused(dialog, s, before, kRangeNoComma);
        typeText(&dialog, "edit1920", "200");
        typeText(&dialog, "edit1930", "100");
        expectRefused(dialog, s, before, kOrder); // red comes before green
        typeText(&dialog, "edit1930", "200");
        expectRefused(dialog, s, before, kRangeNoComma);
        typeText(&dialog, "edit1922", "-5");
        click(&dialog, "cancel");
        QVERIFY(sameBlock(s.session->workingBlock, before));
    }

    void histogramStoresAllNineAndTheFlag() {
        DialogSession s;
        HistogramDialog dialog(nullptr, *s.session);
        typeText(&dialog, "edit1921", "100");
        typeText(&dialog, "edit1931", "100");
        typeText(&dialog, "edit1932", "199");
        click(&dialog, "check1912");
        click(&dialog, "check509");
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.session->workingBlock;
        QCOMPARE(b.histEnabled[2], 0u);
        QCOMPARE(b.histOutset[1], 100u);
        QCOMPARE(b.histEndset[1], 100u);
        QCOMPARE(b.histEndset[2], 199u);
        QCOMPARE(b.histEndset[0], 255u);
        QCOMPARE(b.saveHistogram, 1u);
    }

  private:
    // Where the screenshots go; VELLORA_KEEP_TEST_FILES=1 keeps them to look at.
    const TempDir looks_{"looks-tone"};
};

QTEST_MAIN(ToneDialogTest)
#include "toneDialogTest.moc"
