#pragma once
// Gray scale: an indexed picture whose palette holds only grays, 2 … 256 levels. With fewer
// levels than the picture can carry, the levels come from recursive splitting of the pixels'
// grays at their mean, and the pixels are mapped to the nearest level, optionally with
// Floyd–Steinberg error diffusion. The split and the gray copy also serve black and white.
#include "core/session.h"

#include <cstdint>
#include <vector>

namespace vellora {

// (77 × red + 151 × green + 28 × blue) / 256, truncated: BT.601 luma weights scaled to 256.
inline int grayWeightedSum(const std::uint8_t* bgr) {
    return 77 * bgr[2] + 151 * bgr[1] + 28 * bgr[0];
}
inline std::uint8_t grayLevel(const std::uint8_t* bgr) {
    return std::uint8_t(grayWeightedSum(bgr) >> 8);
}

enum class GrayPath { PaletteConversion, Direct, Reduction };

struct GrayFormat {
    int depth = 0;   // 1, 4 or 8
    int entries = 0; // colours-used value E
    GrayPath path = GrayPath::Reduction;
};

// Result depth: 1 for 2 levels, min(4, source depth) for 4 … 16, min(8, source depth) above;
// E = min(N, 2^depth) for an indexed source, N for a true-colour one; palette conversion when
// an indexed source has no more colours than N, direct for true colour at 256, else reduction.
GrayFormat grayResultFormat(int sourceDepth, int levels);

// The cluster phase. Every pixel of one weighted sum takes the same path through the splits,
// and sums of multiples of 1/256 stay exact in a double for any picture that fits in memory,
// so the per-pixel cluster array is held as a count per weighted sum (0 … 65280) with a label
// per sum: the means, splits and palette come out exactly as a scan of every pixel gives them.
struct GrayClusters {
    static constexpr int kSums = 65281;
    std::vector<std::uint64_t> counts; // pixels per weighted sum
    std::vector<std::uint32_t> labels; // label per weighted sum, 0 at the start
};

// Counts the source's pixels per weighted sum. Throws std::bad_alloc.
GrayClusters gatherGrayClusters(const DibImage& source);

// Splits the entries of `label` at their mean: those below keep it, the others get
// label + 2^(depth − 1); then recurses on both halves with depth − 1. One progress unit per
// split of a non-empty cluster.
void splitGrayCluster(Session& session, GrayClusters& clusters, std::uint32_t label, int depth);

// The reduction palette: E = target.colorsUsed levels (a power of two), each non-empty label's
// mean gray; empty labels stay black. Writes every pixel's label as its index. 0, or the
// reported 16.
int reduceGrayLevels(Session& session, DibImage& target, const DibImage& source);

// The per-pixel pass of each path: palette conversion (gray palette, rows copied), direct
// (ramp palette, pixel = grayLevel) or the mapping of the reduction path to the nearest of the
// target's E levels, with diffusion when asked. 0, or the reported 16.
int mapToGray(Session& session, DibImage& target, const DibImage& source, bool diffusion,
              GrayPath path);

// Makes and fills the gray picture for N levels. 0, or the reported code.
int grayScaleToImage(Session& session, const DibImage& source, DibImage& target, bool diffusion,
                     int levels);

// Current intermediate file → nextPath. 0 or 1.
int grayScaleImage(Session& session, bool diffusion, int levels);

// N = 2^(grayLevelIndex + 1), 2 for an index of 0 or less, 256 at most.
int grayLevelCount(std::int32_t levelIndex);

// The "Gray Scale" command with the working block's gray fields.
int grayScaleHandler(Session& session);

} // namespace vellora
