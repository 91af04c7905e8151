#include "imageio/jpegSupport.h"

namespace vellora::imageio {

namespace {

[[noreturn]] void errorExit(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

void silentMessage(j_common_ptr) {}

} // namespace

jpeg_error_mgr* installJpegErrors(JpegErrors& errors) {
    jpeg_error_mgr* manager = jpeg_std_error(&errors.manager);
    manager->error_exit = errorExit;
    manager->output_message = silentMessage;
    errors.message[0] = '\0';
    return manager;
}

} // namespace vellora::imageio
