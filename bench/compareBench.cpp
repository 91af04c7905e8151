// The kernels bench/compare needs beyond the module benchmarks, on a 12-megapixel (4000 x 3000)
// photo-like 24 bpp picture: the tile averages of a 64 x 48 grid, and the mapping onto the
// 216-colour safe palette, plain and with Floyd-Steinberg diffusion. The palette is read from
// palette/preset beside the program (built with it).
#include "color/conversionCode.h"
#include "color/conversionTarget.h"
#include "color/mapToPalette.h"
#include "core/parameterBlock.h"
#include "core/session.h"
#include "tiling/renderTiles.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vellora {
namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kSafePaletteChoice = 9; // "216 safe color"

// Gradients, waves and a little noise, so tile sums and palette choices vary.
const DibImage& picture() {
    static const DibImage image = [] {
        SilentFrontend frontend;
        DibImage result;
        if (createDib(frontend, result, kWidth, kHeight, 24, 0) != 0) std::abort();
        std::uint32_t noise = 2024;
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* row = result.row(y);
            for (int x = 0; x < kWidth; ++x) {
                noise = noise * 1664525u + 1013904223u;
                const double u = double(x) / kWidth, v = double(y) / kHeight;
                const int n = int(noise >> 28) - 8;
                row[3 * x] = std::uint8_t(std::clamp(int(255 * u * v) + n, 0, 255));
                row[3 * x + 1] =
                    std::uint8_t(std::clamp(int(127 + 120 * std::sin(9 * u + 4 * v)) + n, 0, 255));
                row[3 * x + 2] = std::uint8_t(std::clamp(int(255 * (1 - v)) + n, 0, 255));
            }
        }
        return result;
    }();
    return image;
}

// Every tile's average colour on a 64 x 48 grid without slits, band by band.
void tileAverages(benchmark::State& state) {
    const DibImage& source = picture();
    ParameterBlock block = defaultParameterBlock();
    block.tilingSizeMethod = 0; // around count
    block.tileCountWide = 64;
    block.tileCountHigh = 48;
    block.slitPixelWidth = 0;
    const TileGeometry geometry = computeTileGeometry(block, source.width, source.height);
    const std::vector<TileBand> bands = tileBands(geometry, source.height);
    std::vector<std::uint8_t> sourceRow;
    std::vector<std::uint64_t> sums;
    std::vector<Bgr> colors;
    for (auto _ : state) {
        for (const TileBand& band : bands) {
            averageBandColors(source, geometry, band, sourceRow, sums, colors);
            benchmark::DoNotOptimize(colors.data());
        }
    }
    state.counters["tiles"] = double(geometry.tileCount());
}

// Argument: diffusion off (0) or on (1).
void mapToSafePalette(benchmark::State& state) {
    const DibImage& source = picture();
    SilentFrontend frontend;
    Session session(frontend);
    const int code = conversionCode(kClassEven, kSafePaletteChoice);
    EvenPaletteRecord record;
    DibImage prepared;
    if (prepareConversionTarget(session, prepared, source, nullptr, record, code) != 0) {
        state.SkipWithError("the safe palette preset is missing beside the program");
        return;
    }
    for (auto _ : state) {
        DibImage target = prepared;
        benchmark::DoNotOptimize(
            mapToPalette(session, target, source, state.range(0) != 0, record, code));
    }
}

BENCHMARK(tileAverages)->Unit(benchmark::kMillisecond);
BENCHMARK(mapToSafePalette)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vellora
