#pragma once
// The picture library: JPEG, PNG, TIFF, GIF and BMP files in and out of bitmap images.
//
// Decoded pictures arrive as a DibImage exactly as an intermediate file holds it (rows
// bottom-up, full 2^bpp colour table): palette pictures of 1, 4 or 8 bits keep their depth
// (2-bit palettes become 4 bpp), 8-bit gray becomes 8 bpp with a gray ramp, everything else
// 24 bpp (alpha composited over white, 16-bit channels reduced to 8, CMYK to RGB, JPEG EXIF
// orientation applied). Further choices: PNG and TIFF gray of 1, 2 or 4 bits opens indexed
// (1, 4, 4 bpp) with a gray ramp of 2, 4 or 16 entries; a 32 bpp bitmap file without alpha
// stays 32 bpp; a GIF opens with its colour table at 1 bpp (2 colours), 4 bpp (up to 16) or
// 8 bpp, its transparent colour shown white. A failed call leaves its outputs untouched and
// says why in `error`.
#include "core/atomicFile.h"
#include "core/dibImage.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vellora::imageio {

struct PictureInfo {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0; // the depth the picture opens as: 1, 4, 8, 24 or 32
    std::string format;   // "jpeg", "png", "tiff", "gif", "bmp"
};

// Reads enough of the file, by content, to tell its size and depth.
bool probePictureFile(const std::filesystem::path& path, PictureInfo& info, std::string& error);

// Decodes a whole picture file, by content.
bool loadPicture(const std::filesystem::path& path, DibImage& image, std::string& error);

// The same for a file already in memory (the fuzz targets use it).
bool loadPictureFromMemory(const std::uint8_t* bytes, std::size_t size, DibImage& image,
                           std::string& error);
bool probePictureFromMemory(const std::uint8_t* bytes, std::size_t size, PictureInfo& info,
                            std::string& error);

// Whether an encoder for this MIME type exists ("image/bmp", "image/jpeg", "image/gif",
// "image/png", "image/tiff").
bool hasEncoder(std::string_view mimeType);

// Encodes with the two encoder parameters: quality 0 … 100 (JPEG) and colour depth (the
// picture's bits per pixel; indexed formats write 1/4/8 bpp pictures with their palette).
// The picture's own depth decides what is written: a colour depth that differs from it
// (Save after the 24 bpp conversion passes the old depth) reduces nothing. The file is
// written to a temporary name beside the target and renamed over it, so a failed save leaves
// the target as it was.
// A scratch file (the run's own intermediate pictures) is not flushed to disk.
bool savePicture(const std::filesystem::path& path, const DibImage& image,
                 std::string_view mimeType, int quality, int colorDepth, std::string& error,
                 FileDurability durability = FileDurability::flushed);
// The same for a picture the caller no longer needs: a scratch file kept in memory (see
// core/scratchStore.h) takes its block when the block is written as it stands.
bool savePicture(const std::filesystem::path& path, DibImage&& image, std::string_view mimeType,
                 int quality, int colorDepth, std::string& error,
                 FileDurability durability = FileDurability::flushed);

// How a true-colour picture is reduced to 256 colours for GIF; set by the shell once the
// colour engine is linked. Returns false when it cannot.
// The zlib level of the PNG encoder, 0 (store) … 9 (smallest). The default 3 gives up a little
// size against zlib's usual 6 for a much shorter encode.
inline constexpr int kDefaultPngCompressionLevel = 3;
void setPngCompressionLevel(int level);
int pngCompressionLevel();

using TrueColorReducer = std::function<bool(const DibImage& trueColor, DibImage& indexed8)>;
void setTrueColorReducer(TrueColorReducer reducer);

// Rotates `turns` quarter turns clockwise (0 … 3), then flips (0 none, 1 left–right,
// 2 top–bottom, 3 both), as seen on screen. Same depth and palette.
bool rotateFlip(const DibImage& source, DibImage& target, int turns, int flip, std::string& error);

// The picture as 0xAARRGGBB pixels, rows top-down as seen, for drawing.
void viewPixels(const DibImage& image, std::vector<std::uint32_t>& argb);

} // namespace vellora::imageio
