#pragma once
// Edge-preserving smoothing: around every pixel a 5 x 5 window (row 0 on the stored row two
// before the centre) is split into nine overlapping sub-windows; the one whose luminance is most
// uniform by the criterion gives the pixel its mean colour.
#include "core/session.h"

#include <array>
#include <cstdint>

namespace vellora {

enum EdgePreservingCriterion : int {
    kCriterionRange = 0,    // "range (max - min)"
    kCriterionVariance = 1, // "variance"
    kCriterionDeviation = 2 // "std. deviation"
};

struct SubWindow {
    int count;                    // 7, or 9 for the centre 3 x 3
    std::array<int, 9> positions; // window positions p = 5 j + i
};

// The nine sub-windows; every one holds the centre position 12.
inline constexpr int kSubWindows = 9;
extern const std::array<SubWindow, kSubWindows> subWindowTable;

// The colour of one window: colors[p] is blue, green, red of position p and luminances[p] its
// windowLuminance. The sub-window with the smallest criterion value wins, the lowest number on
// equal values; the result is the mean of each channel over it, truncated.
void selectSubWindow(const double (*colors)[3], const double* luminances, int criterion,
                     std::uint8_t* bgr);

// The pass into a 24 bpp target of the source's size. Returns 0.
int edgePreservingPass(Session& session, DibImage& target, const DibImage& source, int criterion);

// sourceImage (already read) to nextPath; both images released. 0, or 1 on failure (a criterion
// outside 0 … 2 included).
int edgePreservingSmooth(Session& session, int criterion);

// The command: the operation frame around edgePreservingSmooth with `edgePreservingIndex`.
int edgePreservingHandler(Session& session);

} // namespace vellora
