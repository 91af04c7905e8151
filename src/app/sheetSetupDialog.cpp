#include "app/sheetSetupDialog.h"

#include "shell/buildSheet.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>

namespace vellora::app {

namespace {

// One edit of the dialog: its label, and the sheet field and part of it ("WxH") it shows.
struct ValueRow {
    const char* label;
    std::string_view field;
    int part{}; // 0 before the 'x', 1 after it (a lone value is both)
};

constexpr auto kValueRows = std::to_array<ValueRow>({
    {"tile width (mm)", "tile-mm", 0},
    {"tile height (mm)", "tile-mm", 1},
    {"grout (mm)", "grout-mm"},
    {"spare (%)", "spare"},
    {"tiles per pack", "pack"},
});

constexpr auto kPapers = std::to_array<std::pair<const char*, const char*>>({
    {"A4", "a4"},
    {"Letter", "letter"},
});

std::string formatted(std::string_view name, const DesignSettings& settings) {
    return findSheetField(name)->format(settings);
}

std::string partOf(const std::string& value, int part) {
    const std::size_t cross = value.find('x');
    if (cross == std::string::npos) return value;
    return part == 1 ? value.substr(cross + 1) : value.substr(0, cross);
}

// Stores the value, or returns the message naming what it needs.
std::string storeField(std::string_view name, const std::string& value, DesignSettings& settings) {
    std::string why;
    if (findSheetField(name)->parse(value, settings, why)) return {};
    return std::string(name) + " " + why;
}

} // namespace

bool chooseTileLineFile(QWidget* owner, std::string& path) {
    QFileDialog chooser(owner, "open file selected", QString::fromStdString(path),
                        "tile line (*.tiles)");
    chooser.setFileMode(QFileDialog::ExistingFile);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return false;
    path = chooser.selectedFiles().front().toStdString();
    return true;
}

SheetSetupDialog::SheetSetupDialog(QWidget* owner, Session& session, PaletteFileChooser chooser)
    : QDialog(owner), session_(session), chooser_(std::move(chooser)),
      tileLinePath_(session.design.tileLinePath) {
    setWindowTitle("Sheet Setup");
    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    buildTileLine(outer);
    buildValues(outer);
    addOkayCancel(*this, outer);
    showTileLine();
    edits_[0]->setFocus(); // the keys reach the sizes first, not the chooser's button
}

void SheetSetupDialog::buildTileLine(QBoxLayout* into) {
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("tile line:", this));
    tileLineName_ = new QLabel(this);
    tagControl(tileLineName_, "static", 2830);
    tileLineName_->setMinimumWidth(180);
    row->addWidget(tileLineName_, 1);
    auto* choose = new QPushButton("Choose…", this);
    auto* none = new QPushButton("None", this);
    choose->setObjectName("chooseTileLine");
    none->setObjectName("noTileLine");
    row->addWidget(choose);
    row->addWidget(none);
    into->addLayout(row);
    connect(choose, &QPushButton::clicked, this, [this] {
        if (chooser_(this, tileLinePath_)) showTileLine();
    });
    connect(none, &QPushButton::clicked, this, [this] {
        tileLinePath_.clear();
        showTileLine();
    });
}

void SheetSetupDialog::buildValues(QBoxLayout* into) {
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < kValueRows.size(); ++i) {
        const ValueRow& row = kValueRows[i];
        edits_[i] = new QLineEdit(this);
        tagControl(edits_[i], "edit", 2831 + int(i));
        edits_[i]->setText(
            QString::fromStdString(partOf(formatted(row.field, session_.design), row.part)));
        form->addRow(row.label, edits_[i]);
    }
    paper_ = new QComboBox(this);
    tagControl(paper_, "combo", 2836);
    const std::string paper = formatted("paper", session_.design);
    for (const auto& [shown, value] : kPapers) {
        paper_->addItem(shown);
        if (paper == value) paper_->setCurrentIndex(paper_->count() - 1);
    }
    form->addRow("paper", paper_);
    into->addLayout(form);
}

void SheetSetupDialog::showTileLine() {
    const std::string name = std::filesystem::path(tileLinePath_).filename().string();
    tileLineName_->setText(name.empty() ? QString("(none)") : QString::fromStdString(name));
    tileLineName_->setToolTip(QString::fromStdString(tileLinePath_));
}

void SheetSetupDialog::accept() {
    const auto text = [this](std::size_t i) { return edits_[i]->text().trimmed().toStdString(); };
    const std::pair<std::string_view, std::string> values[] = {
        {"tiles", tileLinePath_},
        {"tile-mm", text(0) + "x" + text(1)},
        {"grout-mm", text(2)},
        {"spare", text(3)},
        {"pack", text(4)},
        {"paper", kPapers[std::size_t(std::max(0, paper_->currentIndex()))].second},
    };
    DesignSettings edited = session_.design;
    for (const auto& [name, value] : values) {
        if (std::string refusal = storeField(name, value, edited); !refusal.empty()) {
            session_.frontend.showMessage("alert", refusal);
            return;
        }
    }
    session_.design = edited;
    QDialog::accept();
}

} // namespace vellora::app
