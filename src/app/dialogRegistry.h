#pragma once
// Which dialog each command opens. A dialog's file registers its factory here, once, before the
// main window is made; a command without one runs its handler from the working block as it is.
#include "app/mainWindow.h"

#include <map>

namespace vellora::app {

// Replaces any earlier factory of the command.
void registerDialog(int commandId, DialogFactory factory);
// Every registered factory by command id.
std::map<int, DialogFactory> dialogFactories();

} // namespace vellora::app
