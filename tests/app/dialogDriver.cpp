#include "dialogDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include <cstring>

namespace vellora::test {

namespace {
std::vector<TestFactory>& testClasses() {
    static std::vector<TestFactory> classes;
    return classes;
}
} // namespace

void addTestClass(TestFactory make) {
    testClasses().push_back(make);
}

void ScriptedPrompter::showMessage(const std::string& caption, const std::string& text) {
    messages.push_back(caption + ": " + text);
}

bool ScriptedPrompter::chooseFile(FileChooserKind, std::string& path) {
    questions.push_back("file");
    if (files.empty()) return false;
    const std::string chosen = files.front();
    files.pop_front();
    if (!chosen.empty()) path = chosen;
    return !chosen.empty();
}

SaveChangesAnswer ScriptedPrompter::askSaveChanges(const std::string& fileName) {
    questions.push_back("do you want to save the changes to " + fileName + "?");
    return saveAnswer;
}

bool ScriptedPrompter::confirmExit() {
    questions.push_back("are you sure to exit the program?");
    return true;
}

void ScriptedPrompter::showAbout(const std::string& line) {
    questions.push_back("about " + line);
}

DialogSession::DialogSession(int width, int height) : session(std::make_unique<Session>(frontend)) {
    if (width <= 0) return;
    session->dialogInfo.width = width;
    session->dialogInfo.height = height;
    session->dialogInfo.bitsPerPixel = 24;
    session->currentInfo = session->dialogInfo;
}

void onNextModal(std::function<void(QDialog&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            act(*modal);
            if (modal->isVisible()) modal->reject();
        }
    });
}

QWidget* findControl(QWidget* dialog, const QString& name) {
    return dialog->findChild<QWidget*>(name);
}

void typeText(QWidget* dialog, const QString& editName, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(editName);
    if (edit == nullptr) return QTest::qFail(qPrintable("no edit " + editName), __FILE__, __LINE__);
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
    if (button == nullptr) return QTest::qFail(qPrintable("no button " + name), __FILE__, __LINE__);
    button->click();
}

void chooseItem(QWidget* dialog, const QString& comboName, int index) {
    auto* combo = dialog->findChild<QComboBox*>(comboName);
    if (combo == nullptr)
        return QTest::qFail(qPrintable("no combo " + comboName), __FILE__, __LINE__);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

bool pressOkay(QDialog& dialog) {
    dialog.setResult(QDialog::Rejected);
    click(&dialog, "okay");
    return dialog.result() == QDialog::Accepted;
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

QString labelOf(QWidget* dialog, const QString& name) {
    const QWidget* control = findControl(dialog, name);
    for (const QLabel* label : dialog->findChildren<QLabel*>())
        if (control != nullptr && label->buddy() == control) return label->text();
    return {};
}

bool sameBlock(const ParameterBlock& a, const ParameterBlock& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace vellora::test

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    int failed = 0;
    for (vellora::test::TestFactory make : vellora::test::testClasses())
        failed += QTest::qExec(make().get(), argc, argv);
    return failed == 0 ? 0 : 1;
}
