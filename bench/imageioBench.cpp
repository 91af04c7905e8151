// Decoding and encoding of every picture format at 12 and 24 megapixels, on a photo-like
// picture (smooth gradients, hard edges, a little noise). Arguments: megapixels.
#include "imageio/codecs.h"
#include "imageio/pictureLibrary.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>

namespace {

using namespace vellora;
using namespace vellora::imageio;

using Encode = bool (*)(const DibImage&, const EncodeOptions&, PictureBytes&,
                        std::string&);
using DecodeFn = bool (*)(Bytes, DibImage&, std::string&);

DibImage makePhoto(int megapixels, bool indexed) {
    const int width = megapixels == 24 ? 6000 : 4000;
    const int height = megapixels == 24 ? 4000 : 3000;
    SilentFrontend frontend;
    DibImage image;
    if (createDib(frontend, image, width, height, indexed ? 8 : 24, indexed ? 256 : 0) != 0)
        std::abort();
    for (int i = 0; indexed && i < 256; ++i) { // 3-3-2 colour cube
        std::uint8_t* entry = image.paletteEntry(i);
        entry[0] = std::uint8_t((i & 3) * 85), entry[1] = std::uint8_t((i >> 2 & 7) * 36),
        entry[2] = std::uint8_t((i >> 5) * 36);
    }
    std::uint32_t noise = 12345;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image.row(y);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int jitter = int(noise >> 29) - 4;
            const bool edge = (x / 400 + y / 300) % 3 == 0;
            const int r = std::clamp(x * 255 / width + jitter, 0, 255);
            const int g = std::clamp(y * 255 / height + jitter, 0, 255);
            const int b = std::clamp((edge ? 200 : 60) + jitter, 0, 255);
            if (indexed)
                row[x] = std::uint8_t((r >> 5) << 5 | (g >> 5) << 2 | b >> 6);
            else
                row[3 * x] = std::uint8_t(b), row[3 * x + 1] = std::uint8_t(g),
                        row[3 * x + 2] = std::uint8_t(r);
        }
    }
    return image;
}

const DibImage& photo(int megapixels, bool indexed) {
    static std::map<std::pair<int, bool>, DibImage> cache;
    auto [it, fresh] = cache.try_emplace({megapixels, indexed});
    if (fresh) it->second = makePhoto(megapixels, indexed);
    return it->second;
}

struct Format {
    Encode encode;
    DecodeFn decode;
    bool indexed; // GIF needs an indexed picture
};

const std::map<std::string, Format> kFormats = {
    {"bmp", {encodeBmp, decodeBmp, false}},    {"png", {encodePng, decodePng, false}},
    {"jpeg", {encodeJpeg, decodeJpeg, false}}, {"gif", {encodeGif, decodeGif, true}},
    {"tiff", {encodeTiff, decodeTiff, false}},
};

void encodeBench(benchmark::State& state, const std::string& name) {
    const Format& format = kFormats.at(name);
    const DibImage& image = photo(int(state.range(0)), format.indexed);
    PictureBytes file;
    std::string error;
    for (auto _ : state) {
        if (!format.encode(image, EncodeOptions{90, image.bitsPerPixel}, file, error)) std::abort();
        benchmark::DoNotOptimize(file.data());
    }
    state.counters["MB"] = double(file.size()) / 1e6;
}

void decodeBench(benchmark::State& state, const std::string& name) {
    const Format& format = kFormats.at(name);
    const DibImage& image = photo(int(state.range(0)), format.indexed);
    PictureBytes file;
    std::string error;
    if (!format.encode(image, EncodeOptions{90, image.bitsPerPixel}, file, error)) std::abort();
    for (auto _ : state) {
        DibImage decoded;
        if (!format.decode(Bytes(file), decoded, error)) std::abort();
        benchmark::DoNotOptimize(decoded.data.data());
    }
}

void rotateBench(benchmark::State& state) {
    const DibImage& image = photo(int(state.range(0)), false);
    std::string error;
    for (auto _ : state) {
        DibImage turned;
        if (!rotateFlip(image, turned, 1, 0, error)) std::abort();
        benchmark::DoNotOptimize(turned.data.data());
    }
}

const bool registered = [] {
    for (const auto& [name, format] : kFormats) {
        benchmark::RegisterBenchmark(("encode/" + name).c_str(), encodeBench, name)
            ->Arg(12)
            ->Arg(24)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2);
        benchmark::RegisterBenchmark(("decode/" + name).c_str(), decodeBench, name)
            ->Arg(12)
            ->Arg(24)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2);
    }
    benchmark::RegisterBenchmark("rotateRight90", rotateBench)
        ->Arg(12)
        ->Arg(24)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(2);
    return true;
}();

} // namespace
