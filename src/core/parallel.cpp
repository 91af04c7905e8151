#include "core/parallel.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace vellora {

int workerThreadCount() {
    if (const char* text = std::getenv("VELLORA_THREADS")) {
        const int value = std::atoi(text);
        if (value > 0) return std::min(value, 64);
    }
    return std::max(1u, std::thread::hardware_concurrency());
}

namespace {

// Threads that stay for the life of the process, so that an operation cut into a hundred
// progress slices does not start and join threads a hundred times. One job at a time: a caller
// that finds the pool busy (another thread's job, or a band that splits again) starts threads
// of its own as before.
class WorkerPool {
  public:
    ~WorkerPool() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (std::thread& t : threads_) t.join();
    }

    // Runs body over every band; false (nothing run) when the pool is busy or has no threads.
    bool run(int rows, int bands, const std::function<void(int, int)>& body) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (busy_ || !haveThreads(bands - 1)) return false;
            busy_ = true;
            body_ = &body;
            rows_ = rows;
            bands_ = bands;
            nextBand_ = 1;
            unfinished_ = bands - 1;
            posted_.fetch_add(1, std::memory_order_release);
        }
        wake_.notify_all();
        // The caller always works on band 0 itself, as with threads of its own: passes that
        // report progress from the calling thread count on seeing exactly one band.
        try {
            body(0, int(std::int64_t(rows) / bands));
        } catch (...) {
            finish(); // the threads still use body: they must be done before it goes
            throw;
        }
        finish();
        return true;
    }

  private:
    // Waits for the other bands and frees the pool for the next job.
    void finish() {
        spinWhile([&] { return unfinished_.load(std::memory_order_acquire) != 0; });
        std::unique_lock<std::mutex> lock(mutex_);
        finished_.wait(lock, [&] { return unfinished_ == 0; });
        busy_ = false;
        body_ = nullptr;
    }

    bool haveThreads(int wanted) {
        try {
            while (int(threads_.size()) < wanted) threads_.emplace_back([this] { serve(); });
        } catch (const std::system_error&) {
            return false;
        }
        return true;
    }

    // Takes bands 1 … bands − 1 until none is left.
    void workOnBands() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (body_ && nextBand_ < bands_) {
            const int band = nextBand_++;
            const auto start = [&](int b) { return int(std::int64_t(rows_) * b / bands_); };
            const int begin = start(band), end = start(band + 1);
            const std::function<void(int, int)>& body = *body_;
            lock.unlock();
            body(begin, end);
            lock.lock();
            if (--unfinished_ == 0) finished_.notify_all();
        }
    }

    // Waking a sleeping thread can take as long as a short slice of rows, so both sides look
    // for a while before they sleep.
    template <class Condition> static void spinWhile(Condition condition) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(200);
        while (condition() && std::chrono::steady_clock::now() < until) std::this_thread::yield();
    }

    void serve() {
        std::uint64_t seen = 0;
        while (true) {
            spinWhile([&] { return posted_.load(std::memory_order_acquire) == seen; });
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [&] { return stopping_ || (body_ && nextBand_ < bands_); });
                if (stopping_) return;
                seen = posted_.load(std::memory_order_relaxed);
            }
            workOnBands();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_, finished_;
    std::vector<std::thread> threads_;
    const std::function<void(int, int)>* body_ = nullptr;
    int rows_{}, bands_{}, nextBand_{};
    std::atomic<int> unfinished_{};
    std::atomic<std::uint64_t> posted_{};
    bool busy_ = false, stopping_ = false;
};

WorkerPool& workerPool() {
    static WorkerPool pool;
    return pool;
}

// Bands no thread can be had for run on the calling thread after band 0.
void runOnNewThreads(int rows, int bands, const std::function<void(int, int)>& body) {
    std::vector<std::thread> threads;
    const auto bandStart = [&](int b) { return int(std::int64_t(rows) * b / bands); };
    int started = 1;
    try {
        threads.reserve(std::size_t(bands - 1));
        for (; started < bands; ++started)
            threads.emplace_back([&, b = started] { body(bandStart(b), bandStart(b + 1)); });
    } catch (const std::exception&) {
        // No thread, or no room to keep one: the rest run below.
    }
    body(0, bandStart(1));
    for (int b = started; b < bands; ++b)
        body(bandStart(b), bandStart(b + 1));
    for (auto& t : threads) t.join();
}

} // namespace

void parallelRows(int rows, const std::function<void(int begin, int end)>& body,
                  int minRowsPerBand) {
    if (rows <= 0) return;
    const int bands = std::clamp(rows / std::max(1, minRowsPerBand), 1, workerThreadCount());
    if (bands == 1) {
        body(0, rows);
        return;
    }
    if (!workerPool().run(rows, bands, body)) runOnNewThreads(rows, bands, body);
}

} // namespace vellora
