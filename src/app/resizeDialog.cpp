#include "app/resizeDialog.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace vellora::app {

ResizeDialog::ResizeDialog(QWidget* owner, Session& session)
    : GeometryDialog(owner, session, "resize image", &ParameterBlock::saveResize, 1160),
      values_(resizeDialogOpening(session.workingBlock, currentWidth(), currentHeight())) {
    addHeading("resize image", 1140);
    buildSizeFields();
    buildMethods();
    finishLayout("save methods as default");
}

void ResizeDialog::buildSizeFields() {
    auto* grid = new QGridLayout;
    width_ = addGridField(grid, 0, 0, "width", 1110, 1120, values_.width);
    height_ = addGridField(grid, 1, 0, "height", 1111, 1121, values_.height);
    addLeftAligned(grid);
    for (auto [field, dimension] :
         {std::pair{width_, ResizeDimension::Width}, {height_, ResizeDimension::Height}}) {
        const ResizeDimension which = dimension;
        connect(field, &ValueField::edited, this, [this, which] { edited(which); });
        connect(field, &ValueField::stepped, this, [this, which](bool up) { step(which, up); });
    }
    auto* keep = new QPushButton("keep ratio", this);
    tagControl(keep, "button", 1130);
    auto* row = new QHBoxLayout;
    row->addWidget(keep);
    row->addStretch();
    body()->addLayout(row);
    connect(keep, &QPushButton::clicked, this, [this] { keepRatioPressed(); });
}

void ResizeDialog::buildMethods() {
    auto* check = new QCheckBox("interpolation methods as follows :", this);
    tagControl(check, "check", 1150);
    body()->addWidget(check);
    for (const char* note : {"bicubic for scale up", "area averaging for scale down"}) {
        auto* text = new QLabel(note, this);
        text->setIndent(kNoteIndent);
        body()->addWidget(text);
    }
    QComboBox* depth = addNotedCombo("output color depth", "(pixel format)", 1151,
                                     outputDepthItems(), values_.depth.shown);
    bindDepthChoice(check, depth, values_.depth);
}

void ResizeDialog::edited(ResizeDimension dimension) {
    values_.lastEdited = dimension;
    if (dimension == ResizeDimension::Width)
        values_.width = width_->value();
    else
        values_.height = height_->value();
}

// A step edits its dimension as typing does.
void ResizeDialog::step(ResizeDimension dimension, bool up) {
    values_.lastEdited = dimension;
    if (dimension == ResizeDimension::Width) {
        values_.width = resizeStep(values_.width, up, currentWidth());
        width_->setValue(values_.width);
    } else {
        values_.height = resizeStep(values_.height, up, currentHeight());
        height_->setValue(values_.height);
    }
}

void ResizeDialog::keepRatioPressed() {
    keepRatio(values_, currentWidth(), currentHeight());
    // Only the recomputed dimension changes; the edited one keeps its text.
    if (values_.lastEdited == ResizeDimension::Width)
        height_->setValue(values_.height);
    else
        width_->setValue(values_.width);
}

bool ResizeDialog::store(ParameterBlock& block) {
    if (storeResize(values_, currentWidth(), currentHeight(), block)) return true;
    alert(kGeometryAlertCaption, kInvalidSizeText);
    return false;
}

} // namespace vellora::app
