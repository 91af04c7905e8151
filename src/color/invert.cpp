#include "color/invert.h"

#include "core/errors.h"
#include "core/operationFrame.h"
#include "core/pictureStep.h"
#include "core/pixelAccess.h"
#include "core/progress.h"
#include "core/rowBands.h"

#include <cstring>

namespace vellora {

namespace {

void invertBytes(const std::uint8_t* in, std::uint8_t* out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        out[i] = std::uint8_t(255 - in[i]);
}

void invertPalette(DibImage& target, const DibImage& source) {
    for (int i = 0; i < int(target.paletteEntries); ++i) {
        const std::uint8_t* in = source.paletteEntry(i);
        std::uint8_t* out = target.paletteEntry(i);
        for (int c = 0; c < 3; ++c)
            out[c] = std::uint8_t(255 - in[c]);
        out[3] = 0;
    }
    std::memcpy(target.row(0), source.row(0), std::size_t(source.stride) * source.height);
}

void invertPixels(Session& session, DibImage& target, const DibImage& source, WorkerRows& scratch,
                  int workers) {
    const std::size_t rowBytes = 3 * std::size_t(source.width);
    // 24 bpp to 24 bpp needs no unpacking: each row is inverted from source to target directly.
    const bool straight = source.bitsPerPixel == 24 && target.bitsPerPixel == 24;
    progressBegin(session, source.height);
    forRowsWithProgress(session, source.height, workers, [&](int worker, int begin, int end) {
        std::uint8_t* colors = scratch.row(worker);
        for (int y = begin; y < end; ++y) {
            if (straight) {
                invertBytes(source.row(y), target.row(y), rowBytes);
                continue;
            }
            readRowColors(source, y, colors);
            invertBytes(colors, colors, rowBytes);
            writeRowColors(target, y, colors);
        }
    });
}

// A 24 bpp picture staying 24 bpp is inverted within its own block, row padding cleared as a
// new picture has it.
bool invertInPlace(Session& session, DibImage& picture, int depth) {
    if (picture.bitsPerPixel != 24 || (depth != 0 && depth != 24) || !hasFreshHeader(picture))
        return false;
    const std::size_t rowBytes = 3 * std::size_t(picture.width);
    progressBegin(session, picture.height);
    forRowsWithProgress(
        session, picture.height, rowWorkerCount(picture.height), [&](int, int begin, int end) {
            for (int y = begin; y < end; ++y)
                invertRowInPlace(picture.row(y), rowBytes, std::size_t(picture.stride));
        });
    return true;
}

} // namespace

void invertRowInPlace(std::uint8_t* row, std::size_t rowBytes, std::size_t stride) {
    invertBytes(row, row, rowBytes);
    std::memset(row + rowBytes, 0, stride - rowBytes);
}

int invertResultDepth(std::uint32_t depthIndex) {
    constexpr int kDepths[3] = {0, 24, 32};
    return depthIndex < 3 ? kDepths[depthIndex] : 0;
}

int invertToImage(Session& session, const DibImage& source, DibImage& target, int depth) {
    const int resultDepth = depth == 0 ? source.bitsPerPixel : depth;
    if (const int code = createDib(session.frontend, target, source.width, source.height,
                                   std::uint16_t(resultDepth), source.colorsUsed);
        code != 0)
        return code;
    if (target.isIndexed()) {
        invertPalette(target, source);
        return 0;
    }
    const int workers = rowWorkerCount(source.height);
    WorkerRows scratch;
    if (!scratch.allocate(workers, 3 * std::size_t(source.width)))
        return reportError(session.frontend, kErrorAllocate);
    invertPixels(session, target, source, scratch, workers);
    return 0;
}

int invertImage(Session& session, int depth) {
    return runPictureStep(
        session,
        [&](const DibImage& source, DibImage& target) {
            return invertToImage(session, source, target, depth);
        },
        [&](DibImage& picture) { return invertInPlace(session, picture, depth); });
}

int invertHandler(Session& session) {
    const int depth = invertResultDepth(session.workingBlock.invertDepthIndex);
    return runOperationFrame(session, Operation::Invert,
                             [&](Session& s) { return invertImage(s, depth); });
}

} // namespace vellora
