#include "color/posterize.h"

#include "color/channelTables.h"
#include "color/evenPalette.h"
#include "core/errors.h"
#include "core/operationFrame.h"
#include "core/pictureStep.h"
#include "core/pixelAccess.h"
#include "core/progress.h"
#include "core/rowBands.h"

namespace vellora {

namespace {

constexpr int kMaxLevels = 128;

struct Steps {
    int step;
    int half;
};

Steps stepsOf(int levels) {
    const int steps = levels > 1 ? levels - 1 : 1;
    const int step = 255 / steps;
    return {step, step / 2};
}

// v / s, rounded up when the remainder is above the half step.
int roundedQuotient(int value, Steps s) {
    return value / s.step + (value % s.step > s.half ? 1 : 0);
}

// Every level combination, red outermost, blue innermost: the even palette of these counts.
void writePosterPalette(DibImage& target, const LevelCounts& levels, int colors) {
    EvenPaletteRecord record;
    record.colorCount = std::uint32_t(colors);
    for (int c = 0; c < 3; ++c) {
        const Steps s = stepsOf(levels[std::size_t(c)]);
        record.divisions[std::size_t(c)] = std::uint8_t(levels[std::size_t(c)]);
        record.steps[std::size_t(c)] =
            std::uint8_t(levels[std::size_t(c)] > 1 ? levels[std::size_t(c)] - 1 : 1);
        record.step[std::size_t(c)] = std::uint8_t(s.step);
        record.halfStep[std::size_t(c)] = std::uint8_t(s.half);
    }
    record.entriesStored = target.paletteEntries;
    fillEvenPaletteEntries(record, target.paletteEntry(0));
}

// Per channel, what every value 0 … 255 becomes: its level's component, or for indexed results
// its level's share of the palette index, (red level × green levels + green level) × blue
// levels + blue level, so that the three shares add up to the index.
ChannelTables makeTables(const LevelCounts& levels, bool indexed) {
    const int weights[3] = {1, levels[0], levels[0] * levels[1]};
    ChannelTables tables{};
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            tables[std::size_t(c)][std::size_t(v)] =
                indexed ? std::uint8_t(posterLevelIndex(v, levels[std::size_t(c)]) * weights[c])
                        : posterComponent(v, levels[std::size_t(c)]);
    return tables;
}

void posterizeRowToIndices(const std::uint8_t* in, std::uint8_t* out, int width,
                           const ChannelTables& t) {
    for (int x = 0; x < width; ++x, in += 3)
        out[x] = std::uint8_t(t[0][in[0]] + t[1][in[1]] + t[2][in[2]]);
}

void posterizeRowToColors(const std::uint8_t* in, std::uint8_t* out, int width,
                          const ChannelTables& t) {
    mapThroughChannelTables(in, out, std::size_t(width), t);
}

} // namespace

PosterFormat posterResultFormat(const LevelCounts& levels) {
    const int colors = levels[0] * levels[1] * levels[2];
    const int depth = colors <= 2 ? 1 : colors <= 16 ? 4 : colors <= 256 ? 8 : 24;
    return {depth, colors};
}

std::uint8_t posterLevelIndex(int value, int levels) {
    if (levels <= 1) return 0;
    const int q = roundedQuotient(value, stepsOf(levels));
    return std::uint8_t(q < levels - 1 ? q : levels - 1);
}

std::uint8_t posterComponent(int value, int levels) {
    if (levels <= 1) return 16;
    const Steps s = stepsOf(levels);
    const int q = roundedQuotient(value, s);
    return std::uint8_t(q < levels ? q * s.step : 255);
}

LevelCounts posterLevels(bool common, int levelRGB, int red, int green, int blue) {
    if (common) return {levelRGB, levelRGB, levelRGB};
    return {blue, green, red};
}

bool posterLevelsValid(bool common, int levelRGB, int red, int green, int blue) {
    if (common) return levelRGB >= 2 && levelRGB <= kMaxLevels;
    const auto inRange = [](int l) { return l >= 1 && l <= kMaxLevels; };
    return inRange(red) && inRange(green) && inRange(blue) && (red > 1 || green > 1 || blue > 1);
}

int posterizeToImage(Session& session, const DibImage& source, DibImage& target,
                     const LevelCounts& levels) {
    const PosterFormat format = posterResultFormat(levels);
    if (const int code = createDib(session.frontend, target, source.width, source.height,
                                   std::uint16_t(format.depth), std::uint32_t(format.colors));
        code != 0)
        return code;
    const bool indexed = target.isIndexed();
    if (indexed) writePosterPalette(target, levels, format.colors);
    const ChannelTables tables = makeTables(levels, indexed);
    const int workers = rowWorkerCount(source.height);
    WorkerRows scratch; // colours read, colours or indices to write
    if (!scratch.allocate(workers, 3 * std::size_t(source.width), 2))
        return reportError(session.frontend, kErrorAllocate);
    const bool readsInPlace = source.bitsPerPixel == 24;
    const bool writesInPlace = target.bitsPerPixel == 8 || target.bitsPerPixel == 24;
    const auto posterizeRow = indexed ? posterizeRowToIndices : posterizeRowToColors;
    const auto writeRow = indexed ? writeRowIndices : writeRowColors;
    progressBegin(session, source.height);
    forRowsWithProgress(session, source.height, workers, [&](int worker, int begin, int end) {
        std::uint8_t* colors = scratch.row(worker);
        std::uint8_t* out = scratch.row(worker, 1);
        for (int y = begin; y < end; ++y) {
            // 24 bpp rows are read, and 8 and 24 bpp rows written, in place: no unpacking.
            const std::uint8_t* in = readsInPlace ? source.row(y) : colors;
            std::uint8_t* result = writesInPlace ? target.row(y) : out;
            if (!readsInPlace) readRowColors(source, y, colors);
            posterizeRow(in, result, source.width, tables);
            if (!writesInPlace) writeRow(target, y, out);
        }
    });
    return 0;
}

int posterizeImage(Session& session, bool common, int levelRGB, int red, int green, int blue) {
    if (!posterLevelsValid(common, levelRGB, red, green, blue)) {
        session.frontend.showMessage("alert", kPosterLevelsText);
        return kFailed;
    }
    const LevelCounts levels = posterLevels(common, levelRGB, red, green, blue);
    return runPictureStep(session, [&](const DibImage& source, DibImage& target) {
        return posterizeToImage(session, source, target, levels);
    });
}

int posterizeHandler(Session& session) {
    const ParameterBlock& b = session.workingBlock;
    return runOperationFrame(session, Operation::Posterization, [&](Session& s) {
        return posterizeImage(s, b.posterCommon != 0, int(b.posterLevelRGB), int(b.posterLevelRed),
                              int(b.posterLevelGreen), int(b.posterLevelBlue));
    });
}

} // namespace vellora
