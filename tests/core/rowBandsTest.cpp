#include "core/progress.h"
#include "core/rowBands.h"
#include "support/recordingFrontend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace vellora {
namespace {

struct Call {
    int worker, begin, end;
};

std::vector<Call> runPass(int rows, int workers, std::vector<int>& positions) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    std::mutex mutex;
    std::vector<Call> calls;
    progressBegin(session, rows);
    forRowsWithProgress(session, rows, workers, [&](int worker, int begin, int end) {
        const std::lock_guard lock(mutex);
        calls.push_back({worker, begin, end});
    });
    EXPECT_EQ(session.progress.progressNow, rows);
    positions = frontend.progressPositions;
    return calls;
}

// Each worker walks one contiguous band in slices of at most one percent; together they cover
// every row once, and the bar rises a percent per report (two where the truncated percentage
// of a whole slice itself jumps, as 290 / 1000 × 100 falls just short of 29).
TEST(RowBands, ProgressPassGivesEachWorkerOneBandAndMovesTheBarAPercentAtATime) {
    for (const auto& [rows, workers] : {std::pair{1000, 2}, {1000, 1}, {7, 2}, {333, 3}}) {
        SCOPED_TRACE(std::to_string(rows) + " rows, " + std::to_string(workers) + " workers");
        std::vector<int> positions;
        const std::vector<Call> calls = runPass(rows, workers, positions);
        std::vector<int> seen(std::size_t(rows), 0);
        std::vector<int> nextRow(std::size_t(workers), -1);
        for (const Call& call : calls) {
            ASSERT_GE(call.worker, 0);
            ASSERT_LT(call.worker, workers);
            EXPECT_LE(call.end - call.begin, std::max(1, rows / 100));
            int& expected = nextRow[std::size_t(call.worker)];
            if (expected >= 0) {
                EXPECT_EQ(call.begin, expected) << "band not walked in order";
            }
            expected = call.end;
            for (int r = call.begin; r < call.end; ++r)
                ++seen[std::size_t(r)];
        }
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), rows);
        ASSERT_FALSE(positions.empty());
        EXPECT_EQ(positions.back(), 100);
        for (std::size_t i = 1; i < positions.size(); ++i) {
            EXPECT_GE(positions[i], positions[i - 1]);
            EXPECT_LE(positions[i] - positions[i - 1], rows >= 100 ? 2 : 100);
        }
    }
}

} // namespace
} // namespace vellora
