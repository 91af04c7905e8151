// Every operation dialog and the sheet setup, opened on a session and driven through their
// widgets: each shows the values the shell's rules give for the block (and the picture), its
// lists, checks, radios, arrows and choosers go to those rules, "Okay" stores through them,
// "Cancel" stores nothing, and a refusal reaches the frontend with the block left as it was.
// The rules themselves are tested in tests/shell (…DialogRulesTest.cpp); here, the wiring and
// the layout.
#include "app/colorDialog.h"
#include "app/cropDialog.h"
#include "app/dialogRegistry.h"
#include "app/exclusionList.h"
#include "app/filterDialogs.h"
#include "app/hiddenMenuDialog.h"
#include "app/operationDialogs.h"
#include "app/resizeDialog.h"
#include "app/rotateDialog.h"
#include "app/sheetSetupDialog.h"
#include "app/tilingDialog.h"
#include "app/toneDialogs.h"
#include "color/paletteFolders.h"
#include "dialogDriver.h"
#include "support/tempDir.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <cstring>
#include <fstream>

using namespace vellora;
using namespace vellora::app;
using namespace vellora::test;

namespace {

// Only the control of `colorClass` among 1430 … 1434 (the lists, the user palette name) is on.
void expectOnlyClassControl(QWidget* dialog, int colorClass) {
    for (int k = 0; k < 5; ++k) {
        const QString name = QString(k == 4 ? "static%1" : "combo%1").arg(1430 + k);
        QVERIFY2(enabled(dialog, name) == (k == colorClass), qPrintable(name));
    }
}

QString cell(int index) {
    return QString("edit%1").arg(2520 + index);
}

// Each named control shows its text.
void expectTexts(QWidget* dialog, std::initializer_list<std::pair<const char*, QString>> texts) {
    for (const auto& [name, text] : texts)
        QCOMPARE(textOf(dialog, name), text);
}

QRect placeOf(const QWidget* control, const QWidget* dialog) {
    return {control->mapTo(dialog, QPoint(0, 0)), control->size()};
}

// No two visible controls overlap; a label stands left of (on its row) or above the control it
// names; a numeric field's edit starts at its left edge and its arrows, one right on the other,
// end at its right edge.
void expectTidyLayout(QDialog& dialog) {
    QList<QWidget*> controls;
    for (QWidget* w : dialog.findChildren<QWidget*>())
        if (w->isVisible() && (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
                               qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                               qobject_cast<QListWidget*>(w)))
            controls << w;
    const QString title = dialog.windowTitle() + ": ";
    for (qsizetype i = 0; i < controls.size(); ++i)
        for (qsizetype j = i + 1; j < controls.size(); ++j)
            QVERIFY2(
                !placeOf(controls[i], &dialog).intersects(placeOf(controls[j], &dialog)),
                qPrintable(title + controls[i]->objectName() + " " + controls[j]->objectName()));
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->buddy() == nullptr) continue;
        const QRect text = placeOf(label, &dialog), named = placeOf(label->buddy(), &dialog);
        const bool onRow = text.bottom() >= named.top() && text.top() <= named.bottom();
        QVERIFY2(onRow ? text.right() < named.left() : text.bottom() < named.top(),
                 qPrintable(title + label->text()));
    }
    for (const ValueField* field : dialog.findChildren<ValueField*>()) {
        const auto arrows = field->findChildren<QToolButton*>(); // up, then down
        const QToolButton *up = arrows.value(0), *down = arrows.value(1);
        QCOMPARE(field->edit()->x(), 0);
        QCOMPARE(up->geometry().right(), field->width() - 1);
        QCOMPARE(down->geometry().right(), field->width() - 1);
        QCOMPARE(down->y(), up->geometry().bottom() + 1);
    }
}

const Message kSizingAlert{"alart", "tile count or size must be set plus numeral"};

// Presses "Okay", expects it refused with `message`, and the block untouched.
void expectRefused(QDialog& dialog, DialogSession& s, const Message& message) {
    const ParameterBlock before = s.block();
    s.frontend.clear();
    QVERIFY(!pressOkay(dialog));
    QCOMPARE(s.frontend.messages, std::vector<Message>{message});
    QVERIFY(sameBlock(s.block(), before));
}

} // namespace

class DialogTest : public QObject {
    Q_OBJECT
  private slots:
    void colorShowsTheBlockAndFollowsTheClasses() {
        DialogSession s;
        ParameterBlock& b = s.block();
        b.colorChoice[1] = 1;
        b.colorChoice[2] = 4;
        {
            ColorDialog dialog(nullptr, *s.session); // median cut, diffusion on
            QVERIFY(checked(&dialog, "check1410") && checked(&dialog, "radio1420"));
            for (int k = 0; k < 4; ++k)
                QCOMPARE(selected(&dialog, QString("combo%1").arg(1430 + k)),
                         int(b.colorChoice[k]));
            for (int colorClass : {1, 2, 3, 0}) {
                click(&dialog, QString("radio%1").arg(1420 + colorClass));
                expectOnlyClassControl(&dialog, colorClass);
            }
            click(&dialog, "radio1423"); // true colour: diffusion shown off and disabled
            QVERIFY(!checked(&dialog, "check1410") && !enabled(&dialog, "check1410"));
            QVERIFY(!enabled(&dialog, "static1411"));
            click(&dialog, "radio1422"); // the remembered tick returns
            QVERIFY(checked(&dialog, "check1410") && enabled(&dialog, "check1410"));
        }
        b.colorDiffusion = 0;
        b.colorMethod = 4;
        std::strcpy(b.userPalettePath, "/home/me/palettes/warm.csv");
        ColorDialog dialog(nullptr, *s.session);
        QVERIFY(!checked(&dialog, "check1410") && checked(&dialog, "radio1424"));
        QCOMPARE(textOf(&dialog, "static1434"), QString("warm.csv"));
        expectOnlyClassControl(&dialog, 4);
    }

    void colorOkayStoresEveryList() {
        DialogSession s;
        ColorDialog dialog(nullptr, *s.session);
        chooseItem(&dialog, "combo1430", 2);
        click(&dialog, "radio1421");
        chooseItem(&dialog, "combo1431", 0);
        click(&dialog, "radio1423");
        chooseItem(&dialog, "combo1433", 1);
        click(&dialog, "radio1422");
        chooseItem(&dialog, "combo1432", 4);
        click(&dialog, "check1410");
        click(&dialog, "check504");
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.block();
        QCOMPARE(std::tuple(b.colorMethod, b.colorDiffusion, b.saveColor), std::tuple(2u, 0u, 1u));
        QCOMPARE(std::vector(b.colorChoice, b.colorChoice + 4),
                 (std::vector<std::uint32_t>{2, 0, 4, 1}));
    }

    void userDefinedFallsBackWhenItsChooserIsCancelled() {
        DialogSession s;
        const ParameterBlock before = s.block();
        bool answer = false;
        int calls = 0;
        ColorDialog dialog(nullptr, *s.session, [&](QWidget*, std::string& path) {
            ++calls;
            if (answer) path = "C:\\palettes\\cold.ecp";
            return answer;
        });
        click(&dialog, "radio1422");
        click(&dialog, "radio1424");
        QCOMPARE(calls, 1);
        QVERIFY(checked(&dialog, "radio1422") && !checked(&dialog, "radio1424"));
        expectOnlyClassControl(&dialog, 2);
        answer = true;
        click(&dialog, "radio1424");
        QVERIFY(checked(&dialog, "radio1424"));
        QCOMPARE(textOf(&dialog, "static1434"), QString("cold.ecp"));
        expectOnlyClassControl(&dialog, 4);
        QVERIFY(sameBlock(s.block(), before)); // nothing before "Okay"
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.block().colorMethod, 4u);
        QCOMPARE(std::string(s.block().userPalettePath), std::string("C:\\palettes\\cold.ecp"));
        QCOMPARE(s.block().saveColor, 0u);
    }

    // ---- hidden menu ------------------------------------------------------------------------

    void hiddenMenuShowsTheBlockAndStoresOnOkay() {
        DialogSession s;
        s.block().saveQuality = 75;
        HiddenMenuDialog dialog(nullptr, *s.session);
        QCOMPARE(selected(&dialog, "combo911"), 5); // 100, 95, …, 75
        QCOMPARE(selected(&dialog, "combo910"), 0);
        QCOMPARE(selected(&dialog, "combo920"), 1); // 8 divisions
        QCOMPARE(labelOf(&dialog, "combo922"), QString("B"));
        chooseItem(&dialog, "combo910", 1);
        chooseItem(&dialog, "combo911", 20);
        click(&dialog, "check500");
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.block();
        QCOMPARE(std::tuple(b.saveBitsPerPixel, b.saveQuality, b.saveHiddenMenu),
                 std::tuple(24u, 0u, 1u));
    }

    // "make an even color palette file" acts at once; refusals and failures reach the frontend.
    void makingAPaletteReportsThroughTheFrontend() {
        const TempDir folder;
        const std::filesystem::path user = folder.path();
        setPaletteFolderOverride(PaletteFolders{user, user});
        DialogSession s;
        HiddenMenuDialog dialog(nullptr, *s.session);
        for (const char* name : {"combo920", "combo921", "combo922"})
            chooseItem(&dialog, name, 8); // 1 x 1 x 1
        click(&dialog, "button930");
        QCOMPARE(s.frontend.messages,
                 (std::vector<Message>{
                     {"alert", "divisions ' red x green x blue = ' must be 2 ~ 256"}}));
        chooseItem(&dialog, "combo920", 7); // 2 x 1 x 1
        click(&dialog, "button930");
        QCOMPARE(s.frontend.messages.size(), std::size_t(1)); // success says nothing
        QVERIFY(std::filesystem::exists(user / "evenColorPalette_002_211.ecp"));
        QCOMPARE(s.block().evenDivisions[0], 2u);      // at once, before any Okay
        std::ofstream(user / "plain") << "in the way"; // the user folder cannot be made
        setPaletteFolderOverride(PaletteFolders{user, user / "plain" / "user"});
        s.frontend.clear();
        click(&dialog, "button930");
        QCOMPARE(s.frontend.messages,
                 (std::vector<Message>{{"error", "failed to create the file"},
                                       {"", "failed to make an even color palette file"}}));
        setPaletteFolderOverride(std::nullopt);
    }

    // ---- filters ----------------------------------------------------------------------------

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
            {[](Session& s) { return std::make_unique<SharpeningDialog>(nullptr, s); }, "combo2210",
             "check512", &ParameterBlock::sharpeningIndex, &ParameterBlock::saveSharpening, 2},
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
        QCOMPARE(std::tuple(b.edgeDetectMode, b.saveEdgeDetect), std::tuple(0u, 1u));
        QCOMPARE(std::vector(b.edgeDetectChoice, b.edgeDetectChoice + 3),
                 (std::vector<std::uint32_t>{2, 3, 4}));
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
        QCOMPARE(std::tuple(b.userFilterMask[0], b.userFilterMask[6], b.userFilterMask[7]),
                 std::tuple(9, 1, 12));
        QCOMPARE(std::tuple(b.userFilterValue, b.userFilterSizeIndex, b.saveUserFilter),
                 std::tuple(-5, 1u, 1u));
    }

    // ---- geometry, on a 400 x 300 picture ---------------------------------------------------

    void everyRegisteredDialogIsLaidOutTidily() {
        registerOperationDialogs();
        DialogSession s(400, 300);
        for (const auto& [command, factory] : dialogFactories()) {
            onNextModal(expectTidyLayout);
            factory(nullptr, command, *s.session);
        }
    }

    void cropShowsThePictureAndStoresTheTypedRectangle() {
        DialogSession s(400, 300);
        CropDialog dialog(nullptr, *s.session);
        QVERIFY(dialog.findChild<QCheckBox*>() == nullptr); // no "save as default"
        QCOMPARE(textOf(&dialog, "static1040"), QString(" : 400 x 300"));
        expectTexts(
            &dialog,
            {{"edit1010", "300"}, {"edit1011", "1"}, {"edit1012", "400"}, {"edit1013", "1"}});
        dialog.show(); // "top" centred above "left" and "right", "bottom" below them
        const QRect top = placeOf(findControl(&dialog, "edit1010"), &dialog);
        const QRect left = placeOf(findControl(&dialog, "edit1011"), &dialog);
        const QRect right = placeOf(findControl(&dialog, "edit1012"), &dialog);
        const QRect bottom = placeOf(findControl(&dialog, "edit1013"), &dialog);
        QVERIFY(top.bottom() < left.top() && left.y() == right.y() && left.bottom() < bottom.top());
        QVERIFY(left.right() < top.left() && top.right() < right.left() && top.x() == bottom.x());
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
        const auto& rect = s.block().cropRect; // left, bottom, right, top from 0
        QCOMPARE(std::vector(rect, rect + 4), (std::vector<std::int32_t>{1, 4, 12, 298}));
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
        expectTexts(&dialog,
                    {{"static1140", " : 400 x 300"}, {"edit1110", "400"}, {"edit1111", "300"}});
        QCOMPARE(labelOf(&dialog, "combo1151"), QString("output color depth"));
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
        const ParameterBlock& b = s.block();
        QCOMPARE(std::tuple(b.resizeWidth, b.resizeHeight), std::tuple(132, 99));
        QCOMPARE(std::tuple(b.resizeInterpolate, b.resizeDepthIndex, b.saveResize),
                 std::tuple(0u, 0u, 1u));
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
        const ParameterBlock& b = s.block();
        QCOMPARE(b.rotateAngle, 360);
        QCOMPARE(std::tuple(b.rotateBicubic, b.rotateDepthIndex, b.rotateBlankIndex, b.saveRotate),
                 std::tuple(0u, 1u, 5u, 1u));
    }

    // ---- sheet setup ------------------------------------------------------------------------

    void sheetSetupOpensStoresOnOkayAndKeepsOnCancel() {
        DialogSession s;
        DesignSettings& design = s.session->design;
        design.tileWidthMm = 12.5;
        design.paper = Paper::Letter;
        const auto chooser = [](QWidget*, std::string& path) {
            path = "/lines/glass.tiles";
            return true;
        };
        {
            SheetSetupDialog dialog(nullptr, *s.session, chooser);
            expectTexts(&dialog,
                        {{"static2830", "(none)"}, {"edit2831", "12.5"}, {"edit2832", "20"}});
            QCOMPARE(dialog.findChild<QComboBox*>("combo2836")->currentIndex(), 1);
            click(&dialog, "chooseTileLine");
            QCOMPARE(textOf(&dialog, "static2830"), QString("glass.tiles"));
            typeText(&dialog, "edit2832", "25");
            typeText(&dialog, "edit2835", "0"); // no pack holds no tiles
            QVERIFY(!pressOkay(dialog));
            QCOMPARE(s.frontend.messages.size(), std::size_t(1));
            QVERIFY(s.frontend.messages[0].text.starts_with("pack needs a whole number"));
            QCOMPARE(design.tileHeightMm, 20.0);
            typeText(&dialog, "edit2835", "250");
            chooseItem(&dialog, "combo2836", 0);
            QVERIFY(pressOkay(dialog));
        }
        QCOMPARE(design.tileLinePath, std::string("/lines/glass.tiles"));
        QCOMPARE(std::tuple(design.tileWidthMm, design.tileHeightMm, design.sparePercent),
                 std::tuple(12.5, 25.0, 10.0));
        QCOMPARE(design.packSize, 250);
        QVERIFY(design.paper == Paper::A4);

        SheetSetupDialog dialog(nullptr, *s.session, chooser);
        click(&dialog, "noTileLine");
        typeText(&dialog, "edit2833", "5");
        click(&dialog, "cancel");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(design.tileLinePath, std::string("/lines/glass.tiles"));
        QCOMPARE(design.groutMm, 2.0);
    }

    // The real choosers: a chosen file reaches the path, a cancelled one leaves it; a palette
    // path longer than the block keeps is refused.
    void theFileChoosersHandBackTheChosenFile() {
        const TempDir folder;
        const std::string file = (folder.path() / "glass.tiles").string();
        std::ofstream(file) << "name,red,green,blue\n";
        const auto choose = [&file](PaletteFileChooser chooser, const std::string& picked) {
            onNextModal([&picked](QDialog& dialog) {
                auto& files = static_cast<QFileDialog&>(dialog);
                if (picked.empty()) return dialog.reject();
                files.selectFile(QString::fromStdString(picked));
                dialog.accept(); // the file dialog's own accept, through QDialog
            });
            std::string path = "/before";
            return chooser(nullptr, path) ? path : "cancelled " + path;
        };
        QCOMPARE(choose(chooseTileLineFile, file), file);
        QCOMPARE(choose(chooseTileLineFile, ""), std::string("cancelled /before"));
        QCOMPARE(choose(chooseUserPaletteFile, file), file);
        const std::filesystem::path deep = folder.path() / std::string(200, 'd');
        std::filesystem::create_directory(deep);
        const std::string tooLong = (deep / (std::string(60, 'p') + ".csv")).string();
        std::ofstream(tooLong) << "0,0,0\n";
        QCOMPARE(choose(chooseUserPaletteFile, tooLong), std::string("cancelled /before"));
    }

    // ---- tiling -----------------------------------------------------------------------------

    void tilingOpensOnAStoredBlockAndConvertingEnablesThePalettes() {
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
        expectTexts(&dialog, {{"static2650", "around count"},
                              {"edit2660", "30"},
                              {"edit2661", "20"},
                              {"edit2662", "0"}});
        QCOMPARE(selected(&dialog, "combo2641"), 5);
        QCOMPARE(selected(&dialog, "combo2630"), int(b.tilingMedianIndex));
        QCOMPARE(selected(&dialog, "combo2631"), int(b.tilingEvenIndex));
        for (const char* name :
             {"radio2620", "radio2621", "radio2622", "combo2630", "combo2631", "static2632"})
            QVERIFY2(!enabled(&dialog, name), name);
        dialog.show(); // each class's palette control sits under its own radio
        int below = -1;
        for (const char* name :
             {"radio2620", "combo2630", "radio2621", "combo2631", "radio2622", "static2632"}) {
            QVERIFY2(placeOf(findControl(&dialog, name), &dialog).top() > below, name);
            below = placeOf(findControl(&dialog, name), &dialog).bottom();
        }
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
        click(&dialog, "up2672");   // slit 1 → 2
        click(&dialog, "down2670"); // count 70 → 69, an arrow reads the typed text first
        typeText(&dialog, "edit2661", "abc");
        click(&dialog, "up2671");
        QCOMPARE(textOf(&dialog, "edit2661"), QString("1"));
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.block();
        QCOMPARE(std::tuple(b.tileCountWide, b.tileCountHigh, b.tilePixelHeight, b.slitPixelWidth),
                 std::tuple(69, 1, 12, 2));
        QCOMPARE(std::tuple(b.tilingSizeMethod, b.hSlitGrayIndex, b.vSlitGrayIndex),
                 std::tuple(0u, 2u, 4u));
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
        const QImage swatch = list->item(5)->icon().pixmap(14, 14).toImage();
        QCOMPARE(swatch.pixelColor(7, 7), QColor(0, 0, 255)); // the entry's colour
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

    // ---- tone ------------------------------------------------------------------------------

    // Diffusion is off and disabled at "256"; only the user's click changes what it stores.
    void grayFollowsTheLevels() {
        DialogSession s;
        s.block().grayLevelIndex = 2;
        GrayScaleDialog dialog(nullptr, *s.session);
        QVERIFY(dialog.findChild<QPushButton*>("okay")->isDefault()); // Enter presses "Okay"
        QCOMPARE(selected(&dialog, "combo1620"), 2);
        QCOMPARE(labelOf(&dialog, "combo1620"), QString("gray scale"));
        QVERIFY(checked(&dialog, "check1610") && enabled(&dialog, "check1610"));
        chooseItem(&dialog, "combo1620", 7);
        QVERIFY(!checked(&dialog, "check1610") && !enabled(&dialog, "check1610"));
        QVERIFY(!enabled(&dialog, "static1611"));
        chooseItem(&dialog, "combo1620", 3);
        QVERIFY(checked(&dialog, "check1610"));
        click(&dialog, "check1610");
        click(&dialog, "check505");
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.block();
        QCOMPARE(std::tuple(b.grayLevelIndex, b.grayDiffusion, b.saveGray), std::tuple(3u, 0u, 1u));
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
        QCOMPARE(std::tuple(b.bwMedianCut, b.bwStretch, b.bwThreshold, b.bwOutset, b.bwEndset,
                            b.saveBlackWhite),
                 std::tuple(0u, 1u, 41u, 199u, 255u, 1u));
    }

    void invertStoresTheChosenFormat() {
        DialogSession s;
        InvertDialog dialog(nullptr, *s.session);
        QCOMPARE(selected(&dialog, "combo1810"), int(s.block().invertDepthIndex));
        chooseItem(&dialog, "combo1810", 1);
        click(&dialog, "check507");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(std::tuple(s.block().invertDepthIndex, s.block().saveInvert), std::tuple(1u, 1u));
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
        const ParameterBlock& b = s.block();
        QCOMPARE(std::tuple(b.posterCommon, b.posterLevelRGB, b.savePoster),
                 std::tuple(1u, 6u, 1u));
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
        QCOMPARE(std::tuple(b.histEnabled[1], b.histOutset[0], b.histEndset[0], b.histOutset[2],
                            b.saveHistogram),
                 std::tuple(0u, 200u, 255u, 31u, 1u));
    }
};

static const TestClass<DialogTest> registered;
#include "dialogTest.moc"
