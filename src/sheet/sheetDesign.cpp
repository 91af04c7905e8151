#include "sheet/sheetDesign.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace vellora {

namespace {

using Rgb = std::array<std::uint8_t, 3>;

Rgb rgbOfBgr(const std::uint8_t* bgr) {
    return {bgr[2], bgr[1], bgr[0]};
}

std::string hexName(const Rgb& rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb[0], rgb[1], rgb[2]);
    return text;
}

const TileColor* namingRow(const TileLine* line, int index, const Rgb& rgb) {
    if (!line) return nullptr;
    const auto& colors = line->colors;
    if (index < int(colors.size()) && colors[std::size_t(index)].rgb == rgb)
        return &colors[std::size_t(index)];
    const auto same = std::ranges::find(colors, rgb, &TileColor::rgb);
    return same == colors.end() ? nullptr : &*same;
}

SheetEntry namedEntry(int index, const Rgb& rgb, const TileLine* line) {
    SheetEntry entry;
    entry.index = index;
    entry.rgb = rgb;
    entry.name = hexName(rgb);
    entry.code = std::to_string(index);
    if (const TileColor* row = namingRow(line, index, rgb)) {
        entry.name = row->name;
        entry.code = row->code;
        entry.pack = row->pack;
    }
    return entry;
}

void readIndexedGrid(const TilingTable& table, const TileLine* line, SheetDesign& design) {
    const auto addEntriesUpTo = [&](std::size_t length) {
        for (std::size_t i = design.entries.size(); i < length; ++i)
            design.entries.push_back(
                namedEntry(int(i), rgbOfBgr(table.header.paletteEntry(int(i))), line));
    };
    addEntriesUpTo(std::size_t(table.paletteLength()));
    for (std::int64_t n = 0; n < table.geometry.tileCount(); ++n) {
        const std::uint32_t index = *table.entry(n);
        addEntriesUpTo(index + 1); // an index past a foreign colours-used count keeps its colour
        design.grid.push_back(index);
    }
}

std::uint32_t packed(const Rgb& rgb) {
    return std::uint32_t(rgb[0]) << 16 | std::uint32_t(rgb[1]) << 8 | rgb[2];
}

void readColorGrid(const TilingTable& table, const TileLine* line, SheetDesign& design) {
    std::unordered_map<std::uint32_t, std::uint32_t> numbers;
    for (std::int64_t n = 0; n < table.geometry.tileCount(); ++n) {
        const Rgb rgb = rgbOfBgr(table.entry(n));
        const auto [place, added] = numbers.try_emplace(packed(rgb), std::uint32_t(numbers.size()));
        if (added) design.entries.push_back(namedEntry(int(place->second), rgb, line));
        design.grid.push_back(place->second);
    }
}

} // namespace

SheetDesign makeSheetDesign(const TilingTable& table, const TileLine* tileLine) {
    SheetDesign design;
    design.columns = table.geometry.tileColumns;
    design.rows = table.geometry.tileRows;
    design.grid.reserve(std::size_t(table.geometry.tileCount()));
    if (table.header.isIndexed())
        readIndexedGrid(table, tileLine, design);
    else
        readColorGrid(table, tileLine, design);
    for (const std::uint32_t number : design.grid)
        ++design.entries[number].count;
    return design;
}

} // namespace vellora
