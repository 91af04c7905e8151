#include "tiling/tileMatcher.h"

#include <algorithm>
#include <cmath>

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

// The entries a search has left after the quick bounds, side by side for the closer ones.
struct Candidates {
    std::array<std::uint8_t, 256> position, kept;
    std::array<double, 256> lightness, a, b, chroma;
    std::array<double, 256> lower, upper;
};

struct LastAnswer {
    const void* matcher = nullptr;
    int position = 0;
};

// How far in lightness an entry can lie and still be within `best`: S_L stays below
// 1 + 0.015 |L̄ − 50| and |L̄ − 50| below |L − 50| + |ΔL| / 2, so |ΔL| ≤ best · S_L gives this.
double lightnessReach(double lightness, double best) {
    const double shrink = 1.0 - 0.0075 * best;
    if (!(shrink > 0)) return INFINITY;
    return best * (1.0 + 0.015 * std::abs(lightness - 50.0)) / shrink;
}

bool beyond(double boundSquared, double bestSquared) {
    return boundSquared > bestSquared * (1 + kBoundSlack) + kBoundSlack;
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
    std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& x, const Entry& y) {
        return x.lab.lightness < y.lab.lightness;
    });
    for (std::size_t p = 0; p < entries_.size(); ++p) {
        const Entry& e = entries_[p];
        positionOf_[e.index] = int(p);
        lightness_.push_back(e.lab.lightness);
        a_.push_back(e.lab.a);
        b_.push_back(e.lab.b);
        chroma_.push_back(e.chroma);
    }
    cache_ = std::make_unique<std::atomic<std::uint64_t>[]>(std::size_t(1) << kCacheBits);
}

std::uint8_t TileMatcher::nearest(const Bgr& color) const {
    if (entries_.empty()) return 0;
    return match_ == ColorMatch::Ciede2000 ? nearestCiede2000(color) : nearestRgb(color);
}

void TileMatcher::prefetch(const Bgr* colors, std::size_t count) const {
    if (!cache_) return;
    for (std::size_t i = 0; i < count; ++i)
        __builtin_prefetch(&cache_[cacheSlot(colorKey(colors[i]))]);
}

std::uint8_t TileMatcher::nearestRgb(const Bgr& color) const {
    int best = 1 << 30;
    std::uint8_t chosen = entries_.front().index;
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

std::uint8_t TileMatcher::nearestCiede2000(const Bgr& color) const {
    const std::uint32_t key = colorKey(color);
    std::atomic<std::uint64_t>& slot = cache_[cacheSlot(key)];
    const std::uint64_t tag = kFilled | std::uint64_t(key) << 8;
    const std::uint64_t cached = slot.load(std::memory_order_relaxed);
    // Neighbouring tiles mostly share their entry: the last answer of this thread, found or
    // remembered, gives a close first limit, and only entries within that much lightness can
    // beat it.
    thread_local LastAnswer last;
    if ((cached & ~std::uint64_t(0xff)) == tag) {
        last = {this, positionOf_[std::size_t(cached & 0xff)]};
        return std::uint8_t(cached);
    }

    const Lab lab = labFromSrgb(color[0], color[1], color[2]);
    const double chroma = std::sqrt(lab.a * lab.a + lab.b * lab.b);
    // No entry can be nearer than any entry's upper bound, the last answer's to begin with.
    double limitSquared = INFINITY;
    const std::size_t n = entries_.size();
    if (last.matcher == this && std::size_t(last.position) < n) {
        const Entry& e = entries_[std::size_t(last.position)];
        limitSquared = ciede2000UpperBoundSquared(lab, chroma, e.lab, e.chroma);
    }
    const double reach =
        lightnessReach(lab.lightness, std::sqrt(limitSquared)) * (1 + kBoundSlack) + kBoundSlack;
    const std::size_t first =
        std::size_t(std::lower_bound(lightness_.begin(), lightness_.end(), lab.lightness - reach) -
                    lightness_.begin());
    const std::size_t end =
        std::size_t(std::upper_bound(lightness_.begin(), lightness_.end(), lab.lightness + reach) -
                    lightness_.begin());
    // Quick bounds over the window, then both closer bounds over what they leave, side by side.
    Candidates left;
    ciede2000QuickBounds(lab, chroma,
                         {lightness_.data() + first, a_.data() + first, b_.data() + first,
                          chroma_.data() + first, end - first},
                         left.lower.data());
    std::size_t count = 0;
    for (std::size_t p = first; p < end; ++p) {
        if (beyond(left.lower[p - first], limitSquared)) continue;
        left.position[count] = std::uint8_t(p);
        left.lightness[count] = lightness_[p];
        left.a[count] = a_[p];
        left.b[count] = b_[p];
        left.chroma[count] = chroma_[p];
        ++count;
    }
    ciede2000Bounds(lab, chroma,
                    {left.lightness.data(), left.a.data(), left.b.data(), left.chroma.data(),
                     count},
                    left.lower.data(), left.upper.data());
    for (std::size_t k = 0; k < count; ++k)
        limitSquared = std::min(limitSquared, left.upper[k]);
    // What the bounds leave; when that is one entry it is the nearest, with nothing worked out.
    std::size_t kept = 0;
    for (std::size_t k = 0; k < count; ++k)
        if (!beyond(left.lower[k], limitSquared)) left.kept[kept++] = std::uint8_t(k);
    int chosen = kept == 1 ? entries_[left.position[left.kept[0]]].index : 256;
    double best = INFINITY;
    const auto evaluate = [&](const Entry& e) {
        const double d = ciede2000(lab, e.lab);
        if (d < best || (d == best && e.index < chosen)) {
            best = d;
            chosen = e.index;
        }
    };
    if (kept > 1)
        for (std::size_t j = 0; j < kept; ++j) {
            const std::size_t k = left.kept[j];
            if (!beyond(left.lower[k], best * best)) evaluate(entries_[left.position[k]]);
        }
    // Rounding beyond every allowance would leave nothing: then every entry is worked out.
    if (chosen == 256)
        for (const Entry& e : entries_)
            evaluate(e);
    slot.store(tag | std::uint64_t(chosen), std::memory_order_relaxed);
    last = {this, positionOf_[std::size_t(chosen)]};
    return std::uint8_t(chosen);
}

std::vector<Bgr> paletteColors(const DibImage& picture) {
    std::vector<Bgr> colors;
    if (!picture.isIndexed()) return colors;
    const std::uint32_t used =
        picture.colorsUsed != 0 ? picture.colorsUsed : picture.paletteEntries;
    const std::uint32_t n = std::min<std::uint32_t>({used, picture.paletteEntries, 256});
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint8_t* e = picture.paletteEntry(int(i));
        colors.push_back({e[0], e[1], e[2]});
    }
    return colors;
}

} // namespace vellora
