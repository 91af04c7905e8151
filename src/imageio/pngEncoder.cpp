// PNG files from any picture: indexed ones with their palette, 8 bpp gray ramps as gray,
// 24 and 32 bpp as RGB.
#include "imageio/codecs.h"
#include "imageio/paletteLength.h"
#include "imageio/pictureHelpers.h"
#include "imageio/pictureLimits.h"
#include "imageio/pngSupport.h"

#include <csetjmp>
#include <new>

namespace vellora::imageio {

namespace {

struct PngOutput {
    PngErrorState errors;
    PictureBytes* file = nullptr;
};

void writeCallback(png_structp png, png_bytep bytes, std::size_t count) {
    auto* output = static_cast<PngOutput*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        output->file->insert(output->file->end(), bytes, bytes + count);
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    if (failed) png_error(png, "out of memory");
}

void flushCallback(png_structp) {}

struct PngPlan {
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    png_color palette[PNG_MAX_PALETTE_LENGTH] = {};
    int paletteCount{};
};

PngPlan planFor(const DibImage& image) {
    PngPlan plan;
    if (!image.isIndexed()) return plan;
    plan.bitDepth = image.bitsPerPixel;
    if (isGrayRamp(image)) {
        plan.colorType = PNG_COLOR_TYPE_GRAY;
        return plan;
    }
    plan.colorType = PNG_COLOR_TYPE_PALETTE;
    plan.paletteCount = paletteLength(image);
    for (int i = 0; i < plan.paletteCount; ++i) {
        const std::uint8_t* entry = image.paletteEntry(i);
        plan.palette[i] = png_color{entry[2], entry[1], entry[0]};
    }
    return plan;
}

bool writeRows(png_structp png, png_infop info, const DibImage* image, const PngPlan* plan) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, png_uint_32(image->width), png_uint_32(image->height), plan->bitDepth,
                 plan->colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (plan->colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, plan->palette, plan->paletteCount);
    png_set_compression_level(png, pngCompressionLevel());
    png_write_info(png, info);
    if (!image->isIndexed()) png_set_bgr(png);
    if (image->bitsPerPixel == 32) png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < image->height; ++y)
        png_write_row(png, rowFromTop(*image, y));
    png_write_end(png, info);
    return true;
}

} // namespace

bool encodePng(const DibImage& image, const EncodeOptions&, PictureBytes& file,
               std::string& error) {
    PngOutput output;
    PictureBytes bytes;
    output.file = &bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &output.errors,
                                              pngErrorCallback, pngWarningCallback);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        error = kOutOfMemoryText;
        return false;
    }
    png_set_write_fn(png, &output, writeCallback, flushCallback);
    const PngPlan plan = planFor(image);
    const bool written = writeRows(png, info, &image, &plan);
    png_destroy_write_struct(&png, &info);
    if (!written) {
        error = std::string("failed to write the png file: ") + output.errors.message;
        return false;
    }
    file = std::move(bytes);
    return true;
}

} // namespace vellora::imageio
