// The two tone dialogs made of level fields: posterization and histogram modification.
#include "app/toneDialogs.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace vellora::app {
namespace {

struct PosterRow {
    const char* text;
    PosterField field;
};
constexpr auto kChannelRows = std::to_array<PosterRow>(
    {{"level Red", kPosterRed}, {"level Green", kPosterGreen}, {"level Blue", kPosterBlue}});

// Red, green, blue.
constexpr auto kChannelNames = std::to_array<const char*>({"Red", "Green", "Blue"});

} // namespace

// ---- posterization -----------------------------------------------------------------------------

PosterizationDialog::PosterizationDialog(QWidget* owner, Session& session)
    : OperationDialog(owner, session, "posterization", &ParameterBlock::savePoster, 508),
      values_(posterDialogOpening(session.workingBlock)) {
    auto* grid = new QGridLayout;
    common_ = new QCheckBox("level RGB", this);
    tagControl(common_, "check", 1820);
    common_->setChecked(values_.common);
    grid->addWidget(common_, 0, 0);
    const auto addLevel = [this, grid](PosterField field, int row) {
        fields_[field] =
            toneField(this, 1830 + int(field), 1840 + int(field), values_.levels[field],
                      [field](std::int64_t v, bool up) { return posterStep(v, up, field); });
        grid->addWidget(fields_[field], row, 1);
    };
    addLevel(kPosterRGB, 0);
    for (const PosterRow& r : kChannelRows) {
        const int row = grid->rowCount(); // below the rows before
        auto* label = new QLabel(r.text, this);
        label->setIndent(kLabelIndent); // under the box's text, not its square
        grid->addWidget(label, row, 0);
        addLevel(r.field, row);
        label->setBuddy(fields_[r.field]->edit());
    }
    addLeftAligned(grid);
    connect(common_, &QCheckBox::clicked, this, [this](bool on) {
        values_.common = on;
        applyEnabling();
    });
    applyEnabling();
    finishLayout();
}

void PosterizationDialog::applyEnabling() {
    for (std::size_t f = 0; f < fields_.size(); ++f)
        fields_[f]->setEnabled(posterFieldEnabled(values_, PosterField(f)));
}

bool PosterizationDialog::store(ParameterBlock& block) {
    const std::string_view error = storePoster(values_, block);
    if (error.empty()) return true;
    alert(kPosterCaption, error);
    return false;
}

// ---- histogram modification --------------------------------------------------------------------

HistogramDialog::HistogramDialog(QWidget* owner, Session& session)
    : OperationDialog(owner, session, "histogram modification", &ParameterBlock::saveHistogram,
                      509),
      values_(histogramDialogOpening(session.workingBlock)) {
    body()->addWidget(new QLabel("histogram modification to range outset ~ endset", this));
    auto* grid = new QGridLayout;
    for (std::size_t channel = 0; channel < 3; ++channel)
        addChannel(grid, channel);
    addLeftAligned(grid);
    applyEnabling();
    finishLayout();
}

void HistogramDialog::addChannel(QGridLayout* grid, std::size_t channel) {
    const int row = int(channel);
    auto* box = new QCheckBox(kChannelNames[channel], this);
    tagControl(box, "check", 1910 + row);
    box->setChecked(values_.enabled[channel]);
    connect(box, &QCheckBox::clicked, this, [this, channel](bool on) {
        values_.enabled[channel] = on;
        applyEnabling();
    });
    const auto step = [](std::int64_t v, bool up) { return fieldStep("histOutset", v, up); };
    outsets_[channel] = toneField(this, 1920 + row, 1940 + row, values_.outset[channel], step);
    tildes_[channel] = new QLabel("~", this);
    endsets_[channel] = toneField(this, 1930 + row, 1950 + row, values_.endset[channel], step);
    grid->addWidget(box, row, 0);
    grid->addWidget(outsets_[channel], row, 1);
    grid->addWidget(tildes_[channel], row, 2);
    grid->addWidget(endsets_[channel], row, 3);
}

void HistogramDialog::applyEnabling() {
    for (std::size_t c = 0; c < 3; ++c) {
        outsets_[c]->setEnabled(values_.enabled[c]);
        tildes_[c]->setEnabled(values_.enabled[c]);
        endsets_[c]->setEnabled(values_.enabled[c]);
    }
}

bool HistogramDialog::store(ParameterBlock& block) {
    const std::string_view error = storeHistogram(values_, block);
    if (error.empty()) return true;
    alert(kHistogramCaption, error);
    return false;
}

} // namespace vellora::app
