#pragma once
// What every dialog shares: numeric fields count as the leading integer of their text, and a
// user palette is shown by the file name part of its path.
#include <cstdint>
#include <string_view>

namespace vellora {

// Leading blanks, an optional sign, then digits; 0 when there are none. Values beyond the
// 32-bit range stop at its ends instead of wrapping.
std::int32_t leadingInteger(std::string_view text);

// The text after the last slash or backslash; the whole path when it has neither.
std::string_view pathFileName(std::string_view path);

} // namespace vellora
