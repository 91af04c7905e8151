// The colour conversion dialog and the hidden menu: each shows the values the shell's rules
// give, hands the user's choices to them on "Okay", and passes their messages on. The rules
// themselves are tested in tests/shell.
#include "app/colorDialog.h"
#include "app/hiddenMenuDialog.h"
#include "color/paletteFolders.h"
#include "dialogDriver.h"
#include "support/tempDir.h"

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

} // namespace

class ColorDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void colorShowsTheBlockAndFollowsTheClasses() {
        DialogSession s;
        ParameterBlock& b = s.block();
        b.colorChoice[1] = 1;
        b.colorChoice[2] = 4;
        {
            ColorDialog dialog(nullptr, *s.session); // median cut, diffusion on
            QCOMPARE(dialog.windowTitle(), QString("convert color image"));
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
        QCOMPARE(b.colorMethod, 2u);
        const std::uint32_t choices[] = {2, 0, 4, 1};
        for (int k = 0; k < 4; ++k)
            QCOMPARE(b.colorChoice[k], choices[k]);
        QCOMPARE(b.colorDiffusion, 0u);
        QCOMPARE(b.saveColor, 1u);
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

    // ---- hidden menu ----------------------------------------------------------------------

    void hiddenMenuShowsTheBlockAndStoresOnOkay() {
        DialogSession s;
        s.block().saveQuality = 75;
        HiddenMenuDialog dialog(nullptr, *s.session);
        QCOMPARE(dialog.windowTitle(), QString("save quality and even color palette"));
        QCOMPARE(selected(&dialog, "combo911"), 5); // 100, 95, …, 75
        QCOMPARE(selected(&dialog, "combo910"), 0);
        QCOMPARE(selected(&dialog, "combo920"), 1); // 8 divisions
        chooseItem(&dialog, "combo910", 1);
        chooseItem(&dialog, "combo911", 20);
        click(&dialog, "check500");
        QVERIFY(pressOkay(dialog));
        QCOMPARE(s.block().saveBitsPerPixel, 24u);
        QCOMPARE(s.block().saveQuality, 0u);
        QCOMPARE(s.block().saveHiddenMenu, 1u);
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
        QCOMPARE(s.block().evenDivisions[0], 2u); // at once, before any Okay
        std::ofstream(user / "plain") << "in the way"; // the user folder cannot be made
        setPaletteFolderOverride(PaletteFolders{user, user / "plain" / "user"});
        s.frontend.clear();
        click(&dialog, "button930");
        QCOMPARE(s.frontend.messages,
                 (std::vector<Message>{{"error", "failed to create the file"},
                                       {"", "failed to make an even color palette file"}}));
        setPaletteFolderOverride(std::nullopt);
    }
};

QTEST_MAIN(ColorDialogTest)
#include "colorDialogTest.moc"
