// Every operation dialog and the sheet setup, driven through their widgets: each shows the block's
// values, "Okay" stores, "Cancel" stores nothing, a refusal reaches the frontend, block kept. Rules
// (enabling, steps, limits, messages): tests/shell/parametersTest.cpp; here: wiring, layout.
#include "app/colorDialog.h"
#include "app/cropDialog.h"
#include "app/dialogRegistry.h"
#include "app/exclusionList.h"
#include "app/filterDialogs.h"
#include "app/hiddenMenuDialog.h"
#include "app/operationDialogs.h"
#include "app/prompter.h"
#include "app/sheetSetupDialog.h"
#include "app/tilingDialog.h"
#include "color/paletteFolders.h"
#include "core/parameterFields.h"
#include "dialogDriver.h"
#include "shell/commandTable.h"
#include "support/tempDir.h"
#include "support/testImages.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextStream>
#include <QToolButton>
#include <QtTest>

#include <cstddef>
#include <cstring>
#include <fstream>

using namespace vellora;
using namespace vellora::app;
using namespace vellora::test;

namespace {

QRect placeOf(const QWidget* control, const QWidget* dialog) {
    return {control->mapTo(dialog, QPoint(0, 0)), control->size()};
}

// No two visible controls overlap; a label stands left of (on its row) or above the control it
// names. `layout` gets the dialog's size and where each control lies (by name, a label by text
// and its name if it has one).
void expectTidyLayout(QDialog& dialog, QString& layout) {
    QList<QWidget*> controls;
    for (QWidget* w : dialog.findChildren<QWidget*>())
        if (w->isVisible() && (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
                               qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                               qobject_cast<QListWidget*>(w)))
            controls << w;
    const QString title = dialog.windowTitle() + ": ";
    QTextStream(&layout) << title << dialog.width() << " x " << dialog.height() << "\n";
    for (const QWidget* w : controls) {
        const auto* label = qobject_cast<const QLabel*>(w);
        const QRect r = placeOf(w, &dialog);
        const QString name = label && !w->objectName().isEmpty() ? " " + w->objectName() : "";
        QTextStream(&layout) << "  " << (label ? label->text() + name : w->objectName()) << " "
                             << r.x() << " " << r.y() << " " << r.width() << " " << r.height()
                             << "\n";
    }
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
}

// Plays `script` as a user would: "name" clicks a button, check box, radio button or arrow,
// "combo…=3" chooses item 3 of a list, "edit…=12 px" types "12 px" into an edit; "edit…?12"
// expects the control to show "12" by then, "edit1>edit2" Tab from edit1 to reach edit2.
void play(QDialog& dialog, const QString& script) {
    for (const QString& step : script.split(' ', Qt::SkipEmptyParts)) {
        const QString name = step.section('=', 0, 0), value = step.section('=', 1);
        if (step.contains('?')) {
            QVERIFY2(textOf(&dialog, step.section('?', 0, 0)) == step.section('?', 1),
                     qPrintable(step + " shows " + textOf(&dialog, step.section('?', 0, 0))));
        } else if (step.contains('>')) {
            findControl(&dialog, step.section('>', 0, 0))->setFocus();
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
            QCOMPARE(dialog.focusWidget()->objectName(), step.section('>', 1));
        } else if (!step.contains('='))
            click(&dialog, name);
        else if (name.startsWith("combo"))
            chooseItem(&dialog, name, value.toInt());
        else
            typeText(&dialog, name, value);
    }
}

// Each of the space-separated controls exists and is enabled (`on`) or disabled.
void expectEnabled(QDialog& dialog, const QString& names, bool on) {
    for (const QString& name : names.split(' ', Qt::SkipEmptyParts)) {
        QVERIFY2(findControl(&dialog, name) != nullptr, qPrintable("no control " + name));
        QVERIFY2(enabled(&dialog, name) == on, qPrintable(name + (on ? " is off" : " is on")));
    }
}

// Runs `act` in `command`'s dialog (400 x 300 picture, default block) and closes; true if accepted.
bool withDialog(int command, DialogSession& s, const std::function<void(QDialog&)>& act) {
    onNextModal(act);
    return dialogFactories().at(command)(nullptr, command, *s.session);
}

// A section's rows of tests/data/dialogScripts.txt, cells trimmed; the first names the command.
struct ScriptRow {
    int command = -1;
    QStringList cells;
};

std::vector<ScriptRow> scriptRows(const QString& section) {
    std::vector<ScriptRow> rows;
    QString current;
    for (const QString& line :
         QString::fromStdString(readText(VELLORA_SOURCE_DIR "/tests/data/dialogScripts.txt"))
             .split('\n', Qt::SkipEmptyParts)) {
        if (line.startsWith('[')) current = line.section(']', 0, 0).mid(1);
        if (current != section || line.startsWith('[') || line.startsWith('#')) continue;
        ScriptRow& row = rows.emplace_back();
        for (const QString& cell : line.split('|'))
            row.cells << cell.trimmed();
        for (const CommandSpec& command : commandTable())
            if (row.command < 0 && QString::fromUtf8(command.itemText) == row.cells[0])
                row.command = command.id;
    }
    if (rows.empty()) qFatal("no rows of %s", qPrintable(section));
    return rows;
}

// Where a field, or value [i] of it, lies in the block.
std::size_t offsetOf(const QString& name) {
    const ParameterField* field = findParameterField(name.section('[', 0, 0).toStdString());
    if (field == nullptr) qFatal("no field %s", qPrintable(name));
    return field->offset + 4 * std::size_t(name.section('[', 1).remove(']').toInt());
}

// A wiring of tests/data/dialogScripts.txt: a control and the 4-byte block field at `offset`.
struct Wiring {
    int command;
    QString control;
    std::size_t offset;
    std::int32_t opening, input;
};

std::vector<Wiring> wirings() {
    std::vector<Wiring> list;
    for (const ScriptRow& r : scriptRows("wirings"))
        list.push_back(
            {r.command, r.cells[1], offsetOf(r.cells[2]), r.cells[3].toInt(), r.cells[4].toInt()});
    return list;
}

std::int32_t& fieldAt(ParameterBlock& block, std::size_t offset) {
    return *reinterpret_cast<std::int32_t*>(reinterpret_cast<char*>(&block) + offset);
}

// Opens `command`'s registered dialog, gives the control `input` (none if null), presses "Okay";
// returns what the control first showed ("1" or "0" for a button, its field's text for an arrow).
QString showAndOkay(const Wiring& w, DialogSession& s, const int* input) {
    const QString control = w.control;
    QString shown;
    const bool accepted = withDialog(w.command, s, [&](QDialog& dialog) {
        if (control.startsWith("combo")) {
            shown = QString::number(selected(&dialog, control));
            if (input != nullptr) chooseItem(&dialog, control, *input);
        } else if (control.startsWith("edit")) {
            shown = textOf(&dialog, control);
            if (input != nullptr) typeText(&dialog, control, QString::number(*input));
        } else if (control.startsWith("up") || control.startsWith("down")) {
            auto* arrow = dialog.findChild<QToolButton*>(control);
            shown = arrow != nullptr ? static_cast<ValueField*>(arrow->parent())->edit()->text()
                                     : "<no arrow>";
            if (input != nullptr) click(&dialog, control);
        } else {
            shown = checked(&dialog, control) ? "1" : "0";
            if (input != nullptr) click(&dialog, control);
        }
        QVERIFY(pressOkay(dialog));
    });
    return accepted ? shown : "not accepted";
}

} // namespace

class DialogTest : public QObject {
    Q_OBJECT
  private slots:
    // Each registered command's dialog is laid out as in tests/data/dialogLayouts.txt (rewritten by
    // VELLORA_WRITE_LAYOUTS=1), "Okay" default; "Cancel" stores nothing, boxes clicked, lists at 0.
    void everyRegisteredDialogIsTidyAndCancelStoresNothing() {
        registerOperationDialogs();
        DialogSession s(400, 300);
        const ParameterBlock before = s.block();
        QString layouts;
        for (const auto& [command, factory] : dialogFactories()) {
            bool opened = false;
            onNextModal([&opened, &layouts](QDialog& dialog) {
                opened = true;
                expectTidyLayout(dialog, layouts);
                dialog.layout()->setGeometry({0, 0, dialog.width() + 60, dialog.height()});
                expectTidyLayout(dialog, layouts); // widened: the room goes where it should
                QVERIFY(dialog.findChild<QPushButton*>("okay")->isDefault()); // Enter: "Okay"
                for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
                    box->click();
                for (QComboBox* list : dialog.findChildren<QComboBox*>())
                    chooseItem(&dialog, list->objectName(), 0);
                click(&dialog, "cancel");
            });
            QVERIFY(!factory(nullptr, command, *s.session));
            QVERIFY2(opened && sameBlock(s.block(), before), qPrintable(QString::number(command)));
        }
        const std::string file = VELLORA_SOURCE_DIR "/tests/data/dialogLayouts.txt";
        if (qEnvironmentVariableIsSet("VELLORA_WRITE_LAYOUTS"))
            std::ofstream(file) << layouts.toStdString();
        QCOMPARE(QString::fromStdString(readText(file)), layouts);
    }

    // Each control of the table shows its own field, and "Okay" stores the input there alone.
    void everyControlShowsAndStoresItsOwnField() {
        registerOperationDialogs();
        for (const Wiring& w : wirings()) {
            const QString where = QString("%1 %2").arg(w.command).arg(w.control);
            DialogSession s(400, 300);
            fieldAt(s.block(), w.offset) = w.opening;
            const QString shown = showAndOkay(w, s, nullptr);
            const QString opening = !where.contains("radio") ? QString::number(w.opening)
                                    : w.opening == w.input   ? "1" // it stands for the opening
                                                             : "0";
            QVERIFY2(shown == opening, qPrintable(where + " shows " + shown));
            QVERIFY2(fieldAt(s.block(), w.offset) == w.opening, qPrintable(where));
            ParameterBlock expected = s.block(); // as "Okay" alone leaves it
            fieldAt(expected, w.offset) = w.input;
            showAndOkay(w, s, &w.input);
            QVERIFY2(sameBlock(s.block(), expected), qPrintable(where));
        }
    }

    void eachScriptEnablesItsControls() {
        registerOperationDialogs();
        for (const ScriptRow& row : scriptRows("enablings")) {
            DialogSession s(400, 300);
            withDialog(row.command, s, [&row](QDialog& dialog) {
                play(dialog, row.cells[1]);
                expectEnabled(dialog, row.cells[2], true);
                expectEnabled(dialog, row.cells[3], false);
            });
            QVERIFY2(!QTest::currentTestFailed(), qPrintable(row.cells.join('|')));
        }
    }

    void eachScriptStoresItsValueOrIsRefused() {
        registerOperationDialogs();
        for (const ScriptRow& row : scriptRows("scripts")) {
            DialogSession s(400, 300);
            const ParameterBlock before = s.block();
            const QString outcome = row.cells[2], where = row.cells.join('|');
            const bool refused = outcome.contains(':');
            const bool accepted = withDialog(row.command, s, [&](QDialog& dialog) {
                play(dialog, row.cells[1]);
                QCOMPARE(pressOkay(dialog), !refused);
            });
            QVERIFY2(accepted != refused, qPrintable(where));
            if (refused) {
                const Message refusal{outcome.section(": ", 0, 0).toStdString(),
                                      outcome.section(": ", 1).toStdString()};
                QCOMPARE(s.frontend.messages, std::vector<Message>{refusal});
                QVERIFY2(sameBlock(s.block(), before), qPrintable(where));
            } else {
                QVERIFY2(fieldAt(s.block(), offsetOf(outcome.section(' ', 0, 0))) ==
                             outcome.section(' ', 1).toInt(),
                         qPrintable(where));
            }
        }
    }

    // The user palette's file name is shown; a cancelled chooser goes back to the class before,
    // or to none when the stored class has no radio; a chosen file is shown and stored on "Okay".
    void userPaletteFallsBackWhenItsChooserIsCancelled() {
        for (const auto& [tiling, stored] :
             {std::pair(false, 2u), {false, 9u}, {true, 0u}, {true, 7u}}) {
            DialogSession s;
            std::uint32_t& paletteClass =
                tiling ? s.block().tilingPaletteClass : s.block().colorMethod;
            paletteClass = stored;
            std::strcpy(s.block().userPalettePath, "/palettes/old.ecp");
            bool answer = false;
            std::string seen;
            const PaletteFileChooser chooser = [&](QWidget*, std::string& path) {
                seen = path;
                if (answer) path = "C:\\palettes\\new.csv";
                return answer;
            };
            const std::unique_ptr<QDialog> shown =
                tiling ? std::unique_ptr<QDialog>(new TilingDialog(nullptr, *s.session, chooser))
                       : std::make_unique<ColorDialog>(nullptr, *s.session, chooser);
            QDialog* dialog = shown.get();
            const std::uint32_t user = tiling ? 2 : 4; // radios 2620 …, 1420 …; lists 2630 …
            const auto name = [tiling](const char* kind, std::uint32_t k) {
                return QString("%1%2").arg(kind).arg((tiling ? 2620 : 1420) + k);
            };
            const QString userRadio = name("radio", user), userName = name("static", user + 10);
            QCOMPARE(textOf(dialog, userName), QString("old.ecp"));
            QCOMPARE(checked(dialog, name("radio", stored)), stored < user);
            click(dialog, userRadio);
            QCOMPARE(seen, std::string("/palettes/old.ecp"));
            QVERIFY(!checked(dialog, userRadio) && !enabled(dialog, userName));
            QCOMPARE(checked(dialog, name("radio", stored)), stored < user);
            QCOMPARE(enabled(dialog, name("combo", stored + 10)), stored < user);
            click(dialog, name("radio", 0)), click(dialog, name("radio", 1)); // one at a time again
            QVERIFY(!checked(dialog, name("radio", 0)) && checked(dialog, name("radio", 1)));
            answer = true;
            click(dialog, userRadio);
            QVERIFY(checked(dialog, userRadio) && enabled(dialog, userName));
            QCOMPARE(textOf(dialog, userName), QString("new.csv"));
            QVERIFY(pressOkay(*dialog));
            QCOMPARE(paletteClass, user);
            QCOMPARE(std::string(s.block().userPalettePath), std::string("C:\\palettes\\new.csv"));
        }
    }

    // The lists show the block; "make an even color palette file" acts at once with the lists'
    // divisions; "Okay" stores the format and the quality.
    void hiddenMenuMakesAPaletteAtOnceAndStoresOnOkay() {
        const TempDir folder;
        setPaletteFolderOverride(PaletteFolders{folder.path(), folder.path()});
        DialogSession s;
        s.block().saveQuality = 75;
        HiddenMenuDialog dialog(nullptr, *s.session);
        QCOMPARE(selected(&dialog, "combo911"), 5); // 100, 95, …, 75
        QCOMPARE(labelOf(&dialog, "combo922"), QString("B"));
        for (const auto& [name, item] :
             {std::pair{"combo920", 7}, {"combo921", 6}, {"combo922", 8}})
            chooseItem(&dialog, name, item); // 2 x 3 x 1
        click(&dialog, "button930");
        setPaletteFolderOverride(std::nullopt);
        QVERIFY(s.frontend.messages.empty()); // success says nothing
        QVERIFY(std::filesystem::exists(folder.path() / "evenColorPalette_006_231.ecp"));
        QCOMPARE(s.block().evenDivisions[1], 3u); // at once, before any Okay
        chooseItem(&dialog, "combo910", 1);
        chooseItem(&dialog, "combo911", 20);
        dialog.show(); // Enter on the button goes to "Okay"
        QTest::keyClick(dialog.findChild<QWidget*>("button930"), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(std::tuple(s.block().saveBitsPerPixel, s.block().saveQuality),
                 std::tuple(24u, 0u));
    }

    // "top" centred above "left" and "right", "bottom" below them, each field opening on the
    // picture's edge; the arrows and the typed values reach the rectangle and its size.
    void cropShowsThePictureAndStoresTheTypedRectangle() {
        DialogSession s(400, 300);
        CropDialog dialog(nullptr, *s.session);
        QCOMPARE(textOf(&dialog, "static1040"), QString(" : 400 x 300"));
        QStringList shown;
        for (const char* edit : {"edit1010", "edit1011", "edit1012", "edit1013"})
            shown << textOf(&dialog, edit);
        QCOMPARE(shown, (QStringList{"300", "1", "400", "1"}));
        dialog.show();
        const auto at = [&](const char* name) {
            return placeOf(findControl(&dialog, name), &dialog);
        };
        const QRect top = at("edit1010"), left = at("edit1011"), right = at("edit1012"),
                    bottom = at("edit1013");
        QVERIFY(top.bottom() < left.top() && left.y() == right.y() && left.bottom() < bottom.top());
        QVERIFY(left.right() < top.left() && top.right() < right.left() && top.x() == bottom.x());
        click(&dialog, "up1021"); // each arrow steps its own field
        click(&dialog, "down1020");
        typeText(&dialog, "edit1013", "4x"); // leading integer 4
        click(&dialog, "up1023");
        typeText(&dialog, "edit1011", "401"); // left beyond right
        QVERIFY(!pressOkay(dialog));
        QCOMPARE(s.frontend.messages,
                 (std::vector<Message>{{"alert", "invalid rectangle values tried to setup"}}));
        typeText(&dialog, "edit1011", "2");
        typeText(&dialog, "edit1012", "13");
        click(&dialog, "button1030");
        QCOMPARE(textOf(&dialog, "static1041"), QString(" : 12 x 295"));
        QVERIFY(pressOkay(dialog));
        const auto& rect = s.block().cropRect; // left, bottom, right, top from 0
        QCOMPARE(std::vector(rect, rect + 4), (std::vector<std::int32_t>{1, 4, 12, 298}));
    }

    // ---- sheet setup ------------------------------------------------------------------------

    void sheetSetupShowsRefusesAndStoresOnOkay() {
        DialogSession s;
        DesignSettings& design = s.session->design;
        design.tileWidthMm = 12.5;
        design.paper = Paper::Letter;
        design.tileLinePath = "/lines/old.tiles";
        SheetSetupDialog dialog(nullptr, *s.session, [](QWidget*, std::string& path) {
            path = "/lines/glass.tiles";
            return true;
        });
        QCOMPARE(textOf(&dialog, "static2830") + " " + textOf(&dialog, "edit2831") + "x" +
                     textOf(&dialog, "edit2832"),
                 QString("old.tiles 12.5x20"));
        QCOMPARE(std::pair(selected(&dialog, "combo2836"), dialog.focusWidget()->objectName()),
                 std::pair(1, QString("edit2831"))); // the keys reach the sizes first
        click(&dialog, "noTileLine");
        QCOMPARE(textOf(&dialog, "static2830"), QString("(none)"));
        click(&dialog, "chooseTileLine");
        QCOMPARE(textOf(&dialog, "static2830"), QString("glass.tiles"));
        typeText(&dialog, "edit2832", "25");
        typeText(&dialog, "edit2833", "5");
        typeText(&dialog, "edit2835", "0"); // no pack holds no tiles
        QVERIFY(!pressOkay(dialog));
        QCOMPARE(s.frontend.messages.size(), std::size_t(1));
        QVERIFY(s.frontend.messages[0].text.starts_with("pack needs a whole number"));
        QCOMPARE(design.tileHeightMm, 20.0);
        typeText(&dialog, "edit2835", "250");
        chooseItem(&dialog, "combo2836", 0);
        QVERIFY(pressOkay(dialog));
        QCOMPARE(design.tileLinePath, std::string("/lines/glass.tiles"));
        QCOMPARE(std::tuple(design.tileWidthMm, design.tileHeightMm, design.groutMm),
                 std::tuple(12.5, 25.0, 5.0));
        QCOMPARE(std::tuple(design.sparePercent, design.packSize), std::tuple(10.0, 250));
        QVERIFY(design.paper == Paper::A4);
    }

    // The real choosers hand back the chosen file.
    void theFileChoosersHandBackTheChosenFile() {
        const TempDir folder;
        const auto choose = [](const std::string& file) {
            std::ofstream(file) << "name,red,green,blue\n";
            onNextModal([file](QDialog& dialog) {
                static_cast<QFileDialog&>(dialog).selectFile(QString::fromStdString(file));
                dialog.accept(); // the file dialog's own accept, through QDialog
            });
        };
        const std::string file = (folder.path() / "glass.tiles").string();
        for (const PaletteFileChooser& chooser :
             {PaletteFileChooser(chooseTileLineFile), PaletteFileChooser(chooseUserPaletteFile)}) {
            choose(file);
            std::string path = "/before";
            QVERIFY(chooser(nullptr, path));
            QCOMPARE(path, file);
            onNextModal([](QDialog& dialog) { dialog.reject(); });
            QVERIFY(!chooser(nullptr, path) && path == file); // Cancel keeps the path
        }
        // The block holds a palette path of 259 characters; a longer one keeps the path.
        for (const std::size_t length : {259u, 260u}) {
            const std::size_t stem = length - folder.path().string().size() - 5; // "/", ".csv"
            const std::string name = (folder.path() / (std::string(stem, 'p') + ".csv")).string();
            choose(name);
            std::string path = "/before";
            QCOMPARE(chooseUserPaletteFile(nullptr, path), length == 259);
            QCOMPARE(path, length == 259 ? name : std::string("/before"));
        }
        // Saving choosers take new names (a chart's suffix follows its format), Open existing ones.
        using K = FileChooserKind;
        for (const K kind : {K::Open, K::SaveAs, K::SaveCsv, K::SaveChart, K::SaveShoppingList}) {
            onNextModal([kind](QDialog& dialog) {
                auto& chooser = static_cast<QFileDialog&>(dialog);
                QCOMPARE(chooser.acceptMode() == QFileDialog::AcceptSave, kind != K::Open);
                emit chooser.filterSelected("SVG chart at real size (*.svg)");
                QCOMPARE(chooser.defaultSuffix() == "svg", kind == K::SaveChart);
                dialog.reject();
            });
            std::string path;
            QVERIFY(!QtPrompter(nullptr).chooseFile(kind, path));
        }
        choose(file); // a file chosen and accepted is the answer
        std::string path;
        QVERIFY(QtPrompter(nullptr).chooseFile(K::Open, path) && path == file);
    }

    // The prompter's questions take the button clicked as the answer; Enter takes the default
    // (cancel when saving changes, okay at exit), Escape cancels; Enter closes the about line.
    void thePrompterAnswersAsClicked() {
        const auto answerWith = [](const QString& how) {
            onNextModal([how](QDialog& box) {
                if (how == "Return" || how == "Escape")
                    QTest::keyClick(&box, how == "Return" ? Qt::Key_Return : Qt::Key_Escape);
                for (QPushButton* button : box.findChildren<QPushButton*>())
                    if (button->text() == how) button->click();
            });
        };
        QtPrompter prompter(nullptr);
        using A = SaveChangesAnswer;
        for (const auto& [how, answer] : {std::pair{"yes", A::Yes},
                                          {"no", A::No},
                                          {"cancel", A::Cancel},
                                          {"Return", A::Cancel},
                                          {"Escape", A::Cancel}}) {
            answerWith(how);
            QCOMPARE(prompter.askSaveChanges("a.png"), answer);
        }
        for (const auto& [how, exit] :
             {std::pair{"okay", true}, {"cancel", false}, {"Return", true}, {"Escape", false}}) {
            answerWith(how);
            QCOMPARE(prompter.confirmExit(), exit);
        }
        onNextModal([](QDialog& about) {
            QCOMPARE(about.findChild<QLineEdit*>()->text(), QString("vellora 1"));
            QTest::keyClick(about.findChild<QLineEdit*>(), Qt::Key_Return);
            QVERIFY(!about.isVisible());
        });
        prompter.showAbout("vellora 1");
    }

    // ---- tiling -----------------------------------------------------------------------------

    // The pair shows the cells of the chosen sizing method, keeping each method's own; a slit
    // list refills it from what was typed; an arrow reads the typed text first.
    void eachMethodKeepsItsOwnPair() {
        DialogSession s;
        TilingDialog dialog(nullptr, *s.session);
        QCOMPARE(textOf(&dialog, "static2650"), QString("size, w. x h."));
        auto* count = dialog.findChild<QLineEdit*>("edit2660"); // wide enough for any value
        QVERIFY(count->minimumWidth() > count->fontMetrics().horizontalAdvance("-0000000"));
        QCOMPARE(labelOf(&dialog, "edit2662"), QString("slit pixel size"));
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

    // The exclusion list follows the palette chosen in the dialog, showing each entry's colour,
    // and leaves the ticked ones out (where each control lies: tests/data/dialogLayouts.txt).
    void tickedEntriesAreExcluded() {
        DialogSession s;
        s.session->design.excluded = {3};
        TilingDialog dialog(nullptr, *s.session);
        dialog.show();
        auto* list = dialog.findChild<ExclusionList*>("exclusionList");
        QCOMPARE(list->item(3)->checkState(), Qt::Checked); // the stored exclusion at first
        QCOMPARE(list->count(), 216);
        QCOMPARE(list->item(51)->text(), QString("51  (51, 102, 153)")); // red, green, blue
        const QImage swatch = list->item(5)->icon().pixmap(14, 14).toImage();
        QCOMPARE(swatch.pixelColor(7, 7), QColor(0, 0, 255)); // the entry's colour, framed
        for (const QPoint frame : {QPoint(0, 0), QPoint(13, 7), QPoint(7, 13)})
            QCOMPARE(swatch.pixelColor(frame), QColor(Qt::black));
        click(&dialog, "radio2620");
        chooseItem(&dialog, "combo2630", 3);
        QCOMPARE(list->count(), 16);
        list->item(0)->setCheckState(Qt::Checked);
        list->item(5)->setCheckState(Qt::Checked);
        chooseItem(&dialog, "combo2630", 4); // the ticks stay by index
        QCOMPARE(list->item(5)->checkState(), Qt::Checked);
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.session->design.excluded, (std::vector<int>{0, 3, 5}));
    }
};

static const TestClass<DialogTest> registered;
#include "dialogTest.moc"
