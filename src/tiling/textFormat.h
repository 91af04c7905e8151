#pragma once
// printf-style appending to a growing text, for the table writers.
#include <string>

namespace vellora {

// Appends the formatted text; numbers are never cut, fields only widen.
[[gnu::format(printf, 2, 3)]] void appendFormatted(std::string& text, const char* format, ...);

// The text after the last path separator: the name under which the table names its picture.
std::string sourceFileName(const std::string& picturePath);

} // namespace vellora
