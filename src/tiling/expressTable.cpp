#include "tiling/expressTable.h"

#include "core/errors.h"
#include "core/progress.h"
#include "tiling/tableCsv.h"
#include "tiling/tableText.h"
#include "tiling/textFormat.h"
#include "tiling/tileColorMapping.h"

#include <new>

namespace vellora {

namespace {

int readTableFromPicture(Session& session, TilingTable& table) {
    DibImage& picture = session.sourceImage;
    if (readBitmapFile(session.frontend, session.currentPath, picture) != 0) return kFailed;
    if (checkTilingLayout(session.frontend, session.workingBlock, picture.width, picture.height))
        return kFailed;
    const TileGeometry geometry =
        computeTileGeometry(session.workingBlock, picture.width, picture.height);
    if (allocateTilingTable(session.frontend, table, picture, geometry) != 0) return kFailed;
    extractTilingTable(session, table, picture, pictureColorMapping(picture));
    return 0;
}

} // namespace

int buildTilingTable(Session& session, TilingTable& table) {
    showProgressFromZero(session);
    const int result = readTableFromPicture(session, table);
    session.sourceImage.release();
    session.frontend.setProgressVisible(false);
    if (result != 0) table.header.release();
    return result;
}

int expressTilingTable(Session& session, std::string& text) {
    text.clear();
    TilingTable table;
    if (buildTilingTable(session, table) != 0) {
        showError(session.frontend, "failed to get tiling table");
        return kFailed;
    }
    try {
        writeTableHeaderText(text, table, sourceFileName(session.picturePath));
        showProgressFromZero(session);
        if (table.header.isIndexed())
            writeIndexTableText(session, text, table);
        else
            writeColorTableText(session, text, table);
    } catch (const std::bad_alloc&) {
        text.clear();
        session.frontend.setProgressVisible(false);
        reportError(session.frontend, kErrorAllocate);
        showError(session.frontend, "failed to get tiling table");
        return kFailed;
    }
    session.frontend.setProgressVisible(false);
    return 0;
}

int saveTilingTableText(Session& session, const std::filesystem::path& path) {
    std::string text;
    if (expressTilingTable(session, text) != 0) return kFailed;
    if (replaceFileContents(path, text)) return 0;
    reportError(session.frontend, kErrorCreate);
    return kFailed;
}

} // namespace vellora
