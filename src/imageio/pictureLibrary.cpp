// Format dispatch by content on input and by MIME type on output.
#include "imageio/pictureLibrary.h"

#include "imageio/bmpAsIs.h"
#include "imageio/bmpHeader.h"
#include "imageio/codecs.h"
#include "imageio/pictureHelpers.h"
#include "imageio/pictureLimits.h"
#include "imageio/safeFileWrite.h"

#include "core/regularFile.h"
#include "core/scratchStore.h"

#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

namespace vellora::imageio {

namespace {

struct Decoder {
    const char* format;
    bool (*matches)(Bytes file);
    bool (*probe)(Bytes file, PictureInfo& info, std::string& error);
    bool (*decode)(Bytes file, DibImage& image, std::string& error);
    // Optional: the probe from the head of a long file, and taking a file's block over as the
    // picture when decoding would copy it unchanged.
    bool (*probeHead)(Bytes head, std::uint64_t length, PictureInfo& info) = nullptr;
    bool (*takeOver)(PictureBytes& file, DibImage& image) = nullptr;
};

bool startsWith(Bytes file, std::string_view magic) {
    return file.size() >= magic.size() && std::memcmp(file.data(), magic.data(), magic.size()) == 0;
}
bool isJpeg(Bytes file) {
    return startsWith(file, "\xFF\xD8\xFF");
}
bool isPng(Bytes file) {
    return startsWith(file, "\x89PNG\r\n\x1A\n");
}
bool isGif(Bytes file) {
    return startsWith(file, "GIF87a") || startsWith(file, "GIF89a");
}
bool isTiff(Bytes file) {
    using namespace std::string_view_literals;
    return startsWith(file, "II*\0"sv) || startsWith(file, "MM\0*"sv) ||
           startsWith(file, "II+\0"sv) || startsWith(file, "MM\0+"sv);
}
bool isBmp(Bytes file) {
    return startsWith(file, "BM");
}

constexpr std::array kDecoders = {
    Decoder{"jpeg", isJpeg, probeJpeg, decodeJpeg},
    Decoder{"png", isPng, probePng, decodePng},
    Decoder{"gif", isGif, probeGif, decodeGif},
    Decoder{"tiff", isTiff, probeTiff, decodeTiff},
    Decoder{"bmp", isBmp, probeBmp, decodeBmp, probeBmpHead, takeOverBmpFile},
};

struct Encoder {
    std::string_view mimeType;
    bool (*encode)(const DibImage& image, const EncodeOptions& options, PictureBytes& file,
                   std::string& error);
    // Optional: whether the picture's block already is the file, to be written as it stands.
    bool (*asIs)(const DibImage& image) = nullptr;
};

constexpr std::array kEncoders = {
    Encoder{"image/bmp", encodeBmp, isBmpFileAsIs},
    Encoder{"image/jpeg", encodeJpeg},
    Encoder{"image/gif", encodeGif},
    Encoder{"image/png", encodePng},
    Encoder{"image/tiff", encodeTiff},
};

constexpr const char* kUnknownFormatText =
    "the file is not a picture of a supported format (jpeg, png, tiff, gif, bmp)";

const Decoder* findDecoder(Bytes file, std::string& error) {
    for (const Decoder& decoder : kDecoders)
        if (decoder.matches(file)) return &decoder;
    error = kUnknownFormatText;
    return nullptr;
}

const Encoder* findEncoder(std::string_view mimeType) {
    for (const Encoder& encoder : kEncoders)
        if (encoder.mimeType == mimeType) return &encoder;
    return nullptr;
}

using Head = std::array<std::uint8_t, kBmpHeadBytes>;

// The first bytes of a file longer than them, and its length.
bool readHead(const std::filesystem::path& path, Head& head, std::uint64_t& length) {
    if (scratchHead(path, head, length)) return length > head.size();
    const ReadFile file = openRegularFile(path);
    const long end = file ? fileLength(file.get()) : -1;
    length = std::uint64_t(std::max(end, 0L));
    return end > long(head.size()) &&
           std::fread(head.data(), 1, head.size(), file.get()) == head.size();
}

// A file a decoder can probe from its first bytes is not read further.
bool probeFromHead(const std::filesystem::path& path, PictureInfo& info) {
    Head head;
    std::uint64_t length = 0;
    if (!readHead(path, head, length)) return false;
    std::string error;
    const Decoder* decoder = findDecoder(head, error);
    if (!decoder || !decoder->probeHead || !decoder->probeHead(head, length, info)) return false;
    info.format = decoder->format;
    return true;
}

bool readWholeFile(const std::filesystem::path& path, PictureBytes& bytes, std::string& error) {
    if (lendScratchBlock(path, bytes)) return true;
    ReadOpen outcome = ReadOpen::ok;
    const ReadFile file = openRegularFile(path, &outcome);
    if (!file) {
        error = openFailureText(outcome);
        return false;
    }
    const long length = fileLength(file.get());
    bool ok = length >= 0;
    if (ok && !allocateBuffer(bytes, std::uint64_t(length), error)) return false;
    ok = ok && std::fread(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    if (!ok) error = shortReadText(file.get());
    return ok;
}

std::mutex reducerMutex;
TrueColorReducer reducer;
std::atomic<int> pngLevel = kDefaultPngCompressionLevel;

} // namespace

bool probePictureFromMemory(const std::uint8_t* bytes, std::size_t size, PictureInfo& info,
                            std::string& error) {
    const Bytes file(bytes, size);
    const Decoder* decoder = findDecoder(file, error);
    PictureInfo probed;
    if (!decoder || !decoder->probe(file, probed, error)) return false;
    probed.format = decoder->format;
    info = probed;
    return true;
}

bool loadPictureFromMemory(const std::uint8_t* bytes, std::size_t size, DibImage& image,
                           std::string& error) {
    const Bytes file(bytes, size);
    const Decoder* decoder = findDecoder(file, error);
    if (!decoder) return false;
    try {
        DibImage picture;
        if (!decoder->decode(file, picture, error)) return false;
        image = std::move(picture);
        return true;
    } catch (const std::bad_alloc&) {
        error = kOutOfMemoryText;
        return false;
    }
}

bool probePictureFile(const std::filesystem::path& path, PictureInfo& info, std::string& error) {
    PictureInfo probed;
    if (probeFromHead(path, probed)) {
        info = probed;
        return true;
    }
    PictureBytes bytes;
    return readWholeFile(path, bytes, error) &&
           probePictureFromMemory(bytes.data(), bytes.size(), info, error);
}

bool loadPicture(const std::filesystem::path& path, DibImage& image, std::string& error) {
    PictureBytes bytes;
    if (!readWholeFile(path, bytes, error)) return false;
    std::string unknown;
    const Decoder* decoder = findDecoder(bytes, unknown);
    if (decoder && decoder->takeOver && decoder->takeOver(bytes, image)) return true;
    return loadPictureFromMemory(bytes.data(), bytes.size(), image, error);
}

bool hasEncoder(std::string_view mimeType) {
    return findEncoder(mimeType) != nullptr;
}

bool savePicture(const std::filesystem::path& path, const DibImage& image,
                 std::string_view mimeType, int quality, int colorDepth, std::string& error,
                 FileDurability durability) {
    const Encoder* encoder = findEncoder(mimeType);
    if (!encoder) {
        error = "no encoder for " + std::string(mimeType);
        return false;
    }
    if (!isWellFormed(image)) {
        error = "the picture to save is not a usable bitmap";
        return false;
    }
    const EncodeOptions options{quality, colorDepth}; // libjpeg keeps quality in 1 … 100
    try {
        if (encoder->asIs && encoder->asIs(image))
            return writeFileSafely(path, Bytes(image.data.data(), image.fileSize), error,
                                   durability);
        PictureBytes file;
        return encoder->encode(image, options, file, error) &&
               writeFileSafely(path, file, error, durability);
    } catch (const std::bad_alloc&) {
        error = kOutOfMemoryText;
        return false;
    }
}

bool savePicture(const std::filesystem::path& path, DibImage&& image, std::string_view mimeType,
                 int quality, int colorDepth, std::string& error, FileDurability durability) {
    const Encoder* encoder = findEncoder(mimeType);
    const bool asIs = encoder && encoder->asIs && encoder->asIs(image); // checks the layout itself
    if (asIs && durability == FileDurability::scratch &&
        keepScratchBlock(path, image.data, image.fileSize))
        return true;
    return savePicture(path, std::as_const(image), mimeType, quality, colorDepth, error,
                       durability);
}

void setTrueColorReducer(TrueColorReducer newReducer) {
    const std::lock_guard lock(reducerMutex);
    reducer = std::move(newReducer);
}

TrueColorReducer currentTrueColorReducer() {
    const std::lock_guard lock(reducerMutex);
    return reducer;
}

void setPngCompressionLevel(int level) {
    pngLevel = std::clamp(level, 0, 9);
}
int pngCompressionLevel() {
    return pngLevel;
}

} // namespace vellora::imageio
