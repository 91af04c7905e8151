#include "app/hiddenMenuDialog.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace vellora::app {

namespace {
constexpr auto kChannelLabels = std::to_array<const char*>({"R", "G", "B"});
} // namespace

HiddenMenuDialog::HiddenMenuDialog(QWidget* owner, Session& session)
    : OperationDialog(owner, session, "save quality and even color palette",
                      &ParameterBlock::saveHiddenMenu, 500) {
    buildSaveSetup();
    buildDivisions();
    finishLayout();
}

void HiddenMenuDialog::buildSaveSetup() {
    const HiddenMenuChoice shown = hiddenMenuChoice(session().workingBlock);
    auto* group = new QGroupBox("for save and save as", this);
    auto* layout = new QVBoxLayout(group);
    depth_ = addCombo(layout, "bits per pixel", 910, hiddenMenuDepthItems(),
                      std::uint32_t(shown.depthIndex));
    quality_ = addCombo(layout, "quality (100 ~ 0)", 911, hiddenMenuQualityItems(),
                        std::uint32_t(shown.qualityIndex));
    body()->addWidget(group);
}

void HiddenMenuDialog::buildDivisions() {
    const HiddenMenuChoice shown = hiddenMenuChoice(session().workingBlock);
    auto* group = new QGroupBox("even color palette divisions", this);
    auto* layout = new QVBoxLayout(group);
    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    for (std::size_t k = 0; k < divisions_.size(); ++k)
        divisions_[k] = addCombo(row, kChannelLabels[k], 920 + int(k), hiddenMenuDivisionItems(),
                                 std::uint32_t(shown.divisionIndex[k]));
    auto* make = new QPushButton("make an even color palette file", this);
    tagControl(make, "button", 930);
    make->setAutoDefault(false); // Enter stays with "Okay"
    layout->addWidget(make);
    body()->addWidget(group);
    connect(make, &QPushButton::clicked, this, [this] {
        makeHiddenMenuPalette(session().frontend, selectedChoice(), session().workingBlock);
    });
}

HiddenMenuChoice HiddenMenuDialog::selectedChoice() const {
    return {depth_->currentIndex(),
            quality_->currentIndex(),
            {divisions_[0]->currentIndex(), divisions_[1]->currentIndex(),
             divisions_[2]->currentIndex()}};
}

bool HiddenMenuDialog::store(ParameterBlock& block) {
    storeHiddenMenuChoice(selectedChoice(), block);
    return true;
}

} // namespace vellora::app
