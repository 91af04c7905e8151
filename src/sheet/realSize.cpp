#include "sheet/realSize.h"

#include <charconv>
#include <cmath>

namespace vellora {

namespace {
double sideMm(int tiles, double tileMm, double groutMm) {
    return tiles < 1 ? 0.0 : tiles * tileMm + (tiles - 1) * groutMm;
}
} // namespace

FinishedSize finishedSize(int columns, int rows, const DesignSettings& settings) {
    return {sideMm(columns, settings.tileWidthMm, settings.groutMm),
            sideMm(rows, settings.tileHeightMm, settings.groutMm)};
}

std::string formatDecimal(double value) {
    const double rounded = std::round(value * 1000) / 1000;
    char text[40];
    const auto end = std::to_chars(text, text + sizeof text, rounded == 0 ? 0.0 : rounded,
                                   std::chars_format::fixed, 3)
                         .ptr;
    std::string result(text, end);
    while (result.back() == '0')
        result.pop_back();
    if (result.back() == '.') result.pop_back();
    return result;
}

} // namespace vellora
