#include "support/testImages.h"

#include "core/intermediateFiles.h"
#include "core/pixelAccess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

namespace vellora::test {

namespace fs = std::filesystem;

DibImage makeImage(int width, int height, int bitsPerPixel, std::uint32_t colorsUsed) {
    SilentFrontend frontend;
    DibImage image;
    EXPECT_EQ(createDib(frontend, image, width, height, std::uint16_t(bitsPerPixel), colorsUsed),
              0);
    return image;
}

DibImage makeTrueColorImage(int width, int height,
                            const std::function<std::uint32_t(int x, int y)>& colorAt,
                            int bitsPerPixel) {
    DibImage image = makeImage(width, height, bitsPerPixel);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t rgb = colorAt(x, y);
            const std::uint8_t bgr[3] = {std::uint8_t(rgb), std::uint8_t(rgb >> 8),
                                         std::uint8_t(rgb >> 16)};
            setColor(image, bgr, y, x, bitsPerPixel);
        }
    return image;
}

DibImage makeIndexedImage(int width, int height, int bitsPerPixel,
                          const std::vector<std::uint32_t>& paletteRgb,
                          const std::function<int(int x, int y)>& indexAt) {
    DibImage image = makeImage(width, height, bitsPerPixel, std::uint32_t(paletteRgb.size()));
    for (std::size_t i = 0; i < paletteRgb.size() && i < image.paletteEntries; ++i) {
        std::uint8_t* entry = image.paletteEntry(int(i));
        entry[0] = std::uint8_t(paletteRgb[i]);
        entry[1] = std::uint8_t(paletteRgb[i] >> 8);
        entry[2] = std::uint8_t(paletteRgb[i] >> 16);
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setIndex(image, std::uint8_t(indexAt(x, y)), y, x, bitsPerPixel);
    return image;
}

std::uint32_t rgbAt(const DibImage& image, int x, int y) {
    std::uint8_t bgr[3] = {0, 0, 0};
    getColor(image, bgr, y, x, image.bitsPerPixel);
    return std::uint32_t(bgr[2]) << 16 | std::uint32_t(bgr[1]) << 8 | bgr[0];
}

void setCurrentPicture(Session& session, const DibImage& image) {
    ASSERT_EQ(nextIntermediatePath(session, session.currentPath), 0);
    ASSERT_EQ(writeBitmapFile(session.frontend, session.currentPath, image), 0);
    session.currentInfo.bitsPerPixel = image.bitsPerPixel;
    session.currentInfo.width = image.width;
    session.currentInfo.height = image.height;
    session.currentInfo.state = 514;
    session.dialogInfo = session.currentInfo;
}

DibImage randomPicture(int width, int height, int bitsPerPixel, unsigned draw, int levels) {
    std::mt19937 random(draw);
    const auto level = [&] {
        return std::uint8_t(random() % unsigned(levels) * 255 / unsigned(std::max(1, levels - 1)));
    };
    if (bitsPerPixel <= 8) {
        std::vector<std::uint32_t> palette(std::size_t(1) << bitsPerPixel);
        for (auto& entry : palette)
            entry = std::uint32_t(level()) << 16 | std::uint32_t(level()) << 8 | level();
        return makeIndexedImage(width, height, bitsPerPixel, palette,
                                [&](int, int) { return int(random() % palette.size()); });
    }
    const auto rgb = [&](int, int) { // drawn blue first
        const std::uint32_t blue = level(), green = level();
        return std::uint32_t(level()) << 16 | green << 8 | blue;
    };
    return makeTrueColorImage(width, height, rgb, bitsPerPixel);
}

DibImage readImage(const fs::path& path) {
    SilentFrontend frontend;
    DibImage image;
    EXPECT_EQ(readBitmapFile(frontend, path, image), 0) << path;
    return image;
}

std::vector<std::uint8_t> readFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string readText(const fs::path& path) {
    const std::vector<std::uint8_t> bytes = readFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

void writeFileBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

} // namespace vellora::test
