#include "core/parallel.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
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

void parallelRows(int rows, const std::function<void(int begin, int end)>& body,
                  int minRowsPerBand) {
    if (rows <= 0) return;
    const int bands = std::clamp(rows / std::max(1, minRowsPerBand), 1, workerThreadCount());
    if (bands == 1) {
        body(0, rows);
        return;
    }
    std::vector<std::thread> threads;
    threads.reserve(std::size_t(bands - 1));
    const auto bandStart = [&](int b) { return int(std::int64_t(rows) * b / bands); };
    for (int b = 1; b < bands; ++b)
        threads.emplace_back([&, b] { body(bandStart(b), bandStart(b + 1)); });
    body(0, bandStart(1));
    for (auto& t : threads) t.join();
}

} // namespace vellora
