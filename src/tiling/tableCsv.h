#pragma once
// The tiling table as a CSV file: the sections of the text form with unpadded comma-separated
// fields, line feeds only, nothing quoted.
#include "core/session.h"
#include "tiling/tilingTable.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace vellora {

void writeCsvHeader(std::string& csv, const TilingTable& table, std::string_view sourceFile);
// Progress: the palette length in units, then tileRows units.
void writeIndexTableCsv(Session& session, std::string& csv, const TilingTable& table);
// Progress: tileRows units.
void writeColorTableCsv(Session& session, std::string& csv, const TilingTable& table);

// Writes `contents` to path through a temporary file in the same folder that is then renamed
// over it, so an existing file is either replaced whole or left as it was. false on any failure
// (nothing is left behind).
bool replaceFileContents(const std::filesystem::path& path, std::string_view contents);

} // namespace vellora
