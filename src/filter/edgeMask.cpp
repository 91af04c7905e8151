#include "filter/edgeMask.h"

#include <array>
#include <cmath>

namespace vellora {

namespace {

const double s = std::sqrt(2.0);

struct EdgeMaskDefinition {
    int size;
    std::array<double, 25> coefficients; // row by row; row 0 on the row stored before the centre
};

// Index 3 x operator + direction. The gradient operator has no oblique mask of its own: its
// oblique entry is its horizontal mask.
const EdgeMaskDefinition kDirectionMasks[12] = {
    {3, {-1, -2, -1, 0, 0, 0, 1, 2, 1}},   // sobel vertical
    {3, {-1, 0, 1, -2, 0, 2, -1, 0, 1}},   // sobel horizontal
    {3, {-2, -1, 0, -1, 0, 1, 0, 1, 2}},   // sobel oblique
    {3, {-1, -1, -1, 0, 0, 0, 1, 1, 1}},   // prewitt vertical
    {3, {-1, 0, 1, -1, 0, 1, -1, 0, 1}},   // prewitt horizontal
    {3, {-1, -1, 0, -1, 0, 1, 0, 1, 1}},   // prewitt oblique
    {3, {-3, -3, -3, -3, 0, -3, 5, 5, 5}}, // kirsh vertical
    {3, {-3, -3, 5, -3, 0, 5, -3, -3, 5}}, // kirsh horizontal
    {3, {-3, -3, -3, -3, 0, 5, -3, 5, 5}}, // kirsh oblique
    {3, {1, s, 1, 0, 0, 0, -1, -s, -1}},   // gradient vertical
    {3, {1, 0, -1, s, 0, -s, 1, 0, -1}},   // gradient horizontal
    {3, {1, 0, -1, s, 0, -s, 1, 0, -1}},   // gradient oblique
};

const EdgeMaskDefinition kNonDirectionMasks[kNonDirectionMaskCount] = {
    {3, {0, -1, 0, -1, 4, -1, 0, -1, 0}},     // laplacian 05
    {3, {-1, -1, -1, -1, 8, -1, -1, -1, -1}}, // laplacian 09a
    {3, {1, -2, 1, -2, 4, -2, 1, -2, 1}},     // laplacian 09b
    {3, {-2, 1, -2, 1, 4, 1, -2, 1, -2}},     // laplacian 09c
    {5,
     {-1, -3, -4, -3, -1, -3, 0, 6, 0, -3, -4, 6, 20, 6, -4, -3, 0, 6, 0, -3, -1, -3, -4, -3, -1}},
    {3, {0, 1, 0, -1, 0, -1, 0, 1, 0}},  // line 05a
    {3, {-1, 0, 1, 0, 0, 0, 1, 0, -1}},  // line 05b
    {3, {0, -1, s, 1, 0, -1, -s, 1, 0}}, // ripple 07a
    {3, {s, -1, 0, -1, 0, 1, 0, 1, -s}}, // ripple 07b
};

const char* const kOperatorTexts[kEdgeOperatorCount] = {"sobel", "prewitt", "kirsh", "gradient"};
const char* const kDirectionTexts[kEdgeDirectionCount + 1] = {"vertical", "horizontal", "oblique",
                                                              "vert + horz"};
const char* const kNonDirectionTexts[kNonDirectionMaskCount] = {
    "laplacian 05", "laplacian 09a", "laplacian 09b", "laplacian 09c", "laplacian 25",
    "line 05a",     "line 05b",      "ripple 07a",    "ripple 07b"};

const char* textAt(const char* const* texts, int count, int index) {
    return index >= 0 && index < count ? texts[index] : "";
}

} // namespace

bool makeEdgeMask(FilterMask& mask, int family, int index) {
    const EdgeMaskDefinition* definition = nullptr;
    if (family == kDirectionFamily && index >= 0 && index < 12)
        definition = &kDirectionMasks[index];
    if (family == kNonDirectionFamily && index >= 0 && index < kNonDirectionMaskCount)
        definition = &kNonDirectionMasks[index];
    if (definition == nullptr) return false;
    setMaskCoefficients(mask, definition->size, 1, definition->coefficients.data());
    return true;
}

const char* edgeOperatorText(int index) {
    return textAt(kOperatorTexts, kEdgeOperatorCount, index);
}
const char* edgeDirectionText(int index) {
    return textAt(kDirectionTexts, kEdgeDirectionCount + 1, index);
}
const char* nonDirectionMaskText(int index) {
    return textAt(kNonDirectionTexts, kNonDirectionMaskCount, index);
}

} // namespace vellora
