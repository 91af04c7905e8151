#include "dialogDriver.h"

#include "app/dialogRegistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include <cstring>

namespace vellora::test {

DialogSession::DialogSession(int width, int height)
    : session(std::make_unique<Session>(frontend)) {
    if (width <= 0) return;
    session->dialogInfo.width = width;
    session->dialogInfo.height = height;
    session->dialogInfo.bitsPerPixel = 24;
    session->currentInfo = session->dialogInfo;
}

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

bool checked(QWidget* dialog, const QString& name) {
    auto* button = dialog->findChild<QAbstractButton*>(name);
    return button != nullptr && button->isChecked();
}

bool enabled(QWidget* dialog, const QString& name) {
    QWidget* control = findControl(dialog, name);
    return control != nullptr && control->isEnabled();
}

int selected(QWidget* dialog, const QString& comboName) {
    auto* combo = dialog->findChild<QComboBox*>(comboName);
    return combo == nullptr ? -2 : combo->currentIndex();
}

QStringList itemsOf(QWidget* dialog, const QString& comboName) {
    QStringList items;
    if (auto* combo = dialog->findChild<QComboBox*>(comboName))
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
    return items;
}

bool sameBlock(const ParameterBlock& a, const ParameterBlock& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

QString registeredDialogClass(int command, Session& session) {
    const auto factories = app::dialogFactories();
    const auto found = factories.find(command);
    if (found == factories.end()) return "<not registered>";
    QString opened;
    QTimer::singleShot(0, [&opened] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            opened = modal->metaObject()->className();
            modal->reject();
        }
    });
    return found->second(nullptr, command, session) ? QString() : opened;
}

} // namespace vellora::test
