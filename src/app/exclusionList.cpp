#include "app/exclusionList.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace vellora::app {

namespace {

QIcon swatch(const Bgr& color) {
    QPixmap pixmap(14, 14);
    pixmap.fill(QColor(color[2], color[1], color[0]));
    QPainter(&pixmap).drawRect(0, 0, 13, 13);
    return QIcon(pixmap);
}

} // namespace

ExclusionList::ExclusionList(QWidget* parent) : QListWidget(parent) {
    setObjectName("exclusionList");
    setMaximumHeight(120);
    setToolTip("ticked colours are left out of the tiling");
}

void ExclusionList::showPalette(const PalettePreview& preview, const std::vector<int>& excluded) {
    clear();
    for (std::size_t i = 0; i < preview.colors.size(); ++i) {
        const Bgr& c = preview.colors[i];
        const QString text = preview.colorsKnown
                                 ? QString("%1  (%2, %3, %4)").arg(i).arg(c[2]).arg(c[1]).arg(c[0])
                                 : QString("%1").arg(i);
        auto* item = new QListWidgetItem(text, this);
        if (preview.colorsKnown) item->setIcon(swatch(c));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool out = std::ranges::count(excluded, int(i)) != 0;
        item->setCheckState(out ? Qt::Checked : Qt::Unchecked);
    }
}

std::vector<int> ExclusionList::excluded() const {
    std::vector<int> indices;
    for (int i = 0; i < count(); ++i)
        if (item(i)->checkState() == Qt::Checked) indices.push_back(i);
    return indices;
}

} // namespace vellora::app
