#pragma once
// The CSV field rules of the build sheet's files: comma-separated, double quotes around a field
// that holds a comma, a quote or a line break, "" for a quote inside one.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellora {

// The fields of one line (no line end), each without the blanks around it and its quotes.
// Nothing when a quoted field is not closed.
std::optional<std::vector<std::string>> splitCsvLine(std::string_view line);

// `text` as one field: quoted only when it has to be.
std::string csvField(std::string_view text);

} // namespace vellora
