#pragma once
// Pictures, files and comparisons shared by the picture-library tests.
#include "core/dibImage.h"
#include "imageio/codecs.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vellora::test {

std::filesystem::path corpusPath(const std::string& relative);

// Pixel (x, y) counted from the top as seen, as 0xRRGGBB (rows are stored bottom-up).
std::uint32_t screenRgb(const DibImage& image, int x, int y);

// A picture with smooth gradients and a few hard edges.
DibImage makePhotoLike(int width, int height, int bitsPerPixel = 24);

struct Difference {
    double mean = 0; // per channel
    int maximum = 0;
};
// Requires equal sizes; compares every channel of every pixel.
Difference compareColors(const DibImage& a, const DibImage& b);

// Same geometry, header fields and bytes.
void expectSamePicture(const DibImage& a, const DibImage& b);

// A binary PPM (P6, maxval 255) as a 24 bpp picture; fails the test when unreadable.
DibImage readPpm(const std::filesystem::path& path);

// The file an encoder writes for the picture; fails the test on error.
using Encoder = bool (*)(const DibImage&, const imageio::EncodeOptions&, PictureBytes&,
                         std::string&);
std::vector<std::uint8_t> encodeOrFail(Encoder encode, const DibImage& picture,
                                       imageio::EncodeOptions options = {});

// Decodes through the picture library; fails the test on error.
DibImage loadOrFail(const std::filesystem::path& path);
// The same from memory: the picture (the test fails on error), or the error text of a file that
// must be refused (the test fails if it opens).
DibImage loadBytesOrFail(const std::vector<std::uint8_t>& file);
std::string refusal(const std::vector<std::uint8_t>& file);

} // namespace vellora::test
