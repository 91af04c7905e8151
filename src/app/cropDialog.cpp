#include "app/cropDialog.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace vellora::app {

namespace {

// "top" centred above "left" and "right", "bottom" below them; created (and so tabbed) in this
// order.
struct CropFieldPlace {
    CropField field;
    const char* label;
    int editId;
    int upDownId;
    int row;
    int column;
};
constexpr auto kPlaces = std::to_array<CropFieldPlace>({
    {kCropTop, "top", 1010, 1020, 0, 2},
    {kCropLeft, "left", 1011, 1021, 1, 0},
    {kCropRight, "right", 1012, 1022, 1, 4},
    {kCropBottom, "bottom", 1013, 1023, 2, 2},
});

} // namespace

CropDialog::CropDialog(QWidget* owner, Session& session)
    : GeometryDialog(owner, session, "crop image"),
      values_(cropDialogOpening(currentWidth(), currentHeight())) {
    addHeading("crop image", 1040);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    for (const CropFieldPlace& place : kPlaces) {
        ValueField* field = addGridField(grid, place.row, place.column, place.label, place.editId,
                                         place.upDownId, values_[place.field]);
        fields_[place.field] = field;
        const CropField which = place.field;
        connect(field, &ValueField::edited, this,
                [this, which, field] { values_[which] = field->value(); });
        connect(field, &ValueField::stepped, this, [this, which](bool up) { step(which, up); });
    }
    body()->addLayout(grid);
    auto* sizeRow = new QHBoxLayout;
    auto* button = new QPushButton("crop size", this);
    tagControl(button, "button", 1030);
    sizeRow->addWidget(button);
    const std::string size = dialogSizeText(currentWidth(), currentHeight());
    cropSize_ = addStatic(sizeRow, QString::fromStdString(size), 1041);
    cropSize_->setMinimumWidth(cropSize_->fontMetrics().horizontalAdvance(" : 00000 x 00000"));
    sizeRow->addStretch();
    body()->addLayout(sizeRow);
    connect(button, &QPushButton::clicked, this, [this] { showCropSize(); });
    finishLayout();
}

void CropDialog::step(CropField field, bool up) {
    values_[field] = cropStep(values_, field, up, currentWidth(), currentHeight());
    fields_[field]->setValue(values_[field]);
}

void CropDialog::showCropSize() {
    const std::string text = cropSizeText(values_, currentWidth(), currentHeight());
    cropSize_->setText(QString::fromStdString(text));
}

bool CropDialog::store(ParameterBlock& block) {
    if (storeCrop(values_, currentWidth(), currentHeight(), block)) return true;
    alert(kGeometryAlertCaption, kInvalidCropText);
    return false;
}

} // namespace vellora::app
