// Gray scale (ramp, 16 levels with and without diffusion), black and white (median cut, with
// diffusion), invert, posterization (indexed and 24 bpp) and histogram modification of a
// 12-megapixel (4000 x 3000) 24 bpp picture.
#include "color/blackWhite.h"
#include "color/grayScale.h"
#include "color/histogramModify.h"
#include "color/invert.h"
#include "color/posterize.h"
#include "core/dibImage.h"
#include "core/session.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using namespace vellora;

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// Smooth gradients with some noise, so the splits and the diffusion see a real spread.
DibImage makePicture() {
    SilentFrontend frontend;
    DibImage image;
    if (createDib(frontend, image, kWidth, kHeight, 24, 0) != 0) std::abort();
    std::uint32_t state = 12345;
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* row = image.row(y);
        for (int x = 0; x < kWidth; ++x) {
            state = state * 1103515245u + 12345u;
            const int noise = int(state >> 28);
            row[3 * x] = std::uint8_t((x * 255 / kWidth + noise) & 0xFF);
            row[3 * x + 1] = std::uint8_t((y * 255 / kHeight + noise) & 0xFF);
            row[3 * x + 2] = std::uint8_t(((x + y) * 127 / kHeight + noise) & 0xFF);
        }
    }
    return image;
}

const DibImage& picture() {
    static const DibImage image = makePicture();
    return image;
}

template <typename Operation> void run(benchmark::State& state, Operation operation) {
    SilentFrontend frontend;
    Session session(frontend);
    for (auto _ : state) {
        DibImage target;
        if (operation(session, target) != 0) state.SkipWithError("operation failed");
        benchmark::DoNotOptimize(target.data.data());
    }
    state.counters["Mpixel/s"] = benchmark::Counter(
        double(kWidth) * kHeight * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

// Arguments: levels, diffusion.
void grayScale(benchmark::State& state) {
    run(state, [&](Session& s, DibImage& t) {
        return grayScaleToImage(s, picture(), t, state.range(1) != 0, int(state.range(0)));
    });
}

// Arguments: median cut, diffusion.
void blackWhite(benchmark::State& state) {
    BlackWhiteRequest request;
    request.medianCut = state.range(0) != 0;
    request.diffusion = state.range(1) != 0;
    run(state,
        [&](Session& s, DibImage& t) { return blackWhiteToImage(s, picture(), t, request); });
}

void invert(benchmark::State& state) {
    run(state, [&](Session& s, DibImage& t) { return invertToImage(s, picture(), t, 0); });
}

// Argument: the common level count (6 → 8 bpp, 7 → 24 bpp).
void posterize(benchmark::State& state) {
    const int levels = int(state.range(0));
    run(state, [&](Session& s, DibImage& t) {
        return posterizeToImage(s, picture(), t, {levels, levels, levels});
    });
}

void histogram(benchmark::State& state) {
    HistogramRequest request;
    request.outset = {10, 20, 30};
    request.endset = {240, 230, 220};
    run(state,
        [&](Session& s, DibImage& t) { return modifyHistogramToImage(s, picture(), t, request); });
}

BENCHMARK(grayScale)->Args({256, 0})->Args({16, 0})->Args({16, 1})->Args({2, 1})->Unit(
    benchmark::kMillisecond);
BENCHMARK(blackWhite)->Args({1, 0})->Args({0, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(invert)->Unit(benchmark::kMillisecond);
BENCHMARK(posterize)->Arg(6)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK(histogram)->Unit(benchmark::kMillisecond);

} // namespace
