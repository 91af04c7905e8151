#include "color/grayScale.h"

#include "color/errorDiffusion.h"
#include "core/errors.h"
#include "core/operationFrame.h"
#include "core/pictureStep.h"
#include "core/pixelAccess.h"
#include "core/progress.h"
#include "core/rowBands.h"
#include "core/simdLevel.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

namespace vellora {

namespace {

// Every entry is a gray, so its first byte stands for all three.
void setGrayEntry(DibImage& image, int index, std::uint8_t gray) {
    std::uint8_t* entry = image.paletteEntry(index);
    entry[0] = entry[1] = entry[2] = gray;
    entry[3] = 0;
}

// Same depth, same colour table size: the rows lie at the same offsets, byte for byte.
void copyPixelRows(DibImage& target, const DibImage& source) {
    std::memcpy(target.row(0), source.row(0), std::size_t(source.stride) * source.height);
}

void convertPalette(DibImage& target, const DibImage& source) {
    for (int i = 0; i < int(source.paletteEntries); ++i)
        setGrayEntry(target, i, grayLevel(source.paletteEntry(i)));
    copyPixelRows(target, source);
}

// grayLevel of every pixel of a row. The weighted sum is at most 256 × 255, so it fits 16 bits,
// and the rows do not overlap: the loop runs many pixels to a vector.
void grayLevelsOfRow(const std::uint8_t* __restrict bgr, std::uint8_t* __restrict out,
                     std::size_t pixels) {
    for (std::size_t x = 0; x < pixels; ++x, bgr += 3)
        out[x] = std::uint8_t(std::uint16_t(grayWeightedSum(bgr)) >> 8);
}

void mapDirect(Session& session, DibImage& target, const DibImage& source, WorkerRows& scratch,
               int workers) {
    for (int i = 0; i < 256; ++i)
        setGrayEntry(target, i, std::uint8_t(i));
    progressBegin(session, source.height);
    forRowsWithProgress(session, source.height, workers, [&](int worker, int begin, int end) {
        std::uint8_t* colors = scratch.row(worker);
        for (int y = begin; y < end; ++y) {
            // A 24 bpp row already is the colour row.
            const std::uint8_t* bgr = source.row(y);
            if (source.bitsPerPixel != 24) {
                readRowColors(source, y, colors);
                bgr = colors;
            }
            kSimdKernelUpToAvx2<&grayLevelsOfRow>(bgr, target.row(y), std::size_t(source.width));
        }
    });
}

// The nearest of the first `entries` levels for every gray: strictly closer than 255 wins,
// the lowest index on ties; -1 where no level is closer, so the previous pixel's index stays.
std::array<int, 256> nearestLevels(const DibImage& target, int entries) {
    std::array<int, 256> nearest{};
    for (int v = 0; v < 256; ++v) {
        int best = 255;
        nearest[std::size_t(v)] = -1;
        for (int i = 0; i < entries; ++i) {
            const int difference = std::abs(v - *target.paletteEntry(i));
            if (difference < best) {
                best = difference;
                nearest[std::size_t(v)] = i;
            }
        }
    }
    return nearest;
}

// Maps one row of grays to indices, carrying the chosen index across pixels.
void mapGrayRow(const std::uint8_t* colors, std::uint8_t* indices, int width,
                const std::array<int, 256>& nearest, std::uint8_t& chosen) {
    for (int x = 0; x < width; ++x) {
        const int level = nearest[grayLevel(colors + 3 * x)];
        if (level >= 0) chosen = std::uint8_t(level);
        indices[x] = chosen;
    }
}

void mapReductionPlain(Session& session, DibImage& target, const DibImage& source,
                       const std::array<int, 256>& nearest, WorkerRows& scratch, int workers) {
    // Only a gray with no level closer than 255 depends on the pixels before it; without one,
    // rows are independent and may be spread over the workers.
    const bool independent = std::find(nearest.begin(), nearest.end(), -1) == nearest.end();
    if (!independent) workers = 1;
    std::uint8_t carried = 0;
    forRowsWithProgress(session, source.height, workers, [&](int worker, int begin, int end) {
        std::uint8_t* colors = scratch.row(worker);
        std::uint8_t* indices = scratch.row(worker, 1);
        std::uint8_t chosen = carried;
        for (int y = begin; y < end; ++y) {
            readRowColors(source, y, colors);
            mapGrayRow(colors, indices, source.width, nearest, chosen);
            writeRowIndices(target, y, indices);
        }
        if (!independent) carried = chosen;
    });
}

void mapReductionDiffused(Session& session, DibImage& target, const DibImage& source,
                          const std::array<int, 256>& nearest, WorkerRows& scratch,
                          DiffusionRows& errors) {
    std::uint8_t* colors = scratch.row(0);
    std::uint8_t* indices = scratch.row(0, 1);
    std::uint8_t chosen = 0;
    for (int y = 0; y < source.height; ++y) {
        readRowColors(source, y, colors);
        DiffusionWalk<1> walk(errors);
        for (int x = 0; x < source.width; ++x) {
            const int v = std::clamp(grayLevel(colors + 3 * x) + walk.waiting(x, 0), 0, 255);
            if (nearest[std::size_t(v)] >= 0) chosen = std::uint8_t(nearest[std::size_t(v)]);
            indices[x] = chosen;
            walk.spread(x, 0, v - *target.paletteEntry(chosen));
        }
        walk.finish(source.width);
        writeRowIndices(target, y, indices);
        errors.nextRow();
        progressAdvance(session);
    }
}

int mapReduction(Session& session, DibImage& target, const DibImage& source, bool diffusion,
                 WorkerRows& scratch, int workers) {
    const std::array<int, 256> nearest = nearestLevels(target, int(target.colorsUsed));
    progressBegin(session, source.height);
    if (!diffusion) {
        mapReductionPlain(session, target, source, nearest, scratch, workers);
        return 0;
    }
    DiffusionRows errors;
    if (!errors.allocate(source.width, 1)) return reportError(session.frontend, kErrorAllocate);
    mapReductionDiffused(session, target, source, nearest, scratch, errors);
    return 0;
}

// Sum and count of the entries holding `label`, as the split needs them.
struct ClusterTotal {
    double sum = 0;
    std::uint64_t count = 0;
};

ClusterTotal totalOf(const GrayClusters& clusters, std::uint32_t label) {
    std::uint64_t weighted = 0, count = 0;
    for (int n = 0; n < GrayClusters::kSums; ++n) {
        if (clusters.labels[std::size_t(n)] != label) continue;
        weighted += clusters.counts[std::size_t(n)] * std::uint64_t(n);
        count += clusters.counts[std::size_t(n)];
    }
    return {double(weighted) / 256, count};
}

// The weighted sum of every colour-table entry of an indexed picture: its pixels' sums are
// then looked up by index instead of read as colours.
std::vector<int> entrySums(const DibImage& indexed) {
    std::vector<int> sums(indexed.paletteEntries);
    for (std::uint32_t i = 0; i < indexed.paletteEntries; ++i)
        sums[i] = grayWeightedSum(indexed.paletteEntry(int(i)));
    return sums;
}

void writeLabels(DibImage& target, const DibImage& source, const GrayClusters& clusters) {
    const int workers = rowWorkerCount(source.height);
    WorkerRows scratch; // colours read, labels to write
    if (!scratch.allocate(workers, 3 * std::size_t(source.width), 2)) throw std::bad_alloc();
    std::vector<std::uint8_t> labelOfIndex;
    if (source.isIndexed())
        for (const int sum : entrySums(source))
            labelOfIndex.push_back(std::uint8_t(clusters.labels[std::size_t(sum)]));
    forRowBands(source.height, workers, [&](int worker, int begin, int end) {
        std::uint8_t* colors = scratch.row(worker);
        std::uint8_t* indices = scratch.row(worker, 1);
        for (int y = begin; y < end; ++y) {
            if (source.isIndexed()) {
                readRowIndices(source, y, indices);
                for (int x = 0; x < source.width; ++x)
                    indices[x] = labelOfIndex[indices[x]];
            } else {
                readRowColors(source, y, colors);
                for (int x = 0; x < source.width; ++x)
                    indices[x] =
                        std::uint8_t(clusters.labels[std::size_t(grayWeightedSum(colors + 3 * x))]);
            }
            writeRowIndices(target, y, indices);
        }
    });
}

} // namespace

GrayFormat grayResultFormat(int sourceDepth, int levels) {
    const bool indexed = sourceDepth <= 8;
    GrayFormat format;
    format.depth = levels <= 2 ? 1 : std::min(levels <= 16 ? 4 : 8, sourceDepth);
    format.entries = indexed ? std::min(levels, 1 << sourceDepth) : levels;
    if (indexed && levels >= (1 << sourceDepth))
        format.path = GrayPath::PaletteConversion;
    else if (!indexed && levels == 256)
        format.path = GrayPath::Direct;
    else
        format.path = GrayPath::Reduction;
    if (format.path == GrayPath::PaletteConversion) format.depth = sourceDepth;
    return format;
}

GrayClusters gatherGrayClusters(const DibImage& source) {
    GrayClusters clusters;
    clusters.labels.assign(GrayClusters::kSums, 0);
    const int workers = rowWorkerCount(source.height);
    std::vector<std::uint64_t> counts(std::size_t(GrayClusters::kSums) * workers, 0);
    WorkerRows scratch;
    if (!scratch.allocate(workers, 3 * std::size_t(source.width))) throw std::bad_alloc();
    // An indexed picture's pixels are counted by index, each index then standing for its
    // entry's sum.
    const bool byIndex = source.isIndexed();
    forRowBands(source.height, workers, [&](int worker, int begin, int end) {
        std::uint64_t* mine = counts.data() + std::size_t(GrayClusters::kSums) * worker;
        std::uint8_t* colors = scratch.row(worker);
        for (int y = begin; y < end; ++y) {
            if (byIndex) {
                readRowIndices(source, y, colors);
                for (int x = 0; x < source.width; ++x)
                    ++mine[colors[x]];
                continue;
            }
            readRowColors(source, y, colors);
            for (int x = 0; x < source.width; ++x)
                ++mine[grayWeightedSum(colors + 3 * x)];
        }
    });
    clusters.counts.assign(GrayClusters::kSums, 0);
    const std::vector<int> sums = byIndex ? entrySums(source) : std::vector<int>{};
    for (int w = 0; w < workers; ++w)
        for (int n = 0; n < GrayClusters::kSums; ++n) {
            const std::uint64_t count = counts[std::size_t(GrayClusters::kSums) * w + n];
            if (count == 0) continue;
            clusters.counts[std::size_t(byIndex ? sums[std::size_t(n)] : n)] += count;
        }
    return clusters;
}

void splitGrayCluster(Session& session, GrayClusters& clusters, std::uint32_t label, int depth) {
    if (depth < 1) return;
    const ClusterTotal total = totalOf(clusters, label);
    if (total.count == 0) return;
    const double mean = total.sum / double(total.count);
    const std::uint32_t upper = label + (1u << (depth - 1));
    for (int n = 0; n < GrayClusters::kSums; ++n)
        if (clusters.labels[std::size_t(n)] == label && !(n / 256.0 < mean))
            clusters.labels[std::size_t(n)] = upper;
    progressAdvance(session);
    splitGrayCluster(session, clusters, label, depth - 1);
    splitGrayCluster(session, clusters, upper, depth - 1);
}

int reduceGrayLevels(Session& session, DibImage& target, const DibImage& source) {
    const int entries = int(target.colorsUsed);
    const int k = std::countr_zero(unsigned(entries));
    try {
        GrayClusters clusters = gatherGrayClusters(source);
        progressBegin(session, (1 << k) - 1);
        splitGrayCluster(session, clusters, 0, k);
        for (int label = 0; label < entries; ++label) {
            const ClusterTotal total = totalOf(clusters, std::uint32_t(label));
            if (total.count == 0) continue;
            const double mean = std::clamp(total.sum / double(total.count), 0.0, 255.0);
            setGrayEntry(target, label, std::uint8_t(mean));
        }
        writeLabels(target, source, clusters);
    } catch (const std::bad_alloc&) {
        return reportError(session.frontend, kErrorAllocate);
    }
    return 0;
}

int mapToGray(Session& session, DibImage& target, const DibImage& source, bool diffusion,
              GrayPath path) {
    if (path == GrayPath::PaletteConversion) {
        convertPalette(target, source);
        return 0;
    }
    try {
        const int workers =
            diffusion && path == GrayPath::Reduction ? 1 : rowWorkerCount(source.height);
        WorkerRows scratch; // colours read, indices to write
        if (!scratch.allocate(workers, 3 * std::size_t(source.width), 2))
            return reportError(session.frontend, kErrorAllocate);
        if (path == GrayPath::Direct) {
            mapDirect(session, target, source, scratch, workers);
            return 0;
        }
        return mapReduction(session, target, source, diffusion, scratch, workers);
    } catch (const std::bad_alloc&) {
        return reportError(session.frontend, kErrorAllocate);
    }
}

int grayScaleToImage(Session& session, const DibImage& source, DibImage& target, bool diffusion,
                     int levels) {
    const GrayFormat format = grayResultFormat(source.bitsPerPixel, levels);
    if (const int code = createDib(session.frontend, target, source.width, source.height,
                                   std::uint16_t(format.depth), std::uint32_t(format.entries));
        code != 0)
        return code;
    if (format.path == GrayPath::Reduction)
        if (const int code = reduceGrayLevels(session, target, source); code != 0) return code;
    return mapToGray(session, target, source, diffusion, format.path);
}

int grayScaleImage(Session& session, bool diffusion, int levels) {
    return runPictureStep(session, [&](const DibImage& source, DibImage& target) {
        return grayScaleToImage(session, source, target, diffusion, levels);
    });
}

int grayLevelCount(std::int32_t levelIndex) {
    return 1 << std::clamp(levelIndex + 1, 1, 8);
}

int grayScaleHandler(Session& session) {
    const bool diffusion = session.workingBlock.grayDiffusion != 0;
    const int levels = grayLevelCount(std::int32_t(session.workingBlock.grayLevelIndex));
    return runOperationFrame(session, Operation::GrayScale,
                             [&](Session& s) { return grayScaleImage(s, diffusion, levels); });
}

} // namespace vellora
