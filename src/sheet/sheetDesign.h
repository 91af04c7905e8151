#pragma once
// What the build sheet draws: the grid of a tiling table as entry numbers, and every palette
// entry with its colour, its name and code, and how many tiles use it.
#include "core/designSettings.h"
#include "sheet/tileLine.h"
#include "tiling/tilingTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vellora {

struct SheetEntry {
    int index = 0; // palette index; for a true-colour table, the colour's number
    std::array<std::uint8_t, 3> rgb{}; // red, green, blue
    std::string name;                  // from the tile line, else "#rrggbb"
    std::string code;                  // from the tile line, else the index
    int pack = 0;                      // the tile line's pack size, 0 for the design's
    std::int64_t count = 0;            // tiles of this entry
};

struct SheetDesign {
    int columns = 0;
    int rows = 0;
    std::vector<std::uint32_t> grid; // entry number of each tile, rows from the top, left to right
    std::vector<SheetEntry> entries; // index order
    std::string title;               // the picture's file name

    std::uint32_t at(int row, int column) const {
        return grid[std::size_t(row) * std::size_t(columns) + std::size_t(column)];
    }
    std::vector<const SheetEntry*> usedEntries() const {
        std::vector<const SheetEntry*> used;
        for (const SheetEntry& entry : entries)
            if (entry.count > 0) used.push_back(&entry);
        return used;
    }
};

// An indexed table keeps its palette (every entry, used or not). A true-colour table lists its
// distinct tile colours in reading order. Entry i takes the name of tile line row i when their
// colours agree, else of the first row of that colour, else its colour and index.
SheetDesign makeSheetDesign(const TilingTable& table, const TileLine* tileLine);

} // namespace vellora
