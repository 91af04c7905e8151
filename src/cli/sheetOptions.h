#pragma once
// The build sheet on the command line: the tile line, the real sizes and buying rules, and the
// chart and shopping list files, written like every output only when every step succeeded.
#include "core/session.h"

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vellora::cli {

struct SheetRequest {
    // The sheet fields given, by name, with their checked values, in the order given.
    std::vector<std::pair<std::string, std::string>> fields;
    std::vector<std::string> charts; // --chart, a PDF and/or an SVG
    std::string shopping;            // --shopping; empty for none
};

enum class SheetOption { notSheet, taken, refused };

// Takes `option` and its value (arguments[next], next advanced) when it is a sheet option.
// `refused` sets the reason in `error`.
SheetOption takeSheetOption(std::string_view option, std::span<const std::string> arguments,
                            std::size_t& next, SheetRequest& sheet, std::string& error);

// Why the sheet's files cannot be written (checked before the input is opened); empty when
// they can.
std::string sheetOutputRefusal(const SheetRequest& sheet, const std::string& input);

// The sheet fields given into the session's design settings (the others keep theirs), and the
// tile line, when there is one, as the tiling's palette. 0, or 1 after the tile line's message.
int prepareSheet(Session& session, const SheetRequest& sheet);

// The charts, then the shopping list. 0, or 1 after the failure's messages.
int writeSheetOutputs(Session& session, const SheetRequest& sheet);

// "--tiles FILE" and its line of help, for every sheet option.
std::vector<std::pair<std::string, std::string>> sheetOptionHelp();

} // namespace vellora::cli
