#pragma once
// The body every picture-decoder fuzz target shares: a refused input leaves the image as it
// was; an accepted one is a well-formed bitmap whose every pixel can be read and turned.
#include "imageio/codecs.h"
#include "imageio/pictureHelpers.h"
#include "imageio/pictureLibrary.h"
#include "imageio/pictureLimits.h"

#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

namespace vellora::fuzz {

using Decode = bool (*)(imageio::Bytes file, DibImage& image, std::string& error);

inline int checkDecoder(Decode decode, const std::uint8_t* data, std::size_t size) {
    DibImage image;
    std::string error;
    bool decoded = false;
    try {
        decoded = decode(imageio::Bytes(data, size), image, error);
    } catch (const std::bad_alloc&) {
        return 0; // the memory limit of the fuzzing run, not a fault of the decoder
    }
    if (!decoded) {
        if (!image.data.empty() || error.empty()) std::abort();
        return 0;
    }
    if (!imageio::isWellFormed(image)) std::abort();
    if (std::uint64_t(image.width) * std::uint64_t(image.height) <= 1u << 12) {
        std::vector<std::uint32_t> argb;
        imageio::viewPixels(image, argb);
        DibImage turned;
        if (!imageio::rotateFlip(image, turned, 1, 3, error)) std::abort();
    }
    return 0;
}

} // namespace vellora::fuzz

// The fuzzing runs allow 2 GB of memory, but a picture may use only 2 MB of it: ample for every
// test picture, and a mutated size does not zero-fill many megabytes on every run. Larger ones
// are refused as too large; the size checks themselves run as for any file.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vellora::imageio::capMemoryBudget(std::uint64_t(2) << 20);
    return 0;
}
