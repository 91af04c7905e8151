#include "tiling/textFormat.h"

#include <cstdarg>
#include <cstdio>
#include <filesystem>

namespace vellora {

void appendFormatted(std::string& text, const char* format, ...) {
    char small[256];
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(small, sizeof small, format, arguments);
    va_end(arguments);
    if (length < 0) {
        va_end(copy);
        return;
    }
    if (std::size_t(length) < sizeof small) {
        text.append(small, std::size_t(length));
    } else {
        const std::size_t start = text.size();
        text.resize(start + std::size_t(length) + 1);
        std::vsnprintf(text.data() + start, std::size_t(length) + 1, format, copy);
        text.resize(start + std::size_t(length));
    }
    va_end(copy);
}

std::string sourceFileName(const std::string& picturePath) {
    return std::filesystem::path(picturePath).filename().string();
}

} // namespace vellora
