// The build sheet of a tiled design: the PDF chart (overview, section pages with a symbol in
// every cell, legend, shopping list) and the SVG chart, at 160 x 100 and at 400 x 300 tiles of
// 64 colours. The files' sizes are reported as counters.
#include "core/dibImage.h"
#include "sheet/chartPdf.h"
#include "sheet/chartSvg.h"
#include "sheet/sheetDesign.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace vellora {
namespace {

constexpr int kColors = 64;

// A design of soft colour regions with noise, as a photograph tiled to 64 colours gives.
TilingTable benchTable(int columns, int rows) {
    SilentFrontend frontend;
    DibImage tiled;
    createDib(frontend, tiled, columns, rows, 8, kColors);
    for (int i = 0; i < kColors; ++i) {
        std::uint8_t* entry = tiled.paletteEntry(i);
        entry[0] = std::uint8_t(i * 4), entry[1] = std::uint8_t(255 - i * 3),
        entry[2] = std::uint8_t(i * 37);
    }
    TileGeometry geometry;
    geometry.tileWidth = geometry.tileHeight = 1;
    geometry.tileColumns = columns;
    geometry.tileRows = rows;
    TilingTable table;
    allocateTilingTable(frontend, table, tiled, geometry);
    std::mt19937 random(7);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const double wave = 20 * std::sin(c / 17.0) * std::cos(r / 13.0);
            const int index =
                int(std::abs(c * 40.0 / columns + r * 20.0 / rows + wave)) + int(random() % 4);
            *table.entry(std::int64_t(r) * columns + c) = std::uint8_t(index % kColors);
        }
    return table;
}

void chartPdfBench(benchmark::State& state) {
    const SheetDesign design =
        makeSheetDesign(benchTable(int(state.range(0)), int(state.range(1))), nullptr);
    const DesignSettings settings;
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string error;
        const std::string pdf = chartPdf(design, settings, error);
        bytes = pdf.size();
        benchmark::DoNotOptimize(pdf.data());
    }
    state.counters["pdf_MB"] = double(bytes) / 1e6;
}
BENCHMARK(chartPdfBench)
    ->Args({160, 100})
    ->Args({400, 300})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void chartSvgBench(benchmark::State& state) {
    const SheetDesign design =
        makeSheetDesign(benchTable(int(state.range(0)), int(state.range(1))), nullptr);
    const DesignSettings settings;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string svg = chartSvg(design, settings);
        bytes = svg.size();
        benchmark::DoNotOptimize(svg.data());
        benchmark::ClobberMemory();
    }
    state.counters["svg_MB"] = double(bytes) / 1e6;
}
BENCHMARK(chartSvgBench)
    ->Args({160, 100})
    ->Args({400, 300})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace vellora
