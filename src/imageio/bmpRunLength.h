#pragma once
// Run-length pixel streams of bitmap files: RLE8, RLE4 and the OS/2 RLE24.
#include "imageio/bmpHeader.h"

#include "core/dibImage.h"

#include <string>

namespace vellora::imageio {

// Pixels an end-of-picture code (or the end of the data) may leave to index 0 or black: a
// 4096 × 4096 area. A stream stopping earlier on a larger picture describes too little of it.
inline constexpr std::int64_t kUndescribedPixelLimit = std::int64_t(1) << 24;

inline bool isRunLength(BmpPixels pixels) {
    return pixels == BmpPixels::Rle8 || pixels == BmpPixels::Rle4 || pixels == BmpPixels::Rle24;
}

// Whether the stream describes the picture it declares, walked without allocating: runs and
// literals give pixels, end-of-line and delta codes skip them explicitly; what is left after
// the stream stops may be at most kUndescribedPixelLimit pixels. Sets kTooShortText if not.
bool runLengthDescribesPicture(Bytes file, const BmpHeader& header, std::string& error);

// Decodes the stream into a zeroed picture of the header's size and open depth. Pairs (count,
// value) or escapes 0/0 end of row, 0/1 end of picture, 0/2 delta, 0/n a literal run padded to
// two bytes; a value is a nibble pair, a byte or three bytes (blue, green, red). Pixels never
// reached stay 0; a file ending early keeps what was decoded.
void decodeRunLengthRows(Bytes file, const BmpHeader& header, DibImage& image);

} // namespace vellora::imageio
