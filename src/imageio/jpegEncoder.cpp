// JPEG files: 8 bpp gray ramps as gray, everything else as colour with 4:2:0 chroma, at the
// given quality. 24 and 32 bpp rows go to libjpeg as they are stored (blue, green, red).
#include "imageio/codecs.h"
#include "imageio/jpegSupport.h"
#include "imageio/pictureHelpers.h"
#include "imageio/pictureLimits.h"

#include "core/pixelAccess.h"

#include <cstdlib>
#include <cstring>

namespace vellora::imageio {

namespace {

struct JpegEncoding {
    jpeg_compress_struct cinfo;
    JpegErrors errors;
    unsigned char* buffer = nullptr; // malloc'ed by libjpeg's memory destination
    unsigned long size = 0;
};

struct JpegInput {
    J_COLOR_SPACE space = JCS_EXT_BGR;
    int components = 3;
    bool throughColors = false; // indexed, not gray: rows expanded through the colour table
};

JpegInput inputFor(const DibImage& image) {
    if (isGrayRamp(image)) return {JCS_GRAYSCALE, 1, false};
    if (image.bitsPerPixel == 32) return {JCS_EXT_BGRX, 4, false};
    return {JCS_EXT_BGR, 3, image.isIndexed()};
}

bool compress(JpegEncoding* encoding, const DibImage* image, const JpegInput* input, int quality,
              std::uint8_t* colorRow) {
    jpeg_compress_struct& cinfo = encoding->cinfo;
    if (setjmp(encoding->errors.jump)) return false;
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &encoding->buffer, &encoding->size);
    cinfo.image_width = JDIMENSION(image->width);
    cinfo.image_height = JDIMENSION(image->height);
    cinfo.input_components = input->components;
    cinfo.in_color_space = input->space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int stored = image->height - 1 - int(cinfo.next_scanline);
        if (input->throughColors) readRowColors(*image, stored, colorRow);
        JSAMPROW row = input->throughColors ? colorRow : const_cast<JSAMPROW>(image->row(stored));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    return true;
}

} // namespace

bool encodeJpeg(const DibImage& image, const EncodeOptions& options, PictureBytes& file,
                std::string& error) {
    const JpegInput input = inputFor(image);
    std::vector<std::uint8_t> colorRow;
    if (input.throughColors && !allocateBuffer(colorRow, 3 * std::uint64_t(image.width), error))
        return false;
    JpegEncoding encoding{};
    encoding.cinfo.err = installJpegErrors(encoding.errors);
    const bool compressed = compress(&encoding, &image, &input, options.quality, colorRow.data());
    jpeg_destroy_compress(&encoding.cinfo);
    bool copied = false;
    if (compressed) {
        try {
            file.assign(encoding.buffer, encoding.buffer + encoding.size);
            copied = true;
        } catch (const std::bad_alloc&) {
            std::strcpy(encoding.errors.message, kOutOfMemoryText);
        }
    }
    std::free(encoding.buffer);
    if (!copied) error = std::string("failed to write the jpeg file: ") + encoding.errors.message;
    return copied;
}

} // namespace vellora::imageio
