#include "shell/dialogs/commonDialogRules.h"

#include <cctype>
#include <cstdint>
#include <algorithm>
#include <limits>

namespace vellora {

std::int32_t leadingInteger(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    std::int64_t value = 0;
    constexpr std::int64_t kCap = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at)
        value = std::min(kCap, value * 10 + (text[at] - '0'));
    if (negative) return std::int32_t(-value);
    return std::int32_t(std::min<std::int64_t>(value, kCap - 1));
}

std::string_view pathFileName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace vellora
