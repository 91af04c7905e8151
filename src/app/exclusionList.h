#pragma once
// The tiling dialog's list of palette entries with tick boxes: a ticked entry is left out, and
// tiles take the nearest entry still in.
#include "shell/tileDesign.h"

#include <QListWidget>

#include <vector>

namespace vellora::app {

class ExclusionList final : public QListWidget {
    Q_OBJECT
  public:
    explicit ExclusionList(QWidget* parent);

    // One line per entry, ticked where `excluded` names it; empty when there is no palette.
    void showPalette(const PalettePreview& preview, const std::vector<int>& excluded);
    // The ticked entries, lowest first.
    std::vector<int> excluded() const;
};

} // namespace vellora::app
