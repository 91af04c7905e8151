#pragma once
// The build sheet's files for the current picture: its tiling table, named by the session's
// tile line and measured by its design settings. Every file is written whole or not at all.
#include "core/session.h"
#include "sheet/tileLine.h"

#include <filesystem>
#include <optional>
#include <string>

namespace vellora {

enum class ChartFormat { pdf, svg };

// By the extension, in any case: ".pdf" or ".svg"; nothing for any other name.
std::optional<ChartFormat> chartFormatOf(const std::filesystem::path& path);

// Reads the tile line the design settings name (none when the path is empty). 0, or 1 after
// the file's message; `line` is left as it was then.
int loadDesignTileLine(Session& session, std::optional<TileLine>& line);

// The tiling takes the tile line's colours in file order, and never one out of stock (their
// indices join the excluded ones).
void useTileLine(Session& session, const TileLine& line);

// 0, or 1 after the failure's messages ("failed to save the chart" /
// "failed to save the shopping list" last); an existing file stays as it was on failure.
int saveChart(Session& session, const std::filesystem::path& path);
int saveShoppingList(Session& session, const std::filesystem::path& path);

// The build sheet's lines for the table pane (sheet/sheetSummary.h). 0, or 1 after the
// failure's messages with `text` empty.
int sheetSummary(Session& session, std::string& text);

} // namespace vellora
