#pragma once
// The parameter block a command-line run works with: the fresh block's defaults, or the block
// of the --par file, then every --set in the order given.
#include "cli/commandLine.h"
#include "core/session.h"

#include <string>

namespace vellora::cli {

// Fills the session's working (and saved) block. False with the reason for a usage error: a
// parameter file that cannot be read, an unknown field name, a value outside its range.
bool prepareParameterBlock(Session& session, const CliRequest& request, std::string& error);

} // namespace vellora::cli
