#include "sheet/shoppingList.h"

#include "sheet/csvFields.h"

#include <algorithm>
#include <cmath>

namespace vellora {

namespace {
constexpr std::int64_t kMillionthsOfWhole = 100'000'000; // 100 % in millionths of a percent

// Tiles times a share in millionths of a percent can pass 64 bits.
__extension__ typedef __int128 WideCount;

std::int64_t ceilDivide(WideCount numerator, WideCount denominator) {
    return std::int64_t((numerator + denominator - 1) / denominator);
}
} // namespace

std::int64_t tilesWithSpare(std::int64_t tiles, double sparePercent) {
    const std::int64_t spare =
        sparePercent > 0 ? std::llround(std::min(sparePercent, 1e9) * 1e6) : 0;
    return ceilDivide(WideCount(tiles) * (kMillionthsOfWhole + spare), kMillionthsOfWhole);
}

std::int64_t packsFor(std::int64_t tiles, int packSize) {
    return ceilDivide(tiles, packSize < 1 ? 1 : packSize);
}

int packSizeOf(const SheetEntry& entry, const DesignSettings& settings) {
    return entry.pack > 0 ? entry.pack : settings.packSize;
}

std::string shoppingListCsv(const SheetDesign& design, const DesignSettings& settings) {
    std::string csv = "index,name,code,red,green,blue,tiles,tiles with spare,pack size,packs\n";
    for (const SheetEntry* entry : design.usedEntries()) {
        const std::int64_t withSpare = tilesWithSpare(entry->count, settings.sparePercent);
        const int pack = packSizeOf(*entry, settings);
        csv += std::to_string(entry->index) + "," + csvField(entry->name) + "," +
               csvField(entry->code);
        for (const std::uint8_t channel : entry->rgb)
            csv += "," + std::to_string(channel);
        csv += "," + std::to_string(entry->count) + "," + std::to_string(withSpare) + "," +
               std::to_string(pack) + "," + std::to_string(packsFor(withSpare, pack)) + "\n";
    }
    return csv;
}

} // namespace vellora
