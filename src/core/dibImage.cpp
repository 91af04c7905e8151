#include "core/dibImage.h"

#include "core/atomicFile.h"
#include "core/errors.h"
#include "core/failureCause.h"
#include "core/regularFile.h"
#include "core/scratchStore.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <utility>

namespace vellora {

std::uint32_t readLe32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t readLe16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}
void writeLe32(std::uint8_t* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(value >> (8 * i));
}
void writeLe16(std::uint8_t* p, std::uint16_t value) {
    p[0] = std::uint8_t(value);
    p[1] = std::uint8_t(value >> 8);
}

namespace {

constexpr bool isSupportedDepth(unsigned bitsPerPixel) {
    return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 24 ||
           bitsPerPixel == 32;
}

// Whether a picture of this size fits the 32-bit size fields (and so the address space).
bool sizesFit(std::int64_t width, std::int64_t height, unsigned bitsPerPixel) {
    if (width < 1 || height < 1) return false;
    const std::uint64_t rowBytes = (std::uint64_t(width) * bitsPerPixel + 7) / 8;
    const std::uint64_t stride = (rowBytes + 3) / 4 * 4;
    const std::uint64_t total = stride * std::uint64_t(height) + kHeaderBytes + 1024;
    return stride <= std::uint64_t(std::numeric_limits<std::int32_t>::max()) &&
           total <= std::numeric_limits<std::uint32_t>::max();
}

// A fresh block from the allocator is zero already, so sizing it touches no page.
bool allocateZeroed(PictureBytes& block, std::size_t bytes) {
    try {
        PictureBytes().swap(block);
        block.resize(bytes);
        return true;
    } catch (const std::bad_alloc&) {
        PictureBytes().swap(block);
        return false;
    } catch (const std::length_error&) {
        PictureBytes().swap(block);
        return false;
    }
}

// Checks the header of a block read from a file and fills the geometry; the codes are those
// of the reading steps after the block is in memory.
int parseHeader(Frontend& frontend, DibImage& image) {
    const std::uint8_t* h = image.data.data();
    if (image.data.size() < 2 || readLe16(h) != kBitmapSignature)
        return reportError(frontend, kErrorNotBitmap);
    if (image.data.size() < kHeaderBytes) return reportError(frontend, kErrorRead);
    image.compression = readLe32(h + 30);
    if (image.compression != 0) return reportError(frontend, kErrorCompressed);
    image.paletteOffset = kHeaderBytes;
    image.bitsPerPixel = readLe16(h + 28);
    const std::int64_t width = std::int32_t(readLe32(h + 18));
    std::int64_t height = std::int32_t(readLe32(h + 22));
    if (height < 0) height = -height;
    image.colorsUsed = readLe32(h + 46);
    if (!isSupportedDepth(image.bitsPerPixel)) {
        reportError(frontend, kErrorBitsPerPixel);
        return kErrorOpen;
    }
    // A header whose size cannot be a bitmap of ours is no bitmap file.
    if (!sizesFit(width, height, image.bitsPerPixel)) return reportError(frontend, kErrorNotBitmap);
    image.width = std::int32_t(width);
    image.height = std::int32_t(height);
    deriveGeometry(frontend, image);
    // Never read past the block: a file shorter than its derived size is refused.
    if (image.data.size() < image.fileSize) return reportError(frontend, kErrorRead);
    return kOk;
}

} // namespace

int deriveGeometry(Frontend& frontend, DibImage& image) {
    if (!isSupportedDepth(image.bitsPerPixel)) return reportError(frontend, kErrorBitsPerPixel);
    if (!sizesFit(image.width, image.height, image.bitsPerPixel)) {
        noteFailureCause(pictureSizeText(image.width, image.height, image.bitsPerPixel) +
                         " does not fit in a bitmap file");
        return reportError(frontend, kErrorAllocate);
    }
    image.paletteEntries = image.bitsPerPixel <= 8 ? 1u << image.bitsPerPixel : 0;
    image.paletteBytes = 4 * image.paletteEntries;
    // In 64 bits: a width near 2^30 at 4 bpp or more overflows 32 bits before the division.
    const std::uint64_t rowBytes = (std::uint64_t(image.width) * image.bitsPerPixel + 7) / 8;
    image.stride = std::int32_t((rowBytes + 3) / 4 * 4);
    image.paletteOffset = kHeaderBytes;
    image.bitsOffset = kHeaderBytes + image.paletteBytes;
    image.imageSize = std::uint32_t(image.height) * std::uint32_t(image.stride);
    image.fileSize = image.imageSize + image.paletteBytes + kHeaderBytes;
    return kOk;
}

int readBitmapBlock(Frontend& frontend, PictureBytes&& block, DibImage& image) {
    DibImage parsed;
    parsed.data = std::move(block);
    const int result = parseHeader(frontend, parsed);
    if (result != kOk) {
        image.release();
        return result;
    }
    image = std::move(parsed);
    return kOk;
}

int readBitmapBytes(Frontend& frontend, std::span<const std::uint8_t> bytes, DibImage& image) {
    PictureBytes block;
    if (!allocateZeroed(block, bytes.size())) {
        image.release();
        return reportError(frontend, kErrorAllocate);
    }
    if (!bytes.empty()) std::memcpy(block.data(), bytes.data(), bytes.size());
    return readBitmapBlock(frontend, std::move(block), image);
}

int readBitmapFile(Frontend& frontend, const std::filesystem::path& path, DibImage& image) {
    image.release();
    if (PictureBytes held; lendScratchBlock(path, held))
        return readBitmapBlock(frontend, std::move(held), image);
    ReadOpen outcome = ReadOpen::ok;
    const ReadFile file = openRegularFile(path, &outcome);
    if (!file) {
        noteOpenFailure(path, outcome);
        return reportError(frontend, kErrorOpen);
    }
    const long length = fileLength(file.get());
    if (length < 0) {
        noteShortRead(path, file.get());
        return reportError(frontend, kErrorRead);
    }
    PictureBytes block;
    if (!allocateZeroed(block, std::size_t(length))) {
        noteFailureCause("not enough memory for the " + std::to_string(length) + " bytes of \"" +
                         path.string() + "\"");
        return reportError(frontend, kErrorAllocate);
    }
    if (length > 0 &&
        std::fread(block.data(), 1, std::size_t(length), file.get()) != std::size_t(length)) {
        noteShortRead(path, file.get());
        return reportError(frontend, kErrorRead);
    }
    return readBitmapBlock(frontend, std::move(block), image);
}

int writeBitmapFile(Frontend& frontend, const std::filesystem::path& path, DibImage&& image) {
    if (image.data.size() >= image.fileSize && keepScratchBlock(path, image.data, image.fileSize))
        return kOk;
    return writeBitmapFile(frontend, path, std::as_const(image));
}

int writeBitmapFile(Frontend& frontend, const std::filesystem::path& path, const DibImage& image) {
    // A picture shorter than its declared size is refused before the old file is touched.
    if (image.data.size() < image.fileSize) return reportError(frontend, kErrorWrite);
    const std::span<const std::uint8_t> bytes(image.data.data(), image.fileSize);
    return reportWriteFailure(frontend, writeFileAtomically(path, bytes, FileDurability::scratch));
}

void writeDibHeader(const DibImage& image, std::uint8_t* h) {
    std::memset(h, 0, kHeaderBytes); // fields not written below, compression among them, are 0
    writeLe16(h + 0, kBitmapSignature);
    writeLe32(h + 2, image.fileSize);
    writeLe32(h + 10, image.bitsOffset);
    writeLe32(h + 14, 40);
    writeLe32(h + 18, std::uint32_t(image.width));
    writeLe32(h + 22, std::uint32_t(image.height));
    writeLe16(h + 26, 1);
    writeLe16(h + 28, image.bitsPerPixel);
    writeLe32(h + 34, image.imageSize);
    writeLe32(h + 46, image.colorsUsed);
}

bool hasFreshHeader(const DibImage& image) {
    std::uint8_t header[kHeaderBytes];
    writeDibHeader(image, header);
    return image.data.size() >= image.fileSize && image.fileSize >= kHeaderBytes &&
           std::memcmp(image.data.data(), header, kHeaderBytes) == 0;
}

int createDib(Frontend& frontend, DibImage& target, std::int32_t width, std::int32_t height,
              std::uint16_t bitsPerPixel, std::uint32_t colorsUsed, const DibImage* source) {
    target.release();
    target.width = width;
    target.height = height;
    target.bitsPerPixel = bitsPerPixel;
    target.colorsUsed = colorsUsed;
    target.compression = 0;
    if (const int result = deriveGeometry(frontend, target); result != kOk) return result;
    if (!allocateZeroed(target.data, target.fileSize)) {
        noteOutOfMemory(width, height, bitsPerPixel);
        return reportError(frontend, kErrorAllocate);
    }
    writeDibHeader(target, target.data.data());
    if (bitsPerPixel < 16 && source && source->data.size() >= target.bitsOffset)
        std::memcpy(target.data.data() + kHeaderBytes, source->data.data() + kHeaderBytes,
                    target.bitsOffset - kHeaderBytes);
    return kOk;
}

} // namespace vellora
