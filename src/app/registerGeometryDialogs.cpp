#include "app/dialogRegistry.h"
#include "app/operationDialogs.h"
#include "shell/commandTable.h"

namespace vellora::app {

// Until a command of this family has its dialog, it runs from the working block as it is.
void registerGeometryDialogs() {}

} // namespace vellora::app
