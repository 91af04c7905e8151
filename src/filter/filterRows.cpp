#include "filter/filterRows.h"

#include "core/parallel.h"
#include "core/pixelAccess.h"
#include "core/progress.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <thread>

namespace vellora {

void readPaddedColors(const DibImage& source, int y, int half, std::uint8_t* out) {
    const std::size_t width = std::size_t(source.width);
    readRowColors(source, y, out + 3 * std::size_t(half));
    const std::uint8_t* first = out + 3 * std::size_t(half);
    const std::uint8_t* last = first + 3 * (width - 1);
    std::uint8_t* right = out + 3 * (std::size_t(half) + width);
    for (int i = 0; i < half; ++i) {
        std::memcpy(out + 3 * std::size_t(i), first, 3);
        std::memcpy(right + 3 * std::size_t(i), last, 3);
    }
}

int rowBandScratchCount() {
    return workerThreadCount();
}

void runRowBands(Session& session, int rows, int scratchCount,
                 const std::function<void(int y, int scratchIndex)>& rowBody) {
    progressBegin(session, rows);
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<int> nextScratch{0};
    int reported = 0;
    parallelRows(rows, [&](int begin, int end) {
        // parallelRows never makes more bands than workerThreadCount(), the scratch count.
        const int index = std::min(nextScratch.fetch_add(1), scratchCount - 1);
        const bool reports = std::this_thread::get_id() == caller;
        const std::int64_t bandRows = end - begin;
        for (int y = begin; y < end; ++y) {
            rowBody(y, index);
            if (!reports) continue;
            // The calling thread's share of the work stands for the whole picture.
            const int due = int(std::int64_t(y - begin + 1) * rows / bandRows);
            progressAdvanceBy(session, due - reported);
            reported = due;
        }
    });
    progressAdvanceBy(session, rows - reported);
}

} // namespace vellora
