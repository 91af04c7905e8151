#include "tiling/tileMatcher.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

namespace vellora {

namespace {

constexpr int kCacheBits = 16;
constexpr std::uint64_t kFilled = std::uint64_t(1) << 32;
// Bounds and exact differences are worked out in different orders; a candidate is skipped only
// when its bound is above the best by more than their rounding could make up.
constexpr double kBoundSlack = 1e-9;

std::uint32_t colorKey(const Bgr& c) {
    return std::uint32_t(c[0]) | std::uint32_t(c[1]) << 8 | std::uint32_t(c[2]) << 16;
}

std::uint32_t cacheSlot(std::uint32_t key) {
    return ((key + 1) * 2654435761u) >> (32 - kCacheBits);
}

// What the slot of a remembered colour holds but for the index in its low byte.
std::uint64_t cacheTag(std::uint32_t key) {
    return kFilled | std::uint64_t(key) << 8;
}

// Up to this many colours not yet remembered are matched together: the bounds of all their
// candidates then share vector runs instead of each colour waiting on its own few. More would
// leave the later colours of a batch with a staler first limit and wider windows.
constexpr std::size_t kBatch = 4;
constexpr std::size_t kMostCandidates = kBatch * 256;
// Doubles in the widest vectors the bounds run on.
constexpr std::size_t kLanes = 8;

// Columns of colours for the bounds kernels.
template <std::size_t N> struct Columns {
    std::array<double, N> lightness, a, b, chroma;

    void set(std::size_t i, const Lab& lab, double c) {
        lightness[i] = lab.lightness;
        a[i] = lab.a;
        b[i] = lab.b;
        chroma[i] = c;
    }
    Lab lab(std::size_t i) const { return {lightness[i], a[i], b[i]}; }
    LabColumns view(std::size_t count) const {
        return {lightness.data(), a.data(), b.data(), chroma.data(), count};
    }
};

} // namespace

// Colours being matched together and the entries their quick bounds leave, each candidate
// beside the colour it is weighed against. Kept per thread, so nothing is allocated.
struct TileMatcher::Batch {
    std::size_t size;
    std::array<std::size_t, kBatch> where; // in the row
    std::array<Bgr, kBatch> color;
    Columns<kBatch> colors, starts;
    std::array<double, kBatch> startLower, limit;
    // Candidates of colour j: begin[j] … begin[j + 1] − 1; begin[0] is never written.
    std::array<std::size_t, kBatch + 1> begin{};
    std::array<std::uint8_t, kMostCandidates> position;
    Columns<kMostCandidates> pairedColors, candidates;
    std::array<double, kMostCandidates> lower, upper;
    std::array<double, 256> quick;
};

namespace {

// How far in lightness an entry can lie and still be within `best`: S_L stays below
// 1 + 0.015 |L̄ − 50| and |L̄ − 50| below |L − 50| + |ΔL| / 2, so |ΔL| ≤ best · S_L gives this.
double lightnessReach(double lightness, double best) {
    const double shrink = 1.0 - 0.0075 * best;
    if (!(shrink > 0)) return INFINITY;
    return best * (1.0 + 0.015 * std::abs(lightness - 50.0)) / shrink;
}

// The whole lightness below `lightness`, within 0 … kLightnessSteps − 1 (lightness is never
// above 100): entries from the first of that step on, up to the first of the next step after
// another lightness, hold every entry between the two.
std::size_t lightnessStep(double lightness) {
    return std::size_t(std::clamp(lightness, 0.0, double(TileMatcher::kLightnessSteps - 1)));
}

// A bound widened by what rounding could make up.
double withSlack(double bound) {
    return bound * (1 + kBoundSlack) + kBoundSlack;
}

bool beyond(double boundSquared, double bestSquared) {
    return boundSquared > withSlack(bestSquared);
}

} // namespace

TileMatcher::TileMatcher(const std::vector<Bgr>& palette, const std::vector<bool>& allowed,
                         ColorMatch match)
    : match_(match) {
    for (std::size_t i = 0; i < palette.size() && i < 256; ++i) {
        if (i < allowed.size() && !allowed[i]) continue;
        const Bgr& c = palette[i];
        const Lab lab = labFromSrgb(c[0], c[1], c[2]);
        entries_.push_back({c, lab, std::sqrt(lab.a * lab.a + lab.b * lab.b), std::uint8_t(i)});
    }
    if (match_ != ColorMatch::Ciede2000) return;
    std::ranges::stable_sort(entries_, {}, [](const Entry& e) { return e.lab.lightness; });
    for (std::size_t p = 0; p < entries_.size(); ++p) {
        const Entry& e = entries_[p];
        positionOf_[e.index] = int(p);
        lightness_.push_back(e.lab.lightness);
        a_.push_back(e.lab.a);
        b_.push_back(e.lab.b);
        chroma_.push_back(e.chroma);
    }
    for (std::size_t step = 0; step <= kLightnessSteps; ++step)
        firstFrom_[step] =
            step == 0 ? 0
            : step == kLightnessSteps
                ? lightness_.size()
                : std::size_t(std::lower_bound(lightness_.begin(), lightness_.end(), double(step)) -
                              lightness_.begin());
    cache_ = std::make_unique<std::atomic<std::uint64_t>[]>(std::size_t(1) << kCacheBits);
}

std::uint8_t TileMatcher::nearest(const Bgr& color) const {
    std::uint8_t index{};
    nearestRow(&color, 1, &index);
    return index;
}

std::uint8_t TileMatcher::nearestRgb(const Bgr& color) const {
    int best = std::numeric_limits<int>::max();
    std::uint8_t chosen{};
    for (const Entry& e : entries_) {
        const int db = color[0] - e.color[0];
        const int dg = color[1] - e.color[1];
        const int dr = color[2] - e.color[2];
        const int distance = db * db + dg * dg + dr * dr;
        if (distance < best) {
            best = distance;
            chosen = e.index;
        }
    }
    return chosen;
}

void TileMatcher::nearestRow(const Bgr* colors, std::size_t count, std::uint8_t* indices) const {
    if (entries_.empty() || match_ != ColorMatch::Ciede2000) {
        std::transform(colors, colors + count, indices,
                       [this](const Bgr& color) { return nearestRgb(color); });
        return;
    }
    for (const Bgr& color : std::span(colors, count))
        __builtin_prefetch(&cache_[cacheSlot(colorKey(color))]);
    // Neighbouring tiles mostly share their entry: the latest answer of this thread, found or
    // remembered, gives each colour a close first limit. An answer of another matcher is a
    // valid one too: an index left out here stands for the first entry.
    thread_local std::uint8_t latest{};
    thread_local Batch batch;
    batch.size = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (const auto remembered = rememberedAnswer(colors[i])) {
            indices[i] = latest = *remembered;
            continue;
        }
        addToBatch(batch, i, colors[i], std::size_t(positionOf_[latest]));
        if (batch.size < kBatch) continue;
        settleBatch(batch, indices);
        latest = indices[i];
    }
    if (batch.size > 0) settleBatch(batch, indices);
}

std::optional<std::uint8_t> TileMatcher::rememberedAnswer(const Bgr& color) const {
    const std::uint32_t key = colorKey(color);
    const std::uint64_t cached = cache_[cacheSlot(key)].load(std::memory_order_relaxed);
    if ((cached & ~std::uint64_t(0xff)) != cacheTag(key)) return std::nullopt;
    return std::uint8_t(cached);
}

void TileMatcher::remember(const Bgr& color, std::uint8_t index) const {
    const std::uint32_t key = colorKey(color);
    cache_[cacheSlot(key)].store(cacheTag(key) | index, std::memory_order_relaxed);
}

void TileMatcher::addToBatch(Batch& batch, std::size_t where, const Bgr& color,
                             std::size_t start) const {
    const std::size_t j = batch.size++;
    const Lab lab = labFromSrgb(color[0], color[1], color[2]);
    batch.where[j] = where;
    batch.color[j] = color;
    batch.colors.set(j, lab, std::sqrt(lab.a * lab.a + lab.b * lab.b));
    const Entry& e = entries_[start];
    batch.starts.set(j, e.lab, e.chroma);
}

void TileMatcher::settleBatch(Batch& batch, std::uint8_t* indices) const {
    const std::size_t n = batch.size;
    // No entry can be nearer than any entry's upper bound, the first limit's to begin with.
    ciede2000PairBounds(batch.colors.view(n), batch.starts.view(n), batch.startLower.data(),
                        batch.limit.data());
    for (std::size_t j = 0; j < n; ++j)
        gatherCandidates(batch, j);
    const std::size_t total = batch.begin[n];
    ciede2000PairBounds(batch.pairedColors.view(total), batch.candidates.view(total),
                        batch.lower.data(), batch.upper.data());
    for (std::size_t j = 0; j < n; ++j) {
        const std::uint8_t index = settle(batch, j);
        indices[batch.where[j]] = index;
        remember(batch.color[j], index);
    }
    batch.size = 0;
}

void TileMatcher::gatherCandidates(Batch& batch, std::size_t j) const {
    const Lab lab = batch.colors.lab(j);
    const double chroma = batch.colors.chroma[j];
    const double limitSquared = batch.limit[j];
    // Only entries within the limit's reach in lightness can beat it.
    const double reach = withSlack(lightnessReach(lab.lightness, std::sqrt(limitSquared)));
    std::size_t first = firstFrom_[lightnessStep(lab.lightness - reach)];
    std::size_t end = firstFrom_[lightnessStep(lab.lightness + reach) + 1];
    // Whole vectors of entries: more entries than needed cost less than the loop's remainder.
    const std::size_t n = entries_.size();
    const std::size_t width = std::min(n, (end - first + kLanes - 1) / kLanes * kLanes);
    first = std::min(first, n - width);
    end = first + width;
    ciede2000QuickBounds(lab, chroma,
                         {lightness_.data() + first, a_.data() + first, b_.data() + first,
                          chroma_.data() + first, end - first},
                         batch.quick.data());
    // Every entry is written and only those the quick bounds keep are counted: no branch to
    // guess.
    const std::size_t begin = batch.begin[j];
    std::size_t count = begin;
    for (std::size_t p = first; p < end; ++p) {
        batch.position[count] = std::uint8_t(p);
        count += !beyond(batch.quick[p - first], limitSquared);
    }
    for (std::size_t k = begin; k < count; ++k) {
        batch.candidates.set(k, entries_[batch.position[k]].lab, chroma_[batch.position[k]]);
        batch.pairedColors.set(k, lab, chroma);
    }
    batch.begin[j + 1] = count;
}

std::uint8_t TileMatcher::settle(const Batch& batch, std::size_t j) const {
    const std::size_t begin = batch.begin[j];
    const std::size_t end = batch.begin[j + 1];
    double limitSquared = batch.limit[j];
    for (std::size_t k = begin; k < end; ++k)
        limitSquared = std::min(limitSquared, batch.upper[k]);
    // What the bounds leave; when that is one entry it is the nearest, with nothing worked out.
    std::size_t kept = 0;
    std::size_t only = begin;
    for (std::size_t k = begin; k < end; ++k)
        if (!beyond(batch.lower[k], limitSquared)) {
            only = k;
            ++kept;
        }
    if (kept == 1) return entries_[batch.position[only]].index;
    const Lab lab = batch.colors.lab(j);
    std::uint8_t chosen{};
    double best = INFINITY;
    const auto evaluate = [&](const Entry& e) {
        const double d = ciede2000(lab, e.lab);
        if (d < best || (d == best && e.index < chosen)) {
            best = d;
            chosen = e.index;
        }
    };
    for (std::size_t k = begin; k < end; ++k)
        if (!beyond(batch.lower[k], std::min(limitSquared, best * best)))
            evaluate(entries_[batch.position[k]]);
    // Rounding beyond every allowance would leave nothing: then every entry is worked out.
    if (std::isinf(best))
        for (const Entry& e : entries_)
            evaluate(e);
    return chosen;
}

std::vector<Bgr> paletteColors(const DibImage& picture) {
    std::vector<Bgr> colors;
    if (!picture.isIndexed()) return colors;
    for (int i = 0; i < picture.listedEntries(); ++i) {
        const std::uint8_t* e = picture.paletteEntry(i);
        colors.push_back({e[0], e[1], e[2]});
    }
    return colors;
}

} // namespace vellora
