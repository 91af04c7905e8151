#pragma once
// Size checks every decoder runs before it allocates, and the one way decoders make their
// result picture.
#include "core/dibImage.h"

#include <cstdint>
#include <string>

namespace vellora::imageio {

inline constexpr const char* kTooLargeText = "the picture is too large to open";
inline constexpr const char* kOutOfMemoryText = "not enough memory for the picture";
inline constexpr const char* kTooShortText =
    "the file is too short for the picture size it declares";

// Whether `fileBytes` of compressed data can possibly hold `decodedBytes` when one input byte
// expands to at most `maximumRatio` output bytes; sets the error if not.
bool compressedSizePlausible(std::uint64_t decodedBytes, std::uint64_t fileBytes,
                             std::uint64_t maximumRatio, std::string& error);

// Bytes a decoder may hold at once: a quarter of the physical memory (operations hold two
// pictures at a time, the rest of the program its own) or half of the address-space limit,
// whichever is smaller. Decided once per process.
std::uint64_t memoryBudget();

// Lowers the budget to at most `bytes` (0 lifts the cap again). For programs that run under a
// tighter memory limit than the machine's, such as the fuzzing runs; returns the previous cap.
std::uint64_t capMemoryBudget(std::uint64_t bytes);

// Whether a bitmap of this geometry fits the 32-bit size fields and the memory budget.
bool pictureFits(std::int64_t width, std::int64_t height, int bitsPerPixel);

// Whether a decoder's working buffer of this many bytes fits the budget; sets the error if not.
bool workingBytesFit(std::uint64_t bytes, std::string& error);

// createDib after the size checks; colour table zero, rows zero. Sets the error and leaves the
// image as it was on failure.
bool allocatePicture(DibImage& image, std::int64_t width, std::int64_t height, int bitsPerPixel,
                     std::uint32_t colorsUsed, std::string& error);

// Resizes a working buffer without letting an allocation failure escape. A picture-sized
// block (a whole file read in) is best a fresh PictureBytes, which is not cleared first.
bool allocateBuffer(std::vector<std::uint8_t>& buffer, std::uint64_t bytes, std::string& error);
bool allocateBuffer(PictureBytes& buffer, std::uint64_t bytes, std::string& error);

} // namespace vellora::imageio
