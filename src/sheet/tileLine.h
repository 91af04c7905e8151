#pragma once
// A tile line: the colours a maker sells, read from a ".tiles" file. The file is CSV text; lines
// whose first non-blank character is '#' are comments and blank lines are skipped, wherever they
// stand. The first other line is the header naming the columns in any order: name, code, red,
// green, blue, and optionally pack (tiles per pack) and stock (1 in stock, 0 not); other columns
// are ignored. Every further line is one colour, at most 256 (a tiled picture is indexed).
// Fields may be double-quoted ("" inside stands for one quote); blanks around fields are dropped.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vellora {

inline constexpr int kTileLineMaxColors = 256;

struct TileColor {
    std::string name;
    std::string code;
    std::array<std::uint8_t, 3> rgb{}; // red, green, blue
    int pack = 0;                      // tiles per pack; 0 when the line names none
    bool inStock = true;
};

struct TileLine {
    std::vector<TileColor> colors; // in file order; a row's place is its palette index
};

// Parses the text of a tile line. False with a message naming the line (1-based, comments
// counted) and, for a bad value, the column; `line` is left as it was.
bool parseTileLine(std::string_view text, TileLine& line, std::string& error);

// Reads and parses a file; the message starts with the file's name.
bool loadTileLine(const std::filesystem::path& path, TileLine& line, std::string& error);

} // namespace vellora
