#include "app/colorDialog.h"

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
constexpr int kUserClass = 4;

struct ClassControls {
    const char* text;
    int radioId;
    int controlId; // the list, or the user palette name
};
// By class: decrease, standard, even color, true color, user defined.
constexpr ClassControls kClasses[] = {{"decrease", 1420, 1430},
                                      {"standard", 1421, 1431},
                                      {"even color", 1422, 1432},
                                      {"true color", 1423, 1433},
                                      {"user defined", 1424, 1434}};

QString fileNameText(const std::string& path) {
    return QString::fromStdString(std::string(pathFileName(path)));
}

QLabel* indentedNote(QWidget* parent, const char* text, int id) {
    auto* note = new QLabel(text, parent);
    note->setIndent(kNoteIndent);
    if (id != 0) tagControl(note, "static", id);
    return note;
}
} // namespace

ColorDialog::ColorDialog(QWidget* owner, Session& session, PaletteFileChooser chooser)
    : OperationDialog(owner, session, "convert color image", &ParameterBlock::saveColor, 504),
      values_(colorDialogValues(session.workingBlock)),
      userPath_(userPalettePathOf(session.workingBlock)), chooser_(std::move(chooser)) {
    buildDiffusion();
    classes_ = new QButtonGroup(this);
    addClass(body(), 0);
    auto* palettes = new QGroupBox("convert color palette (posterization)", this);
    auto* paletteLayout = new QVBoxLayout(palettes);
    for (std::uint32_t k : {1u, 2u, 4u})
        addClass(paletteLayout, k);
    body()->addWidget(palettes);
    auto* format = new QGroupBox("convert just pixel format", this);
    auto* formatLayout = new QVBoxLayout(format);
    addClass(formatLayout, 3);
    body()->addWidget(format);
    finishLayout();
    if (QAbstractButton* selected = classes_->button(int(values_.colorClass)))
        selected->setChecked(true);
    connect(classes_, &QButtonGroup::idClicked, this,
            [this](int id) { chooseClass(std::uint32_t(id)); });
    updateControls();
}

void ColorDialog::buildDiffusion() {
    diffusion_ = new QCheckBox("error dispersion method", this);
    tagControl(diffusion_, "check", 1410);
    body()->addWidget(diffusion_);
    diffusionNote_ = indentedNote(this, "(Floyd Steinberg)", 1411);
    body()->addWidget(diffusionNote_);
    // Only the user's clicks are remembered: the check shows no tick under "true color"
    // without forgetting the flag.
    connect(diffusion_, &QCheckBox::clicked, this, [this](bool on) { values_.diffusion = on; });
}

void ColorDialog::addClass(QBoxLayout* into, std::uint32_t colorClass) {
    const ClassControls& c = kClasses[colorClass];
    auto* radio = new QRadioButton(c.text, this);
    tagControl(radio, "radio", c.radioId);
    classes_->addButton(radio, int(colorClass));
    into->addWidget(radio);
    if (colorClass == 0) into->addWidget(indentedNote(this, "(median cut)", 0));
    auto* row = new QHBoxLayout;
    row->addSpacing(kNoteIndent);
    into->addLayout(row);
    if (colorClass == kUserClass) {
        userName_ = new QLabel(fileNameText(userPath_), this);
        tagControl(userName_, "static", c.controlId);
        userName_->setMinimumWidth(kPaletteNameWidth);
        row->addWidget(userName_);
        classControls_[colorClass] = userName_;
        return;
    }
    const std::vector<std::string_view> items = colorChoiceItems(int(colorClass));
    QComboBox* list = addCombo(row, nullptr, c.controlId, items, values_.choices[colorClass]);
    connect(list, &QComboBox::activated, this,
            [this, colorClass](int i) { values_.choices[colorClass] = std::uint32_t(i); });
    classControls_[colorClass] = list;
}

void ColorDialog::chooseClass(std::uint32_t colorClass) {
    if (colorClass == kUserClass && !chooser_(this, userPath_)) {
        recheckClass(classes_, int(values_.colorClass), kUserClass);
        updateControls();
        return;
    }
    values_.colorClass = colorClass;
    if (colorClass == kUserClass) userName_->setText(fileNameText(userPath_));
    updateControls();
}

void ColorDialog::updateControls() {
    diffusion_->setChecked(colorDiffusionShown(values_));
    diffusion_->setEnabled(colorDiffusionEnabled(values_));
    diffusionNote_->setEnabled(colorDiffusionEnabled(values_));
    for (std::uint32_t k = 0; k < classControls_.size(); ++k)
        classControls_[k]->setEnabled(colorClassControlEnabled(values_, k));
}

bool ColorDialog::store(ParameterBlock& block) {
    storeColorChoice(values_, userPath_, block);
    return true;
}

} // namespace vellora::app
