#include "core/rowBands.h"

#include "core/parallel.h"
#include "core/progress.h"

#include <algorithm>
#include <cstdint>

namespace vellora {

namespace {
constexpr int kMinRowsPerWorker = 16;
} // namespace

int rowWorkerCount(int rows) {
    return std::clamp(rows / kMinRowsPerWorker, 1, workerThreadCount());
}

namespace {
void runBands(int start, int count, int workers, const RowBandBody& body) {
    const int bands = std::max(1, std::min(workers, count));
    parallelRows(
        bands,
        [&](int firstBand, int endBand) {
            for (int b = firstBand; b < endBand; ++b)
                body(b, start + int(std::int64_t(count) * b / bands),
                     start + int(std::int64_t(count) * (b + 1) / bands));
        },
        1);
}
} // namespace

void forRowBands(int rows, int workers, const RowBandBody& body) {
    if (rows > 0) runBands(0, rows, workers, body);
}

void forRowsWithProgress(Session& session, int rows, int workers, const RowBandBody& body) {
    // A slice of rows / 100 rows moves the truncated percentage by at most one, so the bar shows
    // the same positions as a per-row advance would.
    const int slice = std::max(1, rows / 100);
    for (int start = 0; start < rows; start += slice) {
        const int count = std::min(slice, rows - start);
        runBands(start, count, workers, body);
        progressAdvanceBy(session, count);
    }
}

} // namespace vellora
