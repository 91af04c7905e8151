#pragma once
// "Sheet Setup": the build sheet's tile line, tile and grout sizes, spare share, pack size and
// paper. It edits session.design only, and only on Okay once every value is valid; the values
// are checked by the same field table the command line and the settings file use.
#include "app/operationDialog.h"

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;

namespace vellora::app {

// The open-file dialog for ".tiles" files.
bool chooseTileLineFile(QWidget* owner, std::string& path);

class SheetSetupDialog final : public QDialog {
    Q_OBJECT
  public:
    SheetSetupDialog(QWidget* owner, Session& session,
                     PaletteFileChooser chooser = chooseTileLineFile);

    void accept() override;

  private:
    void buildTileLine(QBoxLayout* into);
    void buildValues(QBoxLayout* into);
    void showTileLine();

    Session& session_;
    PaletteFileChooser chooser_;
    std::string tileLinePath_;
    QLabel* tileLineName_ = nullptr;
    std::array<QLineEdit*, 5> edits_{}; // width, height, grout, spare, pack
    QComboBox* paper_ = nullptr;
};

} // namespace vellora::app
