#pragma once
// The edge detection masks, all with k = 1: twelve direction masks numbered 3 x operator +
// direction (operators sobel, prewitt, kirsh, gradient; directions vertical, horizontal,
// oblique) and nine non-direction masks (laplacian, line and ripple).
#include "filter/filterMask.h"

namespace vellora {

inline constexpr int kDirectionFamily = 0;
inline constexpr int kNonDirectionFamily = 1;
inline constexpr int kEdgeOperatorCount = 4;
inline constexpr int kEdgeDirectionCount = 3; // "vert + horz" combines two of them
inline constexpr int kNonDirectionMaskCount = 9;

// Fills the mask from family 0 (index 0 … 11) or family 1 (index 0 … 8); any other index leaves
// it as it was and returns false.
bool makeEdgeMask(FilterMask& mask, int family, int index);

const char* edgeOperatorText(int index);
const char* edgeDirectionText(int index);
const char* nonDirectionMaskText(int index);

} // namespace vellora
