#include "color/colorSpace.h"

#include <algorithm>

namespace vellora {

namespace {
std::uint8_t toByte(double value) {
    return std::uint8_t(int(std::clamp(value, 0.0, 255.0)));
}
} // namespace

void meanToColor(double y, double cb, double cr, std::uint8_t* bgr) {
    bgr[0] = toByte(y + 1.772 * cb + 0.49);
    bgr[1] = toByte(y - 0.34414 * cb - 0.71414 * cr + 0.49);
    bgr[2] = toByte(y + 1.402 * cr + 0.49);
}

} // namespace vellora
