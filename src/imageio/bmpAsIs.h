#pragma once
// A picture in memory already is, byte for byte, the bitmap file of the intermediate layout, and
// such a file already is the picture: when that holds, the block is written or taken over as
// it stands instead of being copied row by row. Either way the bytes are exactly those the
// row-by-row encoder and decoder produce.
#include "core/dibImage.h"
#include "imageio/codecs.h"

namespace vellora::imageio {

// Whether the first fileSize bytes of the image's block are the file encodeBmp would write: a
// header as the geometry gives it and zero row padding.
bool isBmpFileAsIs(const DibImage& image);

// Takes the file's block over as the image when decodeBmp would give exactly those bytes:
// a plain bottom-up file of 1, 4, 8, 24 or 32 bpp with the intermediate layout, a full colour
// table with zero fourth bytes and zero bits past each row's last pixel. Its header is then
// rewritten as decoding writes it. Otherwise nothing is touched and false is returned.
bool takeOverBmpFile(PictureBytes& file, DibImage& image);

// The geometry (no bytes) of a file of `length` bytes whose first bytes are `head` (as
// parseBmpHeader takes them) when it is a plain bottom-up file laid out as decodeBmp lays out
// its picture: header, colour table and rows where a fresh picture has them. Neither the colour
// table nor the row padding is looked at.
bool plainBmpShape(Bytes head, std::uint64_t length, DibImage& shape);

} // namespace vellora::imageio
