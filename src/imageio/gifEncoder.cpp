// GIF files from indexed pictures (their colour table) and from true-colour ones through the
// reducer the shell installs.
#include "imageio/codecs.h"
#include "imageio/pictureHelpers.h"

#include "core/pixelAccess.h"

#include <gif_lib.h>

#include <new>

namespace vellora::imageio {

namespace {

constexpr int kGifLimit = 65535;

int writeCallback(GifFileType* gif, const GifByteType* bytes, int count) {
    auto* file = static_cast<PictureBytes*>(gif->UserData);
    try {
        file->insert(file->end(), bytes, bytes + count);
        return count;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

ColorMapObject* makeColorMap(const DibImage& image) {
    const int count = 1 << image.bitsPerPixel;
    ColorMapObject* map = GifMakeMapObject(count, nullptr);
    if (!map) return nullptr;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* entry = image.paletteEntry(i);
        map->Colors[i] = GifColorType{entry[2], entry[1], entry[0]};
    }
    return map;
}

bool writeFrame(GifFileType* gif, const DibImage& image, ColorMapObject* map) {
    const int width = image.width, height = image.height;
    if (EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_ERROR ||
        EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_ERROR)
        return false;
    std::vector<GifPixelType> line(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        readRowIndices(image, height - 1 - y, line.data());
        if (EGifPutLine(gif, line.data(), width) == GIF_ERROR) return false;
    }
    return true;
}

bool encodeIndexed(const DibImage& image, PictureBytes& file, std::string& error) {
    PictureBytes bytes;
    int status = 0;
    GifFileType* gif = EGifOpen(&bytes, writeCallback, &status);
    ColorMapObject* map = makeColorMap(image);
    bool written = gif && map && writeFrame(gif, image, map);
    if (gif && !written) status = gif->Error;
    if (gif && EGifCloseFile(gif, &status) == GIF_ERROR) written = false;
    GifFreeMapObject(map);
    if (!written) {
        const char* text = GifErrorString(status);
        error = std::string("failed to write the gif file: ") + (text ? text : "out of memory");
        return false;
    }
    file = std::move(bytes);
    return true;
}

} // namespace

bool encodeGif(const DibImage& image, const EncodeOptions&, PictureBytes& file,
               std::string& error) {
    if (image.width > kGifLimit || image.height > kGifLimit) {
        error = "the picture is too large for a gif file";
        return false;
    }
    if (image.isIndexed()) return encodeIndexed(image, file, error);
    const TrueColorReducer reducer = currentTrueColorReducer();
    DibImage indexed;
    if (!reducer) {
        error = "no colour reduction is available for writing a gif file";
        return false;
    }
    if (!reducer(image, indexed) || !isWellFormed(indexed) || indexed.bitsPerPixel != 8 ||
        indexed.width != image.width || indexed.height != image.height) {
        error = "failed to reduce the picture to 256 colours";
        return false;
    }
    return encodeIndexed(indexed, file, error);
}

} // namespace vellora::imageio
