#include "tiling/saveTableCsv.h"

#include "core/errors.h"
#include "core/progress.h"
#include "tiling/expressTable.h"
#include "tiling/tableCsv.h"
#include "tiling/textFormat.h"

#include <new>

namespace vellora {

namespace {

constexpr std::string_view kFailure = "failed to save tiling table as csv file";

bool writeCsvText(Session& session, const TilingTable& table, std::string& csv) {
    try {
        writeCsvHeader(csv, table, sourceFileName(session.picturePath));
        showProgressFromZero(session);
        if (table.header.isIndexed())
            writeIndexTableCsv(session, csv, table);
        else
            writeColorTableCsv(session, csv, table);
    } catch (const std::bad_alloc&) {
        session.frontend.setProgressVisible(false);
        reportError(session.frontend, kErrorAllocate);
        return false;
    }
    session.frontend.setProgressVisible(false);
    return true;
}

} // namespace

int saveTilingTableCsv(Session& session, const std::filesystem::path& path) {
    TilingTable table;
    if (buildTilingTable(session, table) != 0) {
        showError(session.frontend, kFailure);
        return kFailed;
    }
    std::string csv;
    if (!writeCsvText(session, table, csv) || !replaceFileContents(path, csv)) {
        showError(session.frontend, kFailure);
        return 2;
    }
    return 0;
}

} // namespace vellora
