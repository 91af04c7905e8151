#include "core/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
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

} // namespace
} // namespace vellora
