#include "color/blackWhite.h"

#include "color/errorDiffusion.h"
#include "color/grayScale.h"
#include "core/errors.h"
#include "core/operationFrame.h"
#include "core/pictureStep.h"
#include "core/pixelAccess.h"
#include "core/progress.h"
#include "core/rowBands.h"

#include <algorithm>
#include <array>
#include <new>
#include <utility>
#include <vector>

namespace vellora {

namespace {

constexpr std::string_view kOutOfRangeText = "out of range, which must be 0 ~ 255";
constexpr std::string_view kOutsetAboveEndsetText = "outset must be smaller than endset";

// Every entry is a gray, so its first byte stands for all three.
void setEntry(DibImage& image, int index, std::uint8_t value) {
    std::uint8_t* entry = image.paletteEntry(index);
    entry[0] = entry[1] = entry[2] = value;
    entry[3] = 0;
}

void setPlainBlackWhitePalette(DibImage& result) {
    setEntry(result, 0, 0);
    setEntry(result, 1, 255);
}

int paletteCount(const DibImage& image) {
    const int full = 1 << image.bitsPerPixel;
    return image.colorsUsed == 0 ? full : std::min(int(image.colorsUsed), full);
}

// The gray copy has the source's depth when indexed and 8 bpp otherwise; an indexed source gives
// the palette conversion, a true-colour one the ramp.
int makeGrayCopy(Session& session, const DibImage& source, DibImage& grayCopy) {
    const bool indexed = source.isIndexed();
    const int depth = indexed ? source.bitsPerPixel : 8;
    const std::uint32_t colors = indexed ? 1u << source.bitsPerPixel : 256u;
    if (const int code = createDib(session.frontend, grayCopy, source.width, source.height,
                                   std::uint16_t(depth), colors);
        code != 0)
        return code;
    return mapToGray(session, grayCopy, source, false,
                     indexed ? GrayPath::PaletteConversion : GrayPath::Direct);
}

// The gray of every palette entry of the gray copy (the first byte of its colour).
using GrayTable = std::array<std::uint8_t, 256>;
GrayTable paletteGrays(const DibImage& grayCopy) {
    GrayTable grays{};
    for (int i = 0; i < paletteCount(grayCopy); ++i)
        grays[std::size_t(i)] = *grayCopy.paletteEntry(i);
    return grays;
}

// The gray of every gray-copy pixel of row y.
void readRowGrays(const DibImage& grayCopy, const GrayTable& table, int y, std::uint8_t* grays) {
    readRowIndices(grayCopy, y, grays);
    for (int x = 0; x < grayCopy.width; ++x)
        grays[x] = table[grays[x]];
}

} // namespace

void stretchGrayPalette(DibImage& image, int outset, int endset) {
    const int n = paletteCount(image);
    int lo = 255, hi = 0;
    for (int i = 0; i < n; ++i) {
        lo = std::min<int>(lo, *image.paletteEntry(i));
        hi = std::max<int>(hi, *image.paletteEntry(i));
    }
    if (lo == outset && hi == endset) return;
    if (hi == lo) {
        // One gray only: no span to scale, so it takes the lower end of the range.
        for (int i = 0; i < n; ++i)
            setEntry(image, i, std::uint8_t(std::clamp(outset, 0, 255)));
        return;
    }
    const double scale = double(endset - outset) / double(hi - lo);
    for (int i = 0; i < n; ++i) {
        const double v = (*image.paletteEntry(i) - lo) * scale + outset;
        setEntry(image, i, std::uint8_t(std::clamp(v, 0.0, 255.0)));
    }
}

void setBlackWhitePalette(DibImage& result) {
    const bool darkFirst = *result.paletteEntry(0) < *result.paletteEntry(1);
    setEntry(result, 0, darkFirst ? 0 : 255);
    setEntry(result, 1, darkFirst ? 255 : 0);
}

void thresholdToBlackWhite(Session& session, DibImage& result, const DibImage& grayCopy,
                           int threshold) {
    setPlainBlackWhitePalette(result);
    const int workers = rowWorkerCount(grayCopy.height);
    WorkerRows scratch;
    if (!scratch.allocate(workers, std::size_t(grayCopy.width))) throw std::bad_alloc();
    const GrayTable grays = paletteGrays(grayCopy);
    progressBegin(session, grayCopy.height);
    forRowsWithProgress(session, grayCopy.height, workers, [&](int worker, int begin, int end) {
        std::uint8_t* indices = scratch.row(worker);
        for (int y = begin; y < end; ++y) {
            readRowGrays(grayCopy, grays, y, indices);
            for (int x = 0; x < grayCopy.width; ++x)
                indices[x] = indices[x] >= threshold ? 1 : 0;
            writeRowIndices(result, y, indices);
        }
    });
}

namespace {

// One row's grays turned into indices 0 (black) or 1 (white) in place, a pixel at a time.
struct GrayRowWalk {
    std::uint8_t* values = nullptr;
    DiffusionWalk<1> walk{nullptr, nullptr};
    [[gnu::always_inline]] void step(int x, const DiffusionShareTable& shares) {
        const int sum = values[x] + walk.waiting(x, 0);
        values[x] = std::uint8_t(std::clamp(sum, 0, 255) >> 7);
        walk.spreadShares(x, 0, shares[sum]);
    }
};

// Rows walked together, each two pixels behind the one above: a pixel then reads only cells
// of its waiting row that the walk above has completed, and the rows' chains of look-ups
// overlap. Every value is the one of walking the rows one after the other. More rows gain
// nothing: their walks would not fit in the registers.
constexpr int kRowsTogether = 2;
constexpr int kLag = 2;

struct RowGroup {
    std::uint8_t* values[kRowsTogether];
    std::int32_t* errors[kRowsTogether + 1]; // waiting for row k; the last is below the group
};

// Column x of every row of the group (row k at x − kLag·k), the indices written out so that
// the walks stay in registers. Inside: every row's column lies in the picture.
template <bool Inside, std::size_t... K>
[[gnu::always_inline]] inline void stepColumn(GrayRowWalk* walks, int x, int width,
                                              const DiffusionShareTable& shares,
                                              std::index_sequence<K...>) {
    const auto one = [&](GrayRowWalk& walk, int column) {
        if (Inside || (column >= 0 && column < width)) walk.step(column, shares);
        if (!Inside && column == width) walk.walk.finish(width);
    };
    (one(walks[K], x - kLag * int(K)), ...);
}

template <int Rows>
void diffuseRowGroup(const RowGroup& group, int width, const DiffusionShareTable& shares) {
    GrayRowWalk walks[Rows];
    for (int k = 0; k < Rows; ++k)
        walks[k] = {group.values[k], {group.errors[k], group.errors[k + 1]}};
    constexpr auto rows = std::make_index_sequence<std::size_t(Rows)>();
    const int allInside = kLag * (Rows - 1); // the first column every row has reached
    const int last = width + kLag * (Rows - 1);
    int x = 0;
    for (; x < allInside; ++x)
        stepColumn<false>(walks, x, width, shares, rows);
    for (; x < width; ++x)
        stepColumn<true>(walks, x, width, shares, rows);
    for (; x <= last; ++x)
        stepColumn<false>(walks, x, width, shares, rows);
}

using RowGroupWalk = void (*)(const RowGroup&, int, const DiffusionShareTable&);
constexpr RowGroupWalk kRowGroupWalks[kRowsTogether + 1] = {nullptr, diffuseRowGroup<1>,
                                                            diffuseRowGroup<2>};

} // namespace

int diffuseToBlackWhite(Session& session, DibImage& result, const DibImage& grayCopy) {
    const int width = grayCopy.width;
    std::vector<std::uint8_t> values;
    std::vector<std::vector<std::int32_t>> errorRows;
    try {
        values.resize(kRowsTogether * std::size_t(width));
        errorRows.assign(kRowsTogether + 1, std::vector<std::int32_t>(std::size_t(width), 0));
    } catch (const std::bad_alloc&) {
        return reportError(session.frontend, kErrorAllocate);
    }
    RowGroup group;
    for (int k = 0; k < kRowsTogether; ++k)
        group.values[k] = values.data() + std::size_t(k) * width;
    for (int k = 0; k <= kRowsTogether; ++k)
        group.errors[k] = errorRows[std::size_t(k)].data();
    const GrayTable grays = paletteGrays(grayCopy);
    std::uint8_t entryOf[256];
    for (int v = 0; v < 256; ++v)
        entryOf[v] = *result.paletteEntry(v >> 7);
    const DiffusionShareTable shares(entryOf);
    progressBegin(session, grayCopy.height);
    for (int y = 0; y < grayCopy.height; y += kRowsTogether) {
        const int rows = std::min(kRowsTogether, grayCopy.height - y);
        for (int k = 0; k < rows; ++k)
            readRowGrays(grayCopy, grays, y + k, group.values[k]);
        kRowGroupWalks[rows](group, width, shares);
        for (int k = 0; k < rows; ++k) {
            writeRowIndices(result, y + k, group.values[k]);
            progressAdvance(session);
        }
        // What waits below this group is what the next group's first row waits for.
        std::swap(group.errors[0], group.errors[kRowsTogether]);
    }
    return 0;
}

int blackWhiteToImage(Session& session, const DibImage& source, DibImage& result,
                      const BlackWhiteRequest& request) {
    if (const int code = createDib(session.frontend, result, source.width, source.height, 1, 2);
        code != 0)
        return code;
    DibImage grayCopy;
    if (const int code = makeGrayCopy(session, source, grayCopy); code != 0) return code;
    if (request.stretch) stretchGrayPalette(grayCopy, request.outset, request.endset);
    try {
        if (request.medianCut) {
            if (const int code = reduceGrayLevels(session, result, grayCopy); code != 0)
                return code;
            setBlackWhitePalette(result);
        } else if (request.diffusion) {
            setPlainBlackWhitePalette(result); // the diffusion below sets every pixel
        } else {
            thresholdToBlackWhite(session, result, grayCopy, request.threshold);
        }
    } catch (const std::bad_alloc&) {
        return reportError(session.frontend, kErrorAllocate);
    }
    if (request.diffusion) return diffuseToBlackWhite(session, result, grayCopy);
    return 0;
}

int binarizeImage(Session& session, const BlackWhiteRequest& request) {
    return runPictureStep(session, [&](const DibImage& source, DibImage& target) {
        return blackWhiteToImage(session, source, target, request);
    });
}

std::string_view blackWhiteValuesError(std::int64_t threshold, std::int64_t outset,
                                       std::int64_t endset) {
    const auto outOfRange = [](std::int64_t v) { return v < 0 || v > 255; };
    if (outOfRange(threshold) || outOfRange(outset) || outOfRange(endset)) return kOutOfRangeText;
    if (outset > endset) return kOutsetAboveEndsetText;
    return {};
}

int blackWhiteHandler(Session& session) {
    const ParameterBlock& block = session.workingBlock;
    const BlackWhiteRequest request{block.bwDiffusion != 0, block.bwMedianCut != 0,
                                    int(block.bwThreshold), block.bwStretch != 0,
                                    int(block.bwOutset),    int(block.bwEndset)};
    if (const std::string_view error =
            blackWhiteValuesError(block.bwThreshold, block.bwOutset, block.bwEndset);
        !error.empty()) {
        // Only a parameter file or the command line can bring such values here.
        session.frontend.showMessage("alart", error);
        return kFailed;
    }
    return runOperationFrame(session, Operation::BlackWhite,
                             [&](Session& s) { return binarizeImage(s, request); });
}

} // namespace vellora
