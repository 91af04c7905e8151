// JPEG files into the intermediate layout: colour as 24 bpp straight into the bottom-up rows,
// gray as 8 bpp with a gray ramp, CMYK and YCCK through RGB; the EXIF orientation applied.
#include "imageio/codecs.h"
#include "imageio/exifOrientation.h"
#include "imageio/jpegSupport.h"
#include "imageio/pictureHelpers.h"
#include "imageio/pictureLimits.h"

#include <cstdio>
#include <cstring>

namespace vellora::imageio {

namespace {

constexpr int kApp1 = JPEG_APP0 + 1;
constexpr std::uint64_t kSequentialRatio = 1024;
// Each scan is a pass over every block, and a progressive file may hold thousands of tiny ones;
// encoders write a few dozen at most.
constexpr int kMaxScans = 500;

struct JpegLayout {
    int width{}, height{}; // as stored, before the orientation
    int openDepth = 24;
    bool cmyk = false;
    bool adobeInverted{};
    int components{};
    int orientation{};
};

struct JpegDecoding {
    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    jpeg_progress_mgr progress;
};

// Called as the decoder reads; a file past the scan limit ends the decoding with its message.
void limitScans(j_common_ptr common) {
    const auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
    if (cinfo->input_scan_number <= kMaxScans) return;
    auto* errors = reinterpret_cast<JpegErrors*>(common->err);
    std::snprintf(errors->message, sizeof errors->message, "it has more than %d scans", kMaxScans);
    std::longjmp(errors->jump, 1);
}

int orientationOf(jpeg_decompress_struct& cinfo) {
    for (jpeg_saved_marker_ptr marker = cinfo.marker_list; marker; marker = marker->next)
        if (marker->marker == kApp1) {
            const int orientation = exifOrientation(marker->data, marker->data_length);
            if (orientation != 1) return orientation;
        }
    return 1;
}

void chooseOutput(jpeg_decompress_struct& cinfo, JpegLayout& layout) {
    layout.width = int(cinfo.image_width);
    layout.height = int(cinfo.image_height);
    layout.components = cinfo.num_components;
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo.out_color_space = JCS_GRAYSCALE;
        layout.openDepth = 8;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo.out_color_space = JCS_CMYK;
        layout.cmyk = true;
        layout.adobeInverted = cinfo.saw_Adobe_marker;
        break;
    default:
        cinfo.out_color_space = JCS_EXT_BGR;
        break;
    }
}

bool readHeader(JpegDecoding* decoding, Bytes file, JpegLayout* layout) {
    jpeg_decompress_struct& cinfo = decoding->cinfo;
    if (setjmp(decoding->errors.jump)) return false;
    jpeg_create_decompress(&cinfo);
    decoding->progress.progress_monitor = limitScans;
    cinfo.progress = &decoding->progress;
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_save_markers(&cinfo, kApp1, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.data_precision != 8) {
        std::strcpy(decoding->errors.message, "only 8-bit samples are supported");
        return false;
    }
    chooseOutput(cinfo, *layout);
    layout->orientation = orientationOf(cinfo);
    return true;
}

// Ink amounts to light: Adobe files store 255 − ink, others the ink itself.
void cmykRowToBgr(const std::uint8_t* cmyk, std::uint8_t* bgr, int width, bool inverted) {
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = cmyk + 4 * x;
        const unsigned k = inverted ? p[3] : 255u - p[3];
        for (int c = 0; c < 3; ++c) {
            const unsigned light = inverted ? p[c] : 255u - p[c];
            bgr[3 * x + 2 - c] = std::uint8_t((light * k + 127) / 255);
        }
    }
}

bool readRows(JpegDecoding* decoding, const JpegLayout* layout, DibImage* image,
              std::uint8_t* cmykRow) {
    jpeg_decompress_struct& cinfo = decoding->cinfo;
    if (setjmp(decoding->errors.jump)) return false;
    cinfo.mem->max_memory_to_use = long(std::min<std::uint64_t>(memoryBudget(), 1ull << 40));
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        JSAMPROW row = layout->cmyk ? cmykRow : rowFromTop(*image, y);
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
        if (layout->cmyk)
            cmykRowToBgr(cmykRow, rowFromTop(*image, y), layout->width, layout->adobeInverted);
    }
    jpeg_abort_decompress(&cinfo);
    return true;
}

// The decoder's own buffers: a progressive file keeps every coefficient (2 bytes each).
bool workingMemoryFits(const JpegLayout& layout, std::string& error) {
    const std::uint64_t samples = std::uint64_t(layout.width) * std::uint64_t(layout.height);
    return workingBytesFit(samples * std::uint64_t(layout.components) * 2 + samples * 4, error);
}

struct JpegSession {
    JpegDecoding decoding{};
    JpegSession() { decoding.cinfo.err = installJpegErrors(decoding.errors); }
    ~JpegSession() { jpeg_destroy_decompress(&decoding.cinfo); }
    JpegSession(const JpegSession&) = delete;
    JpegSession& operator=(const JpegSession&) = delete;
    bool fail(std::string& error) const {
        error = std::string("the jpeg file cannot be read: ") + decoding.errors.message;
        return false;
    }
};

bool readLayout(JpegSession& session, Bytes file, JpegLayout& layout, std::string& error) {
    if (!readHeader(&session.decoding, file, &layout)) return session.fail(error);
    if (!pictureFits(layout.width, layout.height, layout.openDepth)) {
        error = kTooLargeText;
        return false;
    }
    // Sequential Huffman coding spends at least two bits on every 8 × 8 block; progressive and
    // arithmetic coding can spend less, so only the former is held to it.
    const jpeg_decompress_struct& cinfo = session.decoding.cinfo;
    if (!cinfo.progressive_mode && !cinfo.arith_code &&
        !compressedSizePlausible(std::uint64_t(layout.width) * layout.height * layout.components,
                                 file.size(), kSequentialRatio, error))
        return false;
    return workingMemoryFits(layout, error);
}

bool applyOrientation(int orientation, DibImage& picture, std::string& error) {
    const QuarterTurns upright = uprightTransform(orientation);
    if (upright.turns == 0 && upright.flip == 0) return true;
    DibImage turned;
    if (!rotateFlip(picture, turned, upright.turns, upright.flip, error)) return false;
    picture = std::move(turned);
    return true;
}

} // namespace

bool probeJpeg(Bytes file, PictureInfo& info, std::string& error) {
    JpegSession session;
    JpegLayout layout;
    if (!readLayout(session, file, layout, error)) return false;
    const bool sideways = uprightTransform(layout.orientation).turns % 2 != 0;
    info.width = sideways ? layout.height : layout.width;
    info.height = sideways ? layout.width : layout.height;
    info.bitsPerPixel = layout.openDepth;
    info.format = "jpeg";
    return true;
}

bool decodeJpeg(Bytes file, DibImage& image, std::string& error) {
    JpegSession session;
    JpegLayout layout;
    if (!readLayout(session, file, layout, error)) return false;
    DibImage picture;
    const bool gray = layout.openDepth != 24;
    const std::uint32_t colorsUsed = gray ? 256 : 0;
    if (!allocatePicture(picture, layout.width, layout.height, layout.openDepth, colorsUsed, error))
        return false;
    if (gray) fillGrayRamp(picture, 256);
    std::vector<std::uint8_t> cmykRow;
    if (layout.cmyk &&
        !allocateBuffer(cmykRow, std::uint64_t(layout.width) * layout.components, error))
        return false;
    if (!readRows(&session.decoding, &layout, &picture, cmykRow.data())) return session.fail(error);
    if (!applyOrientation(layout.orientation, picture, error)) return false;
    image = std::move(picture);
    return true;
}

} // namespace vellora::imageio
