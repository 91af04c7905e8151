// PNG files into the intermediate layout. Two phases, each with its own setjmp: the header
// (which decides the layout), then the rows into buffers allocated in between.
#include "imageio/codecs.h"
#include "imageio/pictureHelpers.h"
#include "imageio/pictureLimits.h"
#include "imageio/pngSupport.h"

#include <csetjmp>
#include <cstring>
#include <string>

namespace vellora::imageio {

namespace {

// How a decoded row (after libpng's transforms) becomes a stored row.
enum class PngRows { Copy, Expand2To4, OverWhite };

struct PngInput {
    PngErrorState errors;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t position = 0;
};

struct PngLayout {
    png_uint_32 width{}, height{};
    int openDepth{};
    PngRows rows = PngRows::Copy;
    int paletteCount = 0; // palette entries, or gray levels of a gray ramp
    bool gray = false;
    png_color palette[PNG_MAX_PALETTE_LENGTH] = {};
    std::size_t rowBytes{};
    int passes{};
    std::uint64_t filteredBytes{}; // the decompressed stream: rows as stored, filter bytes too
};

// Deflate expands one byte into at most 1032.
constexpr std::uint64_t kDeflateRatio = 1100;

void readCallback(png_structp png, png_bytep out, std::size_t count) {
    auto* input = static_cast<PngInput*>(png_get_io_ptr(png));
    if (count > input->size - input->position) png_error(png, "the png file is truncated");
    std::memcpy(out, input->data + input->position, count);
    input->position += count;
}

// Palette and gray pictures without transparency stay indexed; everything else becomes
// blue, green, red (with alpha when there is any) at 8 bits.
void chooseLayout(png_structp png, png_infop info, PngLayout& layout) {
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const bool transparent = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    layout.width = png_get_image_width(png, info);
    layout.height = png_get_image_height(png, info);
    const std::uint64_t rowBits =
        std::uint64_t(layout.width) * png_get_channels(png, info) * bitDepth;
    layout.filteredBytes = ((rowBits + 7) / 8 + 1) * layout.height;
    if (bitDepth == 16) png_set_strip_16(png);
    const bool palette = colorType == PNG_COLOR_TYPE_PALETTE;
    if ((palette || colorType == PNG_COLOR_TYPE_GRAY) && !transparent) {
        const int bits = palette ? bitDepth : std::min(bitDepth, 8);
        layout.openDepth = bits == 2 ? 4 : bits;
        layout.rows = bits == 2 ? PngRows::Expand2To4 : PngRows::Copy;
        layout.gray = !palette;
        layout.paletteCount = 1 << bits;
        png_colorp entries = nullptr;
        int count = 0;
        if (palette && png_get_PLTE(png, info, &entries, &count) && entries) {
            layout.paletteCount = std::min(count, PNG_MAX_PALETTE_LENGTH);
            std::memcpy(layout.palette, entries, sizeof(png_color) * layout.paletteCount);
        }
    } else {
        png_set_expand(png);
        png_set_gray_to_rgb(png);
        png_set_bgr(png);
        const bool alpha = transparent || (colorType & PNG_COLOR_MASK_ALPHA) != 0;
        layout.openDepth = 24;
        layout.rows = alpha ? PngRows::OverWhite : PngRows::Copy;
    }
}

bool readHeader(png_structp png, png_infop info, PngLayout* layout) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    chooseLayout(png, info, *layout);
    layout->passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    layout->rowBytes = png_get_rowbytes(png, info);
    return true;
}

// Rows arrive top-down into `rows` (one pointer per picture row).
bool readRows(png_structp png, png_bytep* rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    return true;
}

void compositeRow(const std::uint8_t* bgra, std::uint8_t* bgr, int width) {
    for (int x = 0; x < width; ++x) {
        const unsigned a = bgra[4 * x + 3];
        for (int c = 0; c < 3; ++c)
            bgr[3 * x + c] = overWhite(bgra[4 * x + c], a);
    }
}

void fillPalette(const PngLayout& layout, DibImage& image) {
    if (layout.gray) {
        fillGrayRamp(image, layout.paletteCount);
        return;
    }
    for (int i = 0; i < layout.paletteCount; ++i) {
        std::uint8_t* entry = image.paletteEntry(i);
        entry[0] = layout.palette[i].blue;
        entry[1] = layout.palette[i].green;
        entry[2] = layout.palette[i].red;
    }
}

// Row pointers straight into the picture when the decoded rows already have its layout,
// otherwise into a staging buffer converted afterwards.
bool decodeInto(png_structp png, const PngLayout& layout, DibImage& image,
                const PngErrorState& errors, std::string& error) {
    const int height = int(layout.height), width = int(layout.width);
    std::vector<std::uint8_t> staging;
    const bool direct = layout.rows == PngRows::Copy;
    if (!direct && !allocateBuffer(staging, std::uint64_t(layout.rowBytes) * height, error))
        return false;
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[y] = direct ? rowFromTop(image, y) : staging.data() + layout.rowBytes * y;
    if (!readRows(png, rows.data())) {
        error = std::string("the png file is damaged: ") + errors.message;
        return false;
    }
    for (int y = 0; !direct && y < height; ++y) {
        if (layout.rows == PngRows::Expand2To4)
            expand2To4(rows[y], rowFromTop(image, y), width);
        else
            compositeRow(rows[y], rowFromTop(image, y), width);
    }
    return true;
}

// Only the palette and transparency chunks matter here. Every other ancillary chunk is
// skipped unread: libpng would otherwise allocate whatever length a text or profile chunk
// declares before finding that the file ends long before it.
void skipUnusedChunks(png_structp png) {
    static const png_byte unused[] = "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0"
                                     "pHYs\0sBIT\0sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, unused, int(sizeof unused / 5));
}

struct PngSession {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngInput input;
    explicit PngSession(Bytes file) {
        input.data = file.data();
        input.size = file.size();
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &input.errors, pngErrorCallback,
                                     pngWarningCallback);
        if (png) info = png_create_info_struct(png);
        if (info) {
            png_set_read_fn(png, &input, readCallback);
            png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
            png_set_chunk_malloc_max(png, 64u << 20);
            skipUnusedChunks(png);
        }
    }
    ~PngSession() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
    PngSession(const PngSession&) = delete;
    PngSession& operator=(const PngSession&) = delete;
    bool ready() const { return info != nullptr; }
    bool fail(std::string& error) const {
        error = std::string("the png file is damaged: ") + input.errors.message;
        return false;
    }
};

bool readLayout(PngSession& session, PngLayout& layout, std::string& error) {
    if (!session.ready()) {
        error = kOutOfMemoryText;
        return false;
    }
    if (!readHeader(session.png, session.info, &layout)) return session.fail(error);
    if (!pictureFits(layout.width, layout.height, layout.openDepth)) {
        error = kTooLargeText;
        return false;
    }
    return compressedSizePlausible(layout.filteredBytes, session.input.size, kDeflateRatio, error);
}

} // namespace

bool probePng(Bytes file, PictureInfo& info, std::string& error) {
    PngSession session(file);
    PngLayout layout;
    if (!readLayout(session, layout, error)) return false;
    info.width = int(layout.width);
    info.height = int(layout.height);
    info.bitsPerPixel = layout.openDepth;
    info.format = "png";
    return true;
}

bool decodePng(Bytes file, DibImage& image, std::string& error) {
    PngSession session(file);
    PngLayout layout;
    if (!readLayout(session, layout, error)) return false;
    DibImage picture;
    const bool indexed = layout.openDepth != 24;
    const std::uint32_t colorsUsed = indexed ? layout.paletteCount : 0;
    if (!allocatePicture(picture, layout.width, layout.height, layout.openDepth, colorsUsed, error))
        return false;
    if (indexed) fillPalette(layout, picture);
    if (!decodeInto(session.png, layout, picture, session.input.errors, error)) return false;
    image = std::move(picture);
    return true;
}

} // namespace vellora::imageio
