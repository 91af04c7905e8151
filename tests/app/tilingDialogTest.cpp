// The tiling dialog: it shows the block as the shell's rules give it (tests/shell/
// tilingDialogRulesTest.cpp), its lists, arrows, radios and palette chooser go to those rules,
// "Okay" stores through them and a refusal reaches the frontend.
#include "app/tilingDialog.h"
#include "app/exclusionList.h"
#include "dialogDriver.h"

#include <QLineEdit>
#include <QtTest>

#include <cstring>

using namespace vellora;
using namespace vellora::app;
using namespace vellora::test;

namespace {
const Message kSizingAlert{"alart", "tile count or size must be set plus numeral"};
}

class TilingDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void opensOnAStoredBlockAndConvertingEnablesThePalettes() {
        DialogSession s;
        ParameterBlock& b = s.block();
        b.tilingConvert = 0;
        b.tilingPaletteClass = 2;
        b.tilingSizeMethod = 0;
        b.tileCountWide = 30;
        b.tileCountHigh = 20;
        b.slitPixelWidth = 0;
        b.hSlitGrayIndex = 5;
        std::strcpy(b.userPalettePath, "C:\\palettes\\tiles.csv");
        TilingDialog dialog(nullptr, *s.session);
        QVERIFY(!checked(&dialog, "check2610") && checked(&dialog, "radio2622"));
        QCOMPARE(textOf(&dialog, "static2632"), QString("tiles.csv"));
        QCOMPARE(selected(&dialog, "combo2640"), 0);
        QCOMPARE(textOf(&dialog, "static2650"), QString("around count"));
        QCOMPARE(textOf(&dialog, "edit2660"), QString("30"));
        QCOMPARE(textOf(&dialog, "edit2661"), QString("20"));
        QCOMPARE(textOf(&dialog, "edit2662"), QString("0"));
        QCOMPARE(selected(&dialog, "combo2641"), 5);
        QCOMPARE(selected(&dialog, "combo2630"), int(b.tilingMedianIndex));
        QCOMPARE(selected(&dialog, "combo2631"), int(b.tilingEvenIndex));
        for (const char* name :
             {"radio2620", "radio2621", "radio2622", "combo2630", "combo2631", "static2632"})
            QVERIFY2(!enabled(&dialog, name), name);
        click(&dialog, "check2610");
        QVERIFY(enabled(&dialog, "radio2620") && enabled(&dialog, "static2632"));
        QVERIFY(!enabled(&dialog, "combo2631"));
        click(&dialog, "radio2621");
        QVERIFY(enabled(&dialog, "combo2631") && !enabled(&dialog, "static2632"));
    }

    // The pair shows the cells of the chosen sizing method, keeping each method's own; the slit
    // gray lists refill it from what was typed.
    void eachMethodKeepsItsOwnPair() {
        DialogSession s;
        TilingDialog dialog(nullptr, *s.session);
        QCOMPARE(textOf(&dialog, "static2650"), QString("size, w. x h."));
        auto* count = dialog.findChild<QLineEdit*>("edit2660"); // wide enough for any value
        QVERIFY(count->minimumWidth() > count->fontMetrics().horizontalAdvance("-0000000"));
        chooseItem(&dialog, "combo2640", 0);
        QCOMPARE(textOf(&dialog, "static2650"), QString("around count"));
        QCOMPARE(textOf(&dialog, "edit2660"), QString::number(s.block().tileCountWide));
        typeText(&dialog, "edit2660", "70");
        chooseItem(&dialog, "combo2640", 1);
        QCOMPARE(textOf(&dialog, "edit2661"), QString::number(s.block().tilePixelHeight));
        typeText(&dialog, "edit2661", "12 px"); // the leading integer
        chooseItem(&dialog, "combo2640", 0);
        QCOMPARE(textOf(&dialog, "edit2660"), QString("70"));
        typeText(&dialog, "edit2661", "33");
        chooseItem(&dialog, "combo2642", 4);
        QCOMPARE(textOf(&dialog, "edit2661"), QString("33"));
        chooseItem(&dialog, "combo2641", 2);
        QCOMPARE(textOf(&dialog, "edit2661"), QString("33"));
        click(&dialog, "up2672"); // slit 1 → 2
        click(&dialog, "down2670"); // count 70 → 69, an arrow reads the typed text first
        typeText(&dialog, "edit2661", "abc");
        click(&dialog, "up2671");
        QCOMPARE(textOf(&dialog, "edit2661"), QString("1"));
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.block();
        QCOMPARE(b.tilingSizeMethod, 0u);
        QCOMPARE(b.tileCountWide, 69);
        QCOMPARE(b.tileCountHigh, 1);
        QCOMPARE(b.tilePixelHeight, 12);
        QCOMPARE(b.slitPixelWidth, 2);
        QCOMPARE(b.hSlitGrayIndex, 2u);
        QCOMPARE(b.vSlitGrayIndex, 4u);
        QVERIFY(s.frontend.messages.empty());
    }

    void refusedSizingAlertsButThePaletteChoiceStays() {
        DialogSession s;
        TilingDialog dialog(nullptr, *s.session);
        chooseItem(&dialog, "combo2631", 3);
        click(&dialog, "check516");
        typeText(&dialog, "edit2660", "0");
        typeText(&dialog, "edit2662", "4");
        QVERIFY(!pressOkay(dialog));
        QCOMPARE(s.frontend.messages, std::vector<Message>{kSizingAlert});
        const ParameterBlock& b = s.block();
        QCOMPARE(b.tilingEvenIndex, 3u); // stored before the check
        QCOMPARE(b.slitPixelWidth, 1);   // the layout is not
        QCOMPARE(b.saveTiling, 0u);
        typeText(&dialog, "edit2660", "7");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(b.tilePixelWidth, 7);
        QCOMPARE(b.slitPixelWidth, 4);
        QCOMPARE(b.saveTiling, 1u);
        QCOMPARE(s.frontend.messages.size(), std::size_t(1));
    }

    // A cancelled chooser goes back to the class before, or to none when the stored class has no
    // radio.
    void userPaletteFallsBackWhenItsChooserIsCancelled() {
        for (std::uint32_t stored : {0u, 7u}) {
            DialogSession s;
            s.block().tilingPaletteClass = stored;
            std::strcpy(s.block().userPalettePath, "/palettes/old.ecp");
            bool answer = false;
            std::string seen;
            TilingDialog dialog(nullptr, *s.session, [&](QWidget*, std::string& path) {
                seen = path;
                if (answer) path = "C:\\palettes\\new.csv";
                return answer;
            });
            click(&dialog, "radio2622");
            QCOMPARE(seen, std::string("/palettes/old.ecp"));
            QCOMPARE(checked(&dialog, "radio2620"), stored == 0);
            QVERIFY(!checked(&dialog, "radio2621") && !checked(&dialog, "radio2622"));
            QCOMPARE(enabled(&dialog, "combo2630"), stored == 0);
            QVERIFY(!enabled(&dialog, "static2632"));
            answer = true;
            click(&dialog, "radio2622");
            QVERIFY(checked(&dialog, "radio2622") && enabled(&dialog, "static2632"));
            QCOMPARE(textOf(&dialog, "static2632"), QString("new.csv"));
            QVERIFY(pressOkay(dialog));
            QCOMPARE(s.block().tilingPaletteClass, 2u);
            QCOMPARE(std::string(s.block().userPalettePath), std::string("C:\\palettes\\new.csv"));
        }
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
        chooseItem(&dialog, "combo2630", 4); // the ticks stay by index
        QCOMPARE(list->item(5)->checkState(), Qt::Checked);
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.session->design.excluded, (std::vector<int>{2, 5}));
    }

};

QTEST_MAIN(TilingDialogTest)
#include "tilingDialogTest.moc"
