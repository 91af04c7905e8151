// The tiling dialog driven through its widgets: the two sizing pairs, the arrows, the sizing
// check, the slit width, the palette class and its user palette chooser, Cancel and the keys.
#include "app/tilingDialog.h"
#include "app/dialogRegistry.h"
#include "app/exclusionList.h"
#include "app/operationDialogs.h"
#include "dialogDriver.h"
#include "shell/commandTable.h"
#include "support/tempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <cstring>

using namespace vellora;
using namespace vellora::app;
using namespace vellora::test;

namespace {

const Message kSizingAlert{"alart", "tile count or size must be set plus numeral"};

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

// A chooser that answers from a script and counts its calls.
struct FakeChooser {
    bool answer = false;
    std::string chosen;
    int calls = 0;
    std::string seen; // the path it was opened on
    PaletteFileChooser hook() {
        return [this](QWidget*, std::string& path) {
            ++calls;
            seen = path;
            if (answer) path = chosen;
            return answer;
        };
    }
};

} // namespace

class TilingDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void registeredForTheTilingCommand() {
        registerTilingDialogs();
        const auto factories = dialogFactories();
        QVERIFY(factories.count(kCmdTiling) == 1);
        DialogSession s;
        QString opened;
        QTimer::singleShot(0, [&opened] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) return;
            opened = modal->metaObject()->className();
            static_cast<QDialog*>(modal)->reject();
        });
        QVERIFY(!factories.at(kCmdTiling)(nullptr, kCmdTiling, *s.session));
        QCOMPARE(opened, QString("vellora::app::TilingDialog"));
    }

    void opensOnTheDefaults() {
        DialogSession s;
        TilingDialog dialog(nullptr, *s.session);
        QCOMPARE(dialog.windowTitle(), QString("tiling"));
        QCOMPARE(textOf(&dialog, "check2610"), QString("convert color to, (not for true color)"));
        QVERIFY(checked(&dialog, "check2610"));
        QVERIFY(checked(&dialog, "radio2621"));
        QCOMPARE(selected(&dialog, "combo2630"), 3);
        QCOMPARE(selected(&dialog, "combo2631"), 9);
        QCOMPARE(selected(&dialog, "combo2640"), 1);
        QCOMPARE(textOf(&dialog, "static2650"), QString("size, w. x h."));
        QCOMPARE(textOf(&dialog, "edit2660"), QString("9"));
        QCOMPARE(textOf(&dialog, "edit2661"), QString("9"));
        QCOMPARE(textOf(&dialog, "edit2662"), QString("1"));
        QCOMPARE(selected(&dialog, "combo2641"), 1);
        QCOMPARE(selected(&dialog, "combo2642"), 1);
        QVERIFY(!checked(&dialog, "check516"));
        // Only the even colour list is enabled among the palette controls.
        QVERIFY(!enabled(&dialog, "combo2630"));
        QVERIFY(enabled(&dialog, "combo2631"));
        QVERIFY(!enabled(&dialog, "static2632"));
        QVERIFY(saveLook(&dialog, looks_ / "tiling.png"));
    }

    void opensOnAStoredBlock() {
        DialogSession s;
        ParameterBlock& b = s.session->workingBlock;
        b.tilingConvert = 0;
        b.tilingPaletteClass = 2;
        b.tilingSizeMethod = 0;
        b.tileCountWide = 30;
        b.tileCountHigh = 20;
        b.slitPixelWidth = 0;
        b.hSlitGrayIndex = 5;
        std::strcpy(b.userPalettePath, "C:\\palettes\\tiles.csv");
        TilingDialog dialog(nullptr, *s.session);
        QVERIFY(!checked(&dialog, "check2610"));
        QVERIFY(checked(&dialog, "radio2622"));
        QCOMPARE(textOf(&dialog, "static2632"), QString("tiles.csv"));
        QCOMPARE(textOf(&dialog, "static2650"), QString("around count"));
        QCOMPARE(textOf(&dialog, "edit2660"), QString("30"));
        QCOMPARE(textOf(&dialog, "edit2661"), QString("20"));
        QCOMPARE(textOf(&dialog, "edit2662"), QString("0"));
        QCOMPARE(selected(&dialog, "combo2641"), 5);
        // Conversion off: the radios and every palette control are disabled.
        for (const char* name :
             {"radio2620", "radio2621", "radio2622", "combo2630", "combo2631", "static2632"})
            QVERIFY2(!enabled(&dialog, name), name);
        click(&dialog, "check2610");
        QVERIFY(enabled(&dialog, "radio2620"));
        QVERIFY(enabled(&dialog, "static2632"));
        QVERIFY(!enabled(&dialog, "combo2631"));
    }

    void eachMethodKeepsItsOwnPair() {
        DialogSession s;
        TilingDialog dialog(nullptr, *s.session);
        chooseItem(&dialog, "combo2640", 0);
        QCOMPARE(textOf(&dialog, "static2650"), QString("around count"));
        QCOMPARE(textOf(&dialog, "edit2660"), QString("64"));
        QCOMPARE(textOf(&dialog, "edit2661"), QString("48"));
        typeText(&dialog, "edit2660", "70");
        chooseItem(&dialog, "combo2640", 1);
        QCOMPARE(textOf(&dialog, "static2650"), QString("size, w. x h."));
        QCOMPARE(textOf(&dialog, "edit2660"), QString("9"));
        QCOMPARE(textOf(&dialog, "edit2661"), QString("9"));
        typeText(&dialog, "edit2661", "12");
        chooseItem(&dialog, "combo2640", 0);
        QCOMPARE(textOf(&dialog, "edit2660"), QString("70"));
        QCOMPARE(textOf(&dialog, "edit2661"), QString("48"));
        // A slit gray choice refills the pair too, from the cells just typed.
        typeText(&dialog, "edit2661", "33");
        chooseItem(&dialog, "combo2642", 4);
        QCOMPARE(textOf(&dialog, "edit2661"), QString("33"));
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.session->workingBlock;
        QCOMPARE(b.tilingSizeMethod, 0u);
        QCOMPARE(b.tileCountWide, 70);
        QCOMPARE(b.tileCountHigh, 33);
        QCOMPARE(b.tilePixelWidth, 9);
        QCOMPARE(b.tilePixelHeight, 12);
        QCOMPARE(b.vSlitGrayIndex, 4u);
        QVERIFY(s.frontend.messages.empty());
    }

    void arrowsStepAndStopBelowOne() {
        DialogSession s;
        TilingDialog dialog(nullptr, *s.session);
        click(&dialog, "down2672"); // slit 1 → 0
        QCOMPARE(textOf(&dialog, "edit2662"), QString("0"));
        click(&dialog, "down2672"); // 0 stays 0
        QCOMPARE(textOf(&dialog, "edit2662"), QString("0"));
        click(&dialog, "up2672");
        QCOMPARE(textOf(&dialog, "edit2662"), QString("1"));
        typeText(&dialog, "edit2660", "-4"); // below 1: the down arrow leaves it
        click(&dialog, "down2670");
        QCOMPARE(textOf(&dialog, "edit2660"), QString("-4"));
        click(&dialog, "up2670");
        QCOMPARE(textOf(&dialog, "edit2660"), QString("-3"));
        // An arrow first reads the typed text as its leading integer.
        typeText(&dialog, "edit2661", "15 px");
        click(&dialog, "up2671");
        QCOMPARE(textOf(&dialog, "edit2661"), QString("16"));
        typeText(&dialog, "edit2661", "abc");
        click(&dialog, "up2671");
        QCOMPARE(textOf(&dialog, "edit2661"), QString("1"));
        // Cancel: none of it reaches the block.
        const ParameterBlock before = s.session->workingBlock;
        click(&dialog, "cancel");
        QVERIFY(sameBlock(s.session->workingBlock, before));
    }

    void sizingBelowOneIsRefusedButThePaletteChoiceStays() {
        DialogSession s;
        TilingDialog dialog(nullptr, *s.session);
        chooseItem(&dialog, "combo2631", 3);
        click(&dialog, "check516");
        typeText(&dialog, "edit2660", "0");
        typeText(&dialog, "edit2662", "4");
        QVERIFY(!pressOkay(dialog));
        QCOMPARE(s.frontend.messages, std::vector<Message>{kSizingAlert});
        const ParameterBlock& b = s.session->workingBlock;
        QCOMPARE(b.tilingEvenIndex, 3u); // stored before the check
        QCOMPARE(b.tilePixelWidth, 9);   // the layout is not
        QCOMPARE(b.slitPixelWidth, 1);
        QCOMPARE(b.saveTiling, 0u);
        typeText(&dialog, "edit2660", "7");
        typeText(&dialog, "edit2661", "no digits");
        QVERIFY(!pressOkay(dialog));
        QCOMPARE(s.frontend.messages, (std::vector<Message>{kSizingAlert, kSizingAlert}));
        typeText(&dialog, "edit2661", "8");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(b.tilePixelWidth, 7);
        QCOMPARE(b.tilePixelHeight, 8);
        QCOMPARE(b.slitPixelWidth, 4);
        QCOMPARE(b.saveTiling, 1u);
        QCOMPARE(s.frontend.messages.size(), std::size_t(2));
    }

    void sizingCheckLooksOnlyAtTheShownPair() {
        DialogSession s;
        s.session->workingBlock.tileCountWide = 0; // the count pair is not shown
        TilingDialog dialog(nullptr, *s.session);
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.session->workingBlock.tileCountWide, 0);
        QVERIFY(s.frontend.messages.empty());
    }

    void negativeSlitIsStoredAsZero() {
        DialogSession s;
        TilingDialog dialog(nullptr, *s.session);
        typeText(&dialog, "edit2662", "-3");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.session->workingBlock.slitPixelWidth, 0);
        QVERIFY(s.frontend.messages.empty());
    }

    void userPaletteFallsBackWhenItsChooserIsCancelled() {
        DialogSession s;
        std::strcpy(s.session->workingBlock.userPalettePath, "/palettes/old.ecp");
        FakeChooser chooser;
        TilingDialog dialog(nullptr, *s.session, chooser.hook());
        click(&dialog, "radio2620");
        click(&dialog, "radio2622"); // cancelled
        QCOMPARE(chooser.calls, 1);
        QCOMPARE(chooser.seen, std::string("/palettes/old.ecp"));
        QVERIFY(checked(&dialog, "radio2620"));
        QVERIFY(!checked(&dialog, "radio2622"));
        QVERIFY(enabled(&dialog, "combo2630"));
        QVERIFY(!enabled(&dialog, "static2632"));
        QCOMPARE(textOf(&dialog, "static2632"), QString("old.ecp"));
        chooser.answer = true;
        chooser.chosen = "C:\\palettes\\new.csv";
        click(&dialog, "radio2622");
        QVERIFY(checked(&dialog, "radio2622"));
        QCOMPARE(textOf(&dialog, "static2632"), QString("new.csv"));
        QVERIFY(enabled(&dialog, "static2632"));
        QVERIFY(!enabled(&dialog, "combo2630"));
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.session->workingBlock.tilingPaletteClass, 2u);
        QCOMPARE(std::string(s.session->workingBlock.userPalettePath),
                 std::string("C:\\palettes\\new.csv"));
    }

    void cancelledChooserWithAStoredClassNoRadioShows() {
        DialogSession s;
        s.session->workingBlock.tilingPaletteClass = 7; // from a damaged parameter file
        FakeChooser chooser;
        TilingDialog dialog(nullptr, *s.session, chooser.hook());
        click(&dialog, "radio2622");
        for (const char* name : {"radio2620", "radio2621", "radio2622"})
            QVERIFY2(!checked(&dialog, name), name);
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.session->workingBlock.tilingPaletteClass, 7u);
    }

    // The list follows the palette chosen in the dialog; the ticked entries are left out.
    void tickedEntriesAreExcluded() {
        DialogSession s;
        TilingDialog dialog(nullptr, *s.session);
        auto* list = dialog.findChild<ExclusionList*>("exclusionList");
        QVERIFY(list != nullptr);
        QCOMPARE(list->count(), 216);
        QCOMPARE(list->item(5)->text(), QString("5  (0, 0, 255)"));
        click(&dialog, "radio2620");
        chooseItem(&dialog, "combo2630", 3);
        QCOMPARE(list->count(), 16);
        list->item(2)->setCheckState(Qt::Checked);
        list->item(5)->setCheckState(Qt::Checked);
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.session->design.excluded, (std::vector<int>{2, 5}));
    }

    void cancelChangesNothing() {
        DialogSession s;
        FakeChooser chooser;
        chooser.answer = true;
        chooser.chosen = "/elsewhere/p.csv";
        const ParameterBlock before = s.session->workingBlock;
        TilingDialog dialog(nullptr, *s.session, chooser.hook());
        click(&dialog, "check516");
        click(&dialog, "radio2622");
        chooseItem(&dialog, "combo2630", 0);
        chooseItem(&dialog, "combo2640", 0);
        typeText(&dialog, "edit2660", "0"); // would be refused
        typeText(&dialog, "edit2662", "5");
        click(&dialog, "check2610");
        click(&dialog, "cancel");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(sameBlock(s.session->workingBlock, before));
        QVERIFY(s.frontend.messages.empty());
    }

    void keyboard() {
        DialogSession s;
        {
            TilingDialog dialog(nullptr, *s.session);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            typeText(&dialog, "edit2660", "0");
            pressKey(&dialog, Qt::Key_Return); // Enter is "Okay": refused, the dialog stays
            QVERIFY(dialog.isVisible());
            QCOMPARE(s.frontend.messages, std::vector<Message>{kSizingAlert});
            typeText(&dialog, "edit2660", "11");
            pressKey(&dialog, Qt::Key_Return);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(s.session->workingBlock.tilePixelWidth, 11);
        }
        TilingDialog dialog(nullptr, *s.session);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        typeText(&dialog, "edit2660", "13");
        pressKey(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(s.session->workingBlock.tilePixelWidth, 11);
    }

  private:
    // Where the screenshots go; VELLORA_KEEP_TEST_FILES=1 keeps them to look at.
    const TempDir looks_{"looks-tiling"};
};

QTEST_MAIN(TilingDialogTest)
#include "tilingDialogTest.moc"
