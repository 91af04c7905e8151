#include "sheet/sheetSummary.h"

#include "sheet/realSize.h"
#include "tiling/textFormat.h"

namespace vellora {

namespace {

void writePair(std::string& text, const char* label, double first, double second) {
    appendFormatted(text, "%-31s,%s * %s\n", label, formatDecimal(first).c_str(),
                    formatDecimal(second).c_str());
}

void writeNames(std::string& text, const SheetDesign& design) {
    text += "\ntile colors as follows:\n";
    text += "index  ,count  ,code   ,name\n";
    for (const SheetEntry* entry : design.usedEntries())
        appendFormatted(text, "%7d,%7lld,%-7s,%s\n", entry->index,
                        static_cast<long long>(entry->count), entry->code.c_str(),
                        entry->name.c_str());
}

} // namespace

bool sheetSummaryShown(const DesignSettings& settings) {
    const DesignSettings defaults;
    return !settings.tileLinePath.empty() || settings.tileWidthMm != defaults.tileWidthMm ||
           settings.tileHeightMm != defaults.tileHeightMm || settings.groutMm != defaults.groutMm;
}

std::string sheetSummaryText(const SheetDesign& design, const DesignSettings& settings) {
    const FinishedSize size = finishedSize(design.columns, design.rows, settings);
    std::string text = "\nbuild sheet as follows:\n";
    writePair(text, "tile mm width * height", settings.tileWidthMm, settings.tileHeightMm);
    appendFormatted(text, "%-31s,%s\n", "grout mm", formatDecimal(settings.groutMm).c_str());
    writePair(text, "finished mm width * height", size.widthMm, size.heightMm);
    writePair(text, "finished cm width * height", size.widthMm / 10, size.heightMm / 10);
    if (!settings.tileLinePath.empty()) writeNames(text, design);
    return text;
}

} // namespace vellora
