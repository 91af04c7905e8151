#pragma once
// The tiling table of the current (tiled) picture written to a file, for the front ends.
#include "core/session.h"

#include <string>

namespace vellora {

// As Express Table shows it. 0 or 1 after the failure's message.
int writeTilingTableText(Session& session, const std::string& path);
// As SaveAs CSV File writes it. 0 or 1 after the failure's message.
int writeTilingTableCsv(Session& session, const std::string& path);

} // namespace vellora
