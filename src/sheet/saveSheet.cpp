#include "sheet/saveSheet.h"

#include "core/atomicFile.h"
#include "core/errors.h"
#include "sheet/chartPdf.h"
#include "sheet/chartSvg.h"
#include "sheet/sheetSummary.h"
#include "sheet/shoppingList.h"
#include "tiling/expressTable.h"
#include "tiling/textFormat.h"

#include <algorithm>
#include <new>

namespace vellora {

namespace {

constexpr std::string_view kChartFailure = "failed to save the chart";
constexpr std::string_view kShoppingFailure = "failed to save the shopping list";

// A file's contents made from the sheet design; empty, with `error` set, when it failed.
using SheetWriter = std::string (*)(const SheetDesign&, const DesignSettings&, std::string&);

std::string svgWriter(const SheetDesign& design, const DesignSettings& settings, std::string&) {
    return chartSvg(design, settings);
}

std::string shoppingWriter(const SheetDesign& design, const DesignSettings& settings,
                           std::string&) {
    return shoppingListCsv(design, settings);
}

std::string summaryWriter(const SheetDesign& design, const DesignSettings& settings, std::string&) {
    return sheetSummaryText(design, settings);
}

// The current picture's table named by the design's tile line and written out; false after the
// failure's own message.
bool makeContents(Session& session, SheetWriter writer, std::string& contents) {
    std::optional<TileLine> line;
    if (loadDesignTileLine(session, line) != 0) return false;
    TilingTable table;
    if (buildTilingTable(session, table) != 0) return false;
    try {
        SheetDesign design = makeSheetDesign(table, line ? &*line : nullptr);
        design.title = sourceFileName(session.picturePath);
        std::string error;
        contents = writer(design, session.design, error);
        if (contents.empty()) session.frontend.showMessage("error", error);
        return !contents.empty();
    } catch (const std::bad_alloc&) {
        reportError(session.frontend, kErrorAllocate);
        return false;
    }
}

int saveSheetFile(Session& session, const std::filesystem::path& path, SheetWriter writer,
                  std::string_view failure) {
    std::string contents;
    bool saved = makeContents(session, writer, contents);
    if (saved) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(contents.data());
        const AtomicFileFailure written = writeFileAtomically(path, {bytes, contents.size()});
        if (written != AtomicFileFailure::none) reportWriteFailure(session.frontend, written);
        saved = written == AtomicFileFailure::none;
    }
    if (!saved) showError(session.frontend, failure);
    return saved ? 0 : kFailed;
}

} // namespace

std::optional<ChartFormat> chartFormatOf(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::ranges::transform(extension, extension.begin(),
                           [](unsigned char c) { return char(std::tolower(c)); });
    if (extension == ".pdf") return ChartFormat::pdf;
    if (extension == ".svg") return ChartFormat::svg;
    return std::nullopt;
}

int loadDesignTileLine(Session& session, std::optional<TileLine>& line) {
    if (session.design.tileLinePath.empty()) return 0;
    TileLine read;
    std::string error;
    if (!loadTileLine(session.design.tileLinePath, read, error)) {
        session.frontend.showMessage("error", error);
        return kFailed;
    }
    line = std::move(read);
    return 0;
}

void useTileLine(Session& session, const TileLine& line) {
    session.designPalette.colors.clear();
    std::vector<int>& excluded = session.design.excluded;
    for (std::size_t i = 0; i < line.colors.size(); ++i) {
        const auto& rgb = line.colors[i].rgb;
        session.designPalette.colors.push_back({rgb[2], rgb[1], rgb[0]});
        if (!line.colors[i].inStock && std::ranges::find(excluded, int(i)) == excluded.end())
            excluded.push_back(int(i));
    }
}

int saveChart(Session& session, const std::filesystem::path& path) {
    const SheetWriter writer = chartFormatOf(path) == ChartFormat::svg ? svgWriter : chartPdf;
    return saveSheetFile(session, path, writer, kChartFailure);
}

int saveShoppingList(Session& session, const std::filesystem::path& path) {
    return saveSheetFile(session, path, shoppingWriter, kShoppingFailure);
}

int sheetSummary(Session& session, std::string& text) {
    if (makeContents(session, summaryWriter, text)) return 0;
    text.clear();
    return kFailed;
}

} // namespace vellora
