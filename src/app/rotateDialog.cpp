#include "app/rotateDialog.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace vellora::app {

RotateDialog::RotateDialog(QWidget* owner, Session& session)
    : GeometryDialog(owner, session, "rotate image", &ParameterBlock::saveRotate, 503),
      values_(rotateDialogOpening(session.workingBlock)) {
    body()->addWidget(new QLabel("rotate image", this));
    auto* grid = new QGridLayout;
    angle_ = addGridField(grid, 0, 0, "angle to right", 1310, 1320, values_.angle);
    grid->addWidget(new QLabel("(minor to left)", this), 1, 1);
    addLeftAligned(grid);
    connect(angle_, &ValueField::edited, this, [this] { values_.angle = angle_->value(); });
    connect(angle_, &ValueField::stepped, this, [this](bool up) {
        values_.angle = unlimitedStep(angle_->value(), up);
        angle_->setValue(values_.angle);
    });

    auto* bicubic = new QCheckBox("bicubic interpolation", this);
    tagControl(bicubic, "check", 1330);
    body()->addWidget(bicubic);
    QComboBox* depth = addNotedCombo("output color depth", "(pixel format)", 1340,
                                     outputDepthItems(), values_.depth.shown);
    bindDepthChoice(bicubic, depth, values_.depth);
    QComboBox* blank = addNotedCombo("blank color", "(closed color case of palette)", 1341,
                                     blankColorItems(), values_.blankIndex);
    connect(blank, &QComboBox::activated, this,
            [this](int index) { values_.blankIndex = std::uint32_t(index); });
    finishLayout();
}

bool RotateDialog::store(ParameterBlock& block) {
    storeRotate(values_, block);
    return true;
}

} // namespace vellora::app
