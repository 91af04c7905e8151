#include "tiling/slotParallel.h"

#include "core/parallel.h"

#include <algorithm>
#include <cstdint>

namespace vellora {

int workerSlotCount() {
    return std::max(1, workerThreadCount());
}

void runInSlots(int count, int groupSize, int slots,
                const std::function<void(int slot, int begin, int end)>& work,
                const std::function<void(int items)>& afterGroup) {
    groupSize = std::max(1, groupSize);
    slots = std::max(1, slots);
    for (int first = 0; first < count; first += groupSize) {
        const int items = std::min(groupSize, count - first);
        const auto itemStart = [&](int slot) {
            return first + int(std::int64_t(items) * slot / slots);
        };
        parallelRows(
            slots,
            [&](int slotBegin, int slotEnd) {
                for (int slot = slotBegin; slot < slotEnd; ++slot)
                    if (itemStart(slot) < itemStart(slot + 1))
                        work(slot, itemStart(slot), itemStart(slot + 1));
            },
            1);
        afterGroup(items);
    }
}

} // namespace vellora
