#pragma once
// Moving pictures between picture files and intermediate files through the picture library:
// the encoder chosen by the destination's extension and the two encoder parameters (quality
// and colour depth). The library writes every file to a temporary name first and renames it,
// so a destination is either replaced whole or left as it was.
#include "core/atomicFile.h"
#include "core/dibImage.h"
#include "core/frontend.h"
#include "core/imageInfo.h"

#include <string>
#include <string_view>

namespace vellora {

// The MIME type of the encoder for a destination, by the exact text after the last dot of its
// file name ("bmp" and "dib" → "image/bmp", "jpg", "jpeg", "gif", "png", "tiff"); empty for
// anything else, letter case included ("JPG", "tif").
std::string_view encoderMimeType(std::string_view destination);

// Notes as the failure cause that no encoder matches the destination's name, naming the
// extensions that have one.
void noteUnknownExtension(std::string_view destination);

// Paths keep to the 259 characters of the original buffers; a longer or empty one cannot be
// handed to the picture library.
bool isUsablePicturePath(std::string_view path);
// Shows (caption "error") why a path is refused; call it when isUsablePicturePath is false.
void reportUnusablePath(Frontend& frontend, std::string_view path);

// Loads `source`, chooses the encoder by the extension of `destination` and saves with the
// quality and the colour depth `colorDepth`. 0 on success; 1 when a path is unusable, the
// source does not load, no encoder matches or the save fails (the reason in `reason`, and
// noted as the failure cause with the file it concerns). An
// intermediate picture as destination is a scratch file, not flushed to disk.
int convertPicture(const std::string& destination, const std::string& source, int colorDepth,
                   int quality, std::string* reason = nullptr,
                   FileDurability durability = FileDurability::flushed);

// The save quality of a block's field, kept to 0 … 100.
int clampedQuality(std::uint32_t quality);

} // namespace vellora
