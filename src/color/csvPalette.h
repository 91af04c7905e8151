#pragma once
// CSV palette files: text lines, each ending with a line feed (a carriage return before it is
// dropped too).
// - Lines starting with ";" or "//" are comments, skipped wherever they stand.
// - The first other line is the header. Its column count is the position of its last non-empty
//   field and must be 3; its content is not a colour.
// - Every further line is one colour: red, green, blue in its first three fields (more are
//   ignored), read like atoi (leading blanks and a sign, digits up to the first non-digit, 0
//   without digits) and each within 0 … 255.
// - Fields are split at commas and lose leading blanks and tabs and trailing blanks, then blanks
//   and double quotes at both ends; a field of 63 characters or more is refused.
// - Header and colours together make 2 … 257 lines (1 … 256 colours). An empty line counts and,
//   having no fields, makes the file invalid; a last line without a line feed is ignored; a line
//   of 4095 characters or more (line feed included) makes the file invalid.
#include <cstdint>
#include <string_view>

namespace vellora {

enum class CsvPaletteResult { Ok, IllegalData, IllegalStructure, IllegalValue };

inline constexpr std::string_view kCsvIllegalDataText =
    "failed to open the csv file cause might be illegal data";
inline constexpr std::string_view kCsvIllegalStructureText =
    "illegal file structure as a color palette csv file";
inline constexpr std::string_view kCsvIllegalValueText =
    "illegal data value found which must be among 0 ~ 255";

// The message of a failed parse.
std::string_view csvPaletteMessage(CsvPaletteResult result);

// Parses the whole file text. On success entries[4 (j − 1) …] holds colour j as blue, green,
// red, 0 (room for 256 entries) and colorCount the number of colours; on failure neither is
// touched. The checks run in the file's order of passes: line structure, line and column counts,
// fields, values.
CsvPaletteResult parseCsvPalette(std::string_view text, std::uint8_t* entries,
                                 std::uint32_t& colorCount);

} // namespace vellora
