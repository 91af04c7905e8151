#include "app/prompter.h"

#include "app/fileChoosers.h"

#include <QDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace vellora::app {

namespace {
QString qs(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

void QtPrompter::showMessage(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, qs(caption), qs(text), QMessageBox::Ok, owner_);
    box.exec();
}

bool QtPrompter::chooseFile(FileChooserKind kind, std::string& path) {
    const FileChooserSpec chooser = fileChooserSpec(kind);
    QFileDialog dialog(owner_, chooser.title);
    // The toolkit's own chooser: its filters ignore letter case, as the patterns need.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(chooser.filters);
    dialog.selectNameFilter(chooser.filters.front());
    dialog.setDefaultSuffix(chooser.defaultSuffix);
    // A chart's format follows the chosen filter when the name has no suffix of its own. The
    // signal names the filter as shown, without the hidden patterns.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& shown) {
        for (qsizetype i = 0; i < chooser.filterSuffixes.size() && i < chooser.filters.size(); ++i)
            if (chooser.filters[i].startsWith(shown))
                dialog.setDefaultSuffix(chooser.filterSuffixes[i]);
    });
    dialog.setAcceptMode(chooser.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(chooser.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!path.empty()) dialog.selectFile(qs(path));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = dialog.selectedFiles().front().toStdString();
    return true;
}

SaveChangesAnswer QtPrompter::askSaveChanges(const std::string& fileName) {
    QMessageBox box(QMessageBox::NoIcon, "confirmation",
                    QString("do you want to save the changes to %1?").arg(qs(fileName)),
                    QMessageBox::NoButton, owner_);
    QPushButton* cancel = box.addButton("cancel", QMessageBox::RejectRole);
    QPushButton* no = box.addButton("no", QMessageBox::NoRole);
    QPushButton* yes = box.addButton("yes", QMessageBox::YesRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes) return SaveChangesAnswer::Yes;
    if (box.clickedButton() == no) return SaveChangesAnswer::No;
    return SaveChangesAnswer::Cancel;
}

bool QtPrompter::confirmExit() {
    QMessageBox box(QMessageBox::NoIcon, "confirmation", "are you sure to exit the program?",
                    QMessageBox::NoButton, owner_);
    QPushButton* okay = box.addButton("okay", QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton("cancel", QMessageBox::RejectRole);
    box.setDefaultButton(okay);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == okay;
}

void QtPrompter::showAbout(const std::string& line) {
    QDialog dialog(owner_);
    dialog.setWindowTitle("about");
    auto* text = new QLineEdit(qs(line), &dialog);
    text->setReadOnly(true);
    auto* done = new QPushButton("continue", &dialog);
    QObject::connect(done, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(done);
    layout->addLayout(buttons);
    dialog.exec();
}

} // namespace vellora::app
