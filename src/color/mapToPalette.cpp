#include "color/mapToPalette.h"

#include "color/conversionCode.h"
#include "color/errorDiffusion.h"
#include "color/nearestPalette.h"
#include "color/rowWorkers.h"
#include "core/errors.h"
#include "core/pixelAccess.h"
#include "core/progress.h"

#include <algorithm>
#include <array>
#include <new>
#include <vector>

namespace vellora {

namespace {

enum class MappingRule { KeepIndices, Nearest, Even, CopyColors };

MappingRule ruleFor(int code, bool diffuse) {
    switch (conversionClass(code)) {
    case kClassMedianCut:
        return diffuse ? MappingRule::Nearest : MappingRule::KeepIndices;
    case kClassBasic:
        return MappingRule::Nearest;
    case kClassEven:
        return MappingRule::Even;
    case kClassTrueColor:
        return MappingRule::CopyColors;
    default:
        return code == kCodeUserEven ? MappingRule::Even : MappingRule::Nearest;
    }
}

// A rule gives one colour's index, a whole row's indices from its blue, green, red bytes (the
// row form keeps its tables in locals, which byte stores would otherwise force reloaded), and
// the error shares channel k of a diffused pixel spreads.
struct PaletteEntries {
    const std::uint8_t* palette = nullptr;
    // The shares channel k of a pixel spreads: its sum of value and waiting error, clamped to
    // adjusted[k], less the entry of the index chosen.
    DiffusionShares sharesFor(int k, int, const std::uint8_t* adjusted, std::uint8_t index) const {
        return floydSteinbergShares(adjusted[k] - palette[4 * std::size_t(index) + std::size_t(k)]);
    }
};

struct NearestRule : PaletteEntries {
    NearestPaletteFinder finder;
    std::uint8_t operator()(std::uint8_t b, std::uint8_t g, std::uint8_t r) {
        return finder.find(b, g, r);
    }
    void mapRow(const std::uint8_t* bgr, std::uint8_t* indices, int width) {
        for (int x = 0; x < width; ++x, bgr += 3)
            indices[x] = finder.find(bgr[0], bgr[1], bgr[2]);
    }
};

struct EvenRule : PaletteEntries {
    const EvenPaletteLookup* lookup = nullptr;
    std::uint8_t operator()(std::uint8_t b, std::uint8_t g, std::uint8_t r) const {
        return (*lookup)(b, g, r);
    }
    void mapRow(const std::uint8_t* bgr, std::uint8_t* indices, int width) const {
        const EvenPaletteLookup& table = *lookup;
        for (int x = 0; x < width; ++x, bgr += 3)
            indices[x] = table(bgr[0], bgr[1], bgr[2]);
    }
};

// An even palette made of its levels: each channel's entry value follows from that channel
// alone, so the shares of one pixel come from its sums, without waiting for its index.
struct LevelsEvenRule : EvenRule {
    const std::array<DiffusionShareTable, 3>* shares = nullptr;
    const DiffusionShares& sharesFor(int k, int sum, const std::uint8_t*, std::uint8_t) const {
        return (*shares)[std::size_t(k)][sum];
    }
};

struct RowScratch {
    std::vector<std::uint8_t> colors;
    std::vector<std::uint8_t> indices;
};

template <class Rule>
void diffuseRow(Rule& rule, const std::uint8_t* colors, std::uint8_t* indices, int width,
                DiffusionRows& errors) {
    DiffusionWalk<3> walk(errors);
    for (int x = 0; x < width; ++x, colors += 3) {
        int sums[3];
        std::uint8_t adjusted[3];
#pragma GCC unroll 3
        for (int k = 0; k < 3; ++k) {
            sums[k] = colors[k] + walk.waiting(x, k);
            adjusted[k] = std::uint8_t(std::clamp(sums[k], 0, 255));
        }
        const std::uint8_t index = rule(adjusted[0], adjusted[1], adjusted[2]);
        indices[x] = index;
#pragma GCC unroll 3
        for (int k = 0; k < 3; ++k)
            walk.spreadShares(x, k, rule.sharesFor(k, sums[k], adjusted, index));
    }
    walk.finish(width);
}

template <class Rule>
void diffuseRows(Session& session, DibImage& target, const DibImage& source, Rule rule,
                 DiffusionRows& errors, RowScratch& scratch) {
    for (int y = 0; y < source.height; ++y) {
        readRowColors(source, y, scratch.colors.data());
        diffuseRow(rule, scratch.colors.data(), scratch.indices.data(), source.width, errors);
        writeRowIndices(target, y, scratch.indices.data());
        errors.nextRow();
        progressAdvance(session);
    }
}

template <class Rule>
void mapRowsPlain(Session& session, DibImage& target, const DibImage& source,
                  std::vector<Rule>& rules, std::vector<RowScratch>& scratch) {
    const int width = source.width;
    runColorRowsWithProgress(
        session, source.height, int(rules.size()), [&](int worker, int begin, int end) {
            Rule& rule = rules[std::size_t(worker)];
            RowScratch& s = scratch[std::size_t(worker)];
            for (int y = begin; y < end; ++y) {
                readRowColors(source, y, s.colors.data());
                rule.mapRow(s.colors.data(), s.indices.data(), width);
                writeRowIndices(target, y, s.indices.data());
            }
        });
}

void copyColorRows(Session& session, DibImage& target, const DibImage& source,
                   std::vector<RowScratch>& scratch) {
    runColorRowsWithProgress(session, source.height, int(scratch.size()),
                             [&](int worker, int begin, int end) {
                                 std::uint8_t* colors = scratch[std::size_t(worker)].colors.data();
                                 for (int y = begin; y < end; ++y) {
                                     readRowColors(source, y, colors);
                                     writeRowColors(target, y, colors);
                                 }
                             });
}

template <class Rule>
void mapWithRule(Session& session, DibImage& target, const DibImage& source, DiffusionRows* errors,
                 std::vector<Rule>& rules, std::vector<RowScratch>& scratch) {
    if (errors)
        diffuseRows(session, target, source, rules[0], *errors, scratch[0]);
    else
        mapRowsPlain(session, target, source, rules, scratch);
}

bool allocateScratch(std::vector<RowScratch>& scratch, int workers, int width) {
    try {
        scratch.resize(std::size_t(workers));
        for (RowScratch& s : scratch) {
            s.colors.assign(3 * std::size_t(width), 0);
            s.indices.assign(std::size_t(width), 0);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

} // namespace

int mapToPalette(Session& session, DibImage& target, const DibImage& source, bool diffuse,
                 const EvenPaletteRecord& record, int code) {
    const MappingRule rule = ruleFor(code, diffuse);
    const bool spreads = diffuse && rule != MappingRule::CopyColors;
    const int workers = spreads ? 1 : colorRowWorkers(source.height);
    DiffusionRows errorRows;
    DiffusionRows* errors = spreads ? &errorRows : nullptr;
    std::vector<RowScratch> scratch;
    if ((errors && !errors->allocate(source.width, 3)) ||
        !allocateScratch(scratch, workers, source.width))
        return reportError(session.frontend, kErrorAllocate);
    progressBegin(session, source.height);
    switch (rule) {
    case MappingRule::KeepIndices:
        for (int y = 0; y < source.height; ++y)
            progressAdvance(session);
        return kOk;
    case MappingRule::CopyColors:
        copyColorRows(session, target, source, scratch);
        return kOk;
    case MappingRule::Even: {
        const EvenPaletteLookup lookup(record);
        const PaletteEntries entries{target.paletteEntry(0)};
        EvenPaletteLookup::ChannelLevels levels;
        if (errors && lookup.channelLevels(entries.palette, target.paletteEntries, levels)) {
            const std::array<DiffusionShareTable, 3> shares = {DiffusionShareTable(levels[0].data()),
                                                               DiffusionShareTable(levels[1].data()),
                                                               DiffusionShareTable(levels[2].data())};
            std::vector<LevelsEvenRule> rules(1, LevelsEvenRule{{entries, &lookup}, &shares});
            mapWithRule(session, target, source, errors, rules, scratch);
            return kOk;
        }
        std::vector<EvenRule> rules(std::size_t(workers), EvenRule{entries, &lookup});
        mapWithRule(session, target, source, errors, rules, scratch);
        return kOk;
    }
    case MappingRule::Nearest: {
        std::vector<NearestRule> rules(
            std::size_t(workers),
            NearestRule{{target.paletteEntry(0)}, NearestPaletteFinder(target)});
        mapWithRule(session, target, source, errors, rules, scratch);
        return kOk;
    }
    }
    return kOk;
}

} // namespace vellora
