#include "app/toneDialogs.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace vellora::app {
namespace {

QLabel* note(QWidget* parent, const char* text, int id) {
    auto* label = new QLabel(text, parent);
    label->setIndent(kNoteIndent);
    tagControl(label, "static", id);
    return label;
}

QCheckBox* checkBox(QWidget* parent, const char* text, int id, bool on) {
    auto* box = new QCheckBox(text, parent);
    tagControl(box, "check", id);
    box->setChecked(on);
    return box;
}

// bwThreshold, bwOutset and bwEndset share the byte range of the field table.
std::int64_t byteStep(std::int64_t value, bool up) {
    return fieldStep("bwOutset", value, up);
}

} // namespace

ValueField* toneField(QWidget* parent, int editId, int upDownId, std::int64_t& target,
                      std::function<std::int64_t(std::int64_t, bool)> step) {
    auto* field = new ValueField(parent, editId, upDownId);
    field->edit()->setText(QString::number(target));
    field->edit()->setFixedWidth(field->edit()->minimumWidth());
    field->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QObject::connect(field, &ValueField::edited, field,
                     [field, &target] { target = field->value(); });
    QObject::connect(field, &ValueField::stepped, field,
                     [field, &target, step = std::move(step)](bool up) {
                         target = step(target, up);
                         field->edit()->setText(QString::number(target));
                     });
    return field;
}

// ---- gray scale --------------------------------------------------------------------------------

GrayScaleDialog::GrayScaleDialog(QWidget* owner, Session& session)
    : OperationDialog(owner, session, "gray scale", &ParameterBlock::saveGray, 505),
      values_(grayDialogOpening(session.workingBlock)) {
    body()->addWidget(new QLabel("convert to gray scale", this));
    diffusion_ = checkBox(this, "error dispersion method", 1610, grayDiffusionShown(values_));
    body()->addWidget(diffusion_);
    diffusionNote_ = note(this, "(Floyd Steinberg)", 1611);
    body()->addWidget(diffusionNote_);
    QComboBox* levels = addCombo(body(), "gray scale", 1620, grayLevelItems(), values_.levelIndex);
    auto* median = new QLabel("decrease scale due to median cut", this);
    tagControl(median, "static", 1621);
    body()->addWidget(median);
    // Only the user's clicks are remembered: at "256" the check shows no tick without
    // forgetting the flag.
    connect(diffusion_, &QCheckBox::clicked, this, [this](bool on) { values_.diffusion = on; });
    connect(levels, &QComboBox::activated, this, [this](int index) {
        values_.levelIndex = std::uint32_t(index);
        applyEnabling();
    });
    applyEnabling();
    finishLayout();
}

void GrayScaleDialog::applyEnabling() {
    diffusion_->setChecked(grayDiffusionShown(values_));
    diffusion_->setEnabled(grayDiffusionEnabled(values_));
    diffusionNote_->setEnabled(grayDiffusionEnabled(values_));
}

bool GrayScaleDialog::store(ParameterBlock& block) {
    storeGray(values_, block);
    return true;
}

// ---- black and white ---------------------------------------------------------------------------

BlackWhiteDialog::BlackWhiteDialog(QWidget* owner, Session& session)
    : OperationDialog(owner, session, "black and white", &ParameterBlock::saveBlackWhite, 506),
      values_(blackWhiteDialogOpening(session.workingBlock)) {
    body()->addWidget(new QLabel("convert to black and white", this));
    diffusion_ = checkBox(this, "error dispersion method", 1710, values_.diffusion);
    body()->addWidget(diffusion_);
    body()->addWidget(note(this, "(Floyd Steinberg)", 1711));
    connect(diffusion_, &QCheckBox::clicked, this, [this](bool on) {
        values_.diffusion = on;
        applyEnabling();
    });
    buildMethods();
    buildStretch();
    applyEnabling();
    finishLayout();
}

void BlackWhiteDialog::buildMethods() {
    auto* median = new QRadioButton("median cut", this);
    tagControl(median, "radio", 1720);
    auto* threshold = new QRadioButton("threshold value", this);
    tagControl(threshold, "radio", 1721);
    auto* methods = new QButtonGroup(this);
    methods->addButton(threshold, 0);
    methods->addButton(median, 1);
    (values_.medianCut ? median : threshold)->setChecked(true);
    connect(methods, &QButtonGroup::idClicked, this, [this](int medianCut) {
        values_.medianCut = medianCut == 1;
        applyEnabling();
    });
    body()->addWidget(median);
    auto* row = new QHBoxLayout;
    row->addWidget(threshold);
    threshold_ = toneField(this, 1730, 1740, values_.threshold, byteStep);
    row->addWidget(threshold_);
    row->addStretch();
    body()->addLayout(row);
}

void BlackWhiteDialog::buildStretch() {
    stretch_ = checkBox(this, "histogram modification (in advance)", 1750, values_.stretch);
    body()->addWidget(stretch_);
    connect(stretch_, &QCheckBox::clicked, this, [this](bool on) {
        values_.stretch = on;
        applyEnabling();
    });
    auto* row = new QHBoxLayout;
    row->addSpacing(kNoteIndent);
    outset_ = toneField(this, 1731, 1741, values_.outset, byteStep);
    tilde_ = new QLabel("~", this);
    endset_ = toneField(this, 1732, 1742, values_.endset, byteStep);
    row->addWidget(outset_);
    row->addWidget(tilde_);
    row->addWidget(endset_);
    row->addStretch();
    body()->addLayout(row);
}

void BlackWhiteDialog::applyEnabling() {
    const bool threshold = blackWhiteThresholdEnabled(values_);
    const bool range = blackWhiteRangeEnabled(values_);
    threshold_->setEnabled(threshold);
    stretch_->setEnabled(threshold);
    for (QWidget* w : {static_cast<QWidget*>(outset_), static_cast<QWidget*>(tilde_),
                       static_cast<QWidget*>(endset_)})
        w->setEnabled(range);
}

bool BlackWhiteDialog::store(ParameterBlock& block) {
    const std::string_view error = storeBlackWhite(values_, block);
    if (error.empty()) return true;
    alert(kBlackWhiteCaption, error);
    return false;
}

// ---- invert ------------------------------------------------------------------------------------

InvertDialog::InvertDialog(QWidget* owner, Session& session)
    : OperationDialog(owner, session, "invert color image", &ParameterBlock::saveInvert, 507),
      depthIndex_(session.workingBlock.invertDepthIndex) {
    body()->addWidget(new QLabel("invert color image", this));
    QComboBox* depth =
        addCombo(body(), "destination pixel format", 1810, invertDepthItems(), depthIndex_);
    connect(depth, &QComboBox::activated, this,
            [this](int index) { depthIndex_ = std::uint32_t(index); });
    finishLayout();
}

bool InvertDialog::store(ParameterBlock& block) {
    block.invertDepthIndex = depthIndex_;
    return true;
}

} // namespace vellora::app
