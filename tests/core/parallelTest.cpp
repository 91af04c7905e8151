#include "core/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace vellora {
namespace {

class ThreadsVariable {
public:
    explicit ThreadsVariable(const char* value) {
        if (const char* old = std::getenv("VELLORA_THREADS")) saved_ = old, had_ = true;
        if (value) setenv("VELLORA_THREADS", value, 1);
        else unsetenv("VELLORA_THREADS");
    }
    ~ThreadsVariable() {
        if (had_) setenv("VELLORA_THREADS", saved_.c_str(), 1);
        else unsetenv("VELLORA_THREADS");
    }

private:
    std::string saved_;
    bool had_ = false;
};

TEST(Parallel, ThreadCountFollowsTheVariable) {
    {
        ThreadsVariable v("3");
        EXPECT_EQ(workerThreadCount(), 3);
    }
    {
        ThreadsVariable v("0"); // not a usable count: the machine's cores
        EXPECT_GE(workerThreadCount(), 1);
    }
    {
        ThreadsVariable v("junk");
        EXPECT_GE(workerThreadCount(), 1);
    }
}

struct BandCase {
    const char* threads;
    int rows;
    int minRowsPerBand;
};

class ParallelRowsTest : public ::testing::TestWithParam<BandCase> {};

TEST_P(ParallelRowsTest, EveryRowExactlyOnceInContiguousBands) {
    const BandCase c = GetParam();
    ThreadsVariable v(c.threads);
    std::vector<std::atomic<int>> visits(std::size_t(std::max(c.rows, 0)));
    std::atomic<int> bands{0};
    parallelRows(
        c.rows,
        [&](int begin, int end) {
            ASSERT_LE(begin, end);
            bands += 1;
            for (int y = begin; y < end; ++y) visits[std::size_t(y)] += 1;
        },
        c.minRowsPerBand);
    for (int y = 0; y < c.rows; ++y) ASSERT_EQ(visits[std::size_t(y)].load(), 1) << y;
    EXPECT_LE(bands.load(), std::max(1, std::atoi(c.threads)));
    if (c.rows <= 0) {
        EXPECT_EQ(bands.load(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ParallelRowsTest,
                         ::testing::Values(BandCase{"1", 100, 16}, BandCase{"2", 100, 16},
                                           BandCase{"4", 7, 1}, BandCase{"8", 5, 16},
                                           BandCase{"3", 1, 1}, BandCase{"2", 0, 16},
                                           BandCase{"2", -3, 16}));

// Many jobs in a row on the same threads, bands that split again, and a caller's band that
// throws: every row is still visited once, the exception reaches the caller only after the
// other bands are done, and the threads serve the next job.
TEST(Parallel, RepeatedNestedAndFailingJobs) {
    ThreadsVariable v("3");
    for (int job = 0; job < 50; ++job) {
        std::vector<std::atomic<int>> visits(97);
        parallelRows(
            97,
            [&](int begin, int end) {
                parallelRows(
                    end - begin,
                    [&](int b, int e) {
                        for (int y = begin + b; y < begin + e; ++y) visits[std::size_t(y)] += 1;
                    },
                    1);
            },
            1);
        for (std::size_t y = 0; y < visits.size(); ++y) ASSERT_EQ(visits[y].load(), 1) << job;
    }
    std::atomic<int> othersDone{0};
    EXPECT_THROW(parallelRows(
                     30,
                     [&](int begin, int) {
                         if (begin == 0) throw std::runtime_error("band 0");
                         othersDone += 1;
                     },
                     1),
                 std::runtime_error);
    EXPECT_EQ(othersDone.load(), 2);
    std::atomic<int> rows{0};
    parallelRows(30, [&](int begin, int end) { rows += end - begin; }, 1);
    EXPECT_EQ(rows.load(), 30);
}

} // namespace
} // namespace vellora
