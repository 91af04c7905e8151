// The six filter dialogs: each shows the working block, hands the user's choices back on
// "Okay" and none on "Cancel". What the lists hold and the user filter's limits are the
// shell's rules (tests/shell/filterDialogRulesTest.cpp).
#include "app/filterDialogs.h"
#include "dialogDriver.h"

#include <QLineEdit>
#include <QtTest>

using namespace vellora;
using namespace vellora::app;
using namespace vellora::test;

namespace {

QString cell(int index) { return QString("edit%1").arg(2520 + index); }

} // namespace

class FilterDialogTest : public QObject {
    Q_OBJECT
  private slots:
    // The four one-list dialogs: the list opens on the block's choice, and "Okay" stores the
    // chosen one and the save tick into that dialog's own fields.
    void listDialogsShowAndStoreTheirOwnField() {
        using Field = std::uint32_t ParameterBlock::*;
        struct Case {
            std::function<std::unique_ptr<QDialog>(Session&)> make;
            const char* list;
            const char* check;
            Field field, flag;
            int items;
        };
        const Case cases[] = {
            {[](Session& s) { return std::make_unique<SmoothingDialog>(nullptr, s); }, "combo2010",
             "check510", &ParameterBlock::smoothingIndex, &ParameterBlock::saveSmoothing, 10},
            {[](Session& s) { return std::make_unique<EdgePreservingDialog>(nullptr, s); },
             "combo2110", "check511", &ParameterBlock::edgePreservingIndex,
             &ParameterBlock::saveEdgePreserving, 3},
            {[](Session& s) { return std::make_unique<SharpeningDialog>(nullptr, s); },
             "combo2210", "check512", &ParameterBlock::sharpeningIndex,
             &ParameterBlock::saveSharpening, 2},
            {[](Session& s) { return std::make_unique<DeNoiseDialog>(nullptr, s); }, "combo2410",
             "check514", &ParameterBlock::deNoiseIndex, &ParameterBlock::saveDeNoise, 3},
        };
        for (const Case& c : cases) {
            DialogSession s;
            s.block().*c.field = 1;
            ParameterBlock expected = s.block();
            auto cancelled = c.make(*s.session);
            chooseItem(cancelled.get(), c.list, 0);
            click(cancelled.get(), "cancel");
            QVERIFY(sameBlock(s.block(), expected));
            auto dialog = c.make(*s.session);
            QCOMPARE(selected(dialog.get(), c.list), 1);
            QCOMPARE(itemsOf(dialog.get(), c.list).size(), c.items);
            chooseItem(dialog.get(), c.list, c.items - 1);
            click(dialog.get(), c.check);
            QVERIFY(pressOkay(*dialog));
            expected.*c.field = std::uint32_t(c.items - 1);
            expected.*c.flag = 1;
            QVERIFY2(sameBlock(s.block(), expected), c.list);
        }
    }

    void edgeDetectRadiosSwitchTheListsAndAllFourAreStored() {
        DialogSession s;
        s.block().edgeDetectMode = 1;
        s.block().edgeDetectChoice[2] = 7;
        EdgeDetectDialog dialog(nullptr, *s.session);
        QCOMPARE(dialog.windowTitle(), QString("edge detection"));
        QVERIFY(checked(&dialog, "radio2311") && !checked(&dialog, "radio2310"));
        QCOMPARE(itemsOf(&dialog, "combo2322")[selected(&dialog, "combo2322")],
                 QString("ripple 07a"));
        QCOMPARE(selected(&dialog, "combo2320"), int(s.block().edgeDetectChoice[0]));
        QCOMPARE(selected(&dialog, "combo2321"), int(s.block().edgeDetectChoice[1]));
        for (const char* radio : {"radio2310", "radio2311"}) {
            const bool direction = radio == std::string("radio2310");
            click(&dialog, radio);
            QVERIFY(enabled(&dialog, "combo2320") == direction);
            QVERIFY(enabled(&dialog, "combo2321") == direction);
            QVERIFY(enabled(&dialog, "combo2322") != direction);
        }
        click(&dialog, "radio2310");
        chooseItem(&dialog, "combo2320", 2);
        chooseItem(&dialog, "combo2321", 3);
        chooseItem(&dialog, "combo2322", 4);
        click(&dialog, "check513");
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.block();
        QCOMPARE(b.edgeDetectMode, 0u);
        QCOMPARE(b.edgeDetectChoice[0], 2u);
        QCOMPARE(b.edgeDetectChoice[1], 3u);
        QCOMPARE(b.edgeDetectChoice[2], 4u);
        QCOMPARE(b.saveEdgeDetect, 1u);
    }

    void userFilterShowsTheBlockAndItsSizeEnablesTheRing() {
        DialogSession s;
        s.block().userFilterMask[0] = -7;
        s.block().userFilterValue = -3;
        UserFilterDialog dialog(nullptr, *s.session);
        QCOMPARE(textOf(&dialog, "edit2545"), QString("-3"));
        QCOMPARE(textOf(&dialog, cell(0)), QString("-7"));
        QCOMPARE(textOf(&dialog, cell(12)), QString::number(s.block().userFilterMask[12]));
        for (int size : {0, 1}) {
            chooseItem(&dialog, "combo2510", size);
            for (int c = 0; c < 25; ++c) {
                const bool inner = c / 5 >= 1 && c / 5 <= 3 && c % 5 >= 1 && c % 5 <= 3;
                QCOMPARE(enabled(&dialog, cell(c)), size == 1 || inner);
            }
            QVERIFY(enabled(&dialog, "edit2545"));
        }
    }

    // Typing stores the leading integer; an arrow re-reads every field first and rewrites only
    // its own.
    void userFilterTypingAndArrowsReachTheBlock() {
        DialogSession s;
        UserFilterDialog dialog(nullptr, *s.session);
        chooseItem(&dialog, "combo2510", 1);
        typeText(&dialog, cell(7), "12ab");
        dialog.findChild<QLineEdit*>(cell(0))->setText("9x"); // no edit signal
        dialog.findChild<QLineEdit*>("edit2545")->setText("-4");
        click(&dialog, "up2556"); // cell 6
        QCOMPARE(textOf(&dialog, cell(0)), QString("9x"));
        click(&dialog, "down2575"); // k from the re-read -4
        QCOMPARE(textOf(&dialog, "edit2545"), QString("-5"));
        click(&dialog, "check515");
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.block();
        QCOMPARE(b.userFilterMask[0], 9);
        QCOMPARE(b.userFilterMask[6], 1);
        QCOMPARE(b.userFilterMask[7], 12);
        QCOMPARE(b.userFilterValue, -5);
        QCOMPARE(b.userFilterSizeIndex, 1u);
        QCOMPARE(b.saveUserFilter, 1u);
    }
};

QTEST_MAIN(FilterDialogTest)
#include "filterDialogTest.moc"
