// The png decoder on arbitrary bytes.
#include "pictureDecodeFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return vellora::fuzz::checkDecoder(vellora::imageio::decodePng, data, size);
}
