// Quarter turns and flips at every depth. Each target row walks a straight line through the
// source, so one start point and one step per row describe it.
#include "imageio/pictureHelpers.h"
#include "imageio/pictureLibrary.h"
#include "imageio/pictureLimits.h"

#include "core/parallel.h"
#include "core/pixelAccess.h"

#include <cstddef>
#include <cstring>

namespace vellora::imageio {

namespace {

struct Point {
    int x, y; // screen coordinates, y counted from the top
};

// The source point shown at target point (tx, ty): undo the flip, then undo the turns.
Point sourceOf(int tx, int ty, int targetWidth, int targetHeight, const DibImage& source, int turns,
               int flip) {
    const int ux = (flip & 1) ? targetWidth - 1 - tx : tx;
    const int uy = (flip & 2) ? targetHeight - 1 - ty : ty;
    switch (turns) {
    case 1:
        return {uy, source.height - 1 - ux};
    case 2:
        return {source.width - 1 - ux, source.height - 1 - uy};
    case 3:
        return {source.width - 1 - uy, ux};
    default:
        return {ux, uy};
    }
}

template <int Bits>
void copyLine(const DibImage& source, DibImage& target, int targetRow, Point start, Point step) {
    static_assert(Bits == 1 || Bits == 4 || Bits == 8 || Bits == 24 || Bits == 32);
    const int width = target.width;
    int x = start.x, y = source.height - 1 - start.y; // y in stored order from here on
    const int stepY = -step.y;
    if constexpr (Bits == 1 || Bits == 4) { // pixels inside bytes
        for (int tx = 0; tx < width; ++tx, x += step.x, y += stepY) {
            std::uint8_t index{};
            getIndex(source, index, y, x, Bits);
            putIndexSequential(target, index, targetRow, tx, Bits);
        }
    } else {
        // Whole-byte pixels, palette indices included: walk the source with one pointer step
        // per target pixel.
        constexpr int kBytes = Bits / 8;
        const std::ptrdiff_t advance =
            std::ptrdiff_t(step.x) * kBytes + std::ptrdiff_t(stepY) * std::ptrdiff_t(source.stride);
        const std::uint8_t* base = source.data.data();
        std::ptrdiff_t at = source.row(y) - base + std::ptrdiff_t(kBytes) * x;
        std::uint8_t* out = target.row(targetRow);
        for (int tx = 0; tx < width; ++tx, at += advance, out += kBytes)
            std::memcpy(out, base + at, kBytes);
    }
}

using LineCopier = void (*)(const DibImage&, DibImage&, int, Point, Point);

LineCopier copierFor(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
        return copyLine<1>;
    case 4:
        return copyLine<4>;
    case 8:
        return copyLine<8>;
    case 24:
        return copyLine<24>;
    default:
        return copyLine<32>;
    }
}

} // namespace

bool rotateFlip(const DibImage& source, DibImage& target, int turns, int flip, std::string& error) {
    if (turns < 0 || turns > 3 || flip < 0 || flip > 3) {
        error = "the rotation or flip is out of range";
        return false;
    }
    if (!isWellFormed(source)) {
        error = "the picture to rotate is not a usable bitmap";
        return false;
    }
    const int width = turns % 2 ? source.height : source.width;
    const int height = turns % 2 ? source.width : source.height;
    DibImage result;
    if (!allocatePicture(result, width, height, source.bitsPerPixel, source.colorsUsed, error))
        return false;
    std::memcpy(result.paletteEntry(0), source.paletteEntry(0), source.paletteBytes);
    const LineCopier copy = copierFor(source.bitsPerPixel);
    parallelRows(height, [&](int begin, int end) {
        for (int row = begin; row < end; ++row) {
            const int ty = height - 1 - row;
            const Point start = sourceOf(0, ty, width, height, source, turns, flip);
            // For a one-pixel row the step leads out of the picture but is never taken.
            const Point next = sourceOf(1, ty, width, height, source, turns, flip);
            copy(source, result, row, start, Point{next.x - start.x, next.y - start.y});
        }
    });
    target = std::move(result);
    return true;
}

} // namespace vellora::imageio
