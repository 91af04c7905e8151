// The tiling road on a 24-megapixel picture (6000 x 4000): open the JPEG, tile with the
// defaults (216 safe colours, tiles 9 x 9, slit 1) and with median cut to 16 colours, build the
// text and CSV tables, save the tiled picture as PNG; each stage alone and the whole road.
// The presets are read from palette/preset beside the program (built with it).
#include "color/conversionTarget.h"
#include "core/intermediateFiles.h"
#include "core/session.h"
#include "imageio/pictureLibrary.h"
#include "support/tempDir.h"
#include "tiling/expressTable.h"
#include "tiling/renderTiles.h"
#include "tiling/runTiling.h"
#include "tiling/saveTableCsv.h"
#include "tiling/tableCsv.h"
#include "tiling/tableText.h"
#include "tiling/tileColorMapping.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <string>

namespace vellora {
namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

fs::path benchFolder() {
    static const test::TempDir folder{"tiling-bench"};
    return folder.path();
}

// A photograph-like JPEG: gradients, soft waves and noise, written once per run.
const fs::path& jpegPath() {
    static const fs::path path = [] {
        SilentFrontend frontend;
        DibImage image;
        createDib(frontend, image, kWidth, kHeight, 24, 0);
        std::mt19937 random(5);
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* row = image.row(y);
            for (int x = 0; x < kWidth; ++x) {
                const int noise = int(random() % 16);
                const double wave = 40 * std::sin(x / 150.0) * std::cos(y / 110.0);
                row[3 * x] =
                    std::uint8_t(std::clamp(x * 200.0 / kWidth + wave + noise, 0.0, 255.0));
                row[3 * x + 1] =
                    std::uint8_t(std::clamp(y * 220.0 / kHeight - wave + noise, 0.0, 255.0));
                row[3 * x + 2] = std::uint8_t((x / 500 + y / 400) % 2 ? 200 - noise : 60 + noise);
            }
        }
        const fs::path file = benchFolder() / "road.jpg";
        std::string error;
        imageio::savePicture(file, image, "image/jpeg", 90, 24, error);
        return file;
    }();
    return path;
}

const DibImage& decodedPicture() {
    static const DibImage image = [] {
        DibImage result;
        std::string error;
        imageio::loadPicture(jpegPath(), result, error);
        return result;
    }();
    return image;
}

ParameterBlock blockFor(bool medianCut) {
    ParameterBlock block = defaultParameterBlock();
    if (medianCut) block.tilingPaletteClass = 0; // tilingMedianIndex 3: 16 colours
    return block;
}

// A session whose current picture is the decoded JPEG.
struct RoadSession {
    SilentFrontend frontend;
    Session session{frontend};
    explicit RoadSession(const DibImage& current, bool medianCut = false) {
        session.workingBlock = blockFor(medianCut);
        nextIntermediatePath(session, session.currentPath);
        writeBitmapFile(frontend, session.currentPath, current);
        session.currentInfo.width = current.width;
        session.currentInfo.height = current.height;
        session.currentInfo.bitsPerPixel = current.bitsPerPixel;
        session.picturePath = jpegPath().string();
    }
    // Each session made its own private folder in the temporary directory; none is left.
    ~RoadSession() { removeIntermediateDirectory(session); }
    RoadSession(const RoadSession&) = delete;
    RoadSession& operator=(const RoadSession&) = delete;

    void tile() {
        nextIntermediatePath(session, session.nextPath);
        runTiling(session);
        session.currentPath = session.nextPath;
    }
};

void BM_OpenJpeg(benchmark::State& state) {
    jpegPath();
    for (auto _ : state) {
        DibImage image;
        std::string error;
        benchmark::DoNotOptimize(imageio::loadPicture(jpegPath(), image, error));
    }
}

// Target preparation (the palette, for median cut the whole cut) and painting, no files.
void BM_PrepareAndRender(benchmark::State& state) {
    const bool medianCut = state.range(0) != 0;
    const DibImage& source = decodedPicture();
    SilentFrontend frontend;
    Session session(frontend);
    session.workingBlock = blockFor(medianCut);
    const int code = tilingConversionCode(session.workingBlock, 0);
    const TileGeometry g = computeTileGeometry(session.workingBlock, source.width, source.height);
    for (auto _ : state) {
        DibImage target;
        EvenPaletteRecord record;
        prepareConversionTarget(session, target, source, nullptr, record, code);
        renderTiles(session, target, source, g, tileColorMapping(target, code, record));
        benchmark::DoNotOptimize(target.data.data());
    }
}

void BM_RenderNoConversion(benchmark::State& state) {
    const DibImage& source = decodedPicture();
    SilentFrontend frontend;
    Session session(frontend);
    const TileGeometry g =
        computeTileGeometry(defaultParameterBlock(), source.width, source.height);
    DibImage target;
    createDib(frontend, target, source.width, source.height, 24, 0);
    for (auto _ : state)
        renderTiles(session, target, source, g, TileColorMapping{});
}

// The Tiling command from the current intermediate file to the next, files included.
void BM_TilingCommand(benchmark::State& state) {
    RoadSession road(decodedPicture(), state.range(0) != 0);
    const std::string start = road.session.currentPath;
    for (auto _ : state) {
        road.session.currentPath = start;
        road.tile();
    }
}

const DibImage& tiledPicture() {
    static const DibImage image = [] {
        RoadSession road(decodedPicture());
        road.tile();
        DibImage result;
        readBitmapFile(road.frontend, road.session.currentPath, result);
        return result;
    }();
    return image;
}

void BM_BuildTable(benchmark::State& state) {
    RoadSession road(tiledPicture());
    for (auto _ : state) {
        TilingTable table;
        benchmark::DoNotOptimize(buildTilingTable(road.session, table));
    }
}

void BM_TableText(benchmark::State& state) {
    RoadSession road(tiledPicture());
    TilingTable table;
    buildTilingTable(road.session, table);
    for (auto _ : state) {
        std::string text;
        writeTableHeaderText(text, table, "road.jpg");
        writeIndexTableText(road.session, text, table);
        benchmark::DoNotOptimize(text.data());
    }
}

void BM_TableCsv(benchmark::State& state) {
    RoadSession road(tiledPicture());
    TilingTable table;
    buildTilingTable(road.session, table);
    for (auto _ : state) {
        std::string csv;
        writeCsvHeader(csv, table, "road.jpg");
        writeIndexTableCsv(road.session, csv, table);
        benchmark::DoNotOptimize(csv.data());
    }
}

void BM_SavePng(benchmark::State& state) {
    const DibImage& tiled = tiledPicture();
    const fs::path out = benchFolder() / "tiled.png";
    for (auto _ : state) {
        std::string error;
        benchmark::DoNotOptimize(
            imageio::savePicture(out, tiled, "image/png", 100, tiled.bitsPerPixel, error));
    }
}

// Open, tile, both tables, save as PNG.
void BM_WholeRoad(benchmark::State& state) {
    jpegPath();
    for (auto _ : state) {
        DibImage opened;
        std::string error;
        imageio::loadPicture(jpegPath(), opened, error);
        RoadSession road(opened, state.range(0) != 0);
        opened.release();
        road.tile();
        std::string text;
        expressTilingTable(road.session, text);
        saveTilingTableCsv(road.session, benchFolder() / "road.csv");
        DibImage tiled;
        readBitmapFile(road.frontend, road.session.currentPath, tiled);
        imageio::savePicture(benchFolder() / "road.png", tiled, "image/png", 100,
                             tiled.bitsPerPixel, error);
    }
}

BENCHMARK(BM_OpenJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrepareAndRender)->Arg(0)->Arg(1)->ArgName("medianCut")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderNoConversion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TilingCommand)->Arg(0)->Arg(1)->ArgName("medianCut")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeRoad)->Arg(0)->Arg(1)->ArgName("medianCut")->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vellora
