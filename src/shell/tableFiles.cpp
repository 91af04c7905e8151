#include "shell/tableFiles.h"

#include "core/errors.h"
#include "tiling/expressTable.h"
#include "tiling/saveTableCsv.h"

namespace vellora {

int writeTilingTableText(Session& session, const std::string& path) {
    return saveTilingTableText(session, path);
}

int writeTilingTableCsv(Session& session, const std::string& path) {
    return saveTilingTableCsv(session, path) == 0 ? 0 : kFailed;
}

} // namespace vellora
