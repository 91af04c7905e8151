#pragma once
// The dispatcher's services wired to the modules of this build: picture import and export,
// quarter turns and flips, the tiling table, the parameter merge and every operation handler.
#include "shell/dispatcher.h"

namespace vellora {

// Everything but saveParameterFile, which needs the main window's rectangle.
ShellServices defaultShellServices();

} // namespace vellora
