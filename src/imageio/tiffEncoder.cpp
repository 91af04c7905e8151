// TIFF files: indexed pictures with their colour map (8 bpp gray ramps as gray), 24 and
// 32 bpp as RGB; LZW compressed, rows top-down.
#include "imageio/codecs.h"
#include "imageio/pictureHelpers.h"
#include "imageio/pictureLimits.h"
#include "imageio/tiffSupport.h"

#include <cstring>
#include <memory>

namespace vellora::imageio {

namespace {

void setColorMap(TIFF* tif, const DibImage& image) {
    const int entries = int(image.paletteEntries);
    std::vector<std::uint16_t> map(3 * std::size_t(entries));
    for (int i = 0; i < entries; ++i) {
        const std::uint8_t* entry = image.paletteEntry(i);
        map[i] = std::uint16_t(entry[2] * 257);
        map[entries + i] = std::uint16_t(entry[1] * 257);
        map[2 * entries + i] = std::uint16_t(entry[0] * 257);
    }
    TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data() + entries, map.data() + 2 * entries);
}

void setFields(TIFF* tif, const DibImage& image) {
    const bool indexed = image.isIndexed();
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(image.width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(image.height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, std::uint16_t(indexed ? image.bitsPerPixel : 8));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, std::uint16_t(indexed ? 1 : 3));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    const bool gray = isGrayRamp(image);
    const int photometric = !indexed ? PHOTOMETRIC_RGB
                            : gray   ? PHOTOMETRIC_MINISBLACK
                                     : PHOTOMETRIC_PALETTE;
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
    if (indexed && !gray) setColorMap(tif, image);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
}

void toRgbRow(const DibImage& image, int y, std::uint8_t* out) {
    const std::uint8_t* in = image.row(y);
    const int step = image.bitsPerPixel / 8;
    for (int x = 0; x < image.width; ++x) {
        out[3 * x] = in[step * x + 2];
        out[3 * x + 1] = in[step * x + 1];
        out[3 * x + 2] = in[step * x];
    }
}

bool writeRows(TIFF* tif, const DibImage& image, std::vector<std::uint8_t>& line) {
    const std::size_t indexedBytes = (std::size_t(image.width) * image.bitsPerPixel + 7) / 8;
    for (int y = 0; y < image.height; ++y) {
        const int stored = image.height - 1 - y;
        if (image.isIndexed())
            std::memcpy(line.data(), image.row(stored), indexedBytes);
        else
            toRgbRow(image, stored, line.data());
        if (TIFFWriteScanline(tif, line.data(), std::uint32_t(y), 0) != 1) return false;
    }
    return TIFFFlush(tif) == 1;
}

} // namespace

bool encodeTiff(const DibImage& image, const EncodeOptions&, PictureBytes& file,
                std::string& error) {
    PictureBytes bytes;
    std::vector<std::uint8_t> line;
    if (!allocateBuffer(line, 3 * std::uint64_t(image.width) + 4, error)) return false;
    TiffStream stream;
    stream.output = &bytes;
    std::unique_ptr<TIFF, TiffCloser> tif(openTiffStream(stream, "w"));
    bool written = tif != nullptr;
    if (written) {
        setFields(tif.get(), image);
        written = writeRows(tif.get(), image, line);
    }
    tif.reset();
    if (!written || !stream.message.empty()) {
        error = "failed to write the tiff file: " + stream.message;
        return false;
    }
    file = std::move(bytes);
    return true;
}

} // namespace vellora::imageio
