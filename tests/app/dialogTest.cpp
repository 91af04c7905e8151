// Every operation dialog and the sheet setup, opened on a session and driven through their
// widgets, once each: it shows the block's values (and the picture's), its lists, checks, radios,
// arrows and choosers reach the shell's rules, "Okay" stores through them, "Cancel" stores
// nothing, and a refusal reaches the frontend with the block left as it was. The rules
// themselves (enabling, steps, limits, messages) are tested in tests/shell/parametersTest.cpp;
// here, the wiring and the layout.
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
#include "shell/commandTable.h"
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

#include <cstddef>
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

// One control of a registered dialog and the block field it shows and stores, the 4 bytes at
// `offset`: the dialog opens on `opening` there; choosing item `input` of a list, typing `input`
// into an edit, or clicking a check box or a radio button that stands for `input`, then "Okay",
// stores `input` there and changes nothing that "Okay" alone does not.
struct Wiring {
    int command;
    const char* control;
    std::size_t offset;
    std::int32_t opening, input;
};

using B = ParameterBlock;
const Wiring kWirings[] = {
    {kCmdColorProcessing, "check1410", offsetof(B, colorDiffusion), 0, 1},
    {kCmdColorProcessing, "radio1421", offsetof(B, colorMethod), 0, 1},
    {kCmdColorProcessing, "radio1422", offsetof(B, colorMethod), 0, 2},
    {kCmdColorProcessing, "combo1430", offsetof(B, colorChoice[0]), 1, 2},
    {kCmdColorProcessing, "combo1431", offsetof(B, colorChoice[1]), 1, 0},
    {kCmdColorProcessing, "combo1432", offsetof(B, colorChoice[2]), 1, 4},
    {kCmdColorProcessing, "combo1433", offsetof(B, colorChoice[3]), 1, 0},
    {kCmdColorProcessing, "check504", offsetof(B, saveColor), 0, 1},
    {kCmdHiddenMenu, "check500", offsetof(B, saveHiddenMenu), 0, 1},
    {kCmdSmoothing, "combo2010", offsetof(B, smoothingIndex), 1, 9},
    {kCmdSmoothing, "check510", offsetof(B, saveSmoothing), 0, 1},
    {kCmdEdgePreserving, "combo2110", offsetof(B, edgePreservingIndex), 1, 2},
    {kCmdEdgePreserving, "check511", offsetof(B, saveEdgePreserving), 0, 1},
    {kCmdSharpening, "combo2210", offsetof(B, sharpeningIndex), 1, 0},
    {kCmdSharpening, "check512", offsetof(B, saveSharpening), 0, 1},
    {kCmdDeNoise, "combo2410", offsetof(B, deNoiseIndex), 1, 2},
    {kCmdDeNoise, "check514", offsetof(B, saveDeNoise), 0, 1},
    {kCmdEdgeDetect, "radio2310", offsetof(B, edgeDetectMode), 1, 0},
    {kCmdEdgeDetect, "radio2311", offsetof(B, edgeDetectMode), 0, 1},
    {kCmdEdgeDetect, "combo2320", offsetof(B, edgeDetectChoice[0]), 1, 2},
    {kCmdEdgeDetect, "combo2321", offsetof(B, edgeDetectChoice[1]), 1, 3},
    {kCmdEdgeDetect, "combo2322", offsetof(B, edgeDetectChoice[2]), 7, 4},
    {kCmdEdgeDetect, "check513", offsetof(B, saveEdgeDetect), 0, 1},
    {kCmdUserFilter, "combo2510", offsetof(B, userFilterSizeIndex), 0, 1},
    {kCmdUserFilter, "edit2545", offsetof(B, userFilterValue), -3, -5},
    {kCmdUserFilter, "edit2526", offsetof(B, userFilterMask[6]), -7, 12},
    {kCmdUserFilter, "edit2538", offsetof(B, userFilterMask[18]), 2, -9},
    {kCmdUserFilter, "check515", offsetof(B, saveUserFilter), 0, 1},
    {kCmdResize, "check1160", offsetof(B, saveResize), 0, 1},
    {kCmdRotateArbitrary, "edit1310", offsetof(B, rotateAngle), -30, 45},
    {kCmdRotateArbitrary, "combo1341", offsetof(B, rotateBlankIndex), 4, 5},
    {kCmdRotateArbitrary, "check503", offsetof(B, saveRotate), 0, 1},
    {kCmdGrayScale, "combo1620", offsetof(B, grayLevelIndex), 2, 3},
    {kCmdGrayScale, "check505", offsetof(B, saveGray), 0, 1},
    {kCmdBlackWhite, "check1710", offsetof(B, bwDiffusion), 0, 1},
    {kCmdBlackWhite, "radio1720", offsetof(B, bwMedianCut), 0, 1},
    {kCmdBlackWhite, "radio1721", offsetof(B, bwMedianCut), 1, 0},
    {kCmdBlackWhite, "check506", offsetof(B, saveBlackWhite), 0, 1},
    {kCmdInvert, "combo1810", offsetof(B, invertDepthIndex), 1, 0},
    {kCmdInvert, "check507", offsetof(B, saveInvert), 0, 1},
    {kCmdPosterization, "check1820", offsetof(B, posterCommon), 0, 1},
    {kCmdPosterization, "edit1831", offsetof(B, posterLevelRed), 3, 5},
    {kCmdPosterization, "edit1832", offsetof(B, posterLevelGreen), 3, 6},
    {kCmdPosterization, "edit1833", offsetof(B, posterLevelBlue), 3, 7},
    {kCmdPosterization, "check508", offsetof(B, savePoster), 0, 1},
    {kCmdHistogram, "check1911", offsetof(B, histEnabled[1]), 1, 0},
    {kCmdHistogram, "edit1920", offsetof(B, histOutset[0]), 10, 20},
    {kCmdHistogram, "edit1931", offsetof(B, histEndset[1]), 200, 250},
    {kCmdHistogram, "edit1922", offsetof(B, histOutset[2]), 10, 30},
    {kCmdHistogram, "check509", offsetof(B, saveHistogram), 0, 1},
    {kCmdTiling, "check2610", offsetof(B, tilingConvert), 1, 0},
    {kCmdTiling, "radio2620", offsetof(B, tilingPaletteClass), 1, 0},
    {kCmdTiling, "radio2621", offsetof(B, tilingPaletteClass), 0, 1},
    {kCmdTiling, "combo2630", offsetof(B, tilingMedianIndex), 1, 3},
    {kCmdTiling, "combo2631", offsetof(B, tilingEvenIndex), 1, 3},
    {kCmdTiling, "combo2640", offsetof(B, tilingSizeMethod), 1, 0},
    {kCmdTiling, "combo2641", offsetof(B, hSlitGrayIndex), 5, 2},
    {kCmdTiling, "combo2642", offsetof(B, vSlitGrayIndex), 1, 4},
    {kCmdTiling, "edit2660", offsetof(B, tilePixelWidth), 20, 7},
    {kCmdTiling, "edit2661", offsetof(B, tilePixelHeight), 20, 12},
    {kCmdTiling, "edit2662", offsetof(B, slitPixelWidth), 0, 4},
    {kCmdTiling, "check516", offsetof(B, saveTiling), 0, 1},
};

std::int32_t& fieldAt(ParameterBlock& block, std::size_t offset) {
    return *reinterpret_cast<std::int32_t*>(reinterpret_cast<char*>(&block) + offset);
}

// Opens the registered dialog of `command`, gives the control the input (none when `input` is
// null) and presses "Okay"; returns what the control showed first ("1" or "0" for a button).
QString showAndOkay(int command, const QString& control, Session& session, const int* input) {
    QString shown;
    onNextModal([&](QDialog& dialog) {
        if (control.startsWith("combo")) {
            shown = QString::number(selected(&dialog, control));
            if (input != nullptr) chooseItem(&dialog, control, *input);
        } else if (control.startsWith("edit")) {
            shown = textOf(&dialog, control);
            if (input != nullptr) typeText(&dialog, control, QString::number(*input));
        } else {
            shown = checked(&dialog, control) ? "1" : "0";
            if (input != nullptr) click(&dialog, control);
        }
        QVERIFY(pressOkay(dialog));
    });
    const bool accepted = dialogFactories().at(command)(nullptr, command, session);
    return accepted ? shown : "not accepted";
}

} // namespace

class DialogTest : public QObject {
    Q_OBJECT
  private slots:
    // Every registered command opens a dialog laid out tidily; "Cancel" after every check box is
    // clicked and every list moved to its first item stores nothing.
    void everyRegisteredDialogIsTidyAndCancelStoresNothing() {
        registerOperationDialogs();
        DialogSession s(400, 300);
        const ParameterBlock before = s.block();
        for (const auto& [command, factory] : dialogFactories()) {
            bool opened = false;
            onNextModal([&opened](QDialog& dialog) {
                opened = true;
                expectTidyLayout(dialog);
                for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
                    box->click();
                for (QComboBox* list : dialog.findChildren<QComboBox*>())
                    chooseItem(&dialog, list->objectName(), 0);
                click(&dialog, "cancel");
            });
            QVERIFY(!factory(nullptr, command, *s.session));
            QVERIFY2(opened && sameBlock(s.block(), before), qPrintable(QString::number(command)));
        }
    }

    // Each control of the table shows its own field, and "Okay" stores the input there alone.
    void everyControlShowsAndStoresItsOwnField() {
        registerOperationDialogs();
        for (const Wiring& w : kWirings) {
            const QString where = QString("%1 %2").arg(w.command).arg(w.control);
            DialogSession s(400, 300);
            fieldAt(s.block(), w.offset) = w.opening;
            const QString shown = showAndOkay(w.command, w.control, *s.session, nullptr);
            const bool radio = where.contains("radio");
            QVERIFY2(shown == (radio ? "0" : QString::number(w.opening)),
                     qPrintable(where + " shows " + shown));
            QVERIFY2(fieldAt(s.block(), w.offset) == w.opening, qPrintable(where));
            ParameterBlock expected = s.block(); // as "Okay" alone leaves it
            fieldAt(expected, w.offset) = w.input;
            showAndOkay(w.command, w.control, *s.session, &w.input);
            QVERIFY2(sameBlock(s.block(), expected), qPrintable(where));
        }
    }

    // ---- colour -----------------------------------------------------------------------------

    // Each class enables its own list; "true color" shows diffusion off without forgetting it.
    void colorClassesEnableTheirListsAndTrueColorHidesDiffusion() {
        DialogSession s;
        ColorDialog dialog(nullptr, *s.session); // median cut, diffusion on
        for (int colorClass : {1, 2, 3, 0}) {
            click(&dialog, QString("radio%1").arg(1420 + colorClass));
            expectOnlyClassControl(&dialog, colorClass);
        }
        click(&dialog, "radio1423");
        QVERIFY(!checked(&dialog, "check1410") && !enabled(&dialog, "check1410"));
        QVERIFY(!enabled(&dialog, "static1411"));
        click(&dialog, "radio1422"); // the remembered tick returns
        QVERIFY(checked(&dialog, "check1410") && enabled(&dialog, "check1410"));
        QVERIFY(pressOkay(dialog));
        QCOMPARE(std::tuple(s.block().colorMethod, s.block().colorDiffusion), std::tuple(2u, 1u));
    }

    // The stored user palette shows its file name; a cancelled chooser goes back to the class
    // before, a chosen file is shown and stored on "Okay".
    void colorUserPaletteFallsBackWhenItsChooserIsCancelled() {
        DialogSession s;
        s.block().colorMethod = 4;
        std::strcpy(s.block().userPalettePath, "/home/me/palettes/warm.csv");
        bool answer = false;
        std::string seen;
        ColorDialog dialog(nullptr, *s.session, [&](QWidget*, std::string& path) {
            seen = path;
            if (answer) path = "C:\\palettes\\cold.ecp";
            return answer;
        });
        QVERIFY(checked(&dialog, "radio1424"));
        QCOMPARE(textOf(&dialog, "static1434"), QString("warm.csv"));
        expectOnlyClassControl(&dialog, 4);
        click(&dialog, "radio1422");
        click(&dialog, "radio1424");
        QCOMPARE(seen, std::string("/home/me/palettes/warm.csv"));
        QVERIFY(checked(&dialog, "radio1422") && !checked(&dialog, "radio1424"));
        expectOnlyClassControl(&dialog, 2);
        answer = true;
        click(&dialog, "radio1424");
        QVERIFY(checked(&dialog, "radio1424"));
        QCOMPARE(textOf(&dialog, "static1434"), QString("cold.ecp"));
        expectOnlyClassControl(&dialog, 4);
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.block().colorMethod, 4u);
        QCOMPARE(std::string(s.block().userPalettePath), std::string("C:\\palettes\\cold.ecp"));
    }

    // The lists show the block; "make an even color palette file" acts at once with the lists'
    // divisions, a refusal reaching the frontend; "Okay" stores the format and the quality.
    void hiddenMenuMakesAPaletteAtOnceAndStoresOnOkay() {
        const TempDir folder;
        setPaletteFolderOverride(PaletteFolders{folder.path(), folder.path()});
        DialogSession s;
        s.block().saveQuality = 75;
        HiddenMenuDialog dialog(nullptr, *s.session);
        QCOMPARE(selected(&dialog, "combo911"), 5); // 100, 95, …, 75
        QCOMPARE(selected(&dialog, "combo910"), 0);
        QCOMPARE(selected(&dialog, "combo920"), 1); // 8 divisions
        QCOMPARE(labelOf(&dialog, "combo922"), QString("B"));
        for (const char* name : {"combo920", "combo921", "combo922"})
            chooseItem(&dialog, name, 8); // 1 x 1 x 1
        click(&dialog, "button930");
        QCOMPARE(s.frontend.messages,
                 (std::vector<Message>{
                     {"alert", "divisions ' red x green x blue = ' must be 2 ~ 256"}}));
        chooseItem(&dialog, "combo920", 7); // 2 x 1 x 1
        click(&dialog, "button930");
        setPaletteFolderOverride(std::nullopt);
        QCOMPARE(s.frontend.messages.size(), std::size_t(1)); // success says nothing
        QVERIFY(std::filesystem::exists(folder.path() / "evenColorPalette_002_211.ecp"));
        QCOMPARE(s.block().evenDivisions[0], 2u); // at once, before any Okay
        chooseItem(&dialog, "combo910", 1);
        chooseItem(&dialog, "combo911", 20);
        QVERIFY(pressOkay(dialog));
        QCOMPARE(std::tuple(s.block().saveBitsPerPixel, s.block().saveQuality),
                 std::tuple(24u, 0u));
    }

    // ---- filters ----------------------------------------------------------------------------

    void edgeDetectRadiosSwitchTheLists() {
        DialogSession s;
        s.block().edgeDetectMode = 1;
        EdgeDetectDialog dialog(nullptr, *s.session);
        QVERIFY(checked(&dialog, "radio2311") && !checked(&dialog, "radio2310"));
        for (const char* radio : {"radio2310", "radio2311"}) {
            const bool direction = radio == std::string("radio2310");
            click(&dialog, radio);
            QVERIFY(enabled(&dialog, "combo2320") == direction);
            QVERIFY(enabled(&dialog, "combo2321") == direction);
            QVERIFY(enabled(&dialog, "combo2322") != direction);
        }
    }

    // The size list enables the ring; typing stores the leading integer; an arrow re-reads
    // every field first and rewrites only its own.
    void userFilterCellsFollowTheSizeTypingAndArrows() {
        DialogSession s;
        UserFilterDialog dialog(nullptr, *s.session);
        QCOMPARE(textOf(&dialog, cell(12)), QString::number(s.block().userFilterMask[12]));
        QVERIFY(!enabled(&dialog, cell(0)) && enabled(&dialog, cell(6)));
        chooseItem(&dialog, "combo2510", 1); // 5 x 5: the outer ring too
        QVERIFY(enabled(&dialog, cell(0)) && enabled(&dialog, cell(24)));
        typeText(&dialog, cell(7), "12ab");
        dialog.findChild<QLineEdit*>(cell(0))->setText("9x"); // no edit signal
        dialog.findChild<QLineEdit*>("edit2545")->setText("-4");
        click(&dialog, "up2556"); // cell 6
        QCOMPARE(textOf(&dialog, cell(0)), QString("9x"));
        click(&dialog, "down2575"); // k from the re-read -4
        QCOMPARE(textOf(&dialog, "edit2545"), QString("-5"));
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.block();
        QCOMPARE(std::tuple(b.userFilterMask[0], b.userFilterMask[6], b.userFilterMask[7]),
                 std::tuple(9, 1, 12));
        QCOMPARE(b.userFilterValue, -5);
    }

    // ---- geometry, on a 400 x 300 picture ---------------------------------------------------

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
        typeText(&dialog, "edit1011", "401"); // left beyond right
        click(&dialog, "button1030");
        QCOMPARE(textOf(&dialog, "static1041"), QString("invalid values"));
        expectRefused(dialog, s, {"alert", "invalid rectangle values tried to setup"});
        typeText(&dialog, "edit1011", "2");
        typeText(&dialog, "edit1012", "13");
        click(&dialog, "button1030");
        QCOMPARE(textOf(&dialog, "static1041"), QString(" : 12 x 295"));
        QVERIFY(pressOkay(dialog));
        const auto& rect = s.block().cropRect; // left, bottom, right, top from 0
        QCOMPARE(std::vector(rect, rect + 4), (std::vector<std::int32_t>{1, 4, 12, 298}));
        QCOMPARE(s.frontend.messages.size(), std::size_t(1)); // the refusal alone
    }

    // "keep ratio" rewrites the other dimension; the depth list follows the interpolation.
    void resizeArrowsKeepRatioAndDepthReachTheBlock() {
        DialogSession s(400, 300);
        s.block().resizeDepthIndex = 0;
        ResizeDialog dialog(nullptr, *s.session);
        expectTexts(&dialog,
                    {{"static1140", " : 400 x 300"}, {"edit1110", "400"}, {"edit1111", "300"}});
        QCOMPARE(labelOf(&dialog, "combo1151"), QString("output color depth"));
        QVERIFY(checked(&dialog, "check1150") && !enabled(&dialog, "combo1151"));
        QCOMPARE(selected(&dialog, "combo1151"), 0); // the stored choice, disabled
        typeText(&dialog, "edit1110", "0");
        expectRefused(dialog, s, {"alert", "invalid size values tried to setup"});
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
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.block();
        QCOMPARE(std::tuple(b.resizeWidth, b.resizeHeight), std::tuple(132, 99));
        QCOMPARE(std::tuple(b.resizeInterpolate, b.resizeDepthIndex), std::tuple(0u, 0u));
    }

    void rotateArrowReadsTheTextAndBicubicFreesTheDepth() {
        DialogSession s(400, 300);
        s.block().rotateBicubic = 0;
        s.block().rotateDepthIndex = 0;
        RotateDialog dialog(nullptr, *s.session);
        QVERIFY(!checked(&dialog, "check1330") && enabled(&dialog, "combo1340"));
        QCOMPARE(selected(&dialog, "combo1340"), 0);
        typeText(&dialog, "edit1310", "359 degrees"); // the arrow reads the text first
        click(&dialog, "up1320");
        QCOMPARE(textOf(&dialog, "edit1310"), QString("360"));
        chooseItem(&dialog, "combo1340", 1);
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.block();
        QCOMPARE(std::tuple(b.rotateAngle, b.rotateBicubic, b.rotateDepthIndex),
                 std::tuple(360, 0u, 1u));
    }

    // ---- sheet setup ------------------------------------------------------------------------

    void sheetSetupShowsRefusesAndStoresOnOkay() {
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
            QCOMPARE(selected(&dialog, "combo2836"), 1);
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
        QCOMPARE(textOf(&dialog, "static2830"), QString("glass.tiles"));
        click(&dialog, "noTileLine");
        QCOMPARE(textOf(&dialog, "static2830"), QString("(none)"));
        typeText(&dialog, "edit2833", "5");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(std::tuple(design.tileLinePath, design.groutMm), std::tuple(std::string(), 5.0));
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

    // The user palette shows its file name; each class's palette control sits under its radio;
    // converting enables the radios, and each class its own palette control.
    void tilingConvertingEnablesThePalettes() {
        DialogSession s;
        s.block().tilingConvert = 0;
        s.block().tilingPaletteClass = 2;
        std::strcpy(s.block().userPalettePath, "C:\\palettes\\tiles.csv");
        TilingDialog dialog(nullptr, *s.session);
        QCOMPARE(textOf(&dialog, "static2632"), QString("tiles.csv"));
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

    // The pair shows the cells of the chosen sizing method, keeping each method's own; a slit
    // list refills it from what was typed; an arrow reads the typed text first.
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
        click(&dialog, "up2672");   // slit 1 → 2
        click(&dialog, "down2670"); // count 70 → 69
        typeText(&dialog, "edit2661", "abc");
        click(&dialog, "up2671");
        QCOMPARE(textOf(&dialog, "edit2661"), QString("1"));
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.block();
        QCOMPARE(std::tuple(b.tileCountWide, b.tileCountHigh, b.tilePixelHeight, b.slitPixelWidth),
                 std::tuple(69, 1, 12, 2));
    }

    // A refused sizing alerts; the palette choice is stored before the check, the layout not.
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
        QCOMPARE(std::tuple(b.tilingEvenIndex, b.slitPixelWidth, b.saveTiling),
                 std::tuple(3u, 1, 0u));
        typeText(&dialog, "edit2660", "7");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(std::tuple(b.tilePixelWidth, b.slitPixelWidth, b.saveTiling),
                 std::tuple(7, 4, 1u));
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

    // ---- tone -------------------------------------------------------------------------------

    // Diffusion is off and disabled at "256"; only the user's click changes what it stores.
    void grayFollowsTheLevels() {
        DialogSession s;
        s.block().grayLevelIndex = 2;
        GrayScaleDialog dialog(nullptr, *s.session);
        QVERIFY(dialog.findChild<QPushButton*>("okay")->isDefault()); // Enter presses "Okay"
        QCOMPARE(labelOf(&dialog, "combo1620"), QString("gray scale"));
        QVERIFY(checked(&dialog, "check1610") && enabled(&dialog, "check1610"));
        chooseItem(&dialog, "combo1620", 7);
        QVERIFY(!checked(&dialog, "check1610") && !enabled(&dialog, "check1610"));
        QVERIFY(!enabled(&dialog, "static1611"));
        chooseItem(&dialog, "combo1620", 3);
        QVERIFY(checked(&dialog, "check1610"));
        click(&dialog, "check1610");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(std::tuple(s.block().grayLevelIndex, s.block().grayDiffusion), std::tuple(3u, 0u));
    }

    // The method and the checks enable the fields; the arrows step what was typed.
    void blackWhiteChecksEnableTheFieldsAndArrowsReachTheBlock() {
        DialogSession s;
        BlackWhiteDialog dialog(nullptr, *s.session);
        QCOMPARE(textOf(&dialog, "edit1731"), QString::number(s.block().bwOutset));
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
        typeText(&dialog, "edit1730", "40");
        typeText(&dialog, "edit1731", "200");
        typeText(&dialog, "edit1732", "100");
        expectRefused(dialog, s, {"alart", "outset must be smaller than endset"});
        typeText(&dialog, "edit1732", "254x"); // the leading integer
        click(&dialog, "up1742");
        QCOMPARE(textOf(&dialog, "edit1732"), QString("255"));
        click(&dialog, "down1741");
        click(&dialog, "up1740");
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.block();
        QCOMPARE(std::tuple(b.bwMedianCut, b.bwStretch, b.bwThreshold, b.bwOutset, b.bwEndset),
                 std::tuple(0u, 1u, 41u, 199u, 255u));
    }

    void posterCommonLevelSwitchesTheFields() {
        DialogSession s;
        PosterizationDialog dialog(nullptr, *s.session);
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
        QVERIFY(pressOkay(dialog));
        QCOMPARE(std::tuple(s.block().posterCommon, s.block().posterLevelRGB), std::tuple(1u, 6u));
    }

    void histogramChecksEnableTheirChannelsAndRefusals() {
        DialogSession s;
        HistogramDialog dialog(nullptr, *s.session);
        click(&dialog, "check1911");
        QVERIFY(!enabled(&dialog, "edit1921") && !enabled(&dialog, "up1951"));
        QVERIFY(enabled(&dialog, "edit1920") && enabled(&dialog, "down1952"));
        typeText(&dialog, "edit1920", "200");
        typeText(&dialog, "edit1930", "100");
        expectRefused(dialog, s, {"alart", "outset must be smaller than endset"});
        typeText(&dialog, "edit1930", "255");
        typeText(&dialog, "edit1922", "30");
        click(&dialog, "up1942");
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.block();
        QCOMPARE(std::tuple(b.histEnabled[1], b.histOutset[0], b.histEndset[0], b.histOutset[2]),
                 std::tuple(0u, 200u, 255u, 31u));
    }
};

static const TestClass<DialogTest> registered;
#include "dialogTest.moc"
