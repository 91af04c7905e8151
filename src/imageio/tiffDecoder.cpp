// TIFF files: simple strip-organised palette and gray pictures of 1, 2, 4 or 8 bits stay
// indexed; everything else goes through libtiff's RGBA reader, composited over white.
#include "imageio/codecs.h"
#include "imageio/pictureHelpers.h"
#include "imageio/pictureLimits.h"
#include "imageio/tiffSupport.h"

#include <memory>
#include <new>

namespace vellora::imageio {

namespace {

using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

struct TiffLayout {
    std::uint32_t width{}, height{};
    std::uint16_t bitsPerSample{}, samples{}, photometric = PHOTOMETRIC_MINISWHITE;
    bool indexed{};
    int openDepth{};
};

bool isSimpleIndexed(TIFF* tif, const TiffLayout& layout) {
    // With one sample per pixel the planar configuration makes no difference.
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    const std::uint16_t bits = layout.bitsPerSample;
    const bool paletteOrGray = layout.photometric == PHOTOMETRIC_PALETTE ||
                               layout.photometric == PHOTOMETRIC_MINISBLACK ||
                               layout.photometric == PHOTOMETRIC_MINISWHITE;
    return !TIFFIsTiled(tif) && layout.samples == 1 && orientation == ORIENTATION_TOPLEFT &&
           paletteOrGray && (bits == 1 || bits == 2 || bits == 4 || bits == 8) &&
           TIFFScanlineSize64(tif) == (std::uint64_t(layout.width) * bits + 7) / 8;
}

// Every decoded byte comes out of the file: uncompressed data byte for byte, LZW and deflate
// at most a few thousand to one. Fax and JPEG coding are not bounded this way.
bool dataPlausible(TIFF* tif, const TiffLayout& layout, std::uint64_t fileBytes,
                   std::string& error) {
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    const bool unbounded = compression == COMPRESSION_CCITTRLE ||
                           compression == COMPRESSION_CCITTFAX3 ||
                           compression == COMPRESSION_CCITTFAX4 ||
                           compression == COMPRESSION_OJPEG || compression == COMPRESSION_JPEG;
    if (unbounded) return true;
    const std::uint64_t rowBits =
        std::uint64_t(layout.width) * layout.bitsPerSample * layout.samples;
    const std::uint64_t decoded = (rowBits + 7) / 8 * layout.height;
    return compressedSizePlausible(decoded, fileBytes, compression == COMPRESSION_NONE ? 1 : 4096,
                                   error);
}

bool readLayout(TIFF* tif, TiffLayout& layout, std::uint64_t fileBytes, std::string& error) {
    // libtiff refuses a directory without a size; a size left 0 would not fit below anyway.
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &layout.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &layout.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &layout.bitsPerSample);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &layout.samples);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &layout.photometric);
    layout.indexed = isSimpleIndexed(tif, layout);
    layout.openDepth = !layout.indexed ? 24 : layout.bitsPerSample == 2 ? 4 : layout.bitsPerSample;
    if (!pictureFits(layout.width, layout.height, layout.openDepth)) {
        error = kTooLargeText;
        return false;
    }
    return dataPlausible(tif, layout, fileBytes, error);
}

// Colour maps are 16 bits per channel; some writers put 8-bit values there.
void readColorMap(TIFF* tif, int entries, DibImage& image) {
    std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue)) return;
    bool eightBit = true;
    for (int i = 0; i < entries; ++i)
        eightBit = eightBit && red[i] < 256 && green[i] < 256 && blue[i] < 256;
    const int shift = eightBit ? 0 : 8;
    for (int i = 0; i < entries; ++i) {
        std::uint8_t* entry = image.paletteEntry(i);
        entry[0] = std::uint8_t(blue[i] >> shift);
        entry[1] = std::uint8_t(green[i] >> shift);
        entry[2] = std::uint8_t(red[i] >> shift);
    }
}

void fillIndexedPalette(TIFF* tif, const TiffLayout& layout, DibImage& image) {
    const int entries = 1 << layout.bitsPerSample;
    if (layout.photometric == PHOTOMETRIC_PALETTE) {
        readColorMap(tif, entries, image);
        return;
    }
    fillGrayRamp(image, entries);
    if (layout.photometric == PHOTOMETRIC_MINISWHITE)
        for (int i = 0; i < entries / 2; ++i)
            for (int c = 0; c < 3; ++c)
                std::swap(image.paletteEntry(i)[c], image.paletteEntry(entries - 1 - i)[c]);
}

bool readIndexedRows(TIFF* tif, const TiffLayout& layout, DibImage& image, TiffStream& stream,
                     std::string& error) {
    std::vector<std::uint8_t> line;
    if (!allocateBuffer(line, std::uint64_t(TIFFScanlineSize64(tif)), error)) return false;
    for (std::uint32_t y = 0; y < layout.height; ++y) {
        const bool twoBit = layout.bitsPerSample == 2;
        std::uint8_t* target = rowFromTop(image, int(y));
        if (TIFFReadScanline(tif, twoBit ? line.data() : target, y, 0) != 1) {
            error = "the tiff file is damaged: " + stream.message;
            return false;
        }
        if (twoBit) expand2To4(line.data(), target, int(layout.width));
    }
    return true;
}

// libtiff's RGBA rows are premultiplied, so over white each channel is c + 255 − a.
bool readRgbaRows(TIFF* tif, const TiffLayout& layout, DibImage& image, TiffStream& stream,
                  std::string& error) {
    const std::uint64_t pixels = std::uint64_t(layout.width) * layout.height;
    if (!workingBytesFit(4 * pixels, error)) return false;
    std::vector<std::uint32_t> raster;
    try {
        raster.resize(std::size_t(pixels));
    } catch (const std::bad_alloc&) {
        error = kOutOfMemoryText;
        return false;
    }
    if (!TIFFReadRGBAImageOriented(tif, layout.width, layout.height, raster.data(),
                                   ORIENTATION_BOTLEFT, 0)) {
        error = "the tiff file cannot be read: " + stream.message;
        return false;
    }
    for (std::uint32_t y = 0; y < layout.height; ++y) {
        const std::uint32_t* in = raster.data() + std::size_t(y) * layout.width;
        std::uint8_t* out = image.row(int(y));
        for (std::uint32_t x = 0; x < layout.width; ++x) {
            const unsigned gap = 255u - TIFFGetA(in[x]);
            out[3 * x] = std::uint8_t(std::min(255u, TIFFGetB(in[x]) + gap));
            out[3 * x + 1] = std::uint8_t(std::min(255u, TIFFGetG(in[x]) + gap));
            out[3 * x + 2] = std::uint8_t(std::min(255u, TIFFGetR(in[x]) + gap));
        }
    }
    return true;
}

bool open(Bytes file, TiffStream& stream, TiffHandle& tif, TiffLayout& layout, std::string& error) {
    stream.input = file.data();
    stream.size = file.size();
    tif.reset(openTiffStream(stream, "rm"));
    if (!tif) {
        error = "the tiff file is damaged: " + stream.message;
        return false;
    }
    return readLayout(tif.get(), layout, file.size(), error);
}

} // namespace

bool probeTiff(Bytes file, PictureInfo& info, std::string& error) {
    TiffStream stream;
    TiffHandle tif;
    TiffLayout layout;
    if (!open(file, stream, tif, layout, error)) return false;
    info.width = int(layout.width);
    info.height = int(layout.height);
    info.bitsPerPixel = layout.openDepth;
    info.format = "tiff";
    return true;
}

bool decodeTiff(Bytes file, DibImage& image, std::string& error) {
    TiffStream stream;
    TiffHandle tif;
    TiffLayout layout;
    if (!open(file, stream, tif, layout, error)) return false;
    DibImage picture;
    const std::uint32_t colorsUsed = layout.indexed ? 1u << layout.bitsPerSample : 0;
    if (!allocatePicture(picture, layout.width, layout.height, layout.openDepth, colorsUsed, error))
        return false;
    if (layout.indexed) fillIndexedPalette(tif.get(), layout, picture);
    const bool read = layout.indexed ? readIndexedRows(tif.get(), layout, picture, stream, error)
                                     : readRgbaRows(tif.get(), layout, picture, stream, error);
    if (!read) return false;
    image = std::move(picture);
    return true;
}

} // namespace vellora::imageio
