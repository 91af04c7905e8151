#include "core/rowBands.h"

#include "core/parallel.h"
#include "core/progress.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>
#include <thread>

namespace vellora {

namespace {
constexpr int kMinRowsPerWorker = 16;
} // namespace

int rowWorkerCount(int rows) {
    return std::clamp(rows / kMinRowsPerWorker, 1, workerThreadCount());
}

bool WorkerRows::allocate(int workers, std::size_t rowBytes, int rowsEach) {
    rowBytes_ = rowBytes;
    rowsEach_ = std::size_t(rowsEach);
    try {
        bytes_.assign(std::size_t(workers) * rowsEach_ * rowBytes, {});
    } catch (const std::bad_alloc&) {
        bytes_.clear();
        return false;
    }
    return true;
}

std::uint8_t* WorkerRows::row(int worker, int k) {
    return bytes_.data() + (std::size_t(worker) * rowsEach_ + std::size_t(k)) * rowBytes_;
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

// Each worker runs one contiguous band, a slice at a time, and counts the rows it has done;
// the calling thread (which runs band 0) reports the count of all of them after each of its
// slices and once more at the end. Reports go out a slice at a time at most, so the truncated
// percentage still moves by at most one per report: the bar shows the same positions as a
// per-row advance would. One hand-out per pass instead of one per slice, and every band
// keeps its rows' caches warm.
void forRowsWithProgress(Session& session, int rows, int workers, const RowBandBody& body) {
    const int slice = std::max(1, rows / 100);
    const int bands = std::max(1, std::min(workers, rows));
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<int> done{0};
    int reported = 0;
    const auto report = [&] {
        const int now = done.load(std::memory_order_acquire);
        for (; reported < now; reported += std::min(slice, now - reported))
            progressAdvanceBy(session, std::min(slice, now - reported));
    };
    const auto runBand = [&](int band) {
        const int begin = int(std::int64_t(rows) * band / bands);
        const int end = int(std::int64_t(rows) * (band + 1) / bands);
        for (int start = begin; start < end; start += slice) {
            const int stop = std::min(end, start + slice);
            body(band, start, stop);
            done.fetch_add(stop - start, std::memory_order_release);
            if (std::this_thread::get_id() == caller) report();
        }
    };
    if (bands == 1) {
        runBand(0);
    } else {
        parallelRows(
            bands,
            [&](int firstBand, int endBand) {
                for (int band = firstBand; band < endBand; ++band)
                    runBand(band);
            },
            1);
    }
    report();
}

} // namespace vellora
