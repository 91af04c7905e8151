#include "color/medianCut.h"

#include "color/rowWorkers.h"
#include "core/errors.h"
#include "core/parallel.h"
#include "core/pixelAccess.h"
#include "core/progress.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>

namespace vellora {

namespace {

struct Bgr {
    int blue, green, red;
};
Bgr unpack(std::uint32_t c) {
    return {int(c & 255), int((c >> 8) & 255), int(c >> 16)};
}
std::uint32_t pack(const std::uint8_t* bgr) {
    return std::uint32_t(bgr[0]) | std::uint32_t(bgr[1]) << 8 | std::uint32_t(bgr[2]) << 16;
}

struct AxisStats {
    double min = 0, max = 0, sum = 0;
    void first(double v) { min = max = sum = v; }
    void add(double v) {
        min = std::min(min, v);
        max = std::max(max, v);
        sum += v;
    }
};

// Later axis of a compared pair on ties.
CutAxis chooseAxis(double rY, double rCb, double rCr) {
    if (rY > rCb) return rY > rCr ? CutAxis::Luma : CutAxis::RedDifference;
    return rCb > rCr ? CutAxis::BlueDifference : CutAxis::RedDifference;
}

MedianCutSplit measureBox(const std::uint32_t* members, std::size_t count) {
    AxisStats y, cb, cr;
    for (std::size_t i = 0; i < count; ++i) {
        const Bgr c = unpack(members[i]);
        const double vy = lumaOf(c.blue, c.green, c.red);
        const double vcb = blueDifferenceOf(c.blue, c.green, c.red);
        const double vcr = redDifferenceOf(c.blue, c.green, c.red);
        if (i == 0) {
            y.first(vy), cb.first(vcb), cr.first(vcr);
        } else {
            y.add(vy), cb.add(vcb), cr.add(vcr);
        }
    }
    const double n = double(count);
    const CutAxis axis =
        chooseAxis((y.max - y.min) * 1.4, (cb.max - cb.min) * 1.2, cr.max - cr.min);
    const double mean = axis == CutAxis::Luma             ? y.sum / n
                        : axis == CutAxis::BlueDifference ? cb.sum / n
                                                          : cr.sum / n;
    return {true, axis, mean};
}

// Members below the mean stay at the front, the others follow, both in their old order.
std::size_t partitionBox(MedianCutBoxes& boxes, std::size_t begin, std::size_t end,
                         const MedianCutSplit& split) {
    std::uint32_t* colors = boxes.colors.data();
    std::uint32_t* upper =
        boxes.scratch.data() + begin; // disjoint per box, so boxes may split in parallel
    std::size_t lowEnd = begin, upperCount = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const Bgr c = unpack(colors[i]);
        if (axisValue(split.axis, c.blue, c.green, c.red) < split.mean)
            colors[lowEnd++] = colors[i];
        else
            upper[upperCount++] = colors[i];
    }
    std::copy(upper, upper + upperCount, colors + lowEnd);
    return lowEnd;
}

MedianCutSplit& splitAt(MedianCutBoxes& boxes, int depth, std::uint32_t box) {
    return boxes.splits[std::size_t(depth - 1) * (std::size_t(1) << boxes.depth) + box];
}

bool allocateBoxes(MedianCutBoxes& boxes, std::size_t pixels, int depth) {
    const std::size_t boxCount = std::size_t(1) << depth;
    try {
        boxes.colors.assign(pixels, 0);
        boxes.scratch.assign(pixels, 0);
        boxes.begin.assign(boxCount, 0);
        boxes.end.assign(boxCount, 0);
        boxes.splits.assign(std::size_t(std::max(depth, 1)) * boxCount, MedianCutSplit{});
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    boxes.depth = depth;
    boxes.end[0] = pixels;
    return true;
}

// Progress of the splits: reported to the session, or counted on a helper thread (which must
// not touch the frontend) and reported after it joins.
struct SplitProgress {
    Session* session = nullptr;
    int counted = 0;
    void advance() {
        if (session)
            progressAdvance(*session);
        else
            ++counted;
    }
};

// Splits one box; false when it is not split (depth below 1 or no members).
bool splitOnce(MedianCutBoxes& boxes, std::uint32_t box, int depth) {
    if (depth < 1 || boxes.colors.empty()) return false;
    const std::size_t begin = boxes.begin[box], end = boxes.end[box];
    if (begin == end) return false;
    const MedianCutSplit split = measureBox(boxes.colors.data() + begin, end - begin);
    splitAt(boxes, depth, box) = split;
    const std::uint32_t newBox = box + (1u << (depth - 1));
    const std::size_t middle = partitionBox(boxes, begin, end, split);
    boxes.end[box] = middle;
    boxes.begin[newBox] = middle;
    boxes.end[newBox] = end;
    return true;
}

// Depth first, the lower box to the bottom before the upper one.
void splitTree(MedianCutBoxes& boxes, std::uint32_t box, int depth, SplitProgress& progress) {
    if (!splitOnce(boxes, box, depth)) return;
    progress.advance();
    splitTree(boxes, box, depth - 1, progress);
    splitTree(boxes, box + (1u << (depth - 1)), depth - 1, progress);
}

// Below this many pixels a helper thread is not worth starting.
constexpr std::size_t kParallelCutPixels = std::size_t(1) << 20;

// After the first split the two halves share no members and no box numbers, so the upper half
// is cut on a helper thread while this one cuts the lower half; every box still sums its own
// members in storage order, so the palette is the same. The upper half's progress is reported
// when it is done.
void splitAll(MedianCutBoxes& boxes, int depth, Session& session) {
    SplitProgress progress{&session};
    if (depth < 2 || workerThreadCount() < 2 || boxes.colors.size() < kParallelCutPixels) {
        splitTree(boxes, 0, depth, progress);
        return;
    }
    if (!splitOnce(boxes, 0, depth)) return;
    progress.advance();
    const std::uint32_t upperBox = 1u << (depth - 1);
    SplitProgress upperProgress;
    std::thread helper;
    try {
        helper = std::thread([&] { splitTree(boxes, upperBox, depth - 1, upperProgress); });
    } catch (const std::system_error&) {
        splitTree(boxes, 0, depth - 1, progress);
        splitTree(boxes, upperBox, depth - 1, progress);
        return;
    }
    splitTree(boxes, 0, depth - 1, progress);
    helper.join();
    progressAdvanceBy(session, upperProgress.counted);
}

void collectColors(MedianCutBoxes& boxes, const DibImage& source,
                   std::vector<std::vector<std::uint8_t>>& rows) {
    const std::size_t width = std::size_t(source.width);
    runColorRows(source.height, int(rows.size()), [&](int worker, int begin, int end) {
        std::uint8_t* bgr = rows[std::size_t(worker)].data();
        for (int y = begin; y < end; ++y) {
            readRowColors(source, y, bgr);
            std::uint32_t* out = boxes.colors.data() + std::size_t(y) * width;
            for (std::size_t x = 0; x < width; ++x)
                out[x] = pack(bgr + 3 * x);
        }
    });
}

void writePalette(const MedianCutBoxes& boxes, DibImage& target) {
    for (std::uint32_t box = 0; box < target.colorsUsed; ++box) {
        const std::size_t count = boxes.end[box] - boxes.begin[box];
        if (count == 0) continue;
        double sumY = 0, sumCb = 0, sumCr = 0;
        for (std::size_t i = boxes.begin[box]; i < boxes.end[box]; ++i) {
            const Bgr c = unpack(boxes.colors[i]);
            sumY += lumaOf(c.blue, c.green, c.red);
            sumCb += blueDifferenceOf(c.blue, c.green, c.red);
            sumCr += redDifferenceOf(c.blue, c.green, c.red);
        }
        const double n = double(count);
        meanToColor(sumY / n, sumCb / n, sumCr / n, target.paletteEntry(int(box)));
    }
    for (std::uint32_t i = target.colorsUsed; i < target.paletteEntries; ++i)
        std::fill(target.paletteEntry(int(i)), target.paletteEntry(int(i)) + 3, 0);
}

void writeIndices(const MedianCutBoxes& boxes, DibImage& target, const DibImage& source,
                  std::vector<std::vector<std::uint8_t>>& rows) {
    const int width = source.width;
    runColorRows(source.height, int(rows.size()), [&](int worker, int begin, int end) {
        std::uint8_t* bgr = rows[std::size_t(worker)].data();
        std::uint8_t* indices = bgr + 3 * std::size_t(width);
        for (int y = begin; y < end; ++y) {
            readRowColors(source, y, bgr);
            for (int x = 0; x < width; ++x)
                indices[x] =
                    std::uint8_t(medianCutBoxOf(boxes, bgr[3 * x], bgr[3 * x + 1], bgr[3 * x + 2]));
            writeRowIndices(target, y, indices);
        }
    });
}

} // namespace

int medianCutDepth(std::uint32_t colors) {
    int depth = 0;
    while (colors > 1) {
        colors >>= 1;
        ++depth;
    }
    return depth;
}

void splitBox(MedianCutBoxes& boxes, std::uint32_t box, int depth, Session& session) {
    SplitProgress progress{&session};
    splitTree(boxes, box, depth, progress);
}

std::uint32_t medianCutBoxOf(const MedianCutBoxes& boxes, int blue, int green, int red) {
    std::uint32_t box = 0;
    const std::size_t boxCount = std::size_t(1) << boxes.depth;
    for (int depth = boxes.depth; depth >= 1; --depth) {
        const MedianCutSplit& split = boxes.splits[std::size_t(depth - 1) * boxCount + box];
        if (!split.done) break;
        if (axisValue(split.axis, blue, green, red) >= split.mean) box += 1u << (depth - 1);
    }
    return box;
}

int medianCutPalette(Session& session, DibImage& target, const DibImage& source) {
    const int depth = medianCutDepth(target.colorsUsed);
    const std::size_t pixels = std::size_t(source.width) * std::size_t(source.height);
    MedianCutBoxes boxes;
    std::vector<std::vector<std::uint8_t>> rows;
    try {
        rows.assign(std::size_t(colorRowWorkers(source.height)),
                    std::vector<std::uint8_t>(4 * std::size_t(source.width)));
    } catch (const std::bad_alloc&) {
        return reportError(session.frontend, kErrorAllocate);
    }
    if (!allocateBoxes(boxes, pixels, depth)) return reportError(session.frontend, kErrorAllocate);
    collectColors(boxes, source, rows);
    progressBegin(session, double((1u << depth) - 1));
    splitAll(boxes, depth, session);
    writePalette(boxes, target);
    writeIndices(boxes, target, source, rows);
    return kOk;
}

bool reduceTo256Colors(const DibImage& trueColor, DibImage& indexed8) {
    SilentFrontend frontend;
    Session session(frontend);
    DibImage result;
    if (createDib(frontend, result, trueColor.width, trueColor.height, 8, 256) != 0) return false;
    if (medianCutPalette(session, result, trueColor) != 0) return false;
    indexed8 = std::move(result);
    return true;
}

} // namespace vellora
