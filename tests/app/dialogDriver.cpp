#include "dialogDriver.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QtTest>

namespace vellora::test {

DialogSession::DialogSession() : session(std::make_unique<Session>(frontend)) {}

QWidget* findControl(QWidget* dialog, const QString& name) {
    return dialog->findChild<QWidget*>(name);
}

void typeText(QWidget* dialog, const QString& editName, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(editName);
    if (edit == nullptr) {
        QTest::qFail(qPrintable("no edit " + editName), __FILE__, __LINE__);
        return;
    }
    edit->setFocus();
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
}

QString textOf(QWidget* dialog, const QString& name) {
    if (auto* edit = dialog->findChild<QLineEdit*>(name)) return edit->text();
    if (auto* label = dialog->findChild<QLabel*>(name)) return label->text();
    if (auto* button = dialog->findChild<QAbstractButton*>(name)) return button->text();
    return QStringLiteral("<no control %1>").arg(name);
}

void click(QWidget* dialog, const QString& name) {
    auto* button = dialog->findChild<QAbstractButton*>(name);
    if (button == nullptr) {
        QTest::qFail(qPrintable("no button " + name), __FILE__, __LINE__);
        return;
    }
    button->click();
}

void chooseItem(QWidget* dialog, const QString& comboName, int index) {
    auto* combo = dialog->findChild<QComboBox*>(comboName);
    if (combo == nullptr) {
        QTest::qFail(qPrintable("no combo " + comboName), __FILE__, __LINE__);
        return;
    }
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

bool pressOkay(QDialog& dialog) {
    dialog.setResult(QDialog::Rejected);
    click(&dialog, "okay");
    return dialog.result() == QDialog::Accepted;
}

void pressKey(QWidget* dialog, int key) {
    QWidget* target = dialog->focusWidget() != nullptr ? dialog->focusWidget() : dialog;
    QTest::keyClick(target, Qt::Key(key));
}

bool saveLook(QWidget* dialog, const std::filesystem::path& path) {
    dialog->adjustSize();
    return dialog->grab().save(QString::fromStdString(path.string()), "PNG");
}

} // namespace vellora::test
