#include "color/ciede2000.h"
#include "support/simdLevels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

namespace vellora {
namespace {

struct Pair {
    Lab first;
    Lab second;
    double difference;
};

// The published and axis pairs of tests/data/ciede2000Pairs.txt.
std::vector<Pair> referencePairs() {
    std::ifstream in(VELLORA_SOURCE_DIR "/tests/data/ciede2000Pairs.txt");
    std::vector<Pair> pairs;
    for (std::string line; std::getline(in, line);) {
        Pair pair{};
        std::istringstream row(line);
        if (row >> pair.first.lightness >> pair.first.a >> pair.first.b >> pair.second.lightness >>
            pair.second.a >> pair.second.b >> pair.difference)
            pairs.push_back(pair);
    }
    return pairs;
}

TEST(Ciede2000, PublishedPairsBothWaysAndZeroForTheSameColour) {
    const std::vector<Pair> pairs = referencePairs();
    EXPECT_EQ(pairs.size(), 42u);
    for (const Pair& pair : pairs) {
        EXPECT_NEAR(ciede2000(pair.first, pair.second), pair.difference, 0.00005)
            << pair.first.lightness << " " << pair.first.a << " " << pair.first.b;
        EXPECT_NEAR(ciede2000(pair.second, pair.first), pair.difference, 0.00005);
        EXPECT_EQ(ciede2000(pair.first, pair.first), 0.0);
    }
}

// Reference values of sRGB under D65 to two decimals.
Lab labOf(std::uint32_t rgb) {
    return labFromSrgb(std::uint8_t(rgb), std::uint8_t(rgb >> 8), std::uint8_t(rgb >> 16));
}

TEST(Ciede2000, SrgbToLabOfKnownColours) {
    const std::pair<std::uint32_t, Lab> cases[] = {
        {0xFFFFFF, {100.0, 0.0, 0.0}},       {0x000000, {0.0, 0.0, 0.0}},
        {0xFF0000, {53.24, 80.09, 67.20}},   {0x00FF00, {87.73, -86.18, 83.18}},
        {0x0000FF, {32.30, 79.19, -107.86}}, {0x808080, {53.59, 0.0, 0.0}},
        {0x0A0500, {1.56, 0.61, 2.35}}}; // on the linear parts of both curves
    for (const auto& [rgb, expected] : cases) {
        const Lab lab = labOf(rgb);
        EXPECT_NEAR(lab.lightness, expected.lightness, 0.01) << std::hex << rgb;
        EXPECT_NEAR(lab.a, expected.a, 0.01) << std::hex << rgb;
        EXPECT_NEAR(lab.b, expected.b, 0.01) << std::hex << rgb;
    }
}

// The bounds a search prunes with must never exceed the difference itself, wherever the two
// colours lie (the published pairs hold the awkward hues, random sRGB colours the rest).
TEST(Ciede2000, BoundsNeverExceedTheDifference) {
    std::mt19937 random(2005);
    const auto check = [](const Lab& p, const Lab& q) {
        const double d = ciede2000(p, q);
        const double cp = std::hypot(p.a, p.b), cq = std::hypot(q.a, q.b);
        const double limit = d * d * (1 + 1e-12) + 1e-12;
        double quick = 0;
        ciede2000QuickBounds(p, cp, {&q.lightness, &q.a, &q.b, &cq, 1}, &quick);
        ASSERT_LE(quick, limit) << d;
        ASSERT_LE(ciede2000LowerBoundSquared(p, cp, q, cq), limit) << d;
        ASSERT_GE(ciede2000UpperBoundSquared(p, cp, q, cq), d * d * (1 - 1e-11) - 1e-12) << d;
    };
    for (const Pair& pair : referencePairs())
        check(pair.first, pair.second);
    // The bound must be useful too. It keeps the whole lightness term (for grays, the difference).
    // At equal lightness and chroma the hue term, nearly all, is weighted by the largest T (1.5725)
    // not the pair's (≥ 0.3): at chroma ≤ 20 (1.472 / 1.09)² < 2, the rotation term small there.
    for (const auto& [l1, l2] : {std::pair{20.0, 30.0}, {50.0, 90.0}, {3.0, 97.0}}) {
        const double d = ciede2000({l1, 0, 0}, {l2, 0, 0});
        EXPECT_NEAR(ciede2000LowerBoundSquared({l1, 0, 0}, 0, {l2, 0, 0}, 0), d * d, 1e-9) << l1;
        EXPECT_NEAR(ciede2000UpperBoundSquared({l1, 0, 0}, 0, {l2, 0, 0}, 0), d * d, 1e-9) << l1;
    }
    for (int degrees = 0; degrees < 360; degrees += 15)
        for (const double chroma : {5.0, 20.0}) {
            const double t = degrees * std::acos(-1.0) / 180, u = t + 0.7;
            const Lab p{50, chroma * std::cos(t), chroma * std::sin(t)};
            const Lab q{50, chroma * std::cos(u), chroma * std::sin(u)};
            const double d = ciede2000(p, q);
            EXPECT_GE(ciede2000LowerBoundSquared(p, chroma, q, chroma), d * d / 2) << degrees;
            EXPECT_LE(ciede2000UpperBoundSquared(p, chroma, q, chroma), d * d * 2) << degrees;
        }
    for (int i = 0; i < 100000; ++i) {
        const std::uint32_t rgb = random() & 0xFFFFFF;
        check(labOf(rgb), labOf(random() & 0xFFFFFF));
        check(labOf(rgb), labOf(rgb ^ (random() & 0x030303))); // a near colour
    }
}

// Searches bound a run at once: at every width each entry, lane or remainder, gets its lone bounds.
TEST(Ciede2000, BoundsOfARunEqualEachAlone) {
    std::mt19937 random(7);
    std::vector<double> l, a, b, c;
    for (int i = 0; i < 38; ++i) {
        const Lab q = labOf(random() & 0xFFFFFF);
        l.push_back(q.lightness), a.push_back(q.a), b.push_back(q.b);
        c.push_back(std::sqrt(q.a * q.a + q.b * q.b));
    }
    const Lab p = labFromSrgb(40, 200, 90);
    const double cp = std::sqrt(p.a * p.a + p.b * p.b);
    std::vector<double> alone(l.size()); // one by one at the baseline level, which comes first
    test::atEveryLevel([&](SimdLevel level) {
        for (std::size_t i = 0; level == SimdLevel::Baseline && i < l.size(); ++i)
            ciede2000QuickBounds(p, cp, {&l[i], &a[i], &b[i], &c[i], 1}, &alone[i]);
        std::vector<double> run(l.size()), lower(l.size()), upper(l.size());
        ciede2000QuickBounds(p, cp, {l.data(), a.data(), b.data(), c.data(), l.size()}, run.data());
        EXPECT_EQ(run, alone) << simdLevelName(level);
        // Pairs: each entry against the next one, a run of 37.
        const std::size_t n = l.size() - 1;
        ciede2000PairBounds({l.data(), a.data(), b.data(), c.data(), n},
                            {&l[1], &a[1], &b[1], &c[1], n}, lower.data(), upper.data());
        for (std::size_t i = 0; i < n; ++i) {
            const Lab first{l[i], a[i], b[i]}, second{l[i + 1], a[i + 1], b[i + 1]};
            ASSERT_EQ(lower[i], ciede2000LowerBoundSquared(first, c[i], second, c[i + 1])) << i;
            ASSERT_EQ(upper[i], ciede2000UpperBoundSquared(first, c[i], second, c[i + 1])) << i;
        }
    });
}

} // namespace
} // namespace vellora
