#include "color/histogramModify.h"

#include "color/channelTables.h"
#include "core/errors.h"
#include "core/operationFrame.h"
#include "core/pictureStep.h"
#include "core/pixelAccess.h"
#include "core/progress.h"
#include "core/rowBands.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vellora {

namespace {

constexpr std::string_view kOutOfRangeText = "out of range which must be 0 ~ 255";
constexpr std::string_view kOutsetAboveEndsetText = "outset must be smaller than endset";

// 48 bytes are 16 whole pixels, so lane p of every block always holds channel p % 3.
constexpr std::size_t kLanes = 48;

// The minimum and maximum of every lane over `bytes` (a multiple of kLanes), taken 16 bytes
// wide: written as selections, since std::min's references keep the loop scalar.
void laneSpans(const std::uint8_t* bgr, std::size_t bytes, std::uint8_t* laneLo,
               std::uint8_t* laneHi) {
    std::uint8_t lo[kLanes], hi[kLanes];
    for (std::size_t p = 0; p < kLanes; ++p) {
        lo[p] = 255;
        hi[p] = 0;
    }
    for (std::size_t i = 0; i < bytes; i += kLanes)
        for (std::size_t p = 0; p < kLanes; ++p) {
            const std::uint8_t v = bgr[i + p];
            lo[p] = v < lo[p] ? v : lo[p];
            hi[p] = v > hi[p] ? v : hi[p];
        }
    for (std::size_t p = 0; p < kLanes; ++p) {
        laneLo[p] = lo[p];
        laneHi[p] = hi[p];
    }
}

struct Span {
    std::array<int, 3> lo{255, 255, 255};
    std::array<int, 3> hi{0, 0, 0};
    void add(const std::uint8_t* bgr) {
        for (int c = 0; c < 3; ++c) {
            lo[std::size_t(c)] = std::min<int>(lo[std::size_t(c)], bgr[c]);
            hi[std::size_t(c)] = std::max<int>(hi[std::size_t(c)], bgr[c]);
        }
    }
    // The same over a row of pixels; the whole 16-pixel blocks go through laneSpans.
    void addRow(const std::uint8_t* bgr, std::size_t pixels) {
        std::uint8_t laneLo[kLanes], laneHi[kLanes];
        const std::size_t whole = 3 * pixels / kLanes * kLanes;
        laneSpans(bgr, whole, laneLo, laneHi);
        for (std::size_t p = 0; p < kLanes; ++p) {
            lo[p % 3] = std::min<int>(lo[p % 3], laneLo[p]);
            hi[p % 3] = std::max<int>(hi[p % 3], laneHi[p]);
        }
        for (std::size_t i = whole; i < 3 * pixels; i += 3)
            add(bgr + i);
    }
    void merge(const Span& other) {
        for (std::size_t c = 0; c < 3; ++c) {
            lo[c] = std::min(lo[c], other.lo[c]);
            hi[c] = std::max(hi[c], other.hi[c]);
        }
    }
};

ChannelTables tablesFor(const Span& span, const HistogramRequest& request) {
    ChannelTables tables;
    for (std::size_t c = 0; c < 3; ++c)
        tables[c] = histogramChannelTable(request.enabled[c], span.lo[c], span.hi[c],
                                          request.outset[c], request.endset[c]);
    return tables;
}

int palettePasses(const DibImage& image) {
    const int full = 1 << image.bitsPerPixel;
    return image.colorsUsed == 0 ? full : std::min(int(image.colorsUsed), full);
}

void modifyPalette(Session& session, DibImage& target, const DibImage& source,
                   const HistogramRequest& request) {
    const int n = palettePasses(source);
    Span span;
    for (int i = 0; i < n; ++i)
        span.add(source.paletteEntry(i));
    const ChannelTables tables = tablesFor(span, request);
    progressBegin(session, n);
    for (int i = 0; i < n; ++i) {
        std::uint8_t* entry = target.paletteEntry(i);
        std::memcpy(entry, source.paletteEntry(i), 3);
        mapThroughChannelTables(entry, entry, 1, tables);
        entry[3] = 0;
        progressAdvance(session);
    }
    std::memcpy(target.row(0), source.row(0), std::size_t(source.stride) * source.height);
}

void modifyPixels(Session& session, DibImage& target, const DibImage& source,
                  const HistogramRequest& request, WorkerRows& scratch, int workers) {
    const std::size_t pixels = std::size_t(source.width);
    // A 24 bpp row already is the colour row: it is scanned and mapped where it lies.
    const bool straight = source.bitsPerPixel == 24;
    std::vector<Span> spans(static_cast<std::size_t>(workers));
    forRowBands(source.height, workers, [&](int worker, int begin, int end) {
        std::uint8_t* colors = scratch.row(worker);
        for (int y = begin; y < end; ++y) {
            if (!straight) readRowColors(source, y, colors);
            spans[std::size_t(worker)].addRow(straight ? source.row(y) : colors, pixels);
        }
    });
    for (const Span& s : spans)
        spans[0].merge(s);
    const ChannelTables tables = tablesFor(spans[0], request);
    progressBegin(session, source.height);
    forRowsWithProgress(session, source.height, workers, [&](int worker, int begin, int end) {
        std::uint8_t* colors = scratch.row(worker);
        for (int y = begin; y < end; ++y) {
            if (straight) {
                mapThroughChannelTables(source.row(y), target.row(y), pixels, tables);
                continue;
            }
            readRowColors(source, y, colors);
            mapThroughChannelTables(colors, colors, pixels, tables);
            writeRowColors(target, y, colors);
        }
    });
}

} // namespace

HistogramRequest histogramRequest(const ParameterBlock& block) {
    HistogramRequest request;
    for (std::size_t c = 0; c < 3; ++c) {
        const std::size_t stored = 2 - c; // the block keeps red, green, blue
        request.enabled[c] = block.histEnabled[stored] != 0;
        request.outset[c] = int(block.histOutset[stored]);
        request.endset[c] = int(block.histEndset[stored]);
    }
    return request;
}

std::array<std::uint8_t, 256> histogramChannelTable(bool enabled, int lo, int hi, int outset,
                                                    int endset) {
    std::array<std::uint8_t, 256> table;
    if (!enabled || (lo == outset && hi == endset)) {
        for (int v = 0; v < 256; ++v)
            table[std::size_t(v)] = std::uint8_t(v);
        return table;
    }
    if (hi == lo) {
        // A single value has no span to stretch: it goes to the lower end of the range.
        table.fill(std::uint8_t(std::clamp(outset, 0, 255)));
        return table;
    }
    const double scale = double(endset - outset) / double(hi - lo);
    for (int v = 0; v < 256; ++v)
        table[std::size_t(v)] = std::uint8_t(std::clamp((v - lo) * scale + outset, 0.0, 255.0));
    return table;
}

int modifyHistogramToImage(Session& session, const DibImage& source, DibImage& target,
                           const HistogramRequest& request) {
    if (const int code = createDib(session.frontend, target, source.width, source.height,
                                   source.bitsPerPixel, source.colorsUsed);
        code != 0)
        return code;
    if (source.isIndexed()) {
        modifyPalette(session, target, source, request);
        return 0;
    }
    const int workers = rowWorkerCount(source.height);
    WorkerRows scratch;
    if (!scratch.allocate(workers, 3 * std::size_t(source.width)))
        return reportError(session.frontend, kErrorAllocate);
    modifyPixels(session, target, source, request, scratch, workers);
    return 0;
}

int modifyHistogram(Session& session, const HistogramRequest& request) {
    const std::array<std::int64_t, 3> outsets{request.outset[2], request.outset[1],
                                              request.outset[0]};
    const std::array<std::int64_t, 3> endsets{request.endset[2], request.endset[1],
                                              request.endset[0]};
    if (const std::string_view error = histogramValuesError(outsets, endsets); !error.empty()) {
        session.frontend.showMessage("alart", error);
        return kFailed;
    }
    return runPictureStep(session, [&](const DibImage& source, DibImage& target) {
        return modifyHistogramToImage(session, source, target, request);
    });
}

std::string_view histogramValuesError(const std::array<std::int64_t, 3>& outsetRGB,
                                      const std::array<std::int64_t, 3>& endsetRGB) {
    const auto outOfRange = [](std::int64_t v) { return v < 0 || v > 255; };
    for (std::size_t c = 0; c < 3; ++c) {
        if (outOfRange(outsetRGB[c]) || outOfRange(endsetRGB[c])) return kOutOfRangeText;
        if (outsetRGB[c] > endsetRGB[c]) return kOutsetAboveEndsetText;
    }
    return {};
}

int histogramHandler(Session& session) {
    const HistogramRequest request = histogramRequest(session.workingBlock);
    return runOperationFrame(session, Operation::Histogram,
                             [&](Session& s) { return modifyHistogram(s, request); });
}

} // namespace vellora
