#include "app/filterDialogs.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace vellora::app {
namespace {

const ListDialogKind kSmoothing{"smoothing",
                                "smoothing",
                                "smoothing operator",
                                2010,
                                510,
                                &ParameterBlock::smoothingIndex,
                                &ParameterBlock::saveSmoothing,
                                smoothingItems};
const ListDialogKind kSharpening{"sharpening",
                                 "sharpening",
                                 "sharpening operator",
                                 2210,
                                 512,
                                 &ParameterBlock::sharpeningIndex,
                                 &ParameterBlock::saveSharpening,
                                 sharpeningItems};
const ListDialogKind kEdgePreserving{"edge-preserving",
                                     "edge-preserving smoothing",
                                     "criterion",
                                     2110,
                                     511,
                                     &ParameterBlock::edgePreservingIndex,
                                     &ParameterBlock::saveEdgePreserving,
                                     edgePreservingItems};
const ListDialogKind kDeNoise{
    "de noise", "de noise due to median method", "area size for median selection", 2410,
    514,        &ParameterBlock::deNoiseIndex,   &ParameterBlock::saveDeNoise,     deNoiseItems};

// Places in `choice_` of the edge detection lists, as in edgeDetectChoice.
constexpr int kDirectionPlace = 0;
constexpr int kOperatorPlace = 1;
constexpr int kNonDirectionPlace = 2;

} // namespace

ListDialog::ListDialog(QWidget* owner, Session& session, const ListDialogKind& kind)
    : OperationDialog(owner, session, kind.title, kind.saveFlag, kind.saveCheckId), kind_(kind),
      choice_(session.workingBlock.*kind.field) {
    body()->addWidget(new QLabel(kind.heading, this));
    auto* label = new QLabel(kind.label, this);
    body()->addWidget(label);
    const std::vector<std::string_view> items = kind.items();
    QComboBox* list = addCombo(body(), nullptr, kind.listId, items, choice_);
    label->setBuddy(list);
    connect(list, &QComboBox::activated, this,
            [this](int index) { choice_ = std::uint32_t(index); });
    finishLayout();
}

bool ListDialog::store(ParameterBlock& block) {
    block.*kind_.field = choice_;
    return true;
}

SmoothingDialog::SmoothingDialog(QWidget* owner, Session& session)
    : ListDialog(owner, session, kSmoothing) {}
SharpeningDialog::SharpeningDialog(QWidget* owner, Session& session)
    : ListDialog(owner, session, kSharpening) {}
EdgePreservingDialog::EdgePreservingDialog(QWidget* owner, Session& session)
    : ListDialog(owner, session, kEdgePreserving) {}
DeNoiseDialog::DeNoiseDialog(QWidget* owner, Session& session)
    : ListDialog(owner, session, kDeNoise) {}

EdgeDetectDialog::EdgeDetectDialog(QWidget* owner, Session& session)
    : OperationDialog(owner, session, "edge detection", &ParameterBlock::saveEdgeDetect, 513),
      mode_(session.workingBlock.edgeDetectMode) {
    const ParameterBlock& block = session.workingBlock;
    for (int place = 0; place < 3; ++place)
        choice_[place] = block.edgeDetectChoice[place];
    body()->addWidget(new QLabel("edge detection", this));
    auto* grid = new QGridLayout;
    directionRadio_ = new QRadioButton("direction type", this);
    tagControl(directionRadio_, "radio", 2310);
    grid->addWidget(directionRadio_, 0, 0);
    auto* row = new QHBoxLayout;
    operators_ = addList(row, 2321, edgeOperatorItems(), kOperatorPlace);
    grid->addLayout(row, 0, 1);
    auto* direction = new QLabel("direction", this);
    direction->setIndent(kLabelIndent);
    grid->addWidget(direction, 1, 0);
    row = new QHBoxLayout;
    directions_ = addList(row, 2320, edgeDirectionItems(), kDirectionPlace);
    direction->setBuddy(directions_);
    grid->addLayout(row, 1, 1);
    nonDirectionRadio_ = new QRadioButton("non direction", this);
    tagControl(nonDirectionRadio_, "radio", 2311);
    grid->addWidget(nonDirectionRadio_, 2, 0);
    row = new QHBoxLayout;
    nonDirections_ = addList(row, 2322, nonDirectionItems(), kNonDirectionPlace);
    grid->addLayout(row, 2, 1);
    body()->addLayout(grid);
    auto* radios = new QButtonGroup(this);
    radios->addButton(directionRadio_, 0);
    radios->addButton(nonDirectionRadio_, 1);
    // A stored mode no radio shows leaves both unchecked until one is clicked.
    directionRadio_->setChecked(mode_ == 0);
    nonDirectionRadio_->setChecked(mode_ == 1);
    connect(radios, &QButtonGroup::idClicked, this, [this](int mode) {
        mode_ = std::uint32_t(mode);
        applyEnabling();
    });
    applyEnabling();
    finishLayout();
}

QComboBox* EdgeDetectDialog::addList(QBoxLayout* into, int id, std::vector<std::string_view> items,
                                     int place) {
    QComboBox* list = addCombo(into, nullptr, id, items, choice_[place]);
    list->setMinimumContentsLength(12);
    connect(list, &QComboBox::activated, this,
            [this, place](int index) { choice_[place] = std::uint32_t(index); });
    return list;
}

void EdgeDetectDialog::applyEnabling() {
    operators_->setEnabled(directionListsEnabled(mode_));
    directions_->setEnabled(directionListsEnabled(mode_));
    nonDirections_->setEnabled(nonDirectionListEnabled(mode_));
}

bool EdgeDetectDialog::store(ParameterBlock& block) {
    block.edgeDetectMode = mode_;
    for (int place = 0; place < 3; ++place)
        block.edgeDetectChoice[place] = choice_[place];
    return true;
}

UserFilterDialog::UserFilterDialog(QWidget* owner, Session& session)
    : OperationDialog(owner, session, "filtering user defined", &ParameterBlock::saveUserFilter,
                      515),
      values_(userFilterOpening(session.workingBlock)) {
    body()->addWidget(new QLabel("filtering due to user defined", this));
    const std::vector<std::string_view> sizes{"3 x 3", "5 x 5"};
    // The size list and k stay compact at the left, above the grid.
    auto* sizeRow = new QHBoxLayout;
    auto* sizeLabel = new QLabel("operator size", this);
    sizeRow->addWidget(sizeLabel);
    QComboBox* size = addCombo(sizeRow, nullptr, 2510, sizes, values_.sizeIndex);
    sizeLabel->setBuddy(size);
    sizeRow->addStretch();
    body()->addLayout(sizeRow);
    connect(size, &QComboBox::activated, this, [this](int index) {
        values_.sizeIndex = std::uint32_t(index);
        applyEnabling();
    });
    auto* kRow = new QHBoxLayout;
    ValueField* k =
        addField(kRow, "k value (1/k * mask)", 2545, 2575, values_.values[kUserFilterKPlace]);
    k->edit()->setFixedWidth(k->edit()->minimumWidth());
    k->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    kRow->addStretch(1);
    fields_[kUserFilterKPlace] = k;
    body()->addLayout(kRow);
    buildGrid();
    for (int place = 0; place < kUserFilterValueCount; ++place) {
        ValueField* field = fields_[place];
        connect(field, &ValueField::edited, this,
                [this, place, field] { values_.values[place] = field->value(); });
        connect(field, &ValueField::stepped, this, [this, place](bool up) { step(place, up); });
    }
    applyEnabling();
    finishLayout();
}

void UserFilterDialog::buildGrid() {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    for (int cell = 0; cell < kUserFilterCells; ++cell) {
        auto* field = new ValueField(this, 2520 + cell, 2550 + cell);
        field->setValue(values_.values[cell]);
        field->edit()->setFixedWidth(field->edit()->minimumWidth());
        field->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        grid->addWidget(field, cell / 5, cell % 5);
        fields_[cell] = field;
    }
    body()->addLayout(grid);
    // Tab goes through the size list, k, then the grid row by row.
    QWidget* previous = fields_[kUserFilterKPlace]->edit();
    for (int cell = 0; cell < kUserFilterCells; ++cell) {
        setTabOrder(previous, fields_[cell]->edit());
        previous = fields_[cell]->edit();
    }
}

void UserFilterDialog::step(int place, bool up) {
    std::array<std::string, kUserFilterValueCount> texts;
    for (int i = 0; i < kUserFilterValueCount; ++i)
        texts[i] = fields_[i]->edit()->text().toStdString();
    userFilterStep(values_, texts, place, up);
    fields_[place]->setValue(values_.values[place]);
}

void UserFilterDialog::applyEnabling() {
    for (int place = 0; place < kUserFilterValueCount; ++place)
        fields_[place]->setEnabled(userFilterPlaceEnabled(place, values_.sizeIndex));
}

bool UserFilterDialog::store(ParameterBlock& block) {
    storeUserFilter(values_, block);
    return true;
}

} // namespace vellora::app
