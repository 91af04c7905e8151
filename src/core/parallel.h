#pragma once
// Splitting rows over the cores. Bands are contiguous row ranges and every row is computed the
// same way whatever band it falls in, so results never depend on the thread count.
#include <functional>

namespace vellora {

// The number of threads operations use: VELLORA_THREADS when set to a positive number,
// otherwise the machine's cores.
int workerThreadCount();

// Runs body(begin, end) over [0, rows) in at most workerThreadCount() bands; returns when all
// are done. `minRowsPerBand` keeps small pictures on one thread.
void parallelRows(int rows, const std::function<void(int begin, int end)>& body,
                  int minRowsPerBand = 16);

} // namespace vellora
