#pragma once
// The SaveAs CSV File command: the tiling table of the current picture as a CSV file.
#include "core/session.h"

#include <filesystem>

namespace vellora {

// 0 when written; 1 when the table could not be built (no file is touched); 2 when the file
// could not be written (an existing file of that name stays as it was). Both failures show
// "failed to save tiling table as csv file" after their own message.
int saveTilingTableCsv(Session& session, const std::filesystem::path& path);

} // namespace vellora
