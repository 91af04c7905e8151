#pragma once
// Plain per-pixel forms of the filters, written straight from their definitions with getColor
// per tap, against which the row-at-a-time passes are checked; and small picture helpers.
#include "core/pixelAccess.h"
#include "filter/edgePreserving.h"
#include "filter/filterMask.h"
#include "filter/windowLuminance.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

namespace vellora::test {

using Color = std::array<std::uint8_t, 3>; // blue, green, red
using Pass = std::function<void(Session&, DibImage&, const DibImage&)>;

// A 24 bpp picture whose pixel (x, y) is pixel(window): the size × size window around (x, y),
// stored row y − size / 2 first, rows and columns clamped to the picture.
inline DibImage referenceFilter(const DibImage& source, int size,
                                const std::function<Color(std::vector<Color>)>& pixel) {
    DibImage target = makeImage(source.width, source.height, 24);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            std::vector<Color> window(std::size_t(size * size));
            for (int p = 0; p < size * size; ++p)
                getColor(source, window[std::size_t(p)].data(),
                         std::clamp(y - size / 2 + p / size, 0, source.height - 1),
                         std::clamp(x - size / 2 + p % size, 0, source.width - 1),
                         source.bitsPerPixel);
            setColor(target, pixel(std::move(window)).data(), y, x, 24);
        }
    return target;
}

inline DibImage referenceConvolve(const DibImage& source, const FilterMask& mask) {
    return referenceFilter(source, mask.size, [&](const std::vector<Color>& window) {
        Color out;
        for (std::size_t ch = 0; ch < 3; ++ch) {
            double v = 0;
            for (std::size_t p = 0; p < window.size(); ++p)
                v += window[p][ch] * mask.coefficients[p];
            out[ch] = std::uint8_t(std::clamp(mask.k != 0 ? v / mask.k : v, 0.0, 255.0));
        }
        return out;
    });
}

inline DibImage referenceEdgePreserving(const DibImage& source, int criterion) {
    return referenceFilter(source, 5, [&](const std::vector<Color>& window) {
        double colors[25][3], luminances[25];
        for (std::size_t p = 0; p < 25; ++p) {
            std::copy(window[p].begin(), window[p].end(), colors[p]);
            luminances[p] = windowLuminance(window[p].data());
        }
        Color out;
        selectSubWindow(colors, luminances, criterion, out.data());
        return out;
    });
}

// Median by luminance; ties by the lower window position.
inline DibImage referenceDeNoise(const DibImage& source, int size) {
    return referenceFilter(source, size, [](std::vector<Color> window) {
        std::stable_sort(window.begin(), window.end(), [](const Color& a, const Color& b) {
            return windowLuminance(a.data()) < windowLuminance(b.data());
        });
        return window[window.size() / 2];
    });
}

inline DibImage runPass(const DibImage& source, const Pass& pass) {
    RecordingFrontend frontend;
    Session session(frontend);
    DibImage target = makeImage(source.width, source.height, 24);
    pass(session, target, source);
    EXPECT_TRUE(frontend.messages.empty());
    return target;
}

// Same size and every pixel the same colour; names the first difference otherwise.
inline ::testing::AssertionResult samePixels(const DibImage& expected, const DibImage& actual) {
    if (expected.width != actual.width || expected.height != actual.height)
        return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x)
            if (rgbAt(expected, x, y) != rgbAt(actual, x, y))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") differs";
    return ::testing::AssertionSuccess();
}

inline std::uint32_t gray(int v) {
    return std::uint32_t(v) * 0x010101u;
}

} // namespace vellora::test
