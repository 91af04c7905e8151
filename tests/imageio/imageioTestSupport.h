#pragma once
// Pictures, files and comparisons shared by the picture-library tests.
#include "core/dibImage.h"
#include "imageio/codecs.h"
#include "imageio/pictureLibrary.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace vellora::test {

inline std::filesystem::path corpusPath(const std::string& relative) {
    return std::filesystem::path(VELLORA_CORPUS_DIR) / relative;
}

// Pixel (x, y) counted from the top as seen, as 0xRRGGBB (rows are stored bottom-up).
inline std::uint32_t screenRgb(const DibImage& image, int x, int y) {
    return rgbAt(image, x, image.height - 1 - y);
}

// A picture with smooth gradients and a few hard edges.
inline DibImage makePhotoLike(int width, int height, int bitsPerPixel = 24) {
    const auto rgb = [&](int x, int y) {
        const std::uint32_t red = std::uint32_t(x * 255 / std::max(1, width - 1));
        const std::uint32_t green = std::uint32_t(y * 255 / std::max(1, height - 1));
        const bool edge = (x / 37 + y / 23) % 5 == 0;
        return red << 16 | green << 8 | (edge ? 230u : 40u + (x + y) * 97u / (width + height));
    };
    return makeTrueColorImage(width, height, rgb, bitsPerPixel);
}

struct Difference {
    double mean = 0; // per channel
    int maximum = 0;
};
// Requires equal sizes; compares every channel of every pixel.
inline Difference compareColors(const DibImage& a, const DibImage& b) {
    Difference difference;
    EXPECT_EQ(std::pair(a.width, a.height), std::pair(b.width, b.height));
    if (a.width != b.width || a.height != b.height) return {255, 255};
    std::uint64_t total = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const std::uint32_t p = rgbAt(a, x, y), q = rgbAt(b, x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                const int d = std::abs(int((p >> shift) & 255) - int((q >> shift) & 255));
                total += std::uint64_t(d), difference.maximum = std::max(difference.maximum, d);
            }
        }
    difference.mean = double(total) / (3.0 * a.width * a.height);
    return difference;
}

// Same geometry, header fields and bytes.
inline void expectSamePicture(const DibImage& a, const DibImage& b) {
    const auto fields = [](const DibImage& p) {
        return std::tuple(p.width, p.height, p.bitsPerPixel, p.colorsUsed, p.fileSize, p.bitsOffset,
                          p.stride, p.imageSize, p.paletteEntries);
    };
    EXPECT_EQ(fields(a), fields(b));
    EXPECT_TRUE(std::equal(a.data.begin(), a.data.end(), b.data.begin(), b.data.end()));
}

// The file an encoder writes for the picture; fails the test on error.
using Encoder = bool (*)(const DibImage&, const imageio::EncodeOptions&, PictureBytes&,
                         std::string&);
inline std::vector<std::uint8_t> encodeOrFail(Encoder encode, const DibImage& picture,
                                              imageio::EncodeOptions options = {}) {
    PictureBytes file;
    std::string error;
    EXPECT_TRUE(encode(picture, options, file, error)) << error;
    return {file.begin(), file.end()};
}

// Decodes through the picture library; fails the test on error.
inline DibImage loadOrFail(const std::filesystem::path& path) {
    DibImage image;
    std::string error;
    EXPECT_TRUE(imageio::loadPicture(path, image, error)) << path << ": " << error;
    return image;
}

// From memory: the picture (failing on error), or a must-refuse file's error (failing if it opens).
inline DibImage loadBytesOrFail(const std::vector<std::uint8_t>& file) {
    DibImage image;
    std::string error;
    EXPECT_TRUE(imageio::loadPictureFromMemory(file.data(), file.size(), image, error)) << error;
    return image;
}

inline std::string refusal(const std::vector<std::uint8_t>& file) {
    DibImage image;
    std::string error;
    EXPECT_FALSE(imageio::loadPictureFromMemory(file.data(), file.size(), image, error));
    EXPECT_FALSE(error.empty());
    return error;
}

} // namespace vellora::test
