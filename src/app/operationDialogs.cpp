#include "app/operationDialogs.h"

namespace vellora::app {

void registerOperationDialogs() {
    registerTilingDialogs();
    registerColorDialogs();
    registerToneDialogs();
    registerFilterDialogs();
    registerGeometryDialogs();
}

} // namespace vellora::app
