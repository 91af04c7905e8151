#include "imageio/pngSupport.h"

#include <cstdio>

namespace vellora::imageio {

void pngErrorCallback(png_structp png, png_const_charp message) {
    auto* state = static_cast<PngErrorState*>(png_get_error_ptr(png));
    if (state) std::snprintf(state->message, sizeof state->message, "%s", message);
    png_longjmp(png, 1);
}

void pngWarningCallback(png_structp, png_const_charp) {}

} // namespace vellora::imageio
