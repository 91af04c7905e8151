#pragma once
// A linear neighbourhood filter and the fixed smoothing and sharpening masks.
//
// Coefficient (j, i) is entry j * size + i and weighs the source pixel at stored row
// y - half + j, column x - half + i: mask row 0 lies on the row stored just before the centre
// row (rows are stored bottom-up, so that is the row below the centre on screen).
#include <vector>

namespace vellora {

struct FilterMask {
    std::vector<double> coefficients; // at least size * size entries, row by row
    double k = 0;                     // divisor of every channel sum; 0 means no division
    int size = 0;                     // 3, 5 or 7
    int half = 0;                     // (size - 1) / 2
};

inline constexpr int kSmoothingFamily = 0;
inline constexpr int kSharpeningFamily = 1;
inline constexpr int kSmoothingMaskCount = 10;
inline constexpr int kSharpeningMaskCount = 2;

// Fills the mask from the smoothing (family 0, index 0 … 9) or sharpening (family 1, index
// 0 … 1) table. Any other family or index leaves the mask as it was and returns false.
bool makeMask(FilterMask& mask, int family, int index);

// The list texts of the two families, in index order.
const char* smoothingMaskText(int index);
const char* sharpeningMaskText(int index);

// Sets size and half and copies size * size coefficients given row by row; the array grows to
// hold them when it is smaller.
void setMaskCoefficients(FilterMask& mask, int size, double k, const double* coefficients);

} // namespace vellora
