// Median cut and palette mapping on photo-sized pictures, beside the plain full-scan median
// cut that scans every sample for every split.
#include "color/conversionCode.h"
#include "color/evenPalette.h"
#include "color/mapToPalette.h"
#include "color/medianCut.h"
#include "core/session.h"

// The reference kept with the tests, so both measure and check the same plain algorithm.
#include "../tests/color/referenceColor.cpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <map>

namespace {

using namespace vellora;

// A smooth, photo-like 24 bpp picture (gradients and waves with a little noise) of about
// `megapixels` million pixels in 4:3.
const DibImage& picture(int megapixels) {
    static std::map<int, DibImage> pictures;
    auto found = pictures.find(megapixels);
    if (found != pictures.end()) return found->second;
    const int height = int(std::sqrt(megapixels * 1e6 * 3 / 4));
    const int width = int(megapixels * 1e6) / height;
    SilentFrontend frontend;
    DibImage image;
    createDib(frontend, image, width, height, 24, 0);
    std::uint32_t noise = 12345;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image.row(y);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const double u = double(x) / width, v = double(y) / height;
            const int n = int(noise >> 28) - 8;
            row[3 * x] = std::uint8_t(std::clamp(int(255 * u * v) + n, 0, 255));
            row[3 * x + 1] =
                std::uint8_t(std::clamp(int(127 + 120 * std::sin(9 * u + 4 * v)) + n, 0, 255));
            row[3 * x + 2] = std::uint8_t(std::clamp(int(255 * (1 - v)) + n, 0, 255));
        }
    }
    return pictures.emplace(megapixels, std::move(image)).first->second;
}

int bitsFor(int colors) {
    return colors == 2 ? 1 : colors <= 16 ? 4 : 8;
}

void medianCut(benchmark::State& state) {
    const DibImage& source = picture(int(state.range(0)));
    const int colors = int(state.range(1));
    SilentFrontend frontend;
    Session session(frontend);
    for (auto _ : state) {
        DibImage target;
        createDib(frontend, target, source.width, source.height, std::uint16_t(bitsFor(colors)),
                  std::uint32_t(colors));
        benchmark::DoNotOptimize(medianCutPalette(session, target, source));
    }
}

void fullScanMedianCut(benchmark::State& state) {
    const DibImage& source = picture(int(state.range(0)));
    const int colors = int(state.range(1));
    for (auto _ : state) {
        const test::ReferenceCut cut =
            test::referenceMedianCut(source, std::uint32_t(colors), bitsFor(colors));
        benchmark::DoNotOptimize(cut.palette.data());
    }
}

// Mapping onto a 256-colour median-cut palette (nearest entry) with diffusion on or off.
void mapToMedianCutPalette(benchmark::State& state) {
    const DibImage& source = picture(int(state.range(0)));
    const bool diffuse = state.range(1) != 0;
    SilentFrontend frontend;
    Session session(frontend);
    DibImage prepared;
    createDib(frontend, prepared, source.width, source.height, 8, 256);
    medianCutPalette(session, prepared, source);
    // Class 1 maps by nearest entry with or without diffusion.
    const int code = conversionCode(kClassBasic, 1);
    for (auto _ : state) {
        DibImage target = prepared;
        benchmark::DoNotOptimize(
            mapToPalette(session, target, source, diffuse, EvenPaletteRecord{}, code));
    }
}

} // namespace

// One call per repetition, so that the best of them is a call on memory the process has used
// before, as the peers' repeated calls in one process are; the first call in a fresh process
// also pays for its first touch of the working storage.
BENCHMARK(medianCut)
    ->Args({12, 16})
    ->Args({12, 256})
    ->Args({24, 16})
    ->Args({24, 256})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(fullScanMedianCut)
    ->Args({1, 16})
    ->Args({1, 256})
    ->Args({12, 16})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(mapToMedianCutPalette)
    ->Args({12, 0})
    ->Args({12, 1})
    ->Args({24, 0})
    ->Args({24, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
