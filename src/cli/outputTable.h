#pragma once
// The files the command line writes once every step has succeeded, one row per option. Each
// row checks its path before anything runs and writes its file from the finished session.
#include "core/session.h"

#include <span>
#include <string>
#include <string_view>

namespace vellora::cli {

struct CliOutput {
    std::string_view option;   // "-o"
    std::string_view argument; // "OUTPUT", for the usage line
    std::string_view help;     // one line for --help
    // Why `path` cannot be written, checked before the input is opened; empty when it can.
    // The folder's existence and the path's length are checked for every row already.
    std::string (*refusal)(const std::string& path);
    // Writes the file; 0, or 1 after the failure's own messages.
    int (*write)(Session& session, const std::string& path);
};

// In the order the outputs are written.
std::span<const CliOutput> cliOutputs();
const CliOutput* findCliOutput(std::string_view option);

} // namespace vellora::cli
