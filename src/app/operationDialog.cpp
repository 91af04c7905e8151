#include "app/operationDialog.h"

#include "shell/dialogs/commonDialogRules.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace vellora::app {

void tagControl(QWidget* widget, const char* kind, int id) {
    widget->setObjectName(QStringLiteral("%1%2").arg(kind).arg(id));
    widget->setProperty("controlId", id);
}

void recheckClass(QButtonGroup* classes, int previous, int user) {
    if (QAbstractButton* radio = classes->button(previous)) {
        radio->setChecked(true);
        return;
    }
    classes->setExclusive(false);
    classes->button(user)->setChecked(false);
    classes->setExclusive(true);
}

void addOkayCancel(QDialog& dialog, QBoxLayout* into) {
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* okay = buttons->addButton("Okay", QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    okay->setObjectName("okay");
    cancel->setObjectName("cancel");
    // accept and reject are virtual: each dialog's own checks run.
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    into->addWidget(buttons);
}

bool chooseUserPaletteFile(QWidget* owner, std::string& path) {
    QFileDialog chooser(owner, "open file selected", QString::fromStdString(path),
                        "color palette file (*.ecp *.csv)");
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setDefaultSuffix("csv");
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return false;
    const std::string chosen = chooser.selectedFiles().front().toStdString();
    if (chosen.size() >= 260) return false; // the block keeps 259 characters and the zero
    path = chosen;
    return true;
}

ValueField::ValueField(QWidget* parent, int editId, int upDownId)
    : QWidget(parent), edit_(new QLineEdit(this)), up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
    tagControl(edit_, "edit", editId);
    tagControl(up_, "up", upDownId);
    tagControl(down_, "down", upDownId);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    // The arrows step by mouse; the keyboard types into the edit.
    up_->setFocusPolicy(Qt::NoFocus);
    down_->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(edit_);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    arrows->addWidget(up_);
    arrows->addWidget(down_);
    layout->addLayout(arrows);
    edit_->setMinimumWidth(edit_->fontMetrics().horizontalAdvance("-0000000") + 8);
    connect(up_, &QToolButton::clicked, this, [this] { emit stepped(true); });
    connect(down_, &QToolButton::clicked, this, [this] { emit stepped(false); });
    connect(edit_, &QLineEdit::textEdited, this, [this] { emit edited(); });
}

std::int32_t ValueField::value() const {
    return leadingInteger(edit_->text().toStdString());
}

void ValueField::setValue(std::int32_t value) {
    edit_->setText(QString::number(value));
}

OperationDialog::OperationDialog(QWidget* owner, Session& session, const char* title,
                                 std::uint32_t ParameterBlock::*saveFlag, int saveCheckId)
    : QDialog(owner), session_(session), saveFlag_(saveFlag), body_(new QVBoxLayout),
      saveCheckId_(saveCheckId) {
    setWindowTitle(title);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(body_);
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

void OperationDialog::addLeftAligned(QLayout* inner) {
    auto* row = new QHBoxLayout;
    row->addLayout(inner);
    row->addStretch();
    body()->addLayout(row);
}

void OperationDialog::finishLayout() {
    finishLayout("save as default");
}

void OperationDialog::finishLayout(const char* saveText) {
    auto* outer = static_cast<QBoxLayout*>(layout());
    if (saveFlag_ != nullptr) {
        saveCheck_ = new QCheckBox(saveText, this);
        tagControl(saveCheck_, "check", saveCheckId_);
        outer->addWidget(saveCheck_);
    }
    addOkayCancel(*this, outer);
}

void OperationDialog::accept() {
    ParameterBlock& block = session_.workingBlock;
    if (!store(block)) return;
    if (saveFlag_ != nullptr) block.*saveFlag_ = saveAsDefault() ? 1 : 0;
    QDialog::accept();
}

bool OperationDialog::saveAsDefault() const {
    return saveCheck_ != nullptr && saveCheck_->isChecked();
}

void OperationDialog::alert(std::string_view caption, std::string_view text) {
    session_.frontend.showMessage(caption, text);
}

QComboBox* OperationDialog::addCombo(QBoxLayout* into, const char* label, int id,
                                     std::span<const std::string_view> items,
                                     std::uint32_t selected) {
    auto* combo = new QComboBox(this);
    tagControl(combo, "combo", id);
    for (std::string_view item : items)
        combo->addItem(QString::fromUtf8(item.data(), qsizetype(item.size())));
    combo->setCurrentIndex(int(selected)); // one past the list shows none
    if (label == nullptr) {
        into->addWidget(combo);
        return combo;
    }
    auto* row = new QHBoxLayout;
    auto* text = new QLabel(label, this);
    text->setBuddy(combo);
    row->addWidget(text);
    row->addWidget(combo, 1);
    into->addLayout(row);
    return combo;
}

ValueField* OperationDialog::addField(QBoxLayout* into, const char* label, int editId, int upDownId,
                                      std::int32_t value) {
    auto* field = new ValueField(this, editId, upDownId);
    field->setValue(value);
    if (label == nullptr) {
        into->addWidget(field);
        return field;
    }
    auto* row = new QHBoxLayout;
    auto* text = new QLabel(label, this);
    text->setBuddy(field->edit());
    row->addWidget(text);
    row->addWidget(field, 1);
    into->addLayout(row);
    return field;
}

} // namespace vellora::app
