#pragma once
// What the PNG decoder and encoder share: error handling that never prints and never exits.
// libpng reports errors by longjmp back to the setjmp of the running phase; the state below is
// plain data so nothing with a destructor is skipped.
#include <png.h>

#include <cstddef>
#include <cstdint>

namespace vellora::imageio {

struct PngErrorState {
    char message[160] = {};
};

// Copies the message into the PngErrorState given as error pointer, then longjmps.
[[noreturn]] void pngErrorCallback(png_structp png, png_const_charp message);
void pngWarningCallback(png_structp png, png_const_charp message);

} // namespace vellora::imageio
