#include "filter/filterMask.h"

#include <algorithm>
#include <array>

namespace vellora {

namespace {

struct MaskDefinition {
    const char* text;
    int size;
    double k;
    std::array<double, 49> coefficients; // row by row, size * size used
};

// The 7 x 7 gaussian is the outer product of the binomial row 1 6 15 20 15 6 1.
constexpr std::array<double, 49> binomialSquare() {
    constexpr double b[7] = {1, 6, 15, 20, 15, 6, 1};
    std::array<double, 49> square{};
    for (int j = 0; j < 7; ++j)
        for (int i = 0; i < 7; ++i)
            square[std::size_t(7 * j + i)] = b[j] * b[i];
    return square;
}

const MaskDefinition kSmoothingMasks[kSmoothingMaskCount] = {
    {"gaussian 09", 3, 16, {1, 2, 1, 2, 4, 2, 1, 2, 1}},
    {"gaussian 25", 5, 256, {1,  4, 6, 4,  1,  4,  16, 24, 16, 4, 6, 24, 36,
                             24, 6, 4, 16, 24, 16, 4,  1,  4,  6, 4, 1}},
    {"gaussian 49", 7, 4096, binomialSquare()},
    {"selected smoothing 09", 3, 45, {2, 3, 8, 3, 4, 10, 4, 2, 9}},
    {"weighted average 05", 3, 8, {0, 1, 0, 1, 4, 1, 0, 1, 0}},
    {"weighted average 09a", 3, 10, {1, 1, 1, 1, 2, 1, 1, 1, 1}},
    {"weighted average 09b", 3, 12, {1, 1, 1, 1, 4, 1, 1, 1, 1}},
    {"weighted average 25", 5, 40, {1, 1, 1, 1, 1, 1, 2, 3, 2, 1, 1, 3, 4,
                                    3, 1, 1, 2, 3, 2, 1, 1, 1, 1, 1, 1}},
    {"mean average 09", 3, 9, {1, 1, 1, 1, 1, 1, 1, 1, 1}},
    {"mean average 25", 5, 25, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
};

const MaskDefinition kSharpeningMasks[kSharpeningMaskCount] = {
    {"high-pass 05", 3, 1, {0, -1, 0, -1, 5, -1, 0, -1, 0}},
    {"high-pass 09", 3, 1, {-1, -1, -1, -1, 9, -1, -1, -1, -1}},
};

const MaskDefinition* findDefinition(int family, int index) {
    if (family == kSmoothingFamily && index >= 0 && index < kSmoothingMaskCount)
        return &kSmoothingMasks[index];
    if (family == kSharpeningFamily && index >= 0 && index < kSharpeningMaskCount)
        return &kSharpeningMasks[index];
    return nullptr;
}

} // namespace

void setMaskCoefficients(FilterMask& mask, int size, double k, const double* coefficients) {
    const std::size_t count = std::size_t(size) * std::size_t(size);
    if (mask.coefficients.size() < count) mask.coefficients.resize(count, 0.0);
    std::copy(coefficients, coefficients + count, mask.coefficients.begin());
    mask.k = k;
    mask.size = size;
    mask.half = (size - 1) / 2;
}

bool makeMask(FilterMask& mask, int family, int index) {
    const MaskDefinition* definition = findDefinition(family, index);
    if (definition == nullptr) return false;
    setMaskCoefficients(mask, definition->size, definition->k, definition->coefficients.data());
    return true;
}

const char* smoothingMaskText(int index) {
    const MaskDefinition* definition = findDefinition(kSmoothingFamily, index);
    return definition ? definition->text : "";
}

const char* sharpeningMaskText(int index) {
    const MaskDefinition* definition = findDefinition(kSharpeningFamily, index);
    return definition ? definition->text : "";
}

} // namespace vellora
