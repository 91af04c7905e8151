#pragma once
// libjpeg error handling shared by the decoder and the encoder: errors longjmp back to the
// running phase with the message kept; warnings are dropped; nothing is printed.
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t first

#include <jpeglib.h>

namespace vellora::imageio {

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// Installs the handlers into `errors` and returns the manager for cinfo.err.
jpeg_error_mgr* installJpegErrors(JpegErrors& errors);

} // namespace vellora::imageio
