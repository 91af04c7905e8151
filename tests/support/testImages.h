#pragma once
// Small pictures and folders for tests.
#include "core/dibImage.h"
#include "core/session.h"
#include "support/tempDir.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vellora::test {

// An image of the given geometry (through createDib); fails the test on error.
DibImage makeImage(int width, int height, int bitsPerPixel, std::uint32_t colorsUsed = 0);
// A 24 (or 32) bpp image whose pixel (x, y) is colorAt(x, y) as blue, green, red.
DibImage makeTrueColorImage(int width, int height,
                            const std::function<std::uint32_t(int x, int y)>& rgbAt,
                            int bitsPerPixel = 24);
// An indexed image with the given palette (0xRRGGBB entries) and index per pixel.
DibImage makeIndexedImage(int width, int height, int bitsPerPixel,
                          const std::vector<std::uint32_t>& paletteRgb,
                          const std::function<int(int x, int y)>& indexAt);
// Pixels seeded by `draw`, `levels` evenly spaced values a channel; indexed depths: random palette.
DibImage randomPicture(int width, int height, int bitsPerPixel, unsigned draw, int levels = 256);
// The pixel's colour as 0xRRGGBB.
std::uint32_t rgbAt(const DibImage& image, int x, int y);

// Writes the image as the session's current intermediate file (a fresh intermediate name).
void setCurrentPicture(Session& session, const DibImage& image);
// Reads a bitmap file; fails the test on error.
DibImage readImage(const std::filesystem::path& path);

std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path);
std::string readText(const std::filesystem::path& path);
void writeFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

} // namespace vellora::test
