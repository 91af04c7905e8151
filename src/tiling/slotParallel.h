#pragma once
// Work items spread over the worker threads with one scratch slot per thread: every slot's
// scratch is made before any thread starts, so no allocation happens in a worker.
#include <functional>

namespace vellora {

// The number of scratch slots to make for runInSlots.
int workerSlotCount();

// Runs work(slot, begin, end) over items [0, count) in groups of at most groupSize items; each
// group is split over `slots` slots that run at the same time, and afterGroup(items) runs on
// the calling thread once a group is done (progress is reported there).
void runInSlots(int count, int groupSize, int slots,
                const std::function<void(int slot, int begin, int end)>& work,
                const std::function<void(int items)>& afterGroup);

} // namespace vellora
