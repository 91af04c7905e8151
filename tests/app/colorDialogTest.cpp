// The colour conversion dialog and the hidden menu driven through their widgets: classes and
// their lists, diffusion under "true color", the user palette chooser, the quality and depth
// lists, making an even colour palette file, Cancel and the save flag.
#include "app/colorDialog.h"
#include "app/dialogRegistry.h"
#include "app/hiddenMenuDialog.h"
#include "app/operationDialogs.h"
#include "color/paletteFolders.h"
#include "dialogDriver.h"
#include "shell/commandTable.h"
#include "support/tempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <cstring>
#include <filesystem>
#include <fstream>

using namespace vellora;
using namespace vellora::app;
using namespace vellora::test;

namespace {

const Message kDivisionsAlert{"alert", "divisions ' red x green x blue = ' must be 2 ~ 256"};

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

// The group box a control lies in, by its title; empty outside any group.
QString groupOf(QWidget* dialog, const char* name) {
    for (QWidget* w = findControl(dialog, name); w != nullptr && w != dialog; w = w->parentWidget())
        if (auto* group = qobject_cast<QGroupBox*>(w)) return group->title();
    return {};
}

struct FakeChooser {
    bool answer = false;
    std::string chosen;
    int calls = 0;
    PaletteFileChooser hook() {
        return [this](QWidget*, std::string& path) {
            ++calls;
            if (answer) path = chosen;
            return answer;
        };
    }
};

// Controls 1430 … 1434 in class order.
constexpr const char* kClassControls[] = {"combo1430", "combo1431", "combo1432", "combo1433",
                                          "static1434"};

void expectOnlyClassControl(QWidget* dialog, int colorClass) {
    for (int k = 0; k < 5; ++k)
        QVERIFY2(enabled(dialog, kClassControls[k]) == (k == colorClass), kClassControls[k]);
}

} // namespace

class ColorDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void registersBothDialogs() {
        registerColorDialogs();
        const auto factories = dialogFactories();
        DialogSession s;
        for (int command : {int(kCmdColorProcessing), int(kCmdHiddenMenu)}) {
            QVERIFY(factories.count(command) == 1);
            QString opened;
            QTimer::singleShot(0, [&opened] {
                QWidget* modal = QApplication::activeModalWidget();
                if (modal == nullptr) return;
                opened = modal->metaObject()->className();
                static_cast<QDialog*>(modal)->reject();
            });
            QVERIFY(!factories.at(command)(nullptr, command, *s.session));
            QCOMPARE(opened, QString(command == kCmdHiddenMenu ? "vellora::app::HiddenMenuDialog"
                                                               : "vellora::app::ColorDialog"));
        }
    }

    // ---- colour conversion ----------------------------------------------------------------

    void colorOpensOnTheDefaults() {
        DialogSession s;
        ColorDialog dialog(nullptr, *s.session);
        QCOMPARE(dialog.windowTitle(), QString("convert color image"));
        QCOMPARE(textOf(&dialog, "check1410"), QString("error dispersion method"));
        QCOMPARE(textOf(&dialog, "static1411"), QString("(Floyd Steinberg)"));
        QVERIFY(checked(&dialog, "check1410"));
        QVERIFY(checked(&dialog, "radio1420"));
        QCOMPARE(selected(&dialog, "combo1430"), 7);
        QCOMPARE(selected(&dialog, "combo1431"), 1);
        QCOMPARE(selected(&dialog, "combo1432"), 9);
        QCOMPARE(selected(&dialog, "combo1433"), 0);
        QCOMPARE(textOf(&dialog, "static1434"), QString(""));
        QVERIFY(!checked(&dialog, "check504"));
        expectOnlyClassControl(&dialog, 0);
        QCOMPARE(itemsOf(&dialog, "combo1431"), (QStringList{"16 basic", "147 extended"}));
        QCOMPARE(itemsOf(&dialog, "combo1433"), (QStringList{"24 bpp", "32 bpp"}));
        QCOMPARE(itemsOf(&dialog, "combo1430").size(), 8);
        QCOMPARE(itemsOf(&dialog, "combo1432").size(), 11);
        QCOMPARE(textOf(&dialog, "radio1424"), QString("user defined"));
        QCOMPARE(groupOf(&dialog, "radio1420"), QString());
        for (const char* name : {"radio1421", "radio1422", "radio1424", "static1434"})
            QCOMPARE(groupOf(&dialog, name), QString("convert color palette (posterization)"));
        QCOMPARE(groupOf(&dialog, "radio1423"), QString("convert just pixel format"));
        QVERIFY(saveLook(&dialog, looks_ / "color.png"));
    }

    void colorClassesEnableTheirOwnControl() {
        DialogSession s;
        ColorDialog dialog(nullptr, *s.session);
        const struct {
            const char* radio;
            int colorClass;
        } radios[] = {{"radio1421", 1}, {"radio1422", 2}, {"radio1423", 3}, {"radio1420", 0}};
        for (const auto& r : radios) {
            click(&dialog, r.radio);
            expectOnlyClassControl(&dialog, r.colorClass);
        }
    }

    void trueColourTakesAwayDiffusionAndGivesItBack() {
        DialogSession s;
        ColorDialog dialog(nullptr, *s.session);
        click(&dialog, "radio1423");
        QVERIFY(!checked(&dialog, "check1410"));
        QVERIFY(!enabled(&dialog, "check1410"));
        QVERIFY(!enabled(&dialog, "static1411"));
        click(&dialog, "radio1422"); // the remembered tick returns
        QVERIFY(checked(&dialog, "check1410"));
        QVERIFY(enabled(&dialog, "check1410"));
        click(&dialog, "check1410"); // off, remembered off
        click(&dialog, "radio1423");
        click(&dialog, "radio1421");
        QVERIFY(!checked(&dialog, "check1410"));
        click(&dialog, "check1410");
        click(&dialog, "radio1423");
        chooseItem(&dialog, "combo1433", 1);
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.session->workingBlock;
        QCOMPARE(b.colorMethod, 3u);
        QCOMPARE(b.colorChoice[3], 1u);
        QCOMPARE(b.colorDiffusion, 0u); // never for true colour
    }

    void colorOkayStoresEveryList() {
        DialogSession s;
        ColorDialog dialog(nullptr, *s.session);
        chooseItem(&dialog, "combo1430", 2);
        click(&dialog, "radio1421");
        chooseItem(&dialog, "combo1431", 0);
        click(&dialog, "radio1422");
        chooseItem(&dialog, "combo1432", 4);
        click(&dialog, "check1410");
        click(&dialog, "check504");
        QVERIFY(pressOkay(dialog));
        const ParameterBlock& b = s.session->workingBlock;
        QCOMPARE(b.colorMethod, 2u);
        QCOMPARE(b.colorChoice[0], 2u);
        QCOMPARE(b.colorChoice[1], 0u);
        QCOMPARE(b.colorChoice[2], 4u);
        QCOMPARE(b.colorChoice[3], 0u);
        QCOMPARE(b.colorDiffusion, 0u);
        QCOMPARE(b.saveColor, 1u);
        QVERIFY(s.frontend.messages.empty());
    }

    void colorOpensOnAStoredBlock() {
        DialogSession s;
        ParameterBlock& b = s.session->workingBlock;
        b.colorDiffusion = 0;
        b.colorMethod = 4;
        b.colorChoice[0] = 1;
        std::strcpy(b.userPalettePath, "/home/me/palettes/warm.csv");
        ColorDialog dialog(nullptr, *s.session);
        QVERIFY(!checked(&dialog, "check1410"));
        QVERIFY(checked(&dialog, "radio1424"));
        QCOMPARE(selected(&dialog, "combo1430"), 1);
        QCOMPARE(textOf(&dialog, "static1434"), QString("warm.csv"));
        expectOnlyClassControl(&dialog, 4);
    }

    void userDefinedFallsBackWhenItsChooserIsCancelled() {
        DialogSession s;
        FakeChooser chooser;
        ColorDialog dialog(nullptr, *s.session, chooser.hook());
        click(&dialog, "radio1422");
        click(&dialog, "radio1424");
        QCOMPARE(chooser.calls, 1);
        QVERIFY(checked(&dialog, "radio1422"));
        QVERIFY(!checked(&dialog, "radio1424"));
        expectOnlyClassControl(&dialog, 2);
        chooser.answer = true;
        chooser.chosen = "C:\\palettes\\cold.ecp";
        click(&dialog, "radio1424");
        QVERIFY(checked(&dialog, "radio1424"));
        QCOMPARE(textOf(&dialog, "static1434"), QString("cold.ecp"));
        expectOnlyClassControl(&dialog, 4);
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.session->workingBlock.colorMethod, 4u);
        QCOMPARE(std::string(s.session->workingBlock.userPalettePath),
                 std::string("C:\\palettes\\cold.ecp"));
        QCOMPARE(s.session->workingBlock.saveColor, 0u);
    }

    void colorCancelChangesNothing() {
        DialogSession s;
        FakeChooser chooser;
        chooser.answer = true;
        chooser.chosen = "/x/y.csv";
        const ParameterBlock before = s.session->workingBlock;
        ColorDialog dialog(nullptr, *s.session, chooser.hook());
        click(&dialog, "radio1424");
        chooseItem(&dialog, "combo1430", 0);
        click(&dialog, "check1410");
        click(&dialog, "check504");
        click(&dialog, "cancel");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(sameBlock(s.session->workingBlock, before));
    }

    // ---- hidden menu ----------------------------------------------------------------------

    void hiddenMenuOpensOnTheDefaults() {
        DialogSession s;
        HiddenMenuDialog dialog(nullptr, *s.session);
        QCOMPARE(dialog.windowTitle(), QString("save quality and even color palette"));
        QCOMPARE(itemsOf(&dialog, "combo910"), (QStringList{"source color depth", "24 bpp"}));
        const QStringList quality = itemsOf(&dialog, "combo911");
        QCOMPARE(quality.size(), 21);
        QCOMPARE(quality.front(), QString("100"));
        QCOMPARE(quality.back(), QString("0"));
        QCOMPARE(selected(&dialog, "combo910"), 0);
        QCOMPARE(selected(&dialog, "combo911"), 0);
        QCOMPARE(selected(&dialog, "combo920"), 1); // 8
        QCOMPARE(selected(&dialog, "combo921"), 3); // 6
        QCOMPARE(selected(&dialog, "combo922"), 4); // 5
        QCOMPARE(groupOf(&dialog, "combo911"), QString("for save and save as"));
        QCOMPARE(groupOf(&dialog, "button930"), QString("even color palette divisions"));
        QCOMPARE(textOf(&dialog, "button930"), QString("make an even color palette file"));
        QVERIFY(!checked(&dialog, "check500"));
        QVERIFY(saveLook(&dialog, looks_ / "hiddenMenu.png"));
    }

    void hiddenMenuShowsNoQualityNoEntryMatches() {
        DialogSession s;
        s.session->workingBlock.saveQuality = 42;
        s.session->workingBlock.saveDepthIndex = 1;
        HiddenMenuDialog dialog(nullptr, *s.session);
        QCOMPARE(selected(&dialog, "combo911"), -1);
        QCOMPARE(selected(&dialog, "combo910"), 1);
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.session->workingBlock.saveQuality, 42u); // not (20 + 1) × 5
    }

    void hiddenMenuOkayStoresQualityAndTwentyFourBits() {
        DialogSession s;
        s.session->workingBlock.saveBitsPerPixel = 8;
        {
            HiddenMenuDialog dialog(nullptr, *s.session);
            chooseItem(&dialog, "combo911", 5);
            chooseItem(&dialog, "combo920", 0);
            QVERIFY(pressOkay(dialog));
        }
        ParameterBlock& b = s.session->workingBlock;
        QCOMPARE(b.saveQuality, 75u);
        QCOMPARE(b.saveDepthIndex, 0u);
        QCOMPARE(b.saveBitsPerPixel, 8u); // "source color depth" leaves it
        QCOMPARE(b.evenDivisions[0], 9u);
        QCOMPARE(b.saveHiddenMenu, 0u);
        HiddenMenuDialog dialog(nullptr, *s.session);
        QCOMPARE(selected(&dialog, "combo911"), 5);
        chooseItem(&dialog, "combo910", 1);
        chooseItem(&dialog, "combo911", 20);
        click(&dialog, "check500");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(b.saveDepthIndex, 1u);
        QCOMPARE(b.saveBitsPerPixel, 24u);
        QCOMPARE(b.saveQuality, 0u);
        QCOMPARE(b.saveHiddenMenu, 1u);
    }

    void makingAPaletteChecksTheProductAndStoresAtOnce() {
        const TempDir folder;
        const std::filesystem::path user = folder.path();
        setPaletteFolderOverride(PaletteFolders{user, user});
        DialogSession s;
        const ParameterBlock before = s.session->workingBlock;
        HiddenMenuDialog dialog(nullptr, *s.session);
        for (int index : {8, 0}) { // 1 x 1 x 1, 9 x 9 x 9
            for (const char* name : {"combo920", "combo921", "combo922"})
                chooseItem(&dialog, name, index);
            click(&dialog, "button930");
        }
        QCOMPARE(s.frontend.messages, (std::vector<Message>{kDivisionsAlert, kDivisionsAlert}));
        QVERIFY(std::filesystem::is_empty(user));
        QVERIFY(sameBlock(s.session->workingBlock, before));
        chooseItem(&dialog, "combo920", 7); // 2 x 1 x 1
        chooseItem(&dialog, "combo921", 8);
        chooseItem(&dialog, "combo922", 8);
        click(&dialog, "button930");
        QCOMPARE(s.frontend.messages.size(), std::size_t(2)); // success says nothing
        QCOMPARE(std::filesystem::file_size(user / "evenColorPalette_002_211.ecp"),
                 std::uintmax_t(28));
        QCOMPARE(s.session->workingBlock.evenDivisions[0], 2u); // at once, before any Okay
        QCOMPARE(s.session->workingBlock.evenDivisions[1], 1u);
        // A user folder that cannot be made (a file stands in its way): nor can the palette.
        std::ofstream(user / "plain") << "in the way";
        setPaletteFolderOverride(PaletteFolders{user, user / "plain" / "user"});
        s.frontend.clear();
        click(&dialog, "button930");
        QCOMPARE(s.frontend.messages,
                 (std::vector<Message>{{"error", "failed to create the file"},
                                       {"", "failed to make an even color palette file"}}));
        QVERIFY(std::filesystem::is_regular_file(user / "plain"));
        setPaletteFolderOverride(std::nullopt);
        click(&dialog, "cancel"); // the divisions made stay; nothing else is stored
        QCOMPARE(s.session->workingBlock.saveQuality, 100u);
        QCOMPARE(s.session->workingBlock.evenDivisions[0], 2u);
    }

    void hiddenMenuCancelAndKeys() {
        DialogSession s;
        const ParameterBlock before = s.session->workingBlock;
        {
            HiddenMenuDialog dialog(nullptr, *s.session);
            chooseItem(&dialog, "combo911", 3);
            chooseItem(&dialog, "combo910", 1);
            click(&dialog, "check500");
            click(&dialog, "cancel");
            QVERIFY(sameBlock(s.session->workingBlock, before));
        }
        HiddenMenuDialog dialog(nullptr, *s.session);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        chooseItem(&dialog, "combo911", 2);
        findControl(&dialog, "button930")->setFocus(); // Enter still means "Okay"
        pressKey(&dialog, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(s.session->workingBlock.saveQuality, 90u);
        QVERIFY(s.frontend.messages.empty());
    }

  private:
    // Where the screenshots go; VELLORA_KEEP_TEST_FILES=1 keeps them to look at.
    const TempDir looks_{"looks-color"};
};

QTEST_MAIN(ColorDialogTest)
#include "colorDialogTest.moc"
