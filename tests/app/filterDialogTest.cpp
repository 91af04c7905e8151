// The six filter dialogs driven through their widgets.
#include "app/dialogRegistry.h"
#include "app/filterDialogs.h"
#include "app/operationDialogs.h"
#include "dialogDriver.h"
#include "shell/commandTable.h"
#include "support/tempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <cstring>
#include <limits>

using namespace vellora;
using namespace vellora::app;
using namespace vellora::test;

namespace {

bool sameBlock(const ParameterBlock& a, const ParameterBlock& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

QComboBox* combo(QWidget* dialog, const char* name) {
    return dialog->findChild<QComboBox*>(name);
}

QStringList itemsOf(QWidget* dialog, const char* name) {
    QStringList items;
    QComboBox* list = combo(dialog, name);
    for (int i = 0; list != nullptr && i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

bool enabled(QWidget* dialog, const QString& name) {
    QWidget* control = findControl(dialog, name);
    return control != nullptr && control->isEnabled();
}

bool checked(QWidget* dialog, const char* name) {
    auto* box = dialog->findChild<QAbstractButton*>(name);
    return box != nullptr && box->isChecked();
}

// One list dialog: its factory, list and check names, the field it edits and its save flag.
struct ListCase {
    int command;
    const char* title;
    const char* list;
    const char* check;
    std::uint32_t ParameterBlock::*field;
    std::uint32_t ParameterBlock::*flag;
    QStringList items;
};

std::vector<ListCase> listCases() {
    return {
        {kCmdSmoothing,
         "smoothing",
         "combo2010",
         "check510",
         &ParameterBlock::smoothingIndex,
         &ParameterBlock::saveSmoothing,
         {"gaussian 09", "gaussian 25", "gaussian 49", "selected smoothing 09",
          "weighted average 05", "weighted average 09a", "weighted average 09b",
          "weighted average 25", "mean average 09", "mean average 25"}},
        {kCmdSharpening,
         "sharpening",
         "combo2210",
         "check512",
         &ParameterBlock::sharpeningIndex,
         &ParameterBlock::saveSharpening,
         {"high-pass 05", "high-pass 09"}},
        {kCmdEdgePreserving,
         "edge-preserving",
         "combo2110",
         "check511",
         &ParameterBlock::edgePreservingIndex,
         &ParameterBlock::saveEdgePreserving,
         {"range (max - min)", "variance", "std. deviation"}},
        {kCmdDeNoise,
         "de noise",
         "combo2410",
         "check514",
         &ParameterBlock::deNoiseIndex,
         &ParameterBlock::saveDeNoise,
         {"09 : 3 x 3", "25 : 5 x 5", "49 : 7 x 7"}},
    };
}

std::unique_ptr<QDialog> makeListDialog(int command, Session& session) {
    switch (command) {
    case kCmdSmoothing:
        return std::make_unique<SmoothingDialog>(nullptr, session);
    case kCmdSharpening:
        return std::make_unique<SharpeningDialog>(nullptr, session);
    case kCmdEdgePreserving:
        return std::make_unique<EdgePreservingDialog>(nullptr, session);
    default:
        return std::make_unique<DeNoiseDialog>(nullptr, session);
    }
}

QString cellEdit(int cell) {
    return QString("edit%1").arg(2520 + cell);
}

} // namespace

class FilterDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void registersAllSix();
    void listDialogsShowTheirItemsAndStoreTheChoice();
    void listDialogsCancelAndSaveFlag();
    void edgeDetectOpensFromTheBlockWithItsEnabling();
    void edgeDetectRadiosSwitchTheLists();
    void edgeDetectStoresAllFourAndCancelKeepsThem();
    void userFilterOpensFromTheBlock();
    void userFilterRingDisabledByThreeButKept();
    void userFilterArrowsReReadEveryField();
    void userFilterTypingTakesTheLeadingInteger();
    void userFilterArrowsStopAtTheIntegerEnds();
    void userFilterCancelAndKeys();

  private:
    // Where the screenshots go; VELLORA_KEEP_TEST_FILES=1 keeps them to look at.
    const TempDir looks_{"looks-filter"};
};

void FilterDialogTest::registersAllSix() {
    registerFilterDialogs();
    const auto factories = dialogFactories();
    DialogSession s;
    const std::pair<int, const char*> expected[] = {
        {kCmdSmoothing, "vellora::app::SmoothingDialog"},
        {kCmdSharpening, "vellora::app::SharpeningDialog"},
        {kCmdEdgePreserving, "vellora::app::EdgePreservingDialog"},
        {kCmdEdgeDetect, "vellora::app::EdgeDetectDialog"},
        {kCmdDeNoise, "vellora::app::DeNoiseDialog"},
        {kCmdUserFilter, "vellora::app::UserFilterDialog"}};
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
        QCOMPARE(opened, QString(className));
    }
}

void FilterDialogTest::listDialogsShowTheirItemsAndStoreTheChoice() {
    for (const ListCase& c : listCases()) {
        DialogSession s;
        ParameterBlock& block = s.session->workingBlock;
        block.*c.field = 1;
        auto dialog = makeListDialog(c.command, *s.session);
        QCOMPARE(dialog->windowTitle(), QString(c.title));
        QCOMPARE(itemsOf(dialog.get(), c.list), c.items);
        QCOMPARE(combo(dialog.get(), c.list)->currentIndex(), 1);
        QVERIFY(!checked(dialog.get(), c.check));
        const int last = int(c.items.size()) - 1;
        chooseItem(dialog.get(), c.list, last);
        QCOMPARE(block.*c.field, 1u); // nothing stored before "Okay"
        saveLook(dialog.get(), looks_ / (std::string(c.title) + ".png"));
        QVERIFY(pressOkay(*dialog));
        QCOMPARE(block.*c.field, std::uint32_t(last));
        QCOMPARE(block.*c.flag, 0u);
        QVERIFY(s.frontend.messages.empty());
    }
}

void FilterDialogTest::listDialogsCancelAndSaveFlag() {
    for (const ListCase& c : listCases()) {
        DialogSession s;
        const ParameterBlock before = s.session->workingBlock;
        auto cancelled = makeListDialog(c.command, *s.session);
        chooseItem(cancelled.get(), c.list, 1);
        click(cancelled.get(), c.check);
        click(cancelled.get(), "cancel");
        QCOMPARE(cancelled->result(), int(QDialog::Rejected));
        QVERIFY(sameBlock(before, s.session->workingBlock));

        auto saved = makeListDialog(c.command, *s.session);
        click(saved.get(), c.check);
        QVERIFY(pressOkay(*saved));
        QCOMPARE(s.session->workingBlock.*c.flag, 1u);
        QCOMPARE(s.session->workingBlock.*c.field, before.*c.field); // unchanged choice kept
    }
}

void FilterDialogTest::edgeDetectOpensFromTheBlockWithItsEnabling() {
    DialogSession s; // defaults: mode 0, "vert + horz", "sobel", "laplacian 05"
    EdgeDetectDialog dialog(nullptr, *s.session);
    QCOMPARE(dialog.windowTitle(), QString("edge detection"));
    QCOMPARE(itemsOf(&dialog, "combo2321"), QStringList({"sobel", "prewitt", "kirsh", "gradient"}));
    QCOMPARE(itemsOf(&dialog, "combo2320"),
             QStringList({"vertical", "horizontal", "oblique", "vert + horz"}));
    QCOMPARE(itemsOf(&dialog, "combo2322"),
             QStringList({"laplacian 05", "laplacian 09a", "laplacian 09b", "laplacian 09c",
                          "laplacian 25", "line 05a", "line 05b", "ripple 07a", "ripple 07b"}));
    QCOMPARE(combo(&dialog, "combo2320")->currentIndex(), 3);
    QCOMPARE(combo(&dialog, "combo2321")->currentIndex(), 0);
    QCOMPARE(combo(&dialog, "combo2322")->currentIndex(), 0);
    QVERIFY(checked(&dialog, "radio2310"));
    QVERIFY(!checked(&dialog, "radio2311"));
    QVERIFY(enabled(&dialog, "combo2320") && enabled(&dialog, "combo2321"));
    QVERIFY(!enabled(&dialog, "combo2322"));
    QVERIFY(!checked(&dialog, "check513"));

    DialogSession other;
    other.session->workingBlock.edgeDetectMode = 1;
    other.session->workingBlock.edgeDetectChoice[2] = 7;
    EdgeDetectDialog second(nullptr, *other.session);
    QVERIFY(checked(&second, "radio2311"));
    QVERIFY(!enabled(&second, "combo2320") && !enabled(&second, "combo2321"));
    QVERIFY(enabled(&second, "combo2322"));
    QCOMPARE(combo(&second, "combo2322")->currentText(), QString("ripple 07a"));
    saveLook(&second, looks_ / "edge detection.png");
}

void FilterDialogTest::edgeDetectRadiosSwitchTheLists() {
    DialogSession s;
    EdgeDetectDialog dialog(nullptr, *s.session);
    click(&dialog, "radio2311");
    QVERIFY(checked(&dialog, "radio2311") && !checked(&dialog, "radio2310"));
    QVERIFY(enabled(&dialog, "combo2322"));
    QVERIFY(!enabled(&dialog, "combo2320") && !enabled(&dialog, "combo2321"));
    click(&dialog, "radio2310");
    QVERIFY(!enabled(&dialog, "combo2322"));
    QVERIFY(enabled(&dialog, "combo2320") && enabled(&dialog, "combo2321"));
}

void FilterDialogTest::edgeDetectStoresAllFourAndCancelKeepsThem() {
    DialogSession s;
    ParameterBlock& block = s.session->workingBlock;
    const ParameterBlock before = block;
    {
        EdgeDetectDialog dialog(nullptr, *s.session);
        click(&dialog, "radio2311");
        chooseItem(&dialog, "combo2322", 8);
        click(&dialog, "cancel");
        QVERIFY(sameBlock(before, block));
    }
    EdgeDetectDialog dialog(nullptr, *s.session);
    chooseItem(&dialog, "combo2320", 2); // oblique
    chooseItem(&dialog, "combo2321", 3); // gradient
    click(&dialog, "radio2311");
    chooseItem(&dialog, "combo2322", 4); // laplacian 25
    click(&dialog, "check513");
    QVERIFY(pressOkay(dialog));
    QCOMPARE(block.edgeDetectMode, 1u);
    QCOMPARE(block.edgeDetectChoice[0], 2u);
    QCOMPARE(block.edgeDetectChoice[1], 3u);
    QCOMPARE(block.edgeDetectChoice[2], 4u);
    QCOMPARE(block.saveEdgeDetect, 1u);
}

void FilterDialogTest::userFilterOpensFromTheBlock() {
    DialogSession s;
    ParameterBlock& block = s.session->workingBlock;
    block.userFilterMask[0] = -7;
    block.userFilterValue = -3;
    UserFilterDialog dialog(nullptr, *s.session);
    QCOMPARE(dialog.windowTitle(), QString("filtering user defined"));
    QCOMPARE(itemsOf(&dialog, "combo2510"), QStringList({"3 x 3", "5 x 5"}));
    QCOMPARE(combo(&dialog, "combo2510")->currentIndex(), 0);
    QCOMPARE(textOf(&dialog, "edit2545"), QString("-3"));
    QCOMPARE(textOf(&dialog, cellEdit(0)), QString("-7"));
    QCOMPARE(textOf(&dialog, cellEdit(12)), QString("1"));
    QCOMPARE(textOf(&dialog, cellEdit(24)), QString("0"));
    for (int id = 2550; id <= 2575; ++id) {
        QVERIFY(findControl(&dialog, QString("up%1").arg(id)) != nullptr);
        QVERIFY(findControl(&dialog, QString("down%1").arg(id)) != nullptr);
    }
    QVERIFY(!checked(&dialog, "check515"));
    saveLook(&dialog, looks_ / "filtering user defined.png");
}

void FilterDialogTest::userFilterRingDisabledByThreeButKept() {
    DialogSession s;
    ParameterBlock& block = s.session->workingBlock;
    block.userFilterMask[2] = 9; // the top centre cell lies on the ring
    UserFilterDialog dialog(nullptr, *s.session);
    for (int cell = 0; cell < 25; ++cell) {
        const int row = cell / 5, column = cell % 5;
        const bool inner = row >= 1 && row <= 3 && column >= 1 && column <= 3;
        QCOMPARE(enabled(&dialog, cellEdit(cell)), inner);
        QCOMPARE(enabled(&dialog, QString("up%1").arg(2550 + cell)), inner);
    }
    QVERIFY(enabled(&dialog, "edit2545"));
    chooseItem(&dialog, "combo2510", 1);
    for (int cell = 0; cell < 25; ++cell)
        QVERIFY(enabled(&dialog, cellEdit(cell)));
    chooseItem(&dialog, "combo2510", 0);
    QVERIFY(!enabled(&dialog, cellEdit(2)));
    typeText(&dialog, "edit2545", "0");
    QVERIFY(pressOkay(dialog));
    QCOMPARE(block.userFilterSizeIndex, 0u);
    QCOMPARE(block.userFilterMask[2], 9); // disabled, kept
    QCOMPARE(block.userFilterValue, 0);   // k = 0 is not refused
    QVERIFY(s.frontend.messages.empty());
}

void FilterDialogTest::userFilterArrowsReReadEveryField() {
    DialogSession s;
    UserFilterDialog dialog(nullptr, *s.session);
    chooseItem(&dialog, "combo2510", 1);
    // Texts set without the edit signal: only the re-reading of an arrow press takes them.
    dialog.findChild<QLineEdit*>(cellEdit(0))->setText("12abc");
    dialog.findChild<QLineEdit*>(cellEdit(24))->setText("xyz");
    dialog.findChild<QLineEdit*>("edit2545")->setText("-4");
    click(&dialog, "up2556"); // cell 6 from 0
    QCOMPARE(textOf(&dialog, cellEdit(6)), QString("1"));
    QCOMPARE(textOf(&dialog, cellEdit(0)), QString("12abc")); // only the pressed field rewritten
    click(&dialog, "down2575");                               // k from the re-read -4
    QCOMPARE(textOf(&dialog, "edit2545"), QString("-5"));
    click(&dialog, "down2562"); // centre from 1
    click(&dialog, "down2562");
    QCOMPARE(textOf(&dialog, cellEdit(12)), QString("-1"));
    QVERIFY(pressOkay(dialog));
    const ParameterBlock& block = s.session->workingBlock;
    QCOMPARE(block.userFilterMask[0], 12);
    QCOMPARE(block.userFilterMask[24], 0);
    QCOMPARE(block.userFilterMask[6], 1);
    QCOMPARE(block.userFilterMask[12], -1);
    QCOMPARE(block.userFilterValue, -5);
    QCOMPARE(block.userFilterSizeIndex, 1u);
}

void FilterDialogTest::userFilterTypingTakesTheLeadingInteger() {
    DialogSession s;
    UserFilterDialog dialog(nullptr, *s.session);
    typeText(&dialog, cellEdit(7), "12ab");
    typeText(&dialog, cellEdit(12), "abc");
    typeText(&dialog, "edit2545", "  -2x");
    click(&dialog, "check515");
    QVERIFY(pressOkay(dialog));
    const ParameterBlock& block = s.session->workingBlock;
    QCOMPARE(block.userFilterMask[7], 12);
    QCOMPARE(block.userFilterMask[12], 0);
    QCOMPARE(block.userFilterValue, -2);
    QCOMPARE(block.saveUserFilter, 1u);
}

void FilterDialogTest::userFilterArrowsStopAtTheIntegerEnds() {
    DialogSession s;
    UserFilterDialog dialog(nullptr, *s.session);
    typeText(&dialog, cellEdit(12), "2147483647");
    click(&dialog, "up2562");
    QCOMPARE(textOf(&dialog, cellEdit(12)), QString("2147483647"));
    typeText(&dialog, "edit2545", "-2147483648");
    click(&dialog, "down2575");
    QCOMPARE(textOf(&dialog, "edit2545"), QString("-2147483648"));
    QVERIFY(pressOkay(dialog));
    QCOMPARE(s.session->workingBlock.userFilterMask[12], std::numeric_limits<std::int32_t>::max());
    QCOMPARE(s.session->workingBlock.userFilterValue, std::numeric_limits<std::int32_t>::min());
}

void FilterDialogTest::userFilterCancelAndKeys() {
    DialogSession s;
    const ParameterBlock before = s.session->workingBlock;
    {
        UserFilterDialog dialog(nullptr, *s.session);
        typeText(&dialog, cellEdit(12), "5");
        click(&dialog, "up2575");
        chooseItem(&dialog, "combo2510", 1);
        click(&dialog, "cancel");
        QVERIFY(sameBlock(before, s.session->workingBlock));
    }
    {
        UserFilterDialog dialog(nullptr, *s.session);
        dialog.show();
        typeText(&dialog, cellEdit(12), "5");
        dialog.findChild<QLineEdit*>(cellEdit(12))->setFocus();
        pressKey(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(sameBlock(before, s.session->workingBlock));
    }
    UserFilterDialog dialog(nullptr, *s.session);
    dialog.show();
    typeText(&dialog, cellEdit(12), "5");
    dialog.findChild<QLineEdit*>(cellEdit(12))->setFocus();
    pressKey(&dialog, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(s.session->workingBlock.userFilterMask[12], 5);
}

QTEST_MAIN(FilterDialogTest)
#include "filterDialogTest.moc"
