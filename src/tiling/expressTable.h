#pragma once
// The Express Table command: the tiling table of the current picture, under the current tiling
// parameters, as the text the table pane shows (and vellora-cli --table writes).
#include "core/session.h"
#include "tiling/tilingTable.h"

#include <filesystem>
#include <string>

namespace vellora {

// Reads the current intermediate file and builds its table: geometry from the working block
// and the picture's size, header and colour table, grid and slit entries. Shows the progress bar
// while it runs and hides it after. 0, or 1 after the failure's own message (the caller adds
// the command's).
int buildTilingTable(Session& session, TilingTable& table);

// Empties `text` and writes the whole table into it. 0, or 1 after "failed to get tiling table"
// with `text` left empty.
int expressTilingTable(Session& session, std::string& text);

// The Express Table text written to a file (replaced whole, or left as it was on failure).
// 0, or 1 after the failure's messages.
int saveTilingTableText(Session& session, const std::filesystem::path& path);

} // namespace vellora
