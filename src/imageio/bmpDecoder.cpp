// Bitmap files of every common variant into the intermediate layout.
#include "imageio/bmpHeader.h"
#include "imageio/bmpRunLength.h"
#include "imageio/codecs.h"
#include "imageio/pictureHelpers.h"
#include "imageio/pictureLimits.h"

#include "core/pixelAccess.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vellora::imageio {

namespace {

std::uint8_t scaleChannel(std::uint32_t pixel, const BmpChannelMask& channel) {
    if (channel.maximum == 0) return 0;
    const std::uint64_t value = (pixel & channel.mask) >> channel.shift;
    return std::uint8_t((value * 255 + channel.maximum / 2) / channel.maximum);
}

// Turns one stored bit-field pixel into blue, green, red (alpha composited over white).
struct BitFieldConverter {
    const BmpHeader& header;
    void operator()(std::uint32_t pixel, std::uint8_t* bgr) const {
        const std::uint8_t r = scaleChannel(pixel, header.red);
        const std::uint8_t g = scaleChannel(pixel, header.green);
        const std::uint8_t b = scaleChannel(pixel, header.blue);
        if (header.alpha.maximum == 0) {
            bgr[0] = b, bgr[1] = g, bgr[2] = r;
            return;
        }
        const std::uint8_t a = scaleChannel(pixel, header.alpha);
        bgr[0] = overWhite(b, a), bgr[1] = overWhite(g, a), bgr[2] = overWhite(r, a);
    }
};

// A 16-bit pixel has few enough values for a table, built once per file.
void convert16Row(const std::uint8_t* in, std::uint8_t* out, int width,
                  const std::vector<std::uint8_t>& table) {
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* entry = table.data() + 3 * readLe16(in + 2 * x);
        std::memcpy(out + 3 * x, entry, 3);
    }
}

void convert32Row(const std::uint8_t* in, std::uint8_t* out, int width,
                  const BitFieldConverter& convert) {
    for (int x = 0; x < width; ++x)
        convert(readLe32(in + 4 * x), out + 3 * x);
}

// Copies a row of the picture's own depth and clears the unused bits of its last byte.
void copyRow(const std::uint8_t* in, std::uint8_t* out, int width, int bitsPerPixel) {
    const std::size_t bits = std::size_t(width) * bitsPerPixel;
    std::memcpy(out, in, (bits + 7) / 8);
    if (bits % 8 != 0) out[bits / 8] &= std::uint8_t(0xFF << (8 - bits % 8));
}

void readPalette(Bytes file, const BmpHeader& header, DibImage& image) {
    for (std::uint32_t i = 0; i < header.paletteCount; ++i) {
        const std::uint8_t* in = file.data() + header.paletteStart + i * header.paletteEntryBytes;
        std::uint8_t* entry = image.paletteEntry(int(i));
        entry[0] = in[0], entry[1] = in[1], entry[2] = in[2], entry[3] = 0;
    }
}

bool decodePlainRows(Bytes file, const BmpHeader& header, DibImage& image, std::string& error) {
    const int width = int(header.width);
    const int height = int(header.height);
    const std::uint64_t stride = (std::uint64_t(width) * header.bitsPerPixel + 31) / 32 * 4;
    std::vector<std::uint8_t> table;
    const BitFieldConverter convert{header};
    if (header.bitsPerPixel == 16) {
        if (!allocateBuffer(table, 3 * 65536, error)) return false;
        for (std::uint32_t v = 0; v < 65536; ++v)
            convert(v, table.data() + 3 * v);
    }
    const bool copy = header.bitsPerPixel == image.bitsPerPixel;
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* in = file.data() + header.pixelStart + stride * r;
        std::uint8_t* out = image.row(header.topDown ? height - 1 - r : r);
        if (copy)
            copyRow(in, out, width, header.bitsPerPixel);
        else if (header.bitsPerPixel == 2)
            expand2To4(in, out, width);
        else if (header.bitsPerPixel == 16)
            convert16Row(in, out, width, table);
        else
            convert32Row(in, out, width, convert);
    }
    return true;
}

std::uint32_t carriedColorsUsed(const BmpHeader& header) {
    if (header.colorsUsedField <= 256) return header.colorsUsedField;
    return header.bitsPerPixel <= 8 ? header.paletteCount : 0;
}

// A bitmap file may wrap a whole JPEG or PNG file (compression 4 or 5 in an info header or
// later); that file is then the picture.
using EmbeddedDecoder = bool (*)(Bytes, DibImage&, std::string&);
using EmbeddedProbe = bool (*)(Bytes, PictureInfo&, std::string&);
struct Embedded {
    Bytes file;
    EmbeddedDecoder decode = nullptr;
    EmbeddedProbe probe = nullptr;
};

Embedded embeddedPicture(Bytes file) {
    // In an OS/2 header compression 4 means RLE24 instead.
    if (file.size() < 54 || !isWindowsBmpHeader(readLe32(file.data() + 14))) return {};
    const std::uint32_t compression = readLe32(file.data() + 30);
    const std::uint32_t offset = readLe32(file.data() + 10);
    if ((compression != 4 && compression != 5) || offset < 54 || offset >= file.size()) return {};
    const Bytes inner = file.subspan(offset);
    if (compression == 4) return {inner, decodeJpeg, probeJpeg};
    return {inner, decodePng, probePng};
}

bool probeHeaders(Bytes head, std::uint64_t length, PictureInfo& info, std::string& error) {
    BmpHeader header;
    if (!parseBmpHeader(head, length, header, error)) return false;
    info.width = int(header.width);
    info.height = int(header.height);
    info.bitsPerPixel = header.openDepth;
    info.format = "bmp";
    return true;
}
} // namespace

bool probeBmp(Bytes file, PictureInfo& info, std::string& error) {
    if (const Embedded embedded = embeddedPicture(file); embedded.probe)
        return embedded.probe(embedded.file, info, error);
    return probeHeaders(file, file.size(), info, error);
}

bool probeBmpHead(Bytes head, std::uint64_t length, PictureInfo& info) {
    // The header parser refuses a wrapped JPEG or PNG, which is then probed in the whole file.
    std::string error;
    return probeHeaders(head, length, info, error);
}

bool decodeBmp(Bytes file, DibImage& image, std::string& error) {
    if (const Embedded embedded = embeddedPicture(file); embedded.decode)
        return embedded.decode(embedded.file, image, error);
    BmpHeader header;
    if (!parseBmpHeader(file, header, error)) return false;
    if (isRunLength(header.pixels) && !runLengthDescribesPicture(file, header, error)) return false;
    DibImage picture;
    if (!allocatePicture(picture, header.width, header.height, header.openDepth,
                         carriedColorsUsed(header), error))
        return false;
    if (header.bitsPerPixel <= 8) readPalette(file, header, picture);
    if (isRunLength(header.pixels))
        decodeRunLengthRows(file, header, picture);
    else if (!decodePlainRows(file, header, picture, error))
        return false;
    image = std::move(picture);
    return true;
}

} // namespace vellora::imageio
