// Reading, writing and 24 bpp conversion of whole bitmap files of 12 and 24 megapixels at
// every depth. Arguments: bits per pixel, megapixels.
#include "core/dibImage.h"
#include "core/trueColor.h"
#include "support/tempDir.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace vellora;
namespace fs = std::filesystem;

// 4:3 pictures: 4000 x 3000 and 6000 x 4000 (3:2) as cameras make them.
void pictureSize(int megapixels, int& width, int& height) {
    width = megapixels == 24 ? 6000 : 4000;
    height = megapixels == 24 ? 4000 : 3000;
}

DibImage makePicture(int bitsPerPixel, int megapixels) {
    SilentFrontend frontend;
    int width = 0, height = 0;
    pictureSize(megapixels, width, height);
    DibImage image;
    if (createDib(frontend, image, width, height, std::uint16_t(bitsPerPixel), 0) != 0)
        std::abort();
    std::uint32_t state = 12345;
    for (std::size_t i = kHeaderBytes; i < image.data.size(); ++i) {
        state = state * 1103515245u + 12345u;
        image.data[i] = std::uint8_t(state >> 16);
    }
    return image;
}

fs::path benchFile(const char* name) {
    static const test::TempDir folder{"bitmap-bench"};
    return folder / (std::string(name) + ".dib");
}

void setCounters(benchmark::State& state, const DibImage& image) {
    state.SetBytesProcessed(std::int64_t(state.iterations()) * image.fileSize);
    state.counters["Mpixel/s"] = benchmark::Counter(
        double(image.width) * image.height * double(state.iterations()) / 1e6,
        benchmark::Counter::kIsRate);
}

void readBitmap(benchmark::State& state) {
    SilentFrontend frontend;
    const DibImage image = makePicture(int(state.range(0)), int(state.range(1)));
    const fs::path path = benchFile("read");
    if (writeBitmapFile(frontend, path, image) != 0) state.SkipWithError("cannot write");
    for (auto _ : state) {
        DibImage read;
        if (readBitmapFile(frontend, path, read) != 0) state.SkipWithError("cannot read");
        benchmark::DoNotOptimize(read.data.data());
    }
    fs::remove(path);
    setCounters(state, image);
}

void writeBitmap(benchmark::State& state) {
    SilentFrontend frontend;
    const DibImage image = makePicture(int(state.range(0)), int(state.range(1)));
    const fs::path path = benchFile("write");
    for (auto _ : state)
        if (writeBitmapFile(frontend, path, image) != 0) state.SkipWithError("cannot write");
    fs::remove(path);
    setCounters(state, image);
}

void trueColorCopy(benchmark::State& state) {
    SilentFrontend frontend;
    const DibImage source = makePicture(int(state.range(0)), int(state.range(1)));
    DibImage target;
    if (makeTrueColorHeader(frontend, target, source) != 0) state.SkipWithError("no memory");
    for (auto _ : state) {
        copyAsTrueColor(target, source);
        benchmark::DoNotOptimize(target.data.data());
    }
    setCounters(state, source);
}

void depthsAndSizes(benchmark::internal::Benchmark* b) {
    for (int megapixels : {12, 24})
        for (int bpp : {1, 4, 8, 24, 32}) b->Args({bpp, megapixels});
    b->ArgNames({"bpp", "MP"})->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(readBitmap)->Apply(depthsAndSizes);
BENCHMARK(writeBitmap)->Apply(depthsAndSizes);
BENCHMARK(trueColorCopy)->Apply(depthsAndSizes);

} // namespace
