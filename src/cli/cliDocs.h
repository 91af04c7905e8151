#pragma once
// The manual page and the bash completion of vellora-cli, made at build time from the same
// option tables, command registry and field table the program parses with.
#include <string>

namespace vellora::cli {

std::string manPage();        // roff, for man(1)
std::string bashCompletion(); // a script defining _vellora_cli and completing vellora-cli

} // namespace vellora::cli
