#pragma once
// The decoders and encoders behind the picture library, one file pair per format. A decoder
// reads a whole file held in memory; an encoder produces the whole file in memory, which the
// library then writes safely. On failure the outputs are left as they were and `error` says why.
#include "core/dibImage.h"
#include "imageio/pictureLibrary.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vellora::imageio {

using Bytes = std::span<const std::uint8_t>;

struct EncodeOptions {
    int quality = 75;   // 0 … 100, JPEG only
    int colorDepth = 0; // the colour depth parameter; the picture's own depth governs
};

// Probing fills width, height and bitsPerPixel (the depth the picture opens as).
bool probeBmp(Bytes file, PictureInfo& info, std::string& error);
bool decodeBmp(Bytes file, DibImage& image, std::string& error);
// The probe from the first kBmpHeadBytes of a longer file and its length; false when only the
// whole file can tell (a wrapped picture, or anything the probe would refuse).
bool probeBmpHead(Bytes head, std::uint64_t length, PictureInfo& info);
bool encodeBmp(const DibImage& image, const EncodeOptions& options, PictureBytes& file,
               std::string& error);

bool probePng(Bytes file, PictureInfo& info, std::string& error);
bool decodePng(Bytes file, DibImage& image, std::string& error);
bool encodePng(const DibImage& image, const EncodeOptions& options, PictureBytes& file,
               std::string& error);

bool probeJpeg(Bytes file, PictureInfo& info, std::string& error);
bool decodeJpeg(Bytes file, DibImage& image, std::string& error);
bool encodeJpeg(const DibImage& image, const EncodeOptions& options,
                PictureBytes& file, std::string& error);

bool probeGif(Bytes file, PictureInfo& info, std::string& error);
bool decodeGif(Bytes file, DibImage& image, std::string& error);
bool encodeGif(const DibImage& image, const EncodeOptions& options, PictureBytes& file,
               std::string& error);

bool probeTiff(Bytes file, PictureInfo& info, std::string& error);
bool decodeTiff(Bytes file, DibImage& image, std::string& error);
bool encodeTiff(const DibImage& image, const EncodeOptions& options,
                PictureBytes& file, std::string& error);

// Shared by the GIF encoder: the reducer set by the shell, or an empty function.
TrueColorReducer currentTrueColorReducer();

} // namespace vellora::imageio
