#include "app/tilingDialog.h"

#include "app/exclusionList.h"
#include "shell/dialogs/colorDialogRules.h"
#include "shell/dialogs/commonDialogRules.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace vellora::app {

namespace {
constexpr auto kClassTexts = std::to_array<const char*>({"decrease", "even color", "user palette"});

QString fileNameText(const std::string& path) {
    return QString::fromStdString(std::string(pathFileName(path)));
}
} // namespace

TilingDialog::TilingDialog(QWidget* owner, Session& session, PaletteFileChooser chooser)
    : OperationDialog(owner, session, "tiling", &ParameterBlock::saveTiling, 516),
      values_(tilingDialogValues(session.workingBlock)),
      userPath_(userPalettePathOf(session.workingBlock)), chooser_(std::move(chooser)) {
    buildPaletteChoice();
    buildExclusion();
    buildTileSetup();
    finishLayout();
    updateEnabling();
    showSizing();
}

void TilingDialog::buildPaletteChoice() {
    convert_ = new QCheckBox("convert color to, (not for true color)", this);
    tagControl(convert_, "check", 2610);
    convert_->setChecked(values_.convert);
    body()->addWidget(convert_);
    connect(convert_, &QCheckBox::toggled, this, [this](bool on) {
        values_.convert = on;
        updateEnabling();
    });
    classes_ = new QButtonGroup(this);
    for (int k = 0; k < 3; ++k) {
        auto* radio = new QRadioButton(kClassTexts[std::size_t(k)], this);
        tagControl(radio, "radio", 2620 + k);
        classes_->addButton(radio, k);
        body()->addWidget(radio);
        if (k == 0) {
            auto* note = new QLabel("(median cut)", this);
            note->setIndent(kNoteIndent);
            body()->addWidget(note);
        }
        auto* row = new QHBoxLayout;
        row->addSpacing(kNoteIndent);
        body()->addLayout(row);
        if (k == 0) {
            auto* list = addCombo(row, nullptr, 2630, tilingMedianCutItems(), values_.medianIndex);
            connect(list, &QComboBox::activated, this, [this](int i) {
                values_.medianIndex = std::uint32_t(i);
                updateEnabling();
            });
            paletteControls_[0] = list;
        } else if (k == 1) {
            auto* list = addCombo(row, nullptr, 2631, tilingEvenColorItems(), values_.evenIndex);
            connect(list, &QComboBox::activated, this, [this](int i) {
                values_.evenIndex = std::uint32_t(i);
                updateEnabling();
            });
            paletteControls_[1] = list;
        } else {
            userName_ = new QLabel(fileNameText(userPath_), this);
            tagControl(userName_, "static", 2632);
            userName_->setMinimumWidth(kPaletteNameWidth);
            row->addWidget(userName_);
            paletteControls_[2] = userName_;
        }
    }
    if (QAbstractButton* selected = classes_->button(int(values_.paletteClass)))
        selected->setChecked(true);
    connect(classes_, &QButtonGroup::idClicked, this,
            [this](int id) { choosePaletteClass(std::uint32_t(id)); });
}

void TilingDialog::buildExclusion() {
    body()->addWidget(new QLabel("leave out (ticked)", this));
    exclusion_ = new ExclusionList(this);
    body()->addWidget(exclusion_);
}

// The list follows the palette the dialog's choices stand for, keeping the ticks by index.
void TilingDialog::showExclusion() {
    ParameterBlock block = session().workingBlock;
    storeTilingPaletteChoice(values_, block);
    storeUserPalettePath(userPath_, block);
    const std::vector<int> ticked =
        exclusion_->count() != 0 ? exclusion_->excluded() : session().design.excluded;
    exclusion_->showPalette(previewTilingPalette(session(), block), ticked);
}

void TilingDialog::buildTileSetup() {
    auto* group = new QGroupBox("tile setup", this);
    auto* setup = new QVBoxLayout(group);
    body()->addWidget(group);
    auto* method = addCombo(setup, "tile sizing method", 2640, tilingSizingMethodItems(),
                            values_.sizingMethod);
    sizingLabel_ = new QLabel(this);
    tagControl(sizingLabel_, "static", 2650);
    setup->addWidget(sizingLabel_);
    auto* sizes = new QHBoxLayout;
    setup->addLayout(sizes);
    edits_[0] = addField(sizes, nullptr, 2660, 2670);
    sizes->addWidget(new QLabel("x", this));
    edits_[1] = addField(sizes, nullptr, 2661, 2671);
    edits_[2] = addField(setup, "slit pixel size", 2662, 2672, values_.sizing[kTilingSlitCell]);
    auto* hGray =
        addCombo(setup, "horizontal slit", 2641, tilingSlitGrayItems(), values_.hSlitGray);
    auto* vGray = addCombo(setup, "vertical slit", 2642, tilingSlitGrayItems(), values_.vSlitGray);
    connect(method, &QComboBox::activated, this, [this](int i) {
        values_.sizingMethod = std::uint32_t(i);
        showSizing();
    });
    connect(hGray, &QComboBox::activated, this, [this](int i) {
        values_.hSlitGray = std::uint32_t(i);
        showSizing();
    });
    connect(vGray, &QComboBox::activated, this, [this](int i) {
        values_.vSlitGray = std::uint32_t(i);
        showSizing();
    });
    for (int edit = 0; edit < 3; ++edit) {
        connect(edits_[std::size_t(edit)], &ValueField::edited, this, [this] { readEdits(); });
        connect(edits_[std::size_t(edit)], &ValueField::stepped, this,
                [this, edit](bool up) { step(edit, up); });
    }
}

void TilingDialog::choosePaletteClass(std::uint32_t paletteClass) {
    if (paletteClass == 2 && !chooser_(this, userPath_)) {
        recheckClass(classes_, int(values_.paletteClass), 2);
        updateEnabling();
        return;
    }
    values_.paletteClass = paletteClass;
    if (paletteClass == 2) userName_->setText(fileNameText(userPath_));
    updateEnabling();
}

void TilingDialog::updateEnabling() {
    for (QAbstractButton* radio : classes_->buttons())
        radio->setEnabled(tilingPaletteRadiosEnabled(values_));
    for (std::uint32_t k = 0; k < paletteControls_.size(); ++k)
        paletteControls_[k]->setEnabled(tilingPaletteControlEnabled(values_, k));
    if (exclusion_ != nullptr) showExclusion();
}

void TilingDialog::showSizing() {
    for (int edit = 0; edit < 2; ++edit)
        edits_[std::size_t(edit)]->setValue(
            values_.sizing[std::size_t(tilingSizingCell(values_.sizingMethod, edit))]);
    sizingLabel_->setText(QString::fromUtf8(tilingSizingLabel(values_.sizingMethod).data()));
}

void TilingDialog::readEdits() {
    for (int edit = 0; edit < 2; ++edit)
        values_.sizing[std::size_t(tilingSizingCell(values_.sizingMethod, edit))] =
            edits_[std::size_t(edit)]->value();
    values_.sizing[kTilingSlitCell] = edits_[2]->value();
}

void TilingDialog::step(int edit, bool up) {
    readEdits();
    const std::size_t cell = edit < 2 ? std::size_t(tilingSizingCell(values_.sizingMethod, edit))
                                      : std::size_t(kTilingSlitCell);
    values_.sizing[cell] = tilingUpDownStep(values_.sizing[cell], up);
    edits_[std::size_t(edit)]->setValue(values_.sizing[cell]);
}

bool TilingDialog::store(ParameterBlock& block) {
    readEdits();
    storeTilingPaletteChoice(values_, block);
    storeUserPalettePath(userPath_, block);
    if (const std::string_view problem = tilingOkayProblem(values_); !problem.empty()) {
        alert(kTilingSizingCaption, problem);
        return false;
    }
    storeTilingLayout(values_, block);
    session().design.excluded = exclusion_->excluded();
    return true;
}

} // namespace vellora::app
