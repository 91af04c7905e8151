#include "shell/dialogs/commonDialogRules.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>

namespace vellora {

std::int32_t leadingInteger(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+')) text.remove_prefix(1);
    std::int64_t value = 0;
    constexpr std::int64_t kCap = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        value = std::min(kCap, value * 10 + (c - '0'));
    }
    if (negative) return std::int32_t(-value);
    return std::int32_t(std::min<std::int64_t>(value, kCap - 1));
}

std::string_view pathFileName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace vellora
