#pragma once
// The dispatcher's services wired to the modules of this build: picture import and export,
// quarter turns and flips, the tiling table, the build sheet, the parameter merge and every
// operation handler.
#include "shell/dispatcher.h"

namespace vellora {

// Everything but saveParameterFile, which needs the main window's rectangle, and
// keepSheetSettings, which needs the settings file's place.
ShellServices defaultShellServices();

} // namespace vellora
