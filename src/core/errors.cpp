#include "core/errors.h"

#include "core/failureCause.h"

#include <array>
#include <utility>

namespace vellora {

namespace {
constexpr auto kMessages = std::to_array<std::pair<int, std::string_view>>({
    {kErrorOpen, "failed to open the file"},
    {kErrorCreate, "failed to create the file"},
    {kErrorRead, "failed to read the file"},
    {kErrorWrite, "failed to write the file"},
    {kErrorAllocate, "failed to allocate memory"},
    {kErrorNotBitmap, "not bitmap file"},
    {kErrorCompressed, "compress not supported"},
    {kErrorBitsPerPixel, "error of count bits per pixel"},
});

constexpr bool isReservedCode(int code) {
    // 512 … 32768, powers of two.
    return code >= 512 && code <= 32768 && (code & (code - 1)) == 0;
}
} // namespace

std::string_view errorMessage(int code) {
    for (const auto& [value, text] : kMessages)
        if (value == code) return text;
    if (isReservedCode(code)) return {};
    return "unknown error of processing";
}

int reportError(Frontend& frontend, int code) {
    if (code == 512) return code; // reserved: returns without a message
    frontend.showMessage("error", withFailureCause(errorMessage(code)));
    return code;
}

void showError(Frontend& frontend, std::string_view text) {
    frontend.showMessage("error", withFailureCause(text));
}

} // namespace vellora
