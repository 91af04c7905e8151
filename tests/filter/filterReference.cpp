#include "filterReference.h"

#include "core/frontend.h"
#include "core/pixelAccess.h"
#include "filter/edgePreserving.h"
#include "filter/windowLuminance.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <algorithm>
#include <random>
#include <vector>

namespace vellora::test {

void clampedColor(const DibImage& image, int x, int y, std::uint8_t* bgr) {
    getColor(image, bgr, std::clamp(y, 0, image.height - 1), std::clamp(x, 0, image.width - 1),
             image.bitsPerPixel);
}

DibImage referenceConvolve(const DibImage& source, const FilterMask& mask) {
    DibImage target = makeImage(source.width, source.height, 24);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            double sums[3] = {0, 0, 0};
            for (int j = 0; j < mask.size; ++j)
                for (int i = 0; i < mask.size; ++i) {
                    std::uint8_t bgr[3];
                    clampedColor(source, x - mask.half + i, y - mask.half + j, bgr);
                    const double c = mask.coefficients[std::size_t(j * mask.size + i)];
                    for (int ch = 0; ch < 3; ++ch)
                        sums[ch] += bgr[ch] * c;
                }
            std::uint8_t out[3];
            for (int ch = 0; ch < 3; ++ch) {
                double v = sums[ch];
                if (mask.k != 0) v /= mask.k;
                if (v < 0) v = 0;
                if (v > 255) v = 255;
                out[ch] = std::uint8_t(v);
            }
            setColor(target, out, y, x, 24);
        }
    return target;
}

DibImage referenceEdgePreserving(const DibImage& source, int criterion) {
    DibImage target = makeImage(source.width, source.height, 24);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            double colors[25][3];
            double luminances[25];
            for (int p = 0; p < 25; ++p) {
                std::uint8_t bgr[3];
                clampedColor(source, x - 2 + p % 5, y - 2 + p / 5, bgr);
                for (int ch = 0; ch < 3; ++ch)
                    colors[p][ch] = bgr[ch];
                luminances[p] = windowLuminance(bgr);
            }
            std::uint8_t out[3];
            selectSubWindow(colors, luminances, criterion, out);
            setColor(target, out, y, x, 24);
        }
    return target;
}

DibImage referenceDeNoise(const DibImage& source, int size) {
    DibImage target = makeImage(source.width, source.height, 24);
    const int half = size / 2;
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            std::vector<std::array<std::uint8_t, 3>> colors(std::size_t(size * size));
            std::vector<int> order(std::size_t(size * size));
            for (int p = 0; p < size * size; ++p) {
                clampedColor(source, x - half + p % size, y - half + p / size,
                             colors[std::size_t(p)].data());
                order[std::size_t(p)] = p;
            }
            std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
                return windowLuminance(colors[std::size_t(a)].data()) <
                       windowLuminance(colors[std::size_t(b)].data());
            });
            setColor(target, colors[std::size_t(order[order.size() / 2])].data(), y, x, 24);
        }
    return target;
}

DibImage runPass(const DibImage& source,
                 const std::function<void(Session&, DibImage&, const DibImage&)>& pass) {
    RecordingFrontend frontend;
    Session session(frontend);
    DibImage target = makeImage(source.width, source.height, 24);
    pass(session, target, source);
    EXPECT_TRUE(frontend.messages.empty());
    return target;
}

DibImage randomPicture(int width, int height, int bitsPerPixel, unsigned startingValue,
                       int levels) {
    std::mt19937 random(startingValue);
    const auto level = [&] {
        return std::uint32_t(random() % unsigned(levels) * 255 / std::max(1, levels - 1));
    };
    if (bitsPerPixel > 8) {
        DibImage image = makeImage(width, height, bitsPerPixel);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint8_t bgr[3] = {std::uint8_t(level()), std::uint8_t(level()),
                                             std::uint8_t(level())};
                setColor(image, bgr, y, x, bitsPerPixel);
            }
        return image;
    }
    std::vector<std::uint32_t> palette(std::size_t(1) << bitsPerPixel);
    for (auto& entry : palette)
        entry = level() << 16 | level() << 8 | level();
    return makeIndexedImage(width, height, bitsPerPixel, palette,
                            [&](int, int) { return int(random() % palette.size()); });
}

::testing::AssertionResult samePixels(const DibImage& expected, const DibImage& actual) {
    if (expected.width != actual.width || expected.height != actual.height)
        return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            if (rgbAt(expected, x, y) != rgbAt(actual, x, y))
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << "): expected " << std::hex
                       << rgbAt(expected, x, y) << ", got " << rgbAt(actual, x, y);
    return ::testing::AssertionSuccess();
}

} // namespace vellora::test
