#include "app/geometryDialogParts.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace vellora::app {

GeometryDialog::GeometryDialog(QWidget* owner, Session& session, const char* title,
                               std::uint32_t ParameterBlock::*saveFlag, int saveCheckId)
    : OperationDialog(owner, session, title, saveFlag, saveCheckId), session_(session) {}

QLabel* GeometryDialog::addStatic(QBoxLayout* into, const QString& text, int id) {
    auto* label = new QLabel(text, this);
    tagControl(label, "static", id);
    into->addWidget(label);
    return label;
}

void GeometryDialog::addHeading(const char* text, int staticId) {
    body()->addWidget(new QLabel(text, this));
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("current image size", this));
    const std::string size = dialogSizeText(currentWidth(), currentHeight());
    addStatic(row, QString::fromStdString(size), staticId);
    row->addStretch();
    body()->addLayout(row);
}

ValueField* GeometryDialog::addGridField(QGridLayout* grid, int row, int column, const char* label,
                                         int editId, int upDownId, std::int32_t value) {
    auto* field = new ValueField(this, editId, upDownId);
    field->setValue(value);
    // Wide enough for any value the field takes, no wider: the grids stay compact.
    field->edit()->setFixedWidth(field->edit()->minimumWidth());
    field->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* text = new QLabel(label, this);
    text->setBuddy(field->edit());
    grid->addWidget(text, row, column, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(field, row, column + 1);
    return field;
}

QComboBox* GeometryDialog::addNotedCombo(const char* label, const char* note, int id,
                                         std::span<const std::string_view> items,
                                         std::uint32_t selected) {
    auto* row = new QHBoxLayout;
    auto* texts = new QVBoxLayout;
    texts->setSpacing(0);
    auto* title = new QLabel(label, this);
    texts->addWidget(title);
    texts->addWidget(new QLabel(note, this));
    row->addLayout(texts);
    row->addStretch();
    QComboBox* combo = addCombo(row, nullptr, id, items, selected);
    combo->setMinimumContentsLength(11);
    title->setBuddy(combo);
    body()->addLayout(row);
    return combo;
}

void GeometryDialog::bindDepthChoice(QCheckBox* check, QComboBox* list, DepthChoice& choice) {
    auto show = [check, list, &choice] {
        check->setChecked(choice.interpolate);
        list->setCurrentIndex(int(choice.shown));
        list->setEnabled(depthListEnabled(choice));
    };
    show();
    connect(check, &QCheckBox::toggled, this, [show, &choice](bool on) {
        setInterpolation(choice, on);
        show();
    });
    connect(list, &QComboBox::activated, this,
            [&choice](int index) { chooseDepth(choice, std::uint32_t(index)); });
}

} // namespace vellora::app
