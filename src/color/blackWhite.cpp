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
#include <vector>

namespace vellora {

namespace {

constexpr std::string_view kOutOfRangeText = "out of range, which must be 0 ~ 255";
constexpr std::string_view kOutsetAboveEndsetText = "outset must be smaller than endset";

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
        grays[std::size_t(i)] = grayCopy.paletteEntry(i)[0];
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
        lo = std::min<int>(lo, image.paletteEntry(i)[0]);
        hi = std::max<int>(hi, image.paletteEntry(i)[0]);
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
        const double v = (image.paletteEntry(i)[0] - lo) * scale + outset;
        setEntry(image, i, std::uint8_t(std::clamp(v, 0.0, 255.0)));
    }
}

void setBlackWhitePalette(DibImage& result) {
    const bool darkFirst = result.paletteEntry(0)[0] < result.paletteEntry(1)[0];
    setEntry(result, 0, darkFirst ? 0 : 255);
    setEntry(result, 1, darkFirst ? 255 : 0);
}

void thresholdToBlackWhite(Session& session, DibImage& result, const DibImage& grayCopy,
                           int threshold) {
    setPlainBlackWhitePalette(result);
    const int workers = rowWorkerCount(grayCopy.height);
    const std::size_t rowBytes = std::size_t(grayCopy.width);
    std::vector<std::uint8_t> scratch(rowBytes * std::size_t(workers));
    const GrayTable grays = paletteGrays(grayCopy);
    progressBegin(session, grayCopy.height);
    forRowsWithProgress(session, grayCopy.height, workers, [&](int worker, int begin, int end) {
        std::uint8_t* indices = scratch.data() + rowBytes * std::size_t(worker);
        for (int y = begin; y < end; ++y) {
            readRowGrays(grayCopy, grays, y, indices);
            for (int x = 0; x < grayCopy.width; ++x)
                indices[x] = indices[x] >= threshold ? 1 : 0;
            writeRowIndices(result, y, indices);
        }
    });
}

int diffuseToBlackWhite(Session& session, DibImage& result, const DibImage& grayCopy) {
    DiffusionRows errors;
    std::vector<std::uint8_t> scratch;
    try {
        scratch.resize(std::size_t(grayCopy.width));
    } catch (const std::bad_alloc&) {
        return reportError(session.frontend, kErrorAllocate);
    }
    if (!errors.allocate(grayCopy.width, 1)) return reportError(session.frontend, kErrorAllocate);
    std::uint8_t* indices = scratch.data();
    const GrayTable grays = paletteGrays(grayCopy);
    std::uint8_t entryOf[256];
    for (int v = 0; v < 256; ++v)
        entryOf[v] = result.paletteEntry(v >> 7)[0];
    const DiffusionShareTable shares(entryOf);
    progressBegin(session, grayCopy.height);
    for (int y = 0; y < grayCopy.height; ++y) {
        readRowGrays(grayCopy, grays, y, indices);
        DiffusionWalk<1> walk(errors);
        for (int x = 0; x < grayCopy.width; ++x) {
            const int sum = indices[x] + walk.waiting(x, 0);
            indices[x] = std::uint8_t(std::clamp(sum, 0, 255) >> 7);
            walk.spreadShares(x, 0, shares[sum]);
        }
        walk.finish(grayCopy.width);
        writeRowIndices(result, y, indices);
        errors.nextRow();
        progressAdvance(session);
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
        return 1;
    }
    return runOperationFrame(session, Operation::BlackWhite,
                             [&](Session& s) { return binarizeImage(s, request); });
}

} // namespace vellora
