// The build sheet's setup dialog driven through its widgets: it opens on the session's sheet
// settings, Okay stores valid values (and refuses a bad one), Cancel keeps everything.
#include "app/sheetSetupDialog.h"
#include "dialogDriver.h"

#include <QComboBox>
#include <QtTest>

using namespace vellora;
using namespace vellora::app;
using namespace vellora::test;

class SheetSetupDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void opensStoresOnOkayAndKeepsOnCancel() {
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
            QCOMPARE(textOf(&dialog, "static2830"), QString("(none)"));
            QCOMPARE(textOf(&dialog, "edit2831"), QString("12.5"));
            QCOMPARE(textOf(&dialog, "edit2832"), QString("20"));
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
        QCOMPARE(design.tileWidthMm, 12.5);
        QCOMPARE(design.tileHeightMm, 25.0);
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
};

QTEST_MAIN(SheetSetupDialogTest)
#include "sheetSetupDialogTest.moc"
