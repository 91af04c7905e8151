// GIF files: the first frame on its logical screen, indexed with its colour table.
#include "imageio/codecs.h"
#include "imageio/pictureLimits.h"

#include "core/pixelAccess.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace vellora::imageio {

namespace {

struct GifInput {
    const std::uint8_t* data{};
    std::size_t size{};
    std::size_t position{};
};

int readCallback(GifFileType* gif, GifByteType* out, int count) {
    auto* input = static_cast<GifInput*>(gif->UserData);
    const std::size_t n = std::min(std::size_t(std::max(count, 0)), input->size - input->position);
    std::memcpy(out, input->data + input->position, n);
    input->position += n;
    return int(n);
}

struct GifFrame {
    // All but the transparent index come from the frame's description.
    int canvasWidth{}, canvasHeight{};
    int left{}, top{}, width{}, height{};
    bool interlaced{};
    int transparentIndex = NO_TRANSPARENT_COLOR;
    int background{};
    const ColorMapObject* colors{};
    int openDepth{};
};

class GifReader {
  public:
    explicit GifReader(Bytes file) {
        input_.data = file.data();
        input_.size = file.size();
        gif_ = DGifOpen(&input_, readCallback, &status_);
    }
    ~GifReader() {
        if (gif_) DGifCloseFile(gif_, &status_);
    }
    GifReader(const GifReader&) = delete;
    GifReader& operator=(const GifReader&) = delete;

    bool fail(std::string& error) const {
        const int code = gif_ ? gif_->Error : status_;
        const char* text = GifErrorString(code);
        error = std::string("the gif file is damaged: ") + (text ? text : "unknown error");
        return false;
    }

    // Reads up to the first frame's descriptor, noting the transparency of its control block.
    bool openFirstFrame(GifFrame& frame, std::string& error) {
        if (!gif_) return fail(error);
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        do {
            if (DGifGetRecordType(gif_, &type) == GIF_ERROR) return fail(error);
            if (type == EXTENSION_RECORD_TYPE && !readExtension(frame)) return fail(error);
            if (type == TERMINATE_RECORD_TYPE) {
                error = "the gif file holds no picture";
                return false;
            }
        } while (type != IMAGE_DESC_RECORD_TYPE);
        if (DGifGetImageDesc(gif_) == GIF_ERROR) return fail(error);
        describe(frame);
        return true;
    }

    bool readLine(GifByteType* line, int width) {
        return DGifGetLine(gif_, line, width) != GIF_ERROR;
    }

  private:
    bool readExtension(GifFrame& frame) {
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif_, &code, &block) == GIF_ERROR) return false;
        if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
            GraphicsControlBlock control{};
            if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                frame.transparentIndex = control.TransparentColor;
        }
        while (block)
            if (DGifGetExtensionNext(gif_, &block) == GIF_ERROR) return false;
        return true;
    }

    void describe(GifFrame& frame) const {
        const GifImageDesc& image = gif_->Image;
        frame.left = image.Left, frame.top = image.Top;
        frame.width = image.Width, frame.height = image.Height;
        frame.interlaced = image.Interlace;
        frame.canvasWidth = std::max(int(gif_->SWidth), frame.left + frame.width);
        frame.canvasHeight = std::max(int(gif_->SHeight), frame.top + frame.height);
        frame.colors = image.ColorMap ? image.ColorMap : gif_->SColorMap;
        const int count = frame.colors ? frame.colors->ColorCount : 256;
        frame.openDepth = count <= 2 ? 1 : count <= 16 ? 4 : 8;
        frame.background = gif_->SBackGroundColor;
    }

    GifInput input_;
    GifFileType* gif_ = nullptr;
    int status_ = 0;
};

void fillPalette(const GifFrame& frame, DibImage& image) {
    const int entries = 1 << frame.openDepth;
    for (int i = 0; i < entries; ++i) {
        std::uint8_t* entry = image.paletteEntry(i);
        if (frame.colors && i < frame.colors->ColorCount) {
            const GifColorType& color = frame.colors->Colors[i];
            entry[0] = color.Blue, entry[1] = color.Green, entry[2] = color.Red;
        } else if (!frame.colors) {
            entry[0] = entry[1] = entry[2] = std::uint8_t(i);
        }
    }
    if (frame.transparentIndex >= 0 && frame.transparentIndex < entries)
        std::memset(image.paletteEntry(frame.transparentIndex), 255, 3);
}

// Each frame line is laid onto a background row and stored at once; rows the frame does not
// cover keep the background. Indices past the table show its first colour.
bool readFrameRows(GifReader& reader, const GifFrame& frame, DibImage& picture,
                   std::string& error) {
    const int limit = 1 << frame.openDepth;
    const int fill = frame.transparentIndex >= 0 ? frame.transparentIndex : frame.background;
    const std::size_t width = std::size_t(frame.canvasWidth);
    std::vector<std::uint8_t> buffers;
    if (!allocateBuffer(buffers, 2 * width + std::size_t(frame.width), error)) return false;
    std::uint8_t* background = buffers.data();
    std::uint8_t* composed = background + width;
    GifByteType* line = composed + width;
    std::fill(background, background + width, std::uint8_t(fill < limit ? fill : 0));
    for (int y = 0; y < frame.canvasHeight; ++y)
        writeRowIndices(picture, y, background);
    static constexpr int kPassStart[4] = {0, 4, 2, 1}, kPassStep[4] = {8, 8, 4, 2};
    const int passes = frame.interlaced ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int step = frame.interlaced ? kPassStep[pass] : 1;
        for (int y = frame.interlaced ? kPassStart[pass] : 0; y < frame.height; y += step) {
            if (!reader.readLine(line, frame.width)) return reader.fail(error);
            std::copy(background, background + width, composed);
            for (int x = 0; x < frame.width; ++x)
                composed[frame.left + x] = line[x] < limit ? line[x] : 0;
            writeRowIndices(picture, frame.canvasHeight - 1 - (frame.top + y), composed);
        }
    }
    return true;
}

// LZW codes are at least 3 bits and each stands for at most 4096 pixels.
bool framePlausible(const GifFrame& frame, std::size_t fileBytes, std::string& error) {
    if (frame.canvasWidth < 1 || frame.canvasHeight < 1) {
        error = "the gif file is damaged: the picture is empty";
        return false;
    }
    if (!pictureFits(frame.canvasWidth, frame.canvasHeight, frame.openDepth)) {
        error = kTooLargeText;
        return false;
    }
    const std::uint64_t pixels = std::uint64_t(frame.width) * std::uint64_t(frame.height);
    // A huge screen around a small first frame costs seconds of background filling and holds
    // no picture; such files are refused rather than opened.
    const std::uint64_t screen = std::uint64_t(frame.canvasWidth) * frame.canvasHeight;
    if (screen > (1u << 24) && screen / 64 > pixels) {
        error = "the gif file is damaged: its screen is far larger than its picture";
        return false;
    }
    return compressedSizePlausible(pixels, fileBytes, 4096 * 8 / 3, error);
}

} // namespace

bool probeGif(Bytes file, PictureInfo& info, std::string& error) {
    GifReader reader(file);
    GifFrame frame;
    if (!reader.openFirstFrame(frame, error) || !framePlausible(frame, file.size(), error))
        return false;
    info.width = frame.canvasWidth;
    info.height = frame.canvasHeight;
    info.bitsPerPixel = frame.openDepth;
    info.format = "gif";
    return true;
}

bool decodeGif(Bytes file, DibImage& image, std::string& error) {
    GifReader reader(file);
    GifFrame frame;
    if (!reader.openFirstFrame(frame, error) || !framePlausible(frame, file.size(), error))
        return false;
    DibImage picture;
    const std::uint32_t colorsUsed = frame.colors ? std::uint32_t(frame.colors->ColorCount) : 256;
    if (!allocatePicture(picture, frame.canvasWidth, frame.canvasHeight, frame.openDepth,
                         std::min<std::uint32_t>(colorsUsed, 1u << frame.openDepth), error))
        return false;
    fillPalette(frame, picture);
    if (!readFrameRows(reader, frame, picture, error)) return false;
    image = std::move(picture);
    return true;
}

} // namespace vellora::imageio
