#pragma once
// TIFF files in memory: libtiff reads from a byte span or writes into a growing byte vector,
// and its messages land in `message` instead of on the terminal.
#include "imageio/codecs.h"

#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vellora::imageio {

struct TiffStream {
    const std::uint8_t* input = nullptr;         // reading
    PictureBytes* output = nullptr; // writing
    std::uint64_t size = 0;
    std::uint64_t position = 0;
    std::string message;
};

// Opens the stream with mode "r" or "w"; nullptr on failure (the reason in stream.message).
TIFF* openTiffStream(TiffStream& stream, const char* mode);

// Closes a TIFF opened by openTiffStream; nothing for nullptr.
struct TiffCloser {
    void operator()(TIFF* tif) const {
        if (tif) TIFFClose(tif);
    }
};

} // namespace vellora::imageio
