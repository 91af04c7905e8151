#include "app/fileChoosers.h"

namespace vellora::app {

namespace {
// The shown description carries its own parenthesis; the patterns follow in the last one,
// which the chooser hides. Matching ignores letter case.
const QStringList kPictureFilters = {
    "image files (*.jpg,bmp,gif,png,tiff) (*.jpg *.bmp *.gif *.png *.tiff)",
    "all files (*.*) (*)",
};
const QStringList kCsvFilters = {
    "csv file (*.csv) (*.csv)",
    "all files (*.*) (*)",
};
const QStringList kChartFilters = {
    "PDF chart (*.pdf) (*.pdf)",
    "SVG chart at real size (*.svg) (*.svg)",
};
} // namespace

FileChooserSpec fileChooserSpec(FileChooserKind kind) {
    switch (kind) {
    case FileChooserKind::Open:
        return {"open file selected", kPictureFilters, "jpg", false};
    case FileChooserKind::SaveAs:
        return {"save file as ...", kPictureFilters, "jpg", true};
    case FileChooserKind::SaveCsv:
        return {"save file as ...", kCsvFilters, "csv", true};
    case FileChooserKind::SaveChart:
        return {"save chart as ...", kChartFilters, "pdf", true, {"pdf", "svg"}};
    case FileChooserKind::SaveShoppingList:
        return {"save shopping list as ...", kCsvFilters, "csv", true};
    }
    return {"", {}, "", false};
}

} // namespace vellora::app
