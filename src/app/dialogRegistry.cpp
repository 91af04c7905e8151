#include "app/dialogRegistry.h"

namespace vellora::app {

namespace {
std::map<int, DialogFactory>& registry() {
    static std::map<int, DialogFactory> factories;
    return factories;
}
} // namespace

void registerDialog(int commandId, DialogFactory factory) {
    registry()[commandId] = std::move(factory);
}

std::map<int, DialogFactory> dialogFactories() {
    return registry();
}

} // namespace vellora::app
