// Every neighbourhood filter on a 12-megapixel 24 bpp picture, on one thread and on two
// (VELLORA_THREADS is set per run; the row bands read it each pass).
#include "core/dibImage.h"
#include "core/frontend.h"
#include "core/session.h"
#include "filter/convolve.h"
#include "filter/deNoise.h"
#include "filter/edgeDetect.h"
#include "filter/edgeMask.h"
#include "filter/edgePreserving.h"
#include "filter/filterMask.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>
#include <random>
#include <string>

namespace vellora {
namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// A photograph-like picture: smooth gradients with noise, so branches and ties are realistic.
const DibImage& picture() {
    static const DibImage image = [] {
        SilentFrontend frontend;
        DibImage result;
        createDib(frontend, result, kWidth, kHeight, 24, 0);
        std::mt19937 random(7);
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* row = result.row(y);
            for (int x = 0; x < kWidth; ++x) {
                const int noise = int(random() % 24);
                row[3 * x] = std::uint8_t((x / 16 + noise) & 255);
                row[3 * x + 1] = std::uint8_t((y / 12 + noise) & 255);
                row[3 * x + 2] = std::uint8_t(((x + y) / 28 + noise) & 255);
            }
        }
        return result;
    }();
    return image;
}

void runPass(benchmark::State& state,
             const std::function<void(Session&, DibImage&, const DibImage&)>& pass) {
    setenv("VELLORA_THREADS", std::to_string(state.range(0)).c_str(), 1);
    SilentFrontend frontend;
    Session session(frontend);
    DibImage target;
    createDib(frontend, target, kWidth, kHeight, 24, 0);
    const DibImage& source = picture();
    for (auto _ : state) {
        pass(session, target, source);
        benchmark::DoNotOptimize(target.data.data());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(kWidth) * kHeight);
}

void convolveWith(benchmark::State& state, int family, int index, bool edge) {
    FilterMask mask;
    if (edge)
        makeEdgeMask(mask, family, index);
    else
        makeMask(mask, family, index);
    runPass(state,
            [&](Session& s, DibImage& t, const DibImage& src) { convolve(s, t, src, mask); });
}

void BM_Gaussian3x3(benchmark::State& state) {
    convolveWith(state, kSmoothingFamily, 0, false);
}
void BM_Gaussian5x5(benchmark::State& state) {
    convolveWith(state, kSmoothingFamily, 1, false);
}
void BM_Gaussian7x7(benchmark::State& state) {
    convolveWith(state, kSmoothingFamily, 2, false);
}
void BM_HighPass3x3(benchmark::State& state) {
    convolveWith(state, kSharpeningFamily, 1, false);
}
void BM_GradientVertical(benchmark::State& state) {
    convolveWith(state, kDirectionFamily, 9, true);
}
void BM_Laplacian5x5(benchmark::State& state) {
    convolveWith(state, kNonDirectionFamily, 4, true);
}

void BM_SobelBothDirections(benchmark::State& state) {
    FilterMask vertical;
    FilterMask horizontal;
    makeEdgeMask(vertical, kDirectionFamily, 0);
    makeEdgeMask(horizontal, kDirectionFamily, 1);
    SilentFrontend frontend;
    DibImage first;
    DibImage second;
    createDib(frontend, first, kWidth, kHeight, 24, 0);
    createDib(frontend, second, kWidth, kHeight, 24, 0);
    runPass(state, [&](Session& s, DibImage& t, const DibImage& src) {
        convolve(s, first, src, vertical);
        convolve(s, second, src, horizontal);
        strongerOfTwo(s, t, first, second);
    });
}

void BM_EdgePreserving(benchmark::State& state) {
    const int criterion = int(state.range(1));
    runPass(state, [&](Session& s, DibImage& t, const DibImage& src) {
        edgePreservingPass(s, t, src, criterion);
    });
}

void BM_DeNoise(benchmark::State& state) {
    const int size = int(state.range(1));
    runPass(state,
            [&](Session& s, DibImage& t, const DibImage& src) { deNoisePass(s, t, src, size); });
}

BENCHMARK(BM_Gaussian3x3)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Gaussian5x5)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Gaussian7x7)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HighPass3x3)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GradientVertical)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Laplacian5x5)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SobelBothDirections)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EdgePreserving)
    ->ArgsProduct({{1, 2}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_DeNoise)
    ->ArgsProduct({{1, 2}, {3, 5, 7}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace vellora
