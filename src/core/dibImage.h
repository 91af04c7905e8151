#pragma once
// A whole uncompressed bitmap file held in one zero-filled block, with its derived geometry.
//
// Layout of `data`: the 14-byte file header at 0, the 40-byte info header at 14, the colour
// table at 54 (always the full 2^bpp entries of 4 bytes blue, green, red, 0 for 1/4/8 bpp, none
// for 24/32 bpp), the pixel rows at `bitsOffset`. Rows are `stride` bytes (a multiple of 4,
// padding zero) and are addressed in stored order: row 0 is the first row in the file, the
// bottom of the picture. All header values are little-endian.
#include "core/frontend.h"
#include "core/pictureBytes.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace vellora {

inline constexpr std::uint32_t kHeaderBytes = 54;
inline constexpr std::uint16_t kBitmapSignature = 19778; // "BM"

struct DibImage {
    PictureBytes data; // the whole file image; empty when released
    std::uint32_t fileSize = 0;
    std::uint32_t bitsOffset = 0;
    std::uint32_t paletteOffset = 0;
    std::uint16_t bitsPerPixel = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t stride = 0;
    std::uint32_t imageSize = 0;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::uint32_t paletteEntries = 0;
    std::uint32_t paletteBytes = 0;

    std::uint8_t* row(int y) { return data.data() + bitsOffset + std::size_t(y) * stride; }
    const std::uint8_t* row(int y) const {
        return data.data() + bitsOffset + std::size_t(y) * stride;
    }
    // Colour table entry i: blue, green, red, 0.
    std::uint8_t* paletteEntry(int i) { return data.data() + paletteOffset + 4 * std::size_t(i); }
    const std::uint8_t* paletteEntry(int i) const {
        return data.data() + paletteOffset + 4 * std::size_t(i);
    }
    bool isIndexed() const { return bitsPerPixel <= 8; }
    // The entries the picture lists: colorsUsed, or the whole colour table when that is 0 or more
    // than the table holds (a foreign header); 0 for a true-colour picture.
    int listedEntries() const {
        return int(colorsUsed != 0 ? std::min(colorsUsed, paletteEntries) : paletteEntries);
    }
    // Frees the block; the geometry stays for whoever still wants to read it.
    void release() { PictureBytes().swap(data); }
};

// Fills paletteEntries, paletteBytes, stride, paletteOffset, bitsOffset, imageSize and fileSize
// from bitsPerPixel, width and height. Reports and returns 128 for an unsupported depth, and 16
// when the sizes would not fit the 32-bit header fields (width below 1 or height 0 included).
int deriveGeometry(Frontend& frontend, DibImage& image);

// Reads a bitmap file into a new block. 0 on success; otherwise the code whose message has been
// shown (1 open, 4 read or too short, 16 allocate, 32 not a bitmap, 64 compressed, 1 after a
// bad depth) and nothing is left allocated. The derived fileSize and bitsOffset replace the
// values in the file.
int readBitmapFile(Frontend& frontend, const std::filesystem::path& path, DibImage& image);

// The same checks on a file's bytes already in memory (readBitmapFile reads the file and hands
// its bytes on here). On failure the image holds no block.
int readBitmapBytes(Frontend& frontend, std::span<const std::uint8_t> bytes, DibImage& image);
// As readBitmapBytes, taking over the block instead of copying it.
int readBitmapBlock(Frontend& frontend, PictureBytes&& block, DibImage& image);

// Writes the first fileSize bytes of the block to path. 0, 2 or 8. These are the run's own
// intermediate and staging pictures, so the file is not flushed to disk (see FileDurability).
// A scratch store serving the path's folder keeps a copy instead (see core/scratchStore.h).
int writeBitmapFile(Frontend& frontend, const std::filesystem::path& path, const DibImage& image);
// The same for a picture the caller is done with: a scratch store takes its block, leaving the
// image released but for its geometry.
int writeBitmapFile(Frontend& frontend, const std::filesystem::path& path, DibImage&& image);

// Makes a zero-filled image with its header; for an indexed target with a source given, the
// source's colour table is copied. 0, or the reported 16 (or 128 for a bad depth).
int createDib(Frontend& frontend, DibImage& target, std::int32_t width, std::int32_t height,
              std::uint16_t bitsPerPixel, std::uint32_t colorsUsed,
              const DibImage* source = nullptr);

// The 54 header bytes of a block with this geometry (deriveGeometry done); the fields not
// named here are zero.
void writeDibHeader(const DibImage& image, std::uint8_t* header);
// Whether the block holds exactly the header writeDibHeader gives its geometry, so that
// changing the pixels within it gives the bytes of building a new picture.
bool hasFreshHeader(const DibImage& image);

// Little-endian field access inside a block.
std::uint32_t readLe32(const std::uint8_t* p);
std::uint16_t readLe16(const std::uint8_t* p);
void writeLe32(std::uint8_t* p, std::uint32_t value);
void writeLe16(std::uint8_t* p, std::uint16_t value);

} // namespace vellora
