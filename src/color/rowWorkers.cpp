#include "color/rowWorkers.h"

#include "core/parallel.h"
#include "core/progress.h"

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

namespace vellora {

namespace {
constexpr int kMinRowsPerBand = 16;

int percentAfter(int done, int rows) {
    return int(double(done) / double(rows) * 100);
}
} // namespace

int colorRowWorkers(int rows) {
    return std::clamp(rows / kMinRowsPerBand, 1, workerThreadCount());
}

void runColorRows(int rows, int workers, const ColorRowBody& body) {
    if (rows <= 0) return;
    workers = std::clamp(workers, 1, rows);
    if (workers == 1) {
        body(0, 0, rows);
        return;
    }
    const auto bandStart = [&](int w) { return int(std::int64_t(rows) * w / workers); };
    // One band per worker number, so each band has its own scratch.
    parallelRows(
        workers,
        [&](int firstWorker, int endWorker) {
            for (int w = firstWorker; w < endWorker; ++w)
                body(w, bandStart(w), bandStart(w + 1));
        },
        1);
}

void runColorRowsWithProgress(Session& session, int rows, int workers, const ColorRowBody& body) {
    for (int begin = 0; begin < rows;) {
        int end = begin + 1;
        while (end < rows && percentAfter(end + 1, rows) == percentAfter(begin + 1, rows))
            ++end;
        runColorRows(end - begin, workers,
                     [&](int worker, int b, int e) { body(worker, begin + b, begin + e); });
        progressAdvanceBy(session, end - begin);
        begin = end;
    }
}

} // namespace vellora
