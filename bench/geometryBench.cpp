// Crop, resize (2x up bicubic, 4x down by area, nearest pixel) and rotation by 30 degrees
// (nearest pixel and interpolated) of a 12-megapixel (4000 x 3000) 24 bpp picture.
#include "core/dibImage.h"
#include "core/session.h"
#include "geometry/crop.h"
#include "geometry/resize.h"
#include "geometry/rotate.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using namespace vellora;

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

DibImage makePicture() {
    SilentFrontend frontend;
    DibImage image;
    if (createDib(frontend, image, kWidth, kHeight, 24, 0) != 0) std::abort();
    std::uint32_t state = 12345;
    for (std::size_t i = image.bitsOffset; i < image.data.size(); ++i) {
        state = state * 1103515245u + 12345u;
        image.data[i] = std::uint8_t(state >> 16);
    }
    return image;
}

const DibImage& picture() {
    static const DibImage image = makePicture();
    return image;
}

void setRate(benchmark::State& state) {
    state.counters["Mpixel/s"] = benchmark::Counter(
        double(kWidth) * kHeight * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

void cropHalf(benchmark::State& state) {
    SilentFrontend frontend;
    Session session(frontend);
    for (auto _ : state) {
        DibImage target;
        if (cropToImage(session, picture(), target, {1, 1, kWidth / 2, kHeight - 2}) != 0)
            state.SkipWithError("crop failed");
        benchmark::DoNotOptimize(target.data.data());
    }
    setRate(state);
}

// Arguments: target width, target height, interpolation.
void resize(benchmark::State& state) {
    SilentFrontend frontend;
    Session session(frontend);
    const ResizeRequest request{int(state.range(0)), int(state.range(1)), 1, state.range(2) != 0};
    for (auto _ : state) {
        DibImage target;
        if (resizeToImage(session, picture(), target, request) != 0)
            state.SkipWithError("resize failed");
        benchmark::DoNotOptimize(target.data.data());
    }
    setRate(state);
}

// Arguments: angle, interpolation.
void rotate(benchmark::State& state) {
    SilentFrontend frontend;
    Session session(frontend);
    const int angle = int(state.range(0));
    const RotatedSize size = rotatedSize(picture(), angle);
    for (auto _ : state) {
        DibImage target;
        if (createDib(frontend, target, size.width, size.height, 24, 0) != 0)
            state.SkipWithError("no memory");
        const int result = state.range(1) != 0
                               ? rotateInterpolated(session, target, picture(), angle, blankGray(1))
                               : rotateNearest(session, target, picture(), angle, blankGray(1));
        if (result != 0) state.SkipWithError("rotation failed");
        benchmark::DoNotOptimize(target.data.data());
    }
    setRate(state);
}

BENCHMARK(cropHalf)->Unit(benchmark::kMillisecond);
BENCHMARK(resize)
    ->Args({2 * kWidth, 2 * kHeight, 1})
    ->Args({kWidth / 4, kHeight / 4, 1})
    ->Args({2 * kWidth, 2 * kHeight, 0})
    ->Args({kWidth / 4, kHeight / 4, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(rotate)->Args({30, 0})->Args({30, 1})->Args({330, 0})->Args({330, 1})->Unit(
    benchmark::kMillisecond);

} // namespace
